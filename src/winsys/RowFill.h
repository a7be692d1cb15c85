// Filling rows of pixels with one colour: the work of `Cls`, which clears the
// rectangles and sprite rows drawn on since the surface was last all background.
#pragma once

#include <cstddef>

#include "winsys/Picture.h"

namespace qm {

// Columns [X0, X1) of row Y of a picture.
struct RowSpan {
  int Y, X0, X1;
};

// Span i of the `count` from `spans` in the pixels `pixels`, `stride` a row; while
// filling it, asks for span i + 2, as a sprite's spans come row after row, each on
// another page of a large surface. The caller holds pixels and stride itself: a vector
// form's stores may alias anything, and a picture's fields would be read again after
// every span.
inline Pixel* SpanStart(Pixel* pixels, size_t stride, const RowSpan* spans, size_t i,
                        size_t count) {
  if (i + 2 < count) {
    const RowSpan& a = spans[i + 2];
    const Pixel* ahead = pixels + static_cast<size_t>(a.Y) * stride + a.X0;
    for (int x = a.X0; x < a.X1; x += 16, ahead += 16) __builtin_prefetch(ahead, 1);
  }
  return pixels + static_cast<size_t>(spans[i].Y) * stride + spans[i].X0;
}

// Sets columns [column, column + width) of each of `rows` rows to `colour`. The rows
// start at `rowStart`, `stride` pixels apart, and the columns must lie inside one
// picture's pixels; width and rows may be 0, which fills nothing. Nothing outside the
// columns is written (a vector form may start its stores at a column before them, its
// lanes there left out; that is why it is told where the rows start).
void FillRows(Pixel* rowStart, size_t column, size_t stride, size_t width, size_t rows,
              Pixel colour);

// Sets the `count` spans from `spans` on to `colour`; each must lie inside `picture`
// and may be empty.
void FillSpans(Picture& picture, const RowSpan* spans, size_t count, Pixel colour);

// The vector form, for rows of at most 64 pixels: false, with nothing filled, where
// this build lacks it or the rows are wider. The caller has asked UseWideVectors().
bool FillRowsWide(Pixel* rowStart, size_t column, size_t stride, size_t width, size_t rows,
                  Pixel colour);

// The 256-bit form, for rows of 4 pixels or more: false, with nothing filled, where this
// build lacks it or the rows are narrower. The caller has asked UseVectors256().
bool FillRows256(Pixel* first, size_t stride, size_t width, size_t rows, Pixel colour);

// FillSpans in the 256-bit form: false, with nothing filled, where this build lacks it.
// The caller has asked UseVectors256().
bool FillSpans256(Picture& picture, const RowSpan* spans, size_t count, Pixel colour);

}  // namespace qm
