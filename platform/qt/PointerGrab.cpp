#include "qt/PointerGrab.h"

#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>

#include <QGuiApplication>
#include <QWindow>
#include <cstdlib>

namespace qm::qt {

bool GrabPointer(QWindow& window) {
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  if (!x11) return false;
  // A core-protocol grab on Qt's own connection, for its status; then Qt's grab again,
  // the same client replacing its own grab, so that Qt's pointer events go on coming as
  // Qt asked for them.
  xcb_connection_t* connection = x11->connection();
  const auto cookie = xcb_grab_pointer(
      connection, 0, static_cast<xcb_window_t>(window.winId()),
      XCB_EVENT_MASK_BUTTON_PRESS | XCB_EVENT_MASK_BUTTON_RELEASE | XCB_EVENT_MASK_POINTER_MOTION,
      XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC, XCB_NONE, XCB_NONE, XCB_CURRENT_TIME);
  xcb_grab_pointer_reply_t* reply = xcb_grab_pointer_reply(connection, cookie, nullptr);
  const bool held = reply != nullptr && reply->status == XCB_GRAB_STATUS_SUCCESS;
  std::free(reply);
  if (held) window.setMouseGrabEnabled(true);
  return held;
}

}  // namespace qm::qt
