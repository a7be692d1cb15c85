// Scene "3": the posters of the fifteen past tournaments laid one by one at random
// places into a collage, cleared after ten full rounds.
#include "app/NumericText.h"
#include "app/mSSaver.h"
#include "saver/frmSSaver.h"
#include "scenes/Placement.h"
#include "scenes/SceneDraw.h"
#include "winsys/Random.h"

namespace qm {
namespace {

constexpr int16_t kPosterCount = 15;     // PictureClip1: 3 x 5 posters
constexpr int16_t kRoundsPerClear = 10;  // so at most 150 posters lie on the screen
constexpr float kThumbWidth = 20.0f;     // preview thumbnail
constexpr float kThumbHeight = 28.0f;

}  // namespace

void frmSSaver::ShowPastWorldCups() {
  Randomize();
  if (PosterRound == kRoundsPerClear) {
    SceneCls(Canvas);
    PosterRound = 0;
  }

  PaintSlideAtRandom(Canvas, PictureClip1, PosterCell, RunMode == kRunModePreview, kThumbWidth,
                     kThumbHeight);

  ++PosterCell;
  if (PosterCell >= kPosterCount) {
    PosterCell = 0;
    ++PosterRound;
  }
}

}  // namespace qm
