// The one-pass sprite behind Surface::PaintMasked: a mask and its picture of the same
// size drawn as SRCAND then SRCINVERT would leave them, dst = ((mask AND dst) XOR
// image), with the unused top byte of every written pixel 0. Kept apart from the
// surface so that a form using the processor's 512-bit vectors can be compiled beside
// the portable one; both draw exactly the same pixels.
#pragma once

#include <algorithm>
#include <cstddef>

#include "winsys/Picture.h"
#include "winsys/Stretch.h"

namespace qm {

// Where the sprite lands, as the surface placed it: its whole stretched box (X, Y,
// Width, Height; sizes at least 1) and the part of it on `dst` (X0, Y0) to (X1, Y1),
// which the caller has clipped and found not empty.
struct SpriteBox {
  int X, Y, Width, Height;
  int X0, Y0, X1, Y1;
};

// Draws the sprite into `dst`. Mask and image must have the same size and not be
// empty. The vector form is used where the processor has it and the sprite suits it.
void BlitMasked(Picture& dst, const PictureView& mask, const PictureView& image,
                const SpriteBox& at);

// Whether this build, on this processor, has the vector form.
bool WideVectorsAvailable();

// Tests turn the vector form off (and on again) to check that both draw the same.
void SetWideVectorsForTesting(bool allowed);

// A source pixel that leaves the destination unchanged: white in the mask and black
// in the picture (the top bytes do not count).
inline bool LeavesAlone(Pixel mask, Pixel image) {
  return (((mask ^ kRgbMask) | image) & kRgbMask) == 0;
}

// Whether the rows of the sprite are trimmed to the columns they change. Trimming
// scans the source row one pixel at a time, where the combining goes several at a time:
// it pays where each source pixel stands for several destination pixels, or where a
// wide row's ends would be cache lines fetched for nothing.
inline bool TrimsRows(const PictureView& mask, const SpriteBox& at) {
  return at.Width > mask.Width || at.X1 - at.X0 > 64;
}

// The destination columns [Lo, Hi), counted from X0, that need work for source row
// (ms, is): those from its first to its last pixel that changes anything when `trim`,
// else every visible one.
struct ColumnSpan {
  size_t Lo = 0, Hi = 0;
};
inline ColumnSpan ChangedColumns(const Pixel* ms, const Pixel* is, const PictureView& mask,
                                 const SpriteBox& at, bool trim) {
  const int w = at.X1 - at.X0;
  const int offset = at.X0 - at.X;  // columns of the sprite clipped away on the left
  int first = 0, end = mask.Width;  // source columns [first, end) that matter
  if (trim) {
    while (first < end && LeavesAlone(ms[first], is[first])) ++first;
    while (end > first && LeavesAlone(ms[end - 1], is[end - 1])) --end;
  }
  if (at.Width == mask.Width) {
    return {static_cast<size_t>(std::clamp(first - offset, 0, w)),
            static_cast<size_t>(std::clamp(end - offset, 0, w))};
  }
  // The sampled columns never decrease, so those inside [first, end) are one run;
  // worked out rather than searched for, as a search's branches are a gamble.
  const size_t lo = ColumnsBelow(first, static_cast<size_t>(w), offset, mask.Width, at.Width);
  return {lo,
          std::max(lo, ColumnsBelow(end, static_cast<size_t>(w), offset, mask.Width, at.Width))};
}

// Each destination row lies on another page of a large surface, out of reach of the
// processor's own prefetching: asks for columns [lo, hi) of the row after next while
// row y is drawn.
inline void PrefetchRowAfterNext(const Picture& dst, int y, const SpriteBox& at, size_t lo,
                                 size_t hi) {
  if (y + 2 >= at.Y1) return;
  const Pixel* ahead = dst.Pixels.data() + static_cast<size_t>(y + 2) * dst.Width + at.X0;
  for (size_t i = lo; i < hi; i += 16) __builtin_prefetch(ahead + i, 1);
}

// The vector form: false, with nothing drawn, where this build or processor lacks it or
// the sprite is stretched from a source more than 64 pixels wide.
bool BlitMaskedWide(Picture& dst, const PictureView& mask, const PictureView& image,
                    const SpriteBox& at);

}  // namespace qm
