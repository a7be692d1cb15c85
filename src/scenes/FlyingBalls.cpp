// Scene "1": spinning footballs fly out of the centre and grow towards the viewer.
#include <cmath>

#include "app/NumericText.h"
#include "app/Settings.h"
#include "app/mSSaver.h"
#include "saver/frmSSaver.h"
#include "scenes/Flyers.h"
#include "scenes/SceneDraw.h"

namespace qm {
namespace {

// BolaClip: cells 0 to 6 are the spin frames, 7 to 13 the matching masks.
constexpr int kBallFrames = 7;

}  // namespace

void frmSSaver::ShowFlyingBalls() {
  SceneCls(Canvas);

  const double speed = LeadingNumber(BolasVel);
  const double count = LeadingNumber(BolasNum);
  const FlyerField field =
      MakeFlyerField(Width(), Height(), speed, RunMode == kRunModePreview, kBallRules);
  const int last = LastSlotIndex(count);

  LaunchPass(BallSlots, last, field, kBallRules);

  for (int i = 0; i <= last; ++i) {
    FlyerSlot& ball = BallSlots[i];
    if (!AtCentre(ball, field)) {
      if (ball.Frame >= kBallFrames || ball.Frame < 0) ball.Frame = 0;
      const float height = std::floor(ball.Size);
      ScenePaintMasked(Canvas, BolaClip.GraphicCell(ball.Frame + kBallFrames),
                       BolaClip.GraphicCell(ball.Frame), ball.X, ball.Y, ball.Size, height);
      ++ball.Frame;
    }
    MoveAndGrow(ball, field, kBallRules);
  }
}

}  // namespace qm
