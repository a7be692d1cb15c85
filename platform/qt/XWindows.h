// The few X11 questions Qt does not answer: the root window's rectangle, whether a
// foreign window exists and how big it is, when it is resized or destroyed, and what
// frame the window manager will give a window before it is shown. The
// first questions come before Qt has connected: the one-off questions share one Xlib
// connection of their own, kept open from the first question on, and each watch opens
// its own, whose events Qt would otherwise take. No X type crosses this header.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace qm::qt {

struct WindowSize {
  int Width = 0;
  int Height = 0;
};

// The root window's size in device pixels on $DISPLAY's default screen; nullopt
// without a display.
std::optional<WindowSize> RootWindowSize();

// The root window of $DISPLAY's default screen; 0 without a display.
uint64_t RootWindowId();

// The inside size of window `id` (border excluded); nullopt when there is no display,
// no such window, or one that cannot be drawn in (input-only).
std::optional<WindowSize> ForeignWindowSize(uint64_t id);

struct WindowRect {
  int X = 0;  // of the inside's top-left corner, on the root window
  int Y = 0;
  int Width = 0;
  int Height = 0;
};

// Where window `id`'s inside lies on the screen, in device pixels; nullopt as for
// ForeignWindowSize.
std::optional<WindowRect> ForeignWindowOnScreen(uint64_t id);

// The frame a window manager will put around a window of ours, in device pixels.
struct FrameExtents {
  int Left = 0;
  int Right = 0;
  int Top = 0;
  int Bottom = 0;
};

// Asks the running window manager what frame it will give window `id` (created and not
// yet shown), and waits at most `timeoutMs` for the answer. nullopt when there is no
// display or no window manager that answers such questions (then the window may get
// no frame at all, or one nobody can tell in advance), or when none came in time.
std::optional<FrameExtents> ProspectiveFrame(uint64_t id, int timeoutMs);

// Watches one foreign window for resizes and its destruction. Another client may
// destroy the window at any moment; every request is made so that its X error is
// caught here and read as "gone" rather than reaching Xlib's default handler, which
// would end the process.
class ForeignWindowWatch {
 public:
  // nullptr when there is no display or no such window.
  static std::unique_ptr<ForeignWindowWatch> Open(uint64_t id);
  ~ForeignWindowWatch();
  ForeignWindowWatch(const ForeignWindowWatch&) = delete;
  ForeignWindowWatch& operator=(const ForeignWindowWatch&) = delete;

  // The connection's file descriptor: readable when Poll has something to read.
  int Fd() const;
  WindowSize Size() const { return size_; }
  bool Gone() const { return gone_; }

  // Reads every event that has arrived. True when the size or Gone() changed.
  bool Poll();

 private:
  struct Connection;
  explicit ForeignWindowWatch(std::unique_ptr<Connection> connection, uint64_t id, WindowSize size);

  std::unique_ptr<Connection> connection_;
  uint64_t id_ = 0;
  WindowSize size_;
  bool gone_ = false;
};

// Watches the stacking of the root window's children, for a window that must stay above
// all others and bypasses the window manager, so that nobody else keeps it there: it
// learns at once when another window is mapped or raised over it, or it is unmapped.
// Requests are made so that a window vanishing meanwhile is no X error for the program.
class StackingWatch {
 public:
  // nullptr when there is no display.
  static std::unique_ptr<StackingWatch> Open();
  ~StackingWatch();
  StackingWatch(const StackingWatch&) = delete;
  StackingWatch& operator=(const StackingWatch&) = delete;

  // The connection's file descriptor: readable when Poll has something to read.
  int Fd() const;
  // Reads every event that has arrived. True when the root window's children were
  // mapped, unmapped, reparented, moved or restacked since the last call (our own
  // windows included): the time to ask Covered.
  bool Poll();
  // True when window `lowest` is not shown, or when a shown window other than `ours`
  // lies above it. Windows count by the child of the root window that holds them, so a
  // window of `ours` that a window manager has put in a frame counts by its frame;
  // `ours` may include `lowest`. False when `lowest` is no longer there: nothing can be
  // done for it then.
  bool Covered(uint64_t lowest, const std::vector<uint64_t>& ours);

 private:
  struct Connection;
  explicit StackingWatch(std::unique_ptr<Connection> connection);

  std::unique_ptr<Connection> connection_;
};

}  // namespace qm::qt
