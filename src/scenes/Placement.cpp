#include "scenes/Placement.h"

#include "app/NumericText.h"
#include "scenes/SceneDraw.h"
#include "winsys/Random.h"

namespace qm {

CellPlacement PlaceAtRandom(double spanX, double spanY, double offset) {
  CellPlacement place;
  const double r1 = Rnd();
  place.X = RoundToInt16(Floor(spanX * r1) + offset);
  const double r2 = Rnd();
  place.Y = RoundToInt16(Floor(spanY * r2) + offset);
  return place;
}

void PaintSlideAtRandom(Surface& surface, const PictureClip& grid, int cell, bool preview,
                        float thumbWidth, float thumbHeight) {
  // The window's size in twips over 15 is its size in pixels: the surface's.
  const double wp = surface.Width();
  const double hp = surface.Height();
  const PictureView picture = grid.GraphicCell(cell);
  if (preview) {
    const CellPlacement at = PlaceAtRandom(wp - thumbWidth, hp - thumbHeight, kPreviewOffset);
    ScenePaint(surface, picture, at.X, at.Y, thumbWidth, thumbHeight, RasterOp::SrcCopy);
    return;
  }
  const int16_t cw = RoundToInt16(grid.CellWidth());
  const int16_t ch = RoundToInt16(grid.CellHeight());
  const CellPlacement at =
      PlaceAtRandom(wp - cw - kFullScreenMargin, hp - ch - kFullScreenMargin, kFullScreenMargin);
  ScenePaint(surface, picture, at.X, at.Y, std::nullopt, std::nullopt, RasterOp::SrcCopy);
}

}  // namespace qm
