// Scene "4": the four championship pictures in turn, each alone on a cleared screen at a
// random place.
#include "app/NumericText.h"
#include "app/mSSaver.h"
#include "saver/frmSSaver.h"
#include "scenes/Placement.h"
#include "scenes/SceneDraw.h"
#include "winsys/Random.h"

namespace qm {
namespace {

constexpr int16_t kChampionCount = 4;  // PictureClip2: 2 x 2 pictures
constexpr float kThumbWidth = 50.0f;   // preview thumbnail
constexpr float kThumbHeight = 31.0f;

}  // namespace

void frmSSaver::ShowChampions() {
  SceneCls(Canvas);
  Randomize();

  PaintSlideAtRandom(Canvas, PictureClip2, ChampionCell, RunMode == kRunModePreview, kThumbWidth,
                     kThumbHeight);

  ++ChampionCell;
  if (ChampionCell >= kChampionCount) ChampionCell = 0;
}

}  // namespace qm
