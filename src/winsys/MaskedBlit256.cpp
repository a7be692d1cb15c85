// The one-pass sprite with 256-bit vectors, for processors without the 512-bit ones:
// eight pixels an instruction. There are no lane masks at this width, so a row's last
// group is the eight pixels ending at the row's end, overlapping the group before. It
// is worked out from the destination as it was before any of the row was written, and
// stored last, so that the pixels both groups cover get the same value twice. A
// stretched sprite's samples are picked from the source row by permutes, group by
// group as they are combined, or where its columns spread too far for that, gathered
// eight at a time once for all the rows that show the same source row.
#include "winsys/MaskedBlit.h"
#include "winsys/WideVectors.h"

#ifdef QM_HAS_WIDE_VECTORS

#include <immintrin.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "winsys/Stretch.h"

namespace qm {
namespace {

QM_V256 inline __m256i Load8(const void* p) {
  return _mm256_loadu_si256(static_cast<const __m256i*>(p));
}
QM_V256 inline void Store8(void* p, __m256i v) {
  _mm256_storeu_si256(static_cast<__m256i*>(p), v);
}
QM_V256 inline __m128i Load4(const void* p) {
  return _mm_loadu_si128(static_cast<const __m128i*>(p));
}
QM_V256 inline void Store4(void* p, __m128i v) {
  _mm_storeu_si128(static_cast<__m128i*>(p), v);
}

// Mask and image over eight pixels of destination d, with the top bytes cleared.
QM_V256 inline __m256i Combine8(const Pixel* m, const Pixel* im, const Pixel* d, __m256i rgb) {
  const __m256i mv = _mm256_and_si256(Load8(m), rgb);
  const __m256i iv = _mm256_and_si256(Load8(im), rgb);
  return _mm256_xor_si256(_mm256_and_si256(mv, Load8(d)), iv);
}

QM_V256 inline __m128i Combine4(const Pixel* m, const Pixel* im, const Pixel* d, __m128i rgb) {
  const __m128i mv = _mm_and_si128(Load4(m), rgb);
  const __m128i iv = _mm_and_si128(Load4(im), rgb);
  return _mm_xor_si128(_mm_and_si128(mv, Load4(d)), iv);
}

// Mask and image over n pixels of destination d; rows under four pixels go one pixel
// at a time.
QM_V256 void CombineRow(const Pixel* m, const Pixel* im, Pixel* d, size_t n) {
  if (n >= 8) {
    const __m256i rgb = _mm256_set1_epi32(static_cast<int>(kRgbMask));
    const size_t t = n - 8;
    const __m256i last = Combine8(m + t, im + t, d + t, rgb);
    for (size_t i = 0; i < t; i += 8) Store8(d + i, Combine8(m + i, im + i, d + i, rgb));
    Store8(d + t, last);
  } else if (n >= 4) {
    const __m128i rgb = _mm_set1_epi32(static_cast<int>(kRgbMask));
    const size_t t = n - 4;
    const __m128i last = Combine4(m + t, im + t, d + t, rgb);
    Store4(d, Combine4(m, im, d, rgb));
    Store4(d + t, last);
  } else {
    for (size_t i = 0; i < n; ++i) d[i] = ((m[i] & d[i]) ^ im[i]) & kRgbMask;
  }
}

// Bit k set where pixel k of the eight from `at` changes anything (see LeavesAlone).
QM_V256 inline unsigned Changing(const Pixel* ms, const Pixel* is, int at, __m256i rgb) {
  const __m256i v =
      _mm256_and_si256(_mm256_or_si256(_mm256_xor_si256(Load8(ms + at), rgb), Load8(is + at)), rgb);
  const __m256i alone = _mm256_cmpeq_epi32(v, _mm256_setzero_si256());
  return ~static_cast<unsigned>(_mm256_movemask_ps(_mm256_castsi256_ps(alone))) & 0xFFu;
}

// ChangingEnds eight pixels at a time, the last group overlapping the one before. A
// row of up to 64 pixels, as the scenes' cells are, is looked at whole: every group's
// bits in one word and its ends read from that, where searching from each end would
// branch on the picture's shape at every group.
QM_V256 SourceEnds ChangingEnds8(const Pixel* ms, const Pixel* is, int width) {
  if (width < 8) return ChangingEnds(ms, is, width);
  const __m256i rgb = _mm256_set1_epi32(static_cast<int>(kRgbMask));
  if (width <= 64) {
    uint64_t bits = uint64_t{Changing(ms, is, width - 8, rgb)} << (width - 8);
    for (int at = 0; at < width - 8; at += 8) bits |= uint64_t{Changing(ms, is, at, rgb)} << at;
    if (bits == 0) return {width, width};
    return {__builtin_ctzll(bits), 64 - __builtin_clzll(bits)};
  }
  int first = width;
  for (int at = 0;; at = std::min(at + 8, width - 8)) {
    if (const unsigned bits = Changing(ms, is, at, rgb)) {
      first = at + __builtin_ctz(bits);
      break;
    }
    if (at == width - 8) break;
  }
  if (first == width) return {width, width};
  for (int at = width - 8;; at = std::max(at - 8, 0)) {
    if (const unsigned bits = Changing(ms, is, at, rgb))
      return {first, at + 32 - __builtin_clz(bits)};
    if (at == 0) break;
  }
  return {first, first + 1};  // not reached: the pixel at `first` changes something
}

// The pixels of source row `from` at columns cols[lo, hi) into out[lo, hi). Gathering
// a pixel twice gives it the same value, so the last group may overlap.
QM_V256 void Gather(const Pixel* from, const int* cols, Pixel* out, size_t lo, size_t hi) {
  const int* base = reinterpret_cast<const int*>(from);
  if (hi - lo < 8) {
    for (size_t i = lo; i < hi; ++i) out[i] = from[cols[i]];
    return;
  }
  for (size_t i = lo; i + 8 < hi; i += 8)
    Store8(out + i, _mm256_i32gather_epi32(base, Load8(cols + i), 4));
  Store8(out + hi - 8, _mm256_i32gather_epi32(base, Load8(cols + hi - 8), 4));
}

// The eight samples picked by `lanes` from the source row from `at`: lanes 0 to 7 of
// the eight pixels there, or where `Two`, 0 to 15 of the sixteen.
template <bool Two>
QM_V256 inline __m256i PickSamples(const Pixel* at, __m256i lanes) {
  const __m256i picked = _mm256_permutevar8x32_epi32(Load8(at), lanes);
  if (!Two) return picked;
  // Lanes 8 to 15 come from the second register; bit 3 moved to the top chooses.
  const __m256i high = _mm256_permutevar8x32_epi32(Load8(at + 8), lanes);
  return _mm256_castps_si256(_mm256_blendv_ps(_mm256_castsi256_ps(picked),
                                              _mm256_castsi256_ps(high),
                                              _mm256_castsi256_ps(_mm256_slli_epi32(lanes, 28))));
}

// The samples of a stretched row taken eight destination columns at a time by loads and
// permutes, where the eight columns of every group lie within eight source columns
// (always so when enlarged), or within sixteen (shrunk to half or more): the source
// row is then read a register at a time, where a gather would fetch its pixels one by
// one. Group g covers destination columns [8g, 8g + 8), the last group the eight
// ending at the row's end; it loads the source row from column Base[g] and picks lanes
// Lanes[8g .. 8g + 8) of the one or two registers from there.
class PermutePlan {
 public:
  // False where some group's columns spread wider, or the row or source is too narrow.
  bool Make(const std::vector<int>& cols, size_t w, int sourceWidth) {
    if (w < 8) return false;
    const size_t groups = (w + 7) / 8;
    for (const int span : {8, 16}) {
      if (sourceWidth < span) return false;
      base_.resize(groups);
      lanes_.resize(groups * 8);
      bool fits = true;
      for (size_t g = 0; g < groups && fits; ++g) {
        const size_t start = std::min(8 * g, w - 8);
        // Never past the source row's end: near it the load starts further left.
        const int base = std::min(cols[start], sourceWidth - span);
        fits = cols[start + 7] - base < span;
        base_[g] = base;
        for (size_t k = 0; k < 8; ++k) lanes_[8 * g + k] = cols[start + k] - base;
      }
      if (fits) {
        w_ = w;
        two_ = span == 16;
        return true;
      }
    }
    return false;
  }

  // The plan itself, for DrawPlanned: its groups, whether each picks from two
  // registers, and each group's first source column and lanes.
  size_t Groups() const { return base_.size(); }
  bool Two() const { return two_; }
  const int* Bases() const { return base_.data(); }
  const int* Lanes() const { return lanes_.data(); }

  // Mask and image rows (ms, is) sampled and combined straight into destination row d,
  // over whole groups covering at least columns [lo, hi), lo < hi. The samples stay in
  // registers: stored and read back at other offsets they would wait on the stores.
  // Columns of those groups outside [lo, hi) leave the destination as it was.
  QM_V256 void Combine(const Pixel* ms, const Pixel* is, Pixel* d, size_t lo, size_t hi) const {
    if (two_) {
      CombineGroups<true>(ms, is, d, lo, hi);
    } else {
      CombineGroups<false>(ms, is, d, lo, hi);
    }
  }

 private:
  // The plan is read through local pointers: the vector stores may alias anything, and
  // would otherwise have its members read again after every group.
  template <bool Two>
  QM_V256 void CombineGroups(const Pixel* ms, const Pixel* is, Pixel* d, size_t lo,
                             size_t hi) const {
    const __m256i rgb = _mm256_set1_epi32(static_cast<int>(kRgbMask));
    const int* const base = base_.data();
    const int* const lanes = lanes_.data();
    const size_t w = w_;
    const size_t first = lo / 8, end = std::min((hi - 1) / 8, (w + 7) / 8 - 1);
    // The last group may overlap the one before: worked out before that is stored.
    const __m256i last = Group<Two>(ms, is, d, base, lanes, w, end, rgb);
    for (size_t g = first; g < end; ++g)
      Store8(d + 8 * g, Group<Two>(ms, is, d, base, lanes, w, g, rgb));
    Store8(d + std::min(8 * end, w - 8), last);
  }

  // Group g of the row, combined; the last group is the eight ending at the row's end.
  template <bool Two>
  QM_V256 static __m256i Group(const Pixel* ms, const Pixel* is, const Pixel* d, const int* base,
                               const int* lanes, size_t w, size_t g, __m256i rgb) {
    const __m256i l = Load8(lanes + 8 * g);
    const __m256i m = PickSamples<Two>(ms + base[g], l), im = PickSamples<Two>(is + base[g], l);
    const size_t start = std::min(8 * g, w - 8);
    return _mm256_and_si256(_mm256_xor_si256(_mm256_and_si256(m, Load8(d + start)), im), rgb);
  }

  std::vector<int> base_;
  std::vector<int> lanes_;
  size_t w_ = 0;
  bool two_ = false;
};

// Asks for every line of the `w` pixels from `row`: a line holds 16 pixels, and the
// last pixel may lie on one more line than 16-pixel steps from the first reach.
inline void PrefetchRow(const Pixel* row, size_t w) {
  for (size_t i = 0; i < w; i += 16) __builtin_prefetch(row + i, 1);
  __builtin_prefetch(row + w - 1, 1);
}

// A sprite whose visible rows are 8 to 64 pixels wide and not trimmed, at its own
// width (DrawPlanned below takes the stretched ones): most of what the scenes draw.
// Its rows are walked in a loop with nothing else in it, so that the processor runs
// several rows ahead and their misses overlap; the general walk's bookkeeping between
// rows made such sprites cost a fifth more.
QM_V256 void DrawNarrow(Picture& dst, const PictureView& mask, const PictureView& image,
                        const SpriteBox& at) {
  const __m256i rgb = _mm256_set1_epi32(static_cast<int>(kRgbMask));
  const size_t w = static_cast<size_t>(at.X1 - at.X0), t = w - 8;  // the last group's start
  const size_t stride = static_cast<size_t>(dst.Width);
  const auto mStride = static_cast<size_t>(mask.Stride);
  const auto iStride = static_cast<size_t>(image.Stride);
  // The sprite's columns start where it was clipped on the left.
  const auto offset = static_cast<size_t>(at.X0 - at.X);
  const Pixel* const m0 = mask.Data + offset;
  const Pixel* const i0 = image.Data + offset;
  Pixel* d = dst.Pixels.data() + static_cast<size_t>(at.Y0) * stride + static_cast<size_t>(at.X0);
  CentreSampler sy(at.Y0 - at.Y, mask.Height, at.Height);
  for (int y = at.Y0; y < at.Y1; ++y, d += stride, sy.Next()) {
    // The row after next lies on another page: asked for now, as the general walk does.
    if (y + 2 < at.Y1) PrefetchRow(d + 2 * stride, w);
    const auto row = static_cast<size_t>(sy.Value());
    const Pixel* m = m0 + row * mStride;
    const Pixel* im = i0 + row * iStride;
    const __m256i last = Combine8(m + t, im + t, d + t, rgb);
    for (size_t i = 0; i < t; i += 8) Store8(d + i, Combine8(m + i, im + i, d + i, rgb));
    Store8(d + t, last);
  }
}

// Mask and image samples picked by `lanes` from (ms, is) and combined with the eight
// pixels at d.
template <bool Two>
QM_V256 inline __m256i PlannedGroup(const Pixel* ms, const Pixel* is, __m256i lanes, const Pixel* d,
                                    __m256i rgb) {
  const __m256i m = PickSamples<Two>(ms, lanes), im = PickSamples<Two>(is, lanes);
  return _mm256_and_si256(_mm256_xor_si256(_mm256_and_si256(m, Load8(d)), im), rgb);
}

// DrawNarrow for a stretched sprite, sampled by a plan of G groups: each group's lanes
// and first source column are held in registers for the whole sprite, instead of being
// read for every group of every row.
template <size_t G, bool Two>
QM_V256 void DrawPlanned(Picture& dst, const PictureView& mask, const PictureView& image,
                         const SpriteBox& at, const PermutePlan& plan) {
  const __m256i rgb = _mm256_set1_epi32(static_cast<int>(kRgbMask));
  const size_t w = static_cast<size_t>(at.X1 - at.X0), t = w - 8;  // the last group's start
  const size_t stride = static_cast<size_t>(dst.Width);
  const auto mStride = static_cast<size_t>(mask.Stride);
  const auto iStride = static_cast<size_t>(image.Stride);
  __m256i lanes[G];
  size_t base[G];
  for (size_t g = 0; g < G; ++g) {
    lanes[g] = Load8(plan.Lanes() + 8 * g);
    base[g] = static_cast<size_t>(plan.Bases()[g]);
  }
  Pixel* d = dst.Pixels.data() + static_cast<size_t>(at.Y0) * stride + static_cast<size_t>(at.X0);
  CentreSampler sy(at.Y0 - at.Y, mask.Height, at.Height);
  for (int y = at.Y0; y < at.Y1; ++y, d += stride, sy.Next()) {
    if (y + 2 < at.Y1) PrefetchRow(d + 2 * stride, w);
    const auto row = static_cast<size_t>(sy.Value());
    const Pixel* m = mask.Data + row * mStride;
    const Pixel* im = image.Data + row * iStride;
    // The last group may overlap the one before: worked out before that is stored.
    const __m256i last =
        PlannedGroup<Two>(m + base[G - 1], im + base[G - 1], lanes[G - 1], d + t, rgb);
    for (size_t g = 0; g + 1 < G; ++g)
      Store8(d + 8 * g, PlannedGroup<Two>(m + base[g], im + base[g], lanes[g], d + 8 * g, rgb));
    Store8(d + t, last);
  }
}

// DrawPlanned for each number of groups a row of 8 to 64 pixels has, 1 to 8.
template <bool Two, size_t... G>
constexpr auto PlannedByGroups(std::index_sequence<G...>) {
  return std::array{&DrawPlanned<G + 1, Two>...};
}
template <bool Two>
QM_V256 void DrawPlannedGroups(Picture& dst, const PictureView& mask, const PictureView& image,
                               const SpriteBox& at, const PermutePlan& plan) {
  static constexpr auto kDraw = PlannedByGroups<Two>(std::make_index_sequence<8>());
  kDraw[std::min<size_t>(plan.Groups(), kDraw.size()) - 1](dst, mask, image, at, plan);
}

// The portable form's walk, with the rows combined and the samples gathered in vectors.
QM_V256 void Draw(Picture& dst, const PictureView& mask, const PictureView& image,
                  const SpriteBox& at, std::vector<RowSpan>* spans) {
  const bool sameWidth = at.Width == mask.Width;
  const int offset = at.X0 - at.X;  // columns of the sprite clipped away on the left
  StretchScratch* scratch = sameWidth ? nullptr : &StretchScratchFor(mask, at);
  thread_local PermutePlan plan;
  const bool permute =
      scratch && plan.Make(scratch->Cols, static_cast<size_t>(at.X1 - at.X0), mask.Width);
  if (!TrimsRows(at) && at.X1 - at.X0 >= 8 && (sameWidth || permute)) {
    if (!permute) {
      DrawNarrow(dst, mask, image, at);
    } else if (plan.Two()) {
      DrawPlannedGroups<true>(dst, mask, image, at, plan);
    } else {
      DrawPlannedGroups<false>(dst, mask, image, at, plan);
    }
    return;
  }
  for (SpriteRows rows(dst, mask, image, at, spans, ChangingEnds8, scratch); rows.More();
       rows.Next()) {
    const bool newSource = rows.NewSourceRow();
    const size_t lo = rows.Lo(), hi = rows.Hi();
    if (lo >= hi) continue;
    if (permute) {
      plan.Combine(rows.MaskRow(), rows.ImageRow(), rows.Destination(), lo, hi);
      continue;
    }
    if (!sameWidth && newSource) {
      Gather(rows.MaskRow(), scratch->Cols.data(), scratch->MaskRow.data(), lo, hi);
      Gather(rows.ImageRow(), scratch->Cols.data(), scratch->ImageRow.data(), lo, hi);
    }
    const Pixel* m = sameWidth ? rows.MaskRow() + offset : scratch->MaskRow.data();
    const Pixel* im = sameWidth ? rows.ImageRow() + offset : scratch->ImageRow.data();
    CombineRow(m + lo, im + lo, rows.Destination() + lo, hi - lo);
  }
}

}  // namespace

bool BlitMasked256(Picture& dst, const PictureView& mask, const PictureView& image,
                   const SpriteBox& at, std::vector<RowSpan>* spans) {
  Draw(dst, mask, image, at, spans);
  return true;
}

}  // namespace qm

#else

namespace qm {

bool BlitMasked256(Picture&, const PictureView&, const PictureView&, const SpriteBox&,
                   std::vector<RowSpan>*) {
  return false;
}

}  // namespace qm

#endif
