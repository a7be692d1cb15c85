#include "winsys/RowFill.h"

#include <algorithm>
#include <cstring>

#include "winsys/WideVectors.h"

namespace qm {

void FillRows(Pixel* rowStart, size_t column, size_t stride, size_t width, size_t rows,
              Pixel colour) {
  if (width == 0 || rows == 0) return;
  // A narrow rectangle is mostly per-row overhead, which the vector form keeps to a
  // couple of stores a row.
  if (UseWideVectors() && FillRowsWide(rowStart, column, stride, width, rows, colour)) return;
  Pixel* const first = rowStart + column;
  if (UseVectors256() && FillRows256(first, stride, width, rows, colour)) return;
  Pixel* row = first;
  for (size_t y = 0; y < rows; ++y, row += stride) {
    // Each row of a large surface is on another page, out of reach of the processor's
    // own prefetching: fetch the row after next early.
    if (y + 2 < rows) {
      const Pixel* ahead = row + 2 * stride;
      for (size_t i = 0; i < width; i += 16) __builtin_prefetch(ahead + i, 1);
    }
    if (colour == 0) {
      // Black, the scenes' background: the C library's fill is the fastest there is.
      std::memset(row, 0, width * sizeof(Pixel));
    } else {
      std::fill(row, row + width, colour);
    }
  }
}

void FillSpans(Picture& picture, const RowSpan* spans, size_t count, Pixel colour) {
  // A span is a row or less of a small sprite: asked once for them all, not for each.
  if (UseVectors256() && FillSpans256(picture, spans, count, colour)) return;
  Pixel* const pixels = picture.Pixels.data();
  const size_t stride = static_cast<size_t>(picture.Width);
  for (size_t i = 0; i < count; ++i) {
    Pixel* row = SpanStart(pixels, stride, spans, i, count);
    std::fill(row, row + (spans[i].X1 - spans[i].X0), colour);
  }
}

}  // namespace qm
