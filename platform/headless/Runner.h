// Runs one saver window without a display and without waiting: the window's two
// timers tick on a virtual clock, every event is followed by a composed frame.
//
//   headless::Runner r({.width = 800, .height = 600, .preview = false});
//   r.Load();                 // Form_Load at virtual time 0, then the window is sized
//   r.RunTimer1Ticks(3);      // three scene steps (banner ticks due meanwhile included)
//   const Picture& f = r.Frame();
//
// While a Runner lives it is the process's host (qm::Host()) and it sets RunMode and
// ScreenRect as the start-up does for the chosen mode; the destructor puts back the
// host, RunMode and ScreenRect it found. One Runner at a time.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "app/mSSaver.h"
#include "headless/HeadlessHost.h"
#include "saver/frmSSaver.h"
#include "winsys/Host.h"
#include "winsys/Picture.h"
#include "winsys/Surface.h"

namespace qm::headless {

struct RunnerOptions {
  int width = 800;  // pixels; the window's size and ScreenRect's right and bottom
  int height = 600;
  bool preview = false;  // RunMode 4 (preview) instead of 1 (full screen)
};

class Runner {
 public:
  explicit Runner(const RunnerOptions& options = {});
  ~Runner();
  Runner(const Runner&) = delete;
  Runner& operator=(const Runner&) = delete;

  // Creates the window's load: Form_Load, the "Preview" caption in preview mode, the
  // window sized to width x height, the timers armed from virtual time 0. Once only.
  void Load();

  frmSSaver& Form() { return *form_; }
  HeadlessHost& Host() { return host_; }

  // Virtual milliseconds since Load. The host's clock (HeadlessHost::clockMs, what
  // re-seeding reads) advances with it.
  int64_t Now() const { return now_; }

  // Delivers, in time order, every tick falling due up to `ms` (ticks due at the same
  // moment: Timer1 first), then sets the clock to `ms`. A timer re-arms after every
  // call into the window: a timer that ticked, or whose interval or enabled state
  // changed, counts its interval afresh from that moment. Nothing happens after the
  // window has unloaded. A time before Now() is ignored.
  void AdvanceTo(int64_t ms);
  void AdvanceBy(int64_t ms) { AdvanceTo(now_ + ms); }

  // Advances to each of the next n Timer1 ticks in turn (Timer2 ticks due before or at
  // the same moment are delivered on the way). Returns how many Timer1 ticks happened:
  // fewer than n when Timer1 stops ticking or the window unloads.
  int RunTimer1Ticks(int n);

  // Delivers one input event (or any other call into the window) at the current time,
  // then re-arms the timers and composes, as after a tick.
  void Deliver(const std::function<void(frmSSaver&)>& event);

  // The composed frame, brought up to date first (so changes made to the window
  // directly by a test show too).
  const Picture& Frame();
  // The rectangles the last composition changed.
  const std::vector<Rect>& LastChanged() const { return lastChanged_; }

  int Timer1Count() const { return ticks_[0]; }
  int Timer2Count() const { return ticks_[1]; }

 private:
  struct Armed {
    bool enabled = false;
    int32_t interval = 0;
    int64_t due = -1;  // -1: not ticking
  };
  void Rearm(int justTicked);
  void Compose();
  void Tick(int which);

  HeadlessHost host_;
  HostServices* previousHost_;
  int32_t previousRunMode_;
  RectL previousScreenRect_;
  std::unique_ptr<frmSSaver> form_;
  RunnerOptions options_;
  bool loaded_ = false;
  int64_t now_ = 0;
  double clockStartMs_ = 0;
  Armed armed_[2];
  int ticks_[2] = {0, 0};
  Picture frame_;
  std::vector<Rect> lastChanged_;
};

}  // namespace qm::headless
