#include "scenes/Flyers.h"

#include <algorithm>

#include "app/NumericText.h"
#include "winsys/Random.h"

namespace qm {

FlyerField MakeFlyerField(float widthTwips, float heightTwips, double speed, bool preview,
                          const FlyerRules& rules) {
  FlyerField field;
  // Twips to pixels by the fixed factor 15, whatever the display's real resolution.
  field.Wp = widthTwips / 15.0f;
  field.Hp = heightTwips / 15.0f;
  field.Speed = speed;
  field.GrowthDivisor = preview ? 50.0 : 300.0;
  field.ResetDivisor = preview ? rules.PreviewResetDivisor : 15.0;
  return field;
}

int LastSlotIndex(double count) {
  return std::min<int>(RoundToInt16(count - 1.0), kFlyerSlotCount - 1);
}

int FirstSlotIndex(double count) {
  return std::clamp<int>(RoundToInt16(count), 0, kFlyerSlotCount);
}

bool NeedsLaunch(const FlyerSlot& slot, const FlyerField& field) {
  // Only X is tested: a flyer that leaves at the top or bottom comes back through the
  // size limit instead.
  return field.Wp <= slot.X || slot.X <= 0.0f;
}

void LaunchFlyer(FlyerSlot& slot, const FlyerField& field, const FlyerRules& rules) {
  if (rules.ReseedAtLaunch) Randomize();
  slot.X = field.Wp / 2.0f;
  slot.Y = field.Hp / 2.0f;
  const double r1 = Rnd();
  slot.Step = static_cast<float>(Floor(r1 * field.Speed + 1.0) * 10.0);
  const double r2 = Rnd();
  slot.Direction = static_cast<float>(Floor(r2 * rules.DirectionCount + 1.0));
  const double r3 = Rnd();
  // Between Wp / 150 and Wp / 51.
  slot.Size = static_cast<float>(static_cast<double>(field.Wp) / (Floor(r3 * 100.0 + 1.0) + 50.0));
}

void LaunchPass(FlyerTable& slots, int last, const FlyerField& field, const FlyerRules& rules) {
  last = std::min(last, kFlyerSlotCount - 1);
  for (int i = 0; i <= last; ++i) {
    if (NeedsLaunch(slots[i], field)) LaunchFlyer(slots[i], field, rules);
  }
}

bool AtCentre(const FlyerSlot& slot, const FlyerField& field) {
  return slot.X == field.Wp / 2.0f && slot.Y == field.Hp / 2.0f;
}

FlyerMove DirectionMove(int code, double s, const FlyerRules& rules) {
  switch (code) {
    case 1:
      return {s, 0};
    case 2:
      return {-s, 0};
    case 3:
      return {0, s};
    case 4:
      return {0, -s};
    case 5:
      return {s, s};
    case 6:
      return {-s, -s};
    case 7:
      return {-s, s};
    // Codes 8 and 10 mirror 11 and 12 below the horizon (down-left and down-right at a
    // shallow angle), so every code carries the flyer away from the centre and it is
    // drawn; the two scenes share them.
    case 8:
      return {-2.0 * s, s};
    case 9:
      return {s, -s};
    case 10:
      return {2.0 * s, s};
    case 11:
      return {rules.Code11XSteps * s, -s};
    case 12:
      return {2.0 * s, -s};
    default:
      return {};
  }
}

void MoveAndGrow(FlyerSlot& slot, const FlyerField& field, const FlyerRules& rules) {
  const FlyerMove move = DirectionMove(static_cast<int>(slot.Direction), slot.Step, rules);
  slot.X = static_cast<float>(slot.X + move.Dx);
  slot.Y = static_cast<float>(slot.Y + move.Dy);
  const double wp = field.Wp;
  slot.Size = static_cast<float>(slot.Size + wp / field.GrowthDivisor);
  if (slot.Size > wp / field.ResetDivisor + 10.0) slot.X = 0.0f;
}

}  // namespace qm
