#include "qt/XWindows.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <vector>

namespace qm::qt {
namespace {

// Xlib's error handler is process-wide; while a request about a foreign window runs,
// ours counts the errors instead of letting the default handler end the program.
int trappedErrors = 0;
int CountError(Display*, XErrorEvent*) {
  ++trappedErrors;
  return 0;
}

class ErrorTrap {
 public:
  explicit ErrorTrap(Display* display) : display_(display) {
    XSync(display_, False);
    trappedErrors = 0;
    previous_ = XSetErrorHandler(CountError);
  }
  ~ErrorTrap() { XSetErrorHandler(previous_); }
  // Waits for the server's answers to everything sent so far; true when none failed.
  bool Clean() {
    XSync(display_, False);
    return trappedErrors == 0;
  }

 private:
  Display* display_;
  XErrorHandler previous_;
};

struct DisplayCloser {
  void operator()(Display* d) const {
    if (d) XCloseDisplay(d);
  }
};
using DisplayPtr = std::unique_ptr<Display, DisplayCloser>;

std::optional<WindowSize> SizeOf(Display* display, Window window) {
  XWindowAttributes attributes{};
  ErrorTrap trap(display);
  const Status ok = XGetWindowAttributes(display, window, &attributes);
  if (!trap.Clean() || ok == 0) return std::nullopt;
  // An input-only window has no pixels: a window put in it could not be shown there.
  if (attributes.c_class == InputOnly) return std::nullopt;
  return WindowSize{attributes.width, attributes.height};
}

// The connection for one-off questions, opened at the first and kept to the end. One
// opened and closed before Qt connects can be the server's only client: closing it
// then makes the server reset, and Qt's own connection waits out the reset (over a
// tenth of a second on Xvfb) before the first window can exist.
Display* SharedDisplay() {
  static DisplayPtr display;
  if (!display) display.reset(XOpenDisplay(nullptr));
  return display.get();
}

// A 32-bit property's values (as Xlib hands them, one long each); empty when the
// window or the property is missing or of another type.
std::vector<unsigned long> LongsOf(Display* display, Window window, const char* name, Atom type) {
  const Atom property = XInternAtom(display, name, False);
  Atom actualType = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  ErrorTrap trap(display);
  const int status = XGetWindowProperty(display, window, property, 0, 4096, False, type,
                                        &actualType, &format, &count, &after, &data);
  std::vector<unsigned long> values;
  if (trap.Clean() && status == Success && data && format == 32 && actualType == type) {
    const auto* longs = reinterpret_cast<const unsigned long*>(data);
    values.assign(longs, longs + count);
  }
  if (data) XFree(data);
  return values;
}

// A window manager that has gone leaves its _NET_SUPPORTED behind; one that runs
// keeps a check window that names itself.
bool ManagerAnswersFrameRequests(Display* display) {
  const Window root = DefaultRootWindow(display);
  const auto check = LongsOf(display, root, "_NET_SUPPORTING_WM_CHECK", XA_WINDOW);
  if (check.size() != 1) return false;
  const auto self =
      LongsOf(display, static_cast<Window>(check[0]), "_NET_SUPPORTING_WM_CHECK", XA_WINDOW);
  if (self.size() != 1 || self[0] != check[0]) return false;
  const Atom request = XInternAtom(display, "_NET_REQUEST_FRAME_EXTENTS", False);
  for (const unsigned long atom : LongsOf(display, root, "_NET_SUPPORTED", XA_ATOM))
    if (atom == request) return true;
  return false;
}

// Reads events until `window`'s `property` changes or the deadline passes.
bool AwaitPropertyChange(Display* display, Window window, Atom property,
                         std::chrono::steady_clock::time_point deadline) {
  for (;;) {
    while (XPending(display) > 0) {
      XEvent event;
      XNextEvent(display, &event);
      if (event.type == PropertyNotify && event.xproperty.window == window &&
          event.xproperty.atom == property)
        return true;
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    pollfd fd{ConnectionNumber(display), POLLIN, 0};
    if (poll(&fd, 1, static_cast<int>(left.count()) + 1) < 0 && errno != EINTR) return false;
  }
}

}  // namespace

struct ForeignWindowWatch::Connection {
  DisplayPtr display;
};

std::optional<WindowSize> RootWindowSize() {
  Display* display = SharedDisplay();
  if (!display) return std::nullopt;
  return SizeOf(display, DefaultRootWindow(display));
}

uint64_t RootWindowId() {
  Display* display = SharedDisplay();
  if (!display) return 0;
  return DefaultRootWindow(display);
}

std::optional<WindowSize> ForeignWindowSize(uint64_t id) {
  if (id == 0) return std::nullopt;
  Display* display = SharedDisplay();
  if (!display) return std::nullopt;
  return SizeOf(display, static_cast<Window>(id));
}

std::optional<WindowRect> ForeignWindowOnScreen(uint64_t id) {
  const auto size = ForeignWindowSize(id);
  if (!size) return std::nullopt;
  Display* display = SharedDisplay();
  int x = 0, y = 0;
  Window child = 0;
  ErrorTrap trap(display);
  const Bool same = XTranslateCoordinates(display, static_cast<Window>(id),
                                          DefaultRootWindow(display), 0, 0, &x, &y, &child);
  if (!trap.Clean() || !same) return std::nullopt;
  return WindowRect{x, y, size->Width, size->Height};
}

std::optional<FrameExtents> ProspectiveFrame(uint64_t id, int timeoutMs) {
  if (id == 0) return std::nullopt;
  Display* display = SharedDisplay();
  if (!display || !ManagerAnswersFrameRequests(display)) return std::nullopt;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  const auto window = static_cast<Window>(id);
  const Atom extents = XInternAtom(display, "_NET_FRAME_EXTENTS", False);
  {
    // Listening before asking, so that the answer cannot come unseen in between.
    ErrorTrap trap(display);
    XSelectInput(display, window, PropertyChangeMask);
    if (!trap.Clean()) return std::nullopt;
  }
  XEvent request{};
  request.xclient.type = ClientMessage;
  request.xclient.window = window;
  request.xclient.message_type = XInternAtom(display, "_NET_REQUEST_FRAME_EXTENTS", False);
  request.xclient.format = 32;
  XSendEvent(display, DefaultRootWindow(display), False,
             SubstructureRedirectMask | SubstructureNotifyMask, &request);
  XFlush(display);
  const bool answered = AwaitPropertyChange(display, window, extents, deadline);
  {
    ErrorTrap trap(display);
    XSelectInput(display, window, NoEventMask);
  }
  if (!answered) return std::nullopt;
  const auto values = LongsOf(display, window, "_NET_FRAME_EXTENTS", XA_CARDINAL);
  // A frame wider than a screen is no frame anyone would draw.
  constexpr unsigned long kMost = 4096;
  if (values.size() != 4 || values[0] > kMost || values[1] > kMost || values[2] > kMost ||
      values[3] > kMost)
    return std::nullopt;
  return FrameExtents{static_cast<int>(values[0]), static_cast<int>(values[1]),
                      static_cast<int>(values[2]), static_cast<int>(values[3])};
}

std::unique_ptr<ForeignWindowWatch> ForeignWindowWatch::Open(uint64_t id) {
  if (id == 0) return nullptr;
  auto connection = std::make_unique<Connection>();
  connection->display.reset(XOpenDisplay(nullptr));
  Display* display = connection->display.get();
  if (!display) return nullptr;
  const auto window = static_cast<Window>(id);
  {
    // Select first, then measure: a resize in between is then reported as an event.
    ErrorTrap trap(display);
    XSelectInput(display, window, StructureNotifyMask);
    if (!trap.Clean()) return nullptr;
  }
  const auto size = SizeOf(display, window);
  if (!size) return nullptr;
  return std::unique_ptr<ForeignWindowWatch>(
      new ForeignWindowWatch(std::move(connection), id, *size));
}

ForeignWindowWatch::ForeignWindowWatch(std::unique_ptr<Connection> connection, uint64_t id,
                                       WindowSize size)
    : connection_(std::move(connection)), id_(id), size_(size) {}

ForeignWindowWatch::~ForeignWindowWatch() = default;

int ForeignWindowWatch::Fd() const {
  return ConnectionNumber(connection_->display.get());
}

bool ForeignWindowWatch::Poll() {
  Display* display = connection_->display.get();
  bool changed = false;
  while (XPending(display) > 0) {
    XEvent event;
    XNextEvent(display, &event);
    if (event.xany.window != static_cast<Window>(id_)) continue;
    if (event.type == DestroyNotify && !gone_) {
      gone_ = true;
      changed = true;
    } else if (event.type == ConfigureNotify) {
      const WindowSize now{event.xconfigure.width, event.xconfigure.height};
      if (now.Width != size_.Width || now.Height != size_.Height) {
        size_ = now;
        changed = true;
      }
    }
  }
  return changed;
}

struct StackingWatch::Connection {
  DisplayPtr display;
};

std::unique_ptr<StackingWatch> StackingWatch::Open() {
  auto connection = std::make_unique<Connection>();
  connection->display.reset(XOpenDisplay(nullptr));
  Display* display = connection->display.get();
  if (!display) return nullptr;
  // Many clients may watch the root window's children this way (only redirecting them
  // is one client's at a time).
  XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
  // Done by the server before Open returns: from then on nothing goes unreported (the
  // requests of other clients, flushed or not, may come first).
  XSync(display, False);
  return std::unique_ptr<StackingWatch>(new StackingWatch(std::move(connection)));
}

StackingWatch::StackingWatch(std::unique_ptr<Connection> connection)
    : connection_(std::move(connection)) {}

StackingWatch::~StackingWatch() = default;

int StackingWatch::Fd() const {
  return ConnectionNumber(connection_->display.get());
}

bool StackingWatch::Poll() {
  Display* display = connection_->display.get();
  bool changed = false;
  while (XPending(display) > 0) {
    XEvent event;
    XNextEvent(display, &event);
    switch (event.type) {
      case MapNotify:
      case UnmapNotify:
      case ReparentNotify:  // a window put back on the root window comes out on top
      case ConfigureNotify:
      case CirculateNotify:
        changed = true;
        break;
      default:
        break;
    }
  }
  return changed;
}

namespace {

// The child of the root window that holds `window` (itself when it is one); 0 when the
// window is gone.
Window TopLevelOf(Display* display, Window window) {
  const Window root = DefaultRootWindow(display);
  for (int depth = 0; depth < 64 && window != 0; ++depth) {
    Window rootOut = 0, parent = 0, *children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, window, &rootOut, &parent, &children, &count)) return 0;
    if (children) XFree(children);
    if (parent == root) return window;
    window = parent;
  }
  return 0;
}

bool Shown(Display* display, Window window, bool drawnOnly) {
  XWindowAttributes attributes{};
  if (!XGetWindowAttributes(display, window, &attributes)) return false;
  return attributes.map_state == IsViewable && (!drawnOnly || attributes.c_class == InputOutput);
}

}  // namespace

bool StackingWatch::Covered(uint64_t lowest, const std::vector<uint64_t>& ours) {
  // Asked whenever the stacking may have changed: as few round trips as will do (the
  // trap's, the stacking order's and whether `lowest` is shown, when nothing lies above).
  Display* display = connection_->display.get();
  ErrorTrap trap(display);
  Window rootOut = 0, parent = 0, *children = nullptr;
  unsigned int count = 0;
  if (!XQueryTree(display, DefaultRootWindow(display), &rootOut, &parent, &children, &count))
    return false;
  const std::vector<Window> stack(children, children + count);  // bottom to top
  if (children) XFree(children);
  const auto topLevel = [&](uint64_t id) {
    const auto window = static_cast<Window>(id);
    return std::find(stack.begin(), stack.end(), window) != stack.end()
               ? window
               : TopLevelOf(display, window);
  };
  const Window bottom = topLevel(lowest);
  if (bottom == 0) return false;
  if (!Shown(display, static_cast<Window>(lowest), false)) return true;
  std::vector<Window> held;
  for (const uint64_t id : ours)
    if (const Window top = topLevel(id)) held.push_back(top);
  auto above = std::find(stack.begin(), stack.end(), bottom);
  if (above == stack.end()) return false;
  for (++above; above != stack.end(); ++above) {
    // An input-only window shows nothing (window managers keep some over everything).
    if (std::find(held.begin(), held.end(), *above) == held.end() && Shown(display, *above, true))
      return true;
  }
  return false;
}

}  // namespace qm::qt
