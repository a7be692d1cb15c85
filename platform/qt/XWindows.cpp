#include "qt/XWindows.h"

#include <X11/Xlib.h>

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

}  // namespace qm::qt
