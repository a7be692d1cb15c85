#include "qt/KeepOnTop.h"

#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>

#include <QApplication>
#include <algorithm>
#include <cstdlib>
#include <vector>

#include "qt/QtConnection.h"
#include "qt/SaverWindow.h"

namespace qm::qt {
namespace {

// Restacks `lower` right under `upper`, both top-level windows of this program.
void StackBelow(QWidget& lower, QWidget& upper) {
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  if (!x11) return;
  const uint32_t values[] = {static_cast<uint32_t>(upper.winId()), XCB_STACK_MODE_BELOW};
  xcb_configure_window(x11->connection(), static_cast<xcb_window_t>(lower.winId()),
                       XCB_CONFIG_WINDOW_SIBLING | XCB_CONFIG_WINDOW_STACK_MODE, values);
  xcb_flush(x11->connection());
}

// Maps `window` again when another client has unmapped it; true when it did. X lets a
// window's grabs go when it is unmapped, and Qt, which did not unmap it, would not show
// it again: the saver would run on unseen, with nothing able to end it.
bool MapAgainIfUnmapped(QWidget& window) {
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  if (!x11) return false;
  xcb_connection_t* connection = x11->connection();
  const auto id = static_cast<xcb_window_t>(window.winId());
  xcb_get_window_attributes_reply_t* reply = xcb_get_window_attributes_reply(
      connection, xcb_get_window_attributes(connection, id), nullptr);
  const bool unmapped = reply && reply->map_state == XCB_MAP_STATE_UNMAPPED;
  std::free(reply);
  if (!unmapped) return false;
  xcb_map_window(connection, id);
  xcb_flush(connection);
  return true;
}

}  // namespace

KeepOnTop::KeepOnTop(SaverWindow& window) : window_(window), watch_(StackingWatch::Open()) {
  heldBack_.setSingleShot(true);
  QObject::connect(&heldBack_, &QTimer::timeout, &window_, [this] { Check(); });
  checkLater_.setSingleShot(true);
  QObject::connect(&checkLater_, &QTimer::timeout, &window_, [this] {
    notifier_->setEnabled(true);
    watch_->Poll();  // what came meanwhile: this check answers it
    Check();
  });
  if (watch_) {
    notifier_ = std::make_unique<QSocketNotifier>(watch_->Fd(), QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, &window_, [this] {
      if (watch_->Poll()) CheckSoon();
    });
    QObject::connect(&periodic_, &QTimer::timeout, &window_, [this] { Check(); });
    periodic_.start(kCheckMs);
    // Anything mapped between the window's showing and the watch's start.
    QTimer::singleShot(0, &window_, [this] { Check(); });
  } else {
    QObject::connect(&periodic_, &QTimer::timeout, &window_, [this] { Raise(); });
    periodic_.start(kBlindRaiseMs);
  }
}

KeepOnTop::~KeepOnTop() = default;

void KeepOnTop::CheckSoon() {
  const auto since = std::chrono::steady_clock::now() - lastCheck_;
  const auto spacing = std::chrono::milliseconds(kCheckSpacingMs);
  if (since >= spacing) {
    Check();
  } else if (!checkLater_.isActive()) {
    // Events that come meanwhile wait in the socket rather than each waking the saver.
    notifier_->setEnabled(false);
    checkLater_.start(
        static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(spacing - since).count()));
  }
}

void KeepOnTop::Check() {
  lastCheck_ = std::chrono::steady_clock::now();
  const auto saver = static_cast<uint64_t>(window_.winId());
  bool covered = false;
  if (QWidget* prompt = QApplication::activeModalWidget()) {
    const auto top = static_cast<uint64_t>(prompt->winId());
    covered = watch_->Covered(saver, {saver, top}) || watch_->Covered(top, {top});
  } else {
    covered = watch_->Covered(saver, {saver});
  }
  if (covered) RaiseSoon();
  // Events Xlib read in while it waited for the answers are in its queue, not the
  // socket, and would not wake the notifier.
  if (watch_->Poll()) CheckSoon();
}

void KeepOnTop::RaiseSoon() {
  const auto since = std::chrono::steady_clock::now() - lastRaise_;
  if (since >= spacing_) {
    Raise();
  } else if (!heldBack_.isActive()) {
    heldBack_.start(
        static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(spacing_ - since).count()));
  }
}

void KeepOnTop::Raise() {
  const auto now = std::chrono::steady_clock::now();
  // Covered again soon after the last raise: another program keeps a window of its own
  // on top. Each raise repaints the whole screen, so the saver gives way more and more,
  // down to a raise a second, until it has been left alone for a while.
  spacing_ = now - lastRaise_ < std::chrono::milliseconds(kQuietMs)
                 ? std::min(2 * spacing_, std::chrono::milliseconds(kSlowestRaiseMs))
                 : std::chrono::milliseconds(kFirstSpacingMs);
  lastRaise_ = now;
  const bool remapped = MapAgainIfUnmapped(window_);
  if (QWidget* prompt = QApplication::activeModalWidget()) {
    prompt->raise();
    StackBelow(window_, *prompt);
  } else {
    window_.raise();
    // The prompt, when up, hands the grabs back as it goes.
    if (remapped) window_.TakeGrabs();
  }
  // Done by the server before anything else is asked, so that the next check, on the
  // watch's own connection, finds this raise done rather than raises again.
  SyncQtConnection();
}

}  // namespace qm::qt
