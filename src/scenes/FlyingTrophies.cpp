// Scene "2": the two World Cup trophies fly out of the centre like the balls, in up to
// two groups chosen by TrofeusTipo.
#include <cmath>
#include <optional>

#include "app/NumericText.h"
#include "app/Settings.h"
#include "app/mSSaver.h"
#include "saver/frmSSaver.h"
#include "scenes/Flyers.h"
#include "scenes/SceneDraw.h"

namespace qm {
namespace {

// Taca1Clip members: cell 0 the trophy, cell 1 its mask.
constexpr int kTrophyCell = 0;
constexpr int kMaskCell = 1;
// The trophies are tall: drawn height per pixel of width.
constexpr double kTrophyAspect = 2.35;

// Whether the trophy choice shows a group: group A ("World Cup") for 2 and 0, group B
// ("Jules Rimet") for 1 and 0. A choice that is not a number shows no group, like "3":
// only a hand-edited store can hold one, and an empty screen is the quiet answer.
bool ShowsGroup(const std::string& choiceText, double groupChoice) {
  const std::optional<double> choice = LocaleNumber(choiceText);
  return choice && (*choice == groupChoice || *choice == 0.0);
}

void DrawAndMove(FlyerTable& slots, int first, int last, const PictureClip& clip,
                 const FlyerField& field, Surface& canvas) {
  for (int i = first; i <= last; ++i) {
    FlyerSlot& trophy = slots[i];
    if (!AtCentre(trophy, field)) {
      const auto height = static_cast<float>(std::floor(trophy.Size * kTrophyAspect));
      ScenePaintMasked(canvas, clip.GraphicCell(kMaskCell), clip.GraphicCell(kTrophyCell), trophy.X,
                       trophy.Y, trophy.Size, height);
    }
    MoveAndGrow(trophy, field, kTrophyRules);
  }
}

}  // namespace

void frmSSaver::ShowFlyingTrophies() {
  SceneCls(Canvas);

  const double speed = LeadingNumber(TrofeusVel);
  const double perGroup = LeadingNumber(TrofeusNum);
  const FlyerField field =
      MakeFlyerField(Width(), Height(), speed, RunMode == kRunModePreview, kTrophyRules);

  // Both groups are launched whatever the choice; a hidden group then waits at the
  // centre, neither drawn nor moved.
  LaunchPass(TrophySlots, LastSlotIndex(2.0 * perGroup), field, kTrophyRules);

  // The choice is read anew for each group; group A is drawn first, so group B lies on
  // top where they overlap.
  if (ShowsGroup(TrofeusTipo, 2.0)) {
    DrawAndMove(TrophySlots, 0, LastSlotIndex(perGroup), Taca1Clip[0], field, Canvas);
  }
  if (ShowsGroup(TrofeusTipo, 1.0)) {
    DrawAndMove(TrophySlots, FirstSlotIndex(perGroup), LastSlotIndex(2.0 * perGroup), Taca1Clip[1],
                field, Canvas);
  }
}

}  // namespace qm
