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

  const double wp = Width() / 15.0f;
  const double hp = Height() / 15.0f;
  const PictureView picture = PictureClip2.GraphicCell(ChampionCell);
  if (RunMode == kRunModePreview) {
    const CellPlacement at = PlaceAtRandom(wp - kThumbWidth, hp - kThumbHeight, kPreviewOffset);
    ScenePaint(Canvas, picture, at.X, at.Y, kThumbWidth, kThumbHeight, RasterOp::SrcCopy);
  } else {
    const int16_t cw = RoundToInt16(PictureClip2.CellWidth());
    const int16_t ch = RoundToInt16(PictureClip2.CellHeight());
    const CellPlacement at =
        PlaceAtRandom(wp - cw - kFullScreenMargin, hp - ch - kFullScreenMargin, kFullScreenMargin);
    ScenePaint(Canvas, picture, at.X, at.Y, std::nullopt, std::nullopt, RasterOp::SrcCopy);
  }

  ++ChampionCell;
  if (ChampionCell >= kChampionCount) ChampionCell = 0;
}

}  // namespace qm
