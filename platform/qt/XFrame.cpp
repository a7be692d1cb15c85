#include "qt/XFrame.h"

#include <QtGui/qguiapplication_platform.h>

#include <QGuiApplication>

// Xlib's after Qt's: its macros (Bool, Status, None) would break Qt's headers.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <sys/ipc.h>
#include <sys/mman.h>
#include <sys/shm.h>
#include <xcb/shm.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <vector>

namespace qm::qt {
namespace {

// Rows scanned together by PutOverBlack: a few requests for a full screen, and little
// black sent beside what a band holds.
constexpr int kBandRows = 16;

constexpr unsigned long kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF;

struct Segment {
  xcb_shm_seg_t id = 0;
  Pixel* at = nullptr;
};

// A shared-memory segment of `bytes`, attached here and, for reading, by the server;
// nothing when either side cannot attach it.
std::optional<Segment> Attach(xcb_connection_t* xcb, size_t bytes) {
  const int id = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
  if (id < 0) return std::nullopt;
  void* at = shmat(id, nullptr, 0);
  if (at == reinterpret_cast<void*>(-1)) {
    shmctl(id, IPC_RMID, nullptr);
    return std::nullopt;
  }
  // Every page is written soon (a surface is filled with its background on every
  // resize): one call lays them all out, where touching them one by one would stop at
  // each. An older kernel without it leaves the pages to come as they are touched.
  madvise(at, bytes, MADV_POPULATE_WRITE);
  const xcb_shm_seg_t seg = xcb_generate_id(xcb);
  xcb_generic_error_t* error =
      xcb_request_check(xcb, xcb_shm_attach_checked(xcb, seg, static_cast<uint32_t>(id), 1));
  // Removed now, the segment lives on until both sides have detached, even if this
  // process is killed.
  shmctl(id, IPC_RMID, nullptr);
  if (error) {
    std::free(error);
    shmdt(at);
    return std::nullopt;
  }
  return Segment{seg, static_cast<Pixel*>(at)};
}

// The server finishes the puts sent before the detach; its own mapping stays until then.
void Detach(xcb_connection_t* xcb, const Segment& segment) {
  xcb_shm_detach(xcb, segment.id);
  shmdt(segment.at);
}

// The put request's sizes are 16-bit and its destination signed 16-bit.
bool FitsRequest(const Picture& frame) {
  return frame.Width > 0 && frame.Height > 0 && frame.Width <= 0x7FFF && frame.Height <= 0x7FFF;
}

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

  // The connection for MIT-SHM: one of our own where it can be opened (see the
  // header), else Qt's seen through XCB; null when the server lacks the extension.
  // Once the server cannot attach our memory (a remote display), rectangles travel
  // through the socket instead.
  xcb_connection_t* xcb = nullptr;
  bool ownConnection = false;
  // Qt's own, flushed with ours: Qt leaves some of its requests (raising the window
  // among them) waiting in its buffer until something flushes it.
  xcb_connection_t* qtXcb = nullptr;
  xcb_gcontext_t gcid = 0;  // the puts' graphics context, on that connection
  bool shmRefused = false;
  // For frames outside PixelMemory(): a segment laid out like the last such frame;
  // rectangles are copied to the same place in it and the server reads them there.
  Segment copies;
  size_t copiesBytes = 0;
  bool putsSinceFlush = false;
  bool xlibSinceFlush = false;  // requests made through Xlib since the last Flush
  // Sent behind the last flushed puts: its reply says the server has done them. Asked
  // for with the puts rather than when the pixels next change, so that by then the
  // answer is usually waiting and no round trip holds the saver up.
  xcb_get_input_focus_cookie_t sync{};
  bool syncPending = false;

  bool ShareFrame(const Picture& frame);
  void DropCopies();
  void WaitForServer();
  void PutFrom(const Segment& segment, const Picture& frame, const Rect& c);
};

// Every block it hands out is a segment of its own, attached on both sides; when that
// cannot be, plain memory.
class XFrame::SharedPixels final : public std::pmr::memory_resource {
 public:
  explicit SharedPixels(Connection& x) : x_(x) {}
  ~SharedPixels() override {
    for (const Segment& s : segments_) Detach(x_.xcb, s);
  }
  SharedPixels(const SharedPixels&) = delete;
  SharedPixels& operator=(const SharedPixels&) = delete;

  // The segment whose memory starts at `pixels`, if any.
  const Segment* Find(const Pixel* pixels) const {
    for (const Segment& s : segments_) {
      if (s.at == pixels) return &s;
    }
    return nullptr;
  }

 private:
  void* do_allocate(size_t bytes, size_t alignment) override {
    if (x_.xcb && !x_.shmRefused && alignment <= alignof(std::max_align_t)) {
      if (const std::optional<Segment> s = Attach(x_.xcb, bytes)) {
        segments_.push_back(*s);
        return s->at;
      }
      x_.shmRefused = true;
    }
    return std::pmr::new_delete_resource()->allocate(bytes, alignment);
  }
  void do_deallocate(void* p, size_t bytes, size_t alignment) override {
    const auto s = std::find_if(segments_.begin(), segments_.end(),
                                [p](const Segment& seg) { return seg.at == p; });
    if (s == segments_.end()) {
      std::pmr::new_delete_resource()->deallocate(p, bytes, alignment);
      return;
    }
    Detach(x_.xcb, *s);
    segments_.erase(s);
  }
  bool do_is_equal(const std::pmr::memory_resource& other) const noexcept override {
    return this == &other;
  }

  Connection& x_;
  std::vector<Segment> segments_;
};

// A segment as large as `frame`, attached on both sides; false when shared memory
// cannot be used.
bool XFrame::Connection::ShareFrame(const Picture& frame) {
  if (!xcb || shmRefused || !FitsRequest(frame)) return false;
  const size_t bytes = static_cast<size_t>(frame.Width) * frame.Height * sizeof(Pixel);
  if (copies.at && copiesBytes == bytes) return true;
  DropCopies();
  const std::optional<Segment> s = Attach(xcb, bytes);
  if (!s) {
    shmRefused = true;
    return false;
  }
  copies = *s;
  copiesBytes = bytes;
  return true;
}

void XFrame::Connection::DropCopies() {
  if (!copies.at) return;
  Detach(xcb, copies);
  copies = {};
  copiesBytes = 0;
}

void XFrame::Connection::WaitForServer() {
  if (!syncPending) return;
  std::free(xcb_get_input_focus_reply(xcb, sync, nullptr));
  syncPending = false;
  // Nobody else reads our own connection: the errors that come back on it (puts to a
  // window that was destroyed meanwhile) are dropped here, or they would pile up.
  if (ownConnection) {
    while (xcb_generic_event_t* e = xcb_poll_for_queued_event(xcb)) std::free(e);
  }
}

void XFrame::Connection::PutFrom(const Segment& segment, const Picture& frame, const Rect& c) {
  xcb_shm_put_image(
      xcb, static_cast<xcb_drawable_t>(window), gcid, static_cast<uint16_t>(frame.Width),
      static_cast<uint16_t>(frame.Height), static_cast<uint16_t>(c.X), static_cast<uint16_t>(c.Y),
      static_cast<uint16_t>(c.Width), static_cast<uint16_t>(c.Height), static_cast<int16_t>(c.X),
      static_cast<int16_t>(c.Y), 24, XCB_IMAGE_FORMAT_Z_PIXMAP, 0, segment.id, 0);
  putsSinceFlush = true;
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
  const auto hasShm = [](xcb_connection_t* c) {
    const xcb_query_extension_reply_t* shm = xcb_get_extension_data(c, &xcb_shm_id);
    return shm && shm->present;
  };
  connection->qtXcb = x11->connection();
  xcb_connection_t* own = xcb_connect(DisplayString(display), nullptr);
  if (!xcb_connection_has_error(own) && hasShm(own)) {
    connection->xcb = own;
    connection->ownConnection = true;
    connection->gcid = xcb_generate_id(own);
    xcb_create_gc(own, connection->gcid, static_cast<xcb_drawable_t>(window), 0, nullptr);
  } else {
    xcb_disconnect(own);  // also where it failed, which frees it
    if (connection->qtXcb && hasShm(connection->qtXcb)) {
      connection->xcb = connection->qtXcb;
      connection->gcid = static_cast<xcb_gcontext_t>(XGContextFromGC(connection->gc));
    }
  }
  return std::unique_ptr<XFrame>(new XFrame(std::move(connection)));
}

XFrame::XFrame(std::unique_ptr<Connection> connection)
    : connection_(std::move(connection)), pixels_(std::make_unique<SharedPixels>(*connection_)) {}

XFrame::~XFrame() {
  pixels_.reset();
  if (connection_->syncPending) xcb_discard_reply(connection_->xcb, connection_->sync.sequence);
  connection_->DropCopies();
  XFreeGC(connection_->display, connection_->gc);
  XFlush(connection_->display);
  if (connection_->ownConnection) {
    // Closing it frees whatever of ours the server still holds on it.
    xcb_disconnect(connection_->xcb);
  } else if (connection_->xcb) {
    xcb_flush(connection_->xcb);
  }
}

void XFrame::SetBlackBackground() {
  XSetWindowBackground(connection_->display, connection_->window, connection_->black);
  connection_->xlibSinceFlush = true;
}

std::pmr::memory_resource* XFrame::PixelMemory() {
  return pixels_.get();
}

void XFrame::WaitForServer() {
  connection_->WaitForServer();
}

void XFrame::Put(const Picture& frame, const Rect& r) {
  const Rect c = Clip(frame, r);
  if (c.Empty()) return;
  Connection& x = *connection_;
  if (const Segment* own = pixels_->Find(frame.Pixels.data()); own && FitsRequest(frame)) {
    x.PutFrom(*own, frame, c);
    return;
  }
  if (x.ShareFrame(frame)) {
    x.WaitForServer();
    const size_t stride = static_cast<size_t>(frame.Width);
    for (int y = c.Y; y < c.Y + c.Height; ++y) {
      const size_t at = static_cast<size_t>(y) * stride + static_cast<size_t>(c.X);
      std::memcpy(x.copies.at + at, frame.Pixels.data() + at, static_cast<size_t>(c.Width) * 4);
    }
    x.PutFrom(x.copies, frame, c);
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
  connection_->xlibSinceFlush = true;
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
    // The new reply answers for the puts the old one was waiting for, too.
    if (x.syncPending) xcb_discard_reply(x.xcb, x.sync.sequence);
    x.sync = xcb_get_input_focus(x.xcb);
    x.syncPending = true;
    x.putsSinceFlush = false;
  }
  // XFlush takes the connection over from XCB and hands it back, which costs more
  // than the puts themselves: only where Xlib has requests of ours waiting.
  if (x.xlibSinceFlush || !x.xcb) {
    XFlush(x.display);
    x.xlibSinceFlush = false;
  }
  if (x.xcb) xcb_flush(x.xcb);
  if (x.qtXcb && x.qtXcb != x.xcb) xcb_flush(x.qtXcb);
}

}  // namespace qm::qt
