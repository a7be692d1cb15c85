// Random placement of one picture for the poster and champion scenes.
#pragma once

#include <cstdint>

#include "winsys/PictureClip.h"
#include "winsys/Surface.h"

namespace qm {

struct CellPlacement {
  int16_t X = 0;
  int16_t Y = 0;
};

// X = floor(spanX * r1) + offset and Y = floor(spanY * r2) + offset, each rounded half
// to even to a 16-bit integer, with r1 and r2 two successive uniform draws (X's first).
// A negative span (a window smaller than the picture and its margin) gives positions
// before the offset; nothing else guards it.
CellPlacement PlaceAtRandom(double spanX, double spanY, double offset);

// The full-screen placement: a margin of 70 pixels at the left and top, the picture
// inside the right and bottom edges.
inline constexpr double kFullScreenMargin = 70.0;
// The preview placement starts one pixel in.
inline constexpr double kPreviewOffset = 1.0;

// One slide of the poster and champion scenes: cell `cell` of `grid` copied (SRCCOPY)
// onto `surface` at a random place. Full screen it keeps its own size and the 70-pixel
// margin; in preview it is scaled to thumbWidth x thumbHeight anywhere from one pixel in.
void PaintSlideAtRandom(Surface& surface, const PictureClip& grid, int cell, bool preview,
                        float thumbWidth, float thumbHeight);

}  // namespace qm
