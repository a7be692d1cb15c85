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

  const double wp = Width() / 15.0f;
  const double hp = Height() / 15.0f;
  const PictureView poster = PictureClip1.GraphicCell(PosterCell);
  if (RunMode == kRunModePreview) {
    const CellPlacement at = PlaceAtRandom(wp - kThumbWidth, hp - kThumbHeight, kPreviewOffset);
    ScenePaint(Canvas, poster, at.X, at.Y, kThumbWidth, kThumbHeight, RasterOp::SrcCopy);
  } else {
    const int16_t cw = RoundToInt16(PictureClip1.CellWidth());
    const int16_t ch = RoundToInt16(PictureClip1.CellHeight());
    const CellPlacement at =
        PlaceAtRandom(wp - cw - kFullScreenMargin, hp - ch - kFullScreenMargin, kFullScreenMargin);
    ScenePaint(Canvas, poster, at.X, at.Y, std::nullopt, std::nullopt, RasterOp::SrcCopy);
  }

  ++PosterCell;
  if (PosterCell >= kPosterCount) {
    PosterCell = 0;
    ++PosterRound;
  }
}

}  // namespace qm
