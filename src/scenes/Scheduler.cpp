// Timer1's tick: the scene scheduler. It keeps no state; the chosen scene's step keeps
// its own on the window.
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>

#include "app/NumericText.h"
#include "app/Settings.h"
#include "saver/frmSSaver.h"

namespace qm {
namespace {

constexpr int32_t kFlyerInterval = 50;  // ms: twenty steps a second

// A picture scene's period: its seconds text, read whole as a number in the user's
// locale, times 1000, rounded half to even. A text that is not a number, or one whose
// interval rounds below 0 (only a hand-edited store holds one), gives the scene's own
// default pace: keeping the interval as it was would keep the first tick's 50 ms, and
// a picture scene redrawn twenty times a second flashes the whole screen. A product
// beyond the largest interval the hosts can arm is clamped to it, as is a value too
// large for a double ("1e400"); an interval of 0 ("0", or "-0.0004" rounded) stops the
// ticks, as a zero interval does.
void SetPeriod(Timer& timer, const std::string& secondsText, int32_t defaultMs) {
  const std::optional<double> seconds = LocaleNumber(secondsText);
  if (!seconds || std::isnan(*seconds)) {
    timer.SetInterval(defaultMs);
    return;
  }
  const double ms = *seconds * 1000.0;
  if (ms >= kMaxTimerInterval) {
    timer.SetInterval(kMaxTimerInterval);
  } else if (const int32_t rounded = RoundToInt32(ms); rounded >= 0) {
    timer.SetInterval(rounded);
  } else {
    timer.SetInterval(defaultMs);
  }
}

}  // namespace

void frmSSaver::Timer1_Timer() {
  // Exact, case-sensitive comparison: " 1" or "01" is no scene.
  const std::string saver = Saver;
  // The interval is written before the step, so a changed period applies from the
  // next tick.
  if (saver == "1") {
    Timer1.SetInterval(kFlyerInterval);
    ShowFlyingBalls();
  } else if (saver == "2") {
    Timer1.SetInterval(kFlyerInterval);
    ShowFlyingTrophies();
  } else if (saver == "3") {
    SetPeriod(Timer1, SS03Vel, 1000);
    ShowPastWorldCups();
  } else if (saver == "4") {
    SetPeriod(Timer1, SS04Vel, 3000);
    ShowChampions();
  } else if (saver == "5") {
    SetPeriod(Timer1, SS05Vel, 4000);
    ShowMatchTable();
  }
}

}  // namespace qm
