// A timer control: only its interval and enabled state. The host delivers the ticks:
// after every call into the form it reads both and re-arms its real (or virtual)
// timer, so a changed interval counts from the tick that set it.
#pragma once

#include <cstdint>

namespace qm {

// The timer control's largest interval; larger values are clamped to it.
inline constexpr int32_t kMaxTimerInterval = 65535;
// A window-system timer ticks at most this often: Windows raises shorter intervals to
// it, so a banner time of 1 ms does not reload its picture a thousand times a second.
inline constexpr int32_t kShortestTickPeriod = 10;

struct Timer {
  int32_t Interval = 0;  // milliseconds; 0 means no tick ever comes
  bool Enabled = false;

  void SetInterval(int64_t ms) {
    Interval = ms < 0 ? 0 : (ms > kMaxTimerInterval ? kMaxTimerInterval : static_cast<int32_t>(ms));
  }
  bool Ticking() const { return Enabled && Interval > 0; }
  // The milliseconds between the ticks a host delivers while Ticking().
  int32_t TickPeriod() const {
    return Interval < kShortestTickPeriod ? kShortestTickPeriod : Interval;
  }
};

}  // namespace qm
