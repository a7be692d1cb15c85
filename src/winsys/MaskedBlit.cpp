#include "winsys/MaskedBlit.h"

#include <algorithm>
#include <cstddef>
#include <vector>

#include "winsys/Stretch.h"
#include "winsys/WideVectors.h"

namespace qm {
namespace {

void MaskedRow(const Pixel* __restrict mask, const Pixel* __restrict image, Pixel* __restrict dst,
               size_t n) {
  for (size_t i = 0; i < n; ++i) dst[i] = ((mask[i] & dst[i]) ^ image[i]) & kRgbMask;
}

// Mask and image have the same size and so sample the same source pixel everywhere.
// Where more than 64 columns are visible, each source row is trimmed to the columns
// between its first and last pixel that changes anything; only those destination
// columns are read and written.
void BlitMaskedPortable(Picture& dst, const PictureView& mask, const PictureView& image,
                        const SpriteBox& at, std::vector<RowSpan>* spans) {
  const bool sameWidth = at.Width == mask.Width;
  const int offset = at.X0 - at.X;  // columns of the sprite clipped away on the left
  StretchScratch* scratch = sameWidth ? nullptr : &StretchScratchFor(mask, at);
  for (SpriteRows rows(dst, mask, image, at, spans, ChangingEnds, scratch); rows.More();
       rows.Next()) {
    const bool newSource = rows.NewSourceRow();
    const size_t lo = rows.Lo(), hi = rows.Hi();
    if (!sameWidth && newSource) {
      // Stretched: the samples of the new source row, once for every row that shows it.
      const Pixel* ms = rows.MaskRow();
      const Pixel* is = rows.ImageRow();
      const int* __restrict cs = scratch->Cols.data();
      Pixel* __restrict mr = scratch->MaskRow.data();
      Pixel* __restrict ir = scratch->ImageRow.data();
      for (size_t i = lo; i < hi; ++i) {
        mr[i] = ms[cs[i]];
        ir[i] = is[cs[i]];
      }
    }
    if (lo >= hi) continue;
    const Pixel* m = sameWidth ? rows.MaskRow() + offset : scratch->MaskRow.data();
    const Pixel* im = sameWidth ? rows.ImageRow() + offset : scratch->ImageRow.data();
    MaskedRow(m + lo, im + lo, rows.Destination() + lo, hi - lo);
  }
}

}  // namespace

bool BlitMasked(Picture& dst, const PictureView& mask, const PictureView& image,
                const SpriteBox& at, std::vector<RowSpan>& spans) {
  if (UseWideVectors() && BlitMaskedWide(dst, mask, image, at)) return false;
  if (!UseVectors256() || !BlitMasked256(dst, mask, image, at, &spans))
    BlitMaskedPortable(dst, mask, image, at, &spans);
  return TrimsRows(at);
}

}  // namespace qm
