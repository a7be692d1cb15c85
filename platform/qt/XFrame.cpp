#include "qt/XFrame.h"

#include <QtGui/qguiapplication_platform.h>

#include <QGuiApplication>

// Xlib's after Qt's: its macros (Bool, Status, None) would break Qt's headers.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <xcb/shm.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>

namespace qm::qt {
namespace {

// Rows scanned together by PutOverBlack: a few requests for a full screen, and little
// black sent beside what a band holds.
constexpr int kBandRows = 16;

constexpr unsigned long kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF;

Rect Clip(const Picture& frame, const Rect& r) {
  const int x0 = std::max(r.X, 0), y0 = std::max(r.Y, 0);
  const int x1 = std::min(r.X + r.Width, frame.Width);
  const int y1 = std::min(r.Y + r.Height, frame.Height);
  return {x0, y0, std::max(x1 - x0, 0), std::max(y1 - y0, 0)};
}

}  // namespace

struct XFrame::Connection {
  Display* display = nullptr;
  Window window = 0;
  GC gc = nullptr;
  unsigned long black = 0;

  // The same connection seen through XCB, for MIT-SHM; null when the server lacks the
  // extension or cannot attach our memory (a remote display), and rectangles travel
  // through the socket instead.
  xcb_connection_t* xcb = nullptr;
  // A segment laid out like the last frame: rectangles are copied to the same place in
  // it and the server reads them from there.
  xcb_shm_seg_t segment = 0;
  Pixel* shared = nullptr;
  size_t sharedBytes = 0;
  bool putsSinceFlush = false;
  // Sent behind the last flushed puts: its reply says the server has done them. Asked
  // for with the puts rather than when the segment is next needed, so that by then the
  // answer is usually waiting and no round trip holds the saver up.
  xcb_get_input_focus_cookie_t sync{};
  bool syncPending = false;

  bool ShareFrame(const Picture& frame);
  void DropSegment();
  void WaitForServer();
};

// A segment as large as `frame`, attached on both sides; false when shared memory
// cannot be used, from now on.
bool XFrame::Connection::ShareFrame(const Picture& frame) {
  // The request's sizes are 16-bit and its destination signed 16-bit.
  if (!xcb || frame.Width <= 0 || frame.Height <= 0 || frame.Width > 0x7FFF ||
      frame.Height > 0x7FFF) {
    return false;
  }
  const size_t bytes = static_cast<size_t>(frame.Width) * frame.Height * sizeof(Pixel);
  if (shared && sharedBytes == bytes) return true;
  WaitForServer();  // the reply is collected before this connection may be given up
  DropSegment();
  const int id = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
  void* at = id < 0 ? reinterpret_cast<void*>(-1) : shmat(id, nullptr, 0);
  if (at == reinterpret_cast<void*>(-1)) {
    if (id >= 0) shmctl(id, IPC_RMID, nullptr);
    xcb = nullptr;
    return false;
  }
  const xcb_shm_seg_t seg = xcb_generate_id(xcb);
  xcb_generic_error_t* error =
      xcb_request_check(xcb, xcb_shm_attach_checked(xcb, seg, static_cast<uint32_t>(id), 1));
  // Removed now, the segment lives on until both sides have detached, even if this
  // process is killed.
  shmctl(id, IPC_RMID, nullptr);
  if (error) {
    std::free(error);
    shmdt(at);
    xcb = nullptr;
    return false;
  }
  segment = seg;
  shared = static_cast<Pixel*>(at);
  sharedBytes = bytes;
  return true;
}

void XFrame::Connection::DropSegment() {
  if (!shared) return;
  // The server finishes the puts before the detach; its own mapping stays until then.
  xcb_shm_detach(xcb, segment);
  shmdt(shared);
  shared = nullptr;
  sharedBytes = 0;
  segment = 0;
}

// Once it returns, the server has done every put flushed so far, and the segment may be
// written again.
void XFrame::Connection::WaitForServer() {
  if (!syncPending) return;
  std::free(xcb_get_input_focus_reply(xcb, sync, nullptr));
  syncPending = false;
}

std::unique_ptr<XFrame> XFrame::Open(uint64_t window) {
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  Display* display = x11 ? x11->display() : nullptr;
  if (!display || window == 0) return nullptr;
  XWindowAttributes attributes{};
  if (XGetWindowAttributes(display, static_cast<Window>(window), &attributes) == 0) return nullptr;
  const Visual* visual = attributes.visual;
  if (attributes.depth != 24 || !visual || visual->c_class != TrueColor ||
      visual->red_mask != kRed || visual->green_mask != kGreen || visual->blue_mask != kBlue) {
    return nullptr;
  }
  auto connection = std::make_unique<Connection>();
  connection->display = display;
  connection->window = static_cast<Window>(window);
  connection->gc = XCreateGC(display, connection->window, 0, nullptr);
  connection->black = BlackPixelOfScreen(attributes.screen);
  xcb_connection_t* xcb = x11->connection();
  const xcb_query_extension_reply_t* shm = xcb ? xcb_get_extension_data(xcb, &xcb_shm_id) : nullptr;
  if (shm && shm->present) connection->xcb = xcb;
  return std::unique_ptr<XFrame>(new XFrame(std::move(connection)));
}

XFrame::XFrame(std::unique_ptr<Connection> connection) : connection_(std::move(connection)) {}

XFrame::~XFrame() {
  if (connection_->xcb && connection_->syncPending)
    xcb_discard_reply(connection_->xcb, connection_->sync.sequence);
  connection_->DropSegment();
  XFreeGC(connection_->display, connection_->gc);
  XFlush(connection_->display);
  if (connection_->xcb) xcb_flush(connection_->xcb);
}

void XFrame::SetBlackBackground() {
  XSetWindowBackground(connection_->display, connection_->window, connection_->black);
}

void XFrame::Put(const Picture& frame, const Rect& r) {
  const Rect c = Clip(frame, r);
  if (c.Empty()) return;
  Connection& x = *connection_;
  if (x.ShareFrame(frame)) {
    x.WaitForServer();
    const size_t stride = static_cast<size_t>(frame.Width);
    for (int y = c.Y; y < c.Y + c.Height; ++y) {
      const size_t at = static_cast<size_t>(y) * stride + static_cast<size_t>(c.X);
      std::memcpy(x.shared + at, frame.Pixels.data() + at, static_cast<size_t>(c.Width) * 4);
    }
    xcb_shm_put_image(
        x.xcb, static_cast<xcb_drawable_t>(x.window),
        static_cast<xcb_gcontext_t>(XGContextFromGC(x.gc)), static_cast<uint16_t>(frame.Width),
        static_cast<uint16_t>(frame.Height), static_cast<uint16_t>(c.X), static_cast<uint16_t>(c.Y),
        static_cast<uint16_t>(c.Width), static_cast<uint16_t>(c.Height), static_cast<int16_t>(c.X),
        static_cast<int16_t>(c.Y), 24, XCB_IMAGE_FORMAT_Z_PIXMAP, 0, x.segment, 0);
    x.putsSinceFlush = true;
    return;
  }
  // An image over the frame's own pixels: Xlib sends the rectangle's rows from them.
  XImage image{};
  image.width = frame.Width;
  image.height = frame.Height;
  image.format = ZPixmap;
  image.data = reinterpret_cast<char*>(const_cast<Pixel*>(frame.Pixels.data()));
  image.byte_order = std::endian::native == std::endian::little ? LSBFirst : MSBFirst;
  image.bitmap_unit = 32;
  image.bitmap_bit_order = image.byte_order;
  image.bitmap_pad = 32;
  image.depth = 24;
  image.bytes_per_line = frame.Width * 4;
  image.bits_per_pixel = 32;
  image.red_mask = kRed;
  image.green_mask = kGreen;
  image.blue_mask = kBlue;
  if (XInitImage(&image) == 0) return;
  XPutImage(connection_->display, connection_->window, connection_->gc, &image, c.X, c.Y, c.X, c.Y,
            static_cast<unsigned>(c.Width), static_cast<unsigned>(c.Height));
}

void XFrame::PutOverBlack(const Picture& frame, const Rect& r) {
  const Rect c = Clip(frame, r);
  for (int top = c.Y; top < c.Y + c.Height; top += kBandRows) {
    const int bottom = std::min(top + kBandRows, c.Y + c.Height);
    int first = c.X + c.Width, last = c.X - 1;
    for (int y = top; y < bottom; ++y) {
      const Pixel* row = frame.Pixels.data() + static_cast<size_t>(y) * frame.Width;
      const int end = c.X + c.Width;
      int x = c.X;
      while (x < end && (row[x] & 0x00FFFFFFu) == 0) ++x;
      if (x == end) continue;  // all black
      first = std::min(first, x);
      int z = end - 1;
      while (z > last && z > x && (row[z] & 0x00FFFFFFu) == 0) --z;
      last = std::max(last, z);
    }
    if (first <= last) Put(frame, Rect{first, top, last - first + 1, bottom - top});
  }
}

void XFrame::Flush() {
  Connection& x = *connection_;
  if (x.putsSinceFlush) {
    // Puts are only made after WaitForServer, so no earlier sync is outstanding.
    x.sync = xcb_get_input_focus(x.xcb);
    x.syncPending = true;
    x.putsSinceFlush = false;
  }
  XFlush(x.display);
  if (x.xcb) xcb_flush(x.xcb);
}

}  // namespace qm::qt
