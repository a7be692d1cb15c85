// A timer control: only its interval and enabled state. The host delivers the ticks:
// after every call into the form it reads both and re-arms its real (or virtual)
// timer, so a changed interval counts from the tick that set it.
#pragma once

#include <cstdint>

namespace qm {

// The timer control's largest interval; larger values are clamped to it.
inline constexpr int32_t kMaxTimerInterval = 65535;

struct Timer {
  int32_t Interval = 0;  // milliseconds; 0 means no tick ever comes
  bool Enabled = false;

  void SetInterval(int64_t ms) {
    Interval = ms < 0 ? 0 : (ms > kMaxTimerInterval ? kMaxTimerInterval : static_cast<int32_t>(ms));
  }
  bool Ticking() const { return Enabled && Interval > 0; }
};

}  // namespace qm
