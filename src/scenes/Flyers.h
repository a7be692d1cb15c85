// The flyer mechanism of the flying-balls and flying-trophies scenes, written once:
// objects launched from the centre of the window with a random direction, speed and
// size, moved one step per tick along their direction, grown every step, and sent
// back to the centre once they have grown too big or left the window sideways.
//
// Each scene owns its slot table (on frmSSaver) and its drawing; this file owns the
// arithmetic. Results are stored in the slots' 32-bit float fields after each
// operation, so the centre test can compare the stored fields exactly.
#pragma once

#include <array>
#include <cstdint>

#include "saver/FlyerSlot.h"

namespace qm {

// What differs between the two flyer scenes.
struct FlyerRules {
  int DirectionCount;          // a launch draws a direction code 1 .. DirectionCount
  double Code11XSteps;         // horizontal change of code 11, in steps (negative: left)
  bool ReseedAtLaunch;         // re-seed the generator from the clock before each launch
  double PreviewResetDivisor;  // full screen always uses 15
};

inline constexpr FlyerRules kBallRules{12, -2.0, true, 1.0};
inline constexpr FlyerRules kTrophyRules{11, -1.5, false, 5.0};

inline constexpr int kFlyerSlotCount = 31;
using FlyerTable = std::array<FlyerSlot, kFlyerSlotCount>;

// The measures one step works with, taken at its start.
struct FlyerField {
  float Wp = 0;  // window width in pixels (twips / 15)
  float Hp = 0;  // window height in pixels
  double Speed = 0;
  double GrowthDivisor = 300;
  double ResetDivisor = 15;
};

// Wp and Hp from the window's size in twips; the divisors by run mode.
FlyerField MakeFlyerField(float widthTwips, float heightTwips, double speed, bool preview,
                          const FlyerRules& rules);

// The last slot index of a loop "0 to count - 1": count - 1 rounded half to even to a
// 16-bit integer, clamped to the table (so at most 30). -1 or less means no iteration.
int LastSlotIndex(double count);
// A loop bound of the form "count" rounded half to even, clamped to 0 .. 31 (31 means
// the loop starting there runs no iteration).
int FirstSlotIndex(double count);

// Whether the launch pass relaunches this slot: it has never flown (X is 0), was reset
// by the size limit, or has left the window at the left or right.
bool NeedsLaunch(const FlyerSlot& slot, const FlyerField& field);

// Puts the slot at the centre with a new step, direction and size from three draws
// (r1, r2, r3 in that order), re-seeding first when the rules say so. Frame is kept.
void LaunchFlyer(FlyerSlot& slot, const FlyerField& field, const FlyerRules& rules);

// Runs the launch pass over slots 0 .. last (clamped to the table).
void LaunchPass(FlyerTable& slots, int last, const FlyerField& field, const FlyerRules& rules);

// True while the slot sits exactly at the centre, as right after a launch; such a slot
// is not drawn.
bool AtCentre(const FlyerSlot& slot, const FlyerField& field);

// The change of X and Y for a direction code with step s. Codes outside 1 to 12 do not
// move.
struct FlyerMove {
  double Dx = 0;
  double Dy = 0;
};
FlyerMove DirectionMove(int code, double s, const FlyerRules& rules);

// Moves the slot by its direction, grows it, and sets X to 0 when it has passed the
// size limit, so the next launch pass relaunches it.
void MoveAndGrow(FlyerSlot& slot, const FlyerField& field, const FlyerRules& rules);

}  // namespace qm
