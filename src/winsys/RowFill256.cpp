// The fill with 256-bit vectors, for the narrow rectangles a step of small sprites
// leaves on a processor without the 512-bit ones. There are no lane masks at this
// width, so each row's last store is the group ending at the row's end, overlapping
// the one before: filling a pixel twice leaves it the same.
#include "winsys/RowFill.h"
#include "winsys/WideVectors.h"

#ifdef QM_HAS_WIDE_VECTORS

#include <immintrin.h>

namespace qm {
namespace {

QM_V256 void FillEights(Pixel* row, size_t stride, size_t width, size_t rows, Pixel colour) {
  const __m256i v = _mm256_set1_epi32(static_cast<int>(colour));
  for (size_t y = 0; y < rows; ++y, row += stride) {
    // As in the portable form: the row after next is on another page.
    if (y + 2 < rows)
      for (size_t i = 0; i < width; i += 16) __builtin_prefetch(row + 2 * stride + i, 1);
    for (size_t i = 0; i + 8 < width; i += 8)
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(row + i), v);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(row + width - 8), v);
  }
}

// Rows of 4 to 7 pixels: two groups of four, overlapping.
QM_V256 void FillFours(Pixel* row, size_t stride, size_t width, size_t rows, Pixel colour) {
  const __m128i v = _mm_set1_epi32(static_cast<int>(colour));
  for (size_t y = 0; y < rows; ++y, row += stride) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(row), v);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(row + width - 4), v);
  }
}

}  // namespace

bool FillRows256(Pixel* first, size_t stride, size_t width, size_t rows, Pixel colour) {
  if (width < 4) return false;
  if (width < 8) {
    FillFours(first, stride, width, rows, colour);
  } else {
    FillEights(first, stride, width, rows, colour);
  }
  return true;
}

}  // namespace qm

#else

namespace qm {

bool FillRows256(Pixel*, size_t, size_t, size_t, Pixel) {
  return false;
}

}  // namespace qm

#endif
