// The fill with 256-bit vectors, for processors without the 512-bit ones: rectangles
// and sprite rows a few stores each, with no call into the C library for every row.
// There are no lane masks at this width, so each row's last store is the group ending
// at the row's end, overlapping the one before: filling a pixel twice leaves it the
// same.
#include "winsys/RowFill.h"
#include "winsys/WideVectors.h"

#ifdef QM_HAS_WIDE_VECTORS

#include <immintrin.h>

namespace qm {
namespace {

// One row of `width` pixels, four at least.
QM_V256 inline void FillRow(Pixel* row, size_t width, __m256i v) {
  if (width >= 8) {
    for (size_t i = 0; i + 8 < width; i += 8)
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(row + i), v);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(row + width - 8), v);
  } else {
    const __m128i v4 = _mm256_castsi256_si128(v);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(row), v4);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(row + width - 4), v4);
  }
}

QM_V256 void FillRect(Pixel* row, size_t stride, size_t width, size_t rows, Pixel colour) {
  const __m256i v = _mm256_set1_epi32(static_cast<int>(colour));
  for (size_t y = 0; y < rows; ++y, row += stride) {
    // As in the portable form: the row after next is on another page.
    if (y + 2 < rows)
      for (size_t i = 0; i < width; i += 16) __builtin_prefetch(row + 2 * stride + i, 1);
    FillRow(row, width, v);
  }
}

QM_V256 void FillSpanList(Picture& picture, const RowSpan* spans, size_t count, Pixel colour) {
  const __m256i v = _mm256_set1_epi32(static_cast<int>(colour));
  Pixel* const pixels = picture.Pixels.data();
  const size_t stride = static_cast<size_t>(picture.Width);
  for (size_t i = 0; i < count; ++i) {
    Pixel* row = SpanStart(pixels, stride, spans, i, count);
    const size_t width = static_cast<size_t>(spans[i].X1 - spans[i].X0);
    if (width >= 4) {
      FillRow(row, width, v);
    } else {
      for (size_t x = 0; x < width; ++x) row[x] = colour;
    }
  }
}

}  // namespace

bool FillSpans256(Picture& picture, const RowSpan* spans, size_t count, Pixel colour) {
  FillSpanList(picture, spans, count, colour);
  return true;
}

bool FillRows256(Pixel* first, size_t stride, size_t width, size_t rows, Pixel colour) {
  if (width < 4) return false;
  FillRect(first, stride, width, rows, colour);
  return true;
}

}  // namespace qm

#else

namespace qm {

bool FillRows256(Pixel*, size_t, size_t, size_t, Pixel) {
  return false;
}

bool FillSpans256(Picture&, const RowSpan*, size_t, Pixel) {
  return false;
}

}  // namespace qm

#endif
