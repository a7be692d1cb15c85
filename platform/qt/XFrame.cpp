#include "qt/XFrame.h"

#include <QtGui/qguiapplication_platform.h>

#include <QGuiApplication>

// Xlib's after Qt's: its macros (Bool, Status, None) would break Qt's headers.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <bit>

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
};

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
  return std::unique_ptr<XFrame>(new XFrame(std::move(connection)));
}

XFrame::XFrame(std::unique_ptr<Connection> connection) : connection_(std::move(connection)) {}

XFrame::~XFrame() {
  XFreeGC(connection_->display, connection_->gc);
  XFlush(connection_->display);
}

void XFrame::SetBlackBackground() {
  XSetWindowBackground(connection_->display, connection_->window, connection_->black);
}

void XFrame::Put(const Picture& frame, const Rect& r) {
  const Rect c = Clip(frame, r);
  if (c.Empty()) return;
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
  XFlush(connection_->display);
}

}  // namespace qm::qt
