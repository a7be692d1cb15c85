// The fill with 512-bit vectors, for the narrow rectangles a step of small sprites
// leaves: each row a few masked stores, the lanes worked out once for all rows.
#include "winsys/RowFill.h"
#include "winsys/WideVectors.h"

#ifdef QM_HAS_WIDE_VECTORS

#include "winsys/WideLanes.h"

namespace qm {
namespace {

constexpr size_t kMaxWideWidth = 64;

// Rows `lead` + `width` pixels wide from `row` on, but for their first `lead` pixels.
template <size_t Groups>
QM_WIDE void FillGroups(Pixel* row, size_t stride, unsigned lead, size_t width, size_t rows,
                        Pixel colour) {
  const __m512i v = _mm512_set1_epi32(static_cast<int>(colour));
  __mmask16 lanes[Groups];
  for (size_t g = 0; g < Groups; ++g) lanes[g] = FirstLanes(lead + width - g * 16);
  lanes[0] &= LanesFrom(lead);
  for (size_t y = 0; y < rows; ++y, row += stride) {
    // As in the portable form: the row after next is on another page.
    if (y + 2 < rows)
      for (size_t g = 0; g < Groups; ++g) __builtin_prefetch(row + 2 * stride + g * 16, 1);
    for (size_t g = 0; g < Groups; ++g) _mm512_mask_storeu_epi32(row + g * 16, lanes[g], v);
  }
}

}  // namespace

bool FillRowsWide(Pixel* rowStart, size_t column, size_t stride, size_t width, size_t rows,
                  Pixel colour) {
  if (width == 0 || width > kMaxWideWidth) return false;
  // From the start of the cache line even at the cost of a store more a row: two stores
  // of whole lines took less time than one store over parts of two.
  unsigned lead = LineLead(rowStart, column, stride);
  if (lead + width > kMaxWideWidth) lead = 0;
  Pixel* const from = rowStart + (column - lead);
  switch ((lead + width + 15) / 16) {
    case 1:
      FillGroups<1>(from, stride, lead, width, rows, colour);
      break;
    case 2:
      FillGroups<2>(from, stride, lead, width, rows, colour);
      break;
    case 3:
      FillGroups<3>(from, stride, lead, width, rows, colour);
      break;
    default:
      FillGroups<4>(from, stride, lead, width, rows, colour);
  }
  return true;
}

}  // namespace qm

#else

namespace qm {

bool FillRowsWide(Pixel*, size_t, size_t, size_t, size_t, Pixel) {
  return false;
}

}  // namespace qm

#endif
