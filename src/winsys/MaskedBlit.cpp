#include "winsys/MaskedBlit.h"

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <vector>

#include "winsys/Stretch.h"

namespace qm {
namespace {

std::atomic<bool> wideAllowed{true};

void MaskedRow(const Pixel* __restrict mask, const Pixel* __restrict image, Pixel* __restrict dst,
               size_t n) {
  for (size_t i = 0; i < n; ++i) dst[i] = ((mask[i] & dst[i]) ^ image[i]) & kRgbMask;
}

// Mask and image have the same size and so sample the same source pixel everywhere.
// Each source row is trimmed to the columns between its first and last pixel that
// changes anything; only those destination columns are read and written.
void BlitMaskedPortable(Picture& dst, const PictureView& mask, const PictureView& image,
                        const SpriteBox& at) {
  const size_t w = static_cast<size_t>(at.X1 - at.X0);
  const bool sameWidth = at.Width == mask.Width;
  const int offset = at.X0 - at.X;  // columns of the sprite clipped away on the left
  thread_local std::vector<int> cols;
  thread_local std::vector<Pixel> maskRow;
  thread_local std::vector<Pixel> imageRow;
  if (!sameWidth) {
    SampleColumns(cols, w, offset, mask.Width, at.Width);
    maskRow.resize(w);
    imageRow.resize(w);
  }
  // Trimming scans the source row one pixel at a time, where the combining goes several
  // at a time: it pays where each source pixel stands for several destination pixels,
  // or where a wide row's ends would be cache lines fetched for nothing.
  const bool trim = at.Width > mask.Width || w > 64;
  CentreSampler sy(at.Y0 - at.Y, mask.Height, at.Height);
  int lastSy = -1;
  const Pixel* m = nullptr;
  const Pixel* im = nullptr;
  size_t lo = 0, hi = 0;  // destination columns, relative to X0, that need work
  for (int y = at.Y0; y < at.Y1; ++y, sy.Next()) {
    if (sy.Value() != lastSy) {
      lastSy = sy.Value();
      const Pixel* ms = mask.Data + static_cast<size_t>(lastSy) * mask.Stride;
      const Pixel* is = image.Data + static_cast<size_t>(lastSy) * image.Stride;
      int first = 0, end = mask.Width;  // source columns [first, end) that matter
      if (trim) {
        while (first < end && LeavesAlone(ms[first], is[first])) ++first;
        while (end > first && LeavesAlone(ms[end - 1], is[end - 1])) --end;
      }
      if (sameWidth) {
        lo = static_cast<size_t>(std::clamp(first - offset, 0, static_cast<int>(w)));
        hi = static_cast<size_t>(std::clamp(end - offset, 0, static_cast<int>(w)));
        m = ms + offset;
        im = is + offset;
      } else {
        // The sampled columns never decrease, so those inside [first, end) are one run;
        // worked out rather than searched for, as a search's branches are a gamble.
        lo = ColumnsBelow(first, w, offset, mask.Width, at.Width);
        hi = std::max(lo, ColumnsBelow(end, w, offset, mask.Width, at.Width));
        const int* __restrict cs = cols.data();
        Pixel* __restrict mr = maskRow.data();
        Pixel* __restrict ir = imageRow.data();
        for (size_t i = lo; i < hi; ++i) {
          mr[i] = ms[cs[i]];
          ir[i] = is[cs[i]];
        }
        m = mr;
        im = ir;
      }
    }
    if (lo >= hi) continue;
    Pixel* drow = dst.Pixels.data() + static_cast<size_t>(y) * dst.Width + at.X0;
    // Each destination row lies on another page of a large surface, out of reach of
    // the processor's own prefetching: ask for the row after next while this one is
    // combined.
    if (y + 2 < at.Y1) {
      const Pixel* ahead = drow + 2 * static_cast<size_t>(dst.Width);
      for (size_t i = lo; i < hi; i += 16) __builtin_prefetch(ahead + i, 1);
    }
    MaskedRow(m + lo, im + lo, drow + lo, hi - lo);
  }
}

}  // namespace

void BlitMasked(Picture& dst, const PictureView& mask, const PictureView& image,
                const SpriteBox& at) {
  if (wideAllowed.load(std::memory_order_relaxed) && BlitMaskedWide(dst, mask, image, at)) return;
  BlitMaskedPortable(dst, mask, image, at);
}

void SetWideVectorsForTesting(bool allowed) {
  wideAllowed.store(allowed, std::memory_order_relaxed);
}

}  // namespace qm
