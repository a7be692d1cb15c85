// The one-pass sprite with 512-bit vectors: sixteen pixels an instruction, the tail of
// a row included (lanes past its end are neither read nor written), and a stretched
// sprite's samples picked from registers holding its source row rather than gathered
// one pixel at a time. The scenes' sprites are at most 40 pixels wide, so a source row
// fits in four registers.
#include "winsys/MaskedBlit.h"
#include "winsys/WideVectors.h"

#ifdef QM_HAS_WIDE_VECTORS

#include <algorithm>
#include <cstddef>
#include <vector>

#include "winsys/Stretch.h"
#include "winsys/WideLanes.h"

namespace qm {
namespace {

// Ternary logic code of (A AND B) XOR C, with A the mask, B the destination and C the
// image: the mask-then-picture formula in one instruction. The image comes with its top
// bytes cleared, and the mask with them cleared or meets a destination whose top bytes
// are 0 (the surface's always are), so the result's are 0.
constexpr int kMaskThenImage = 0x6A;
// Ternary logic code of (A XOR B) OR C: with A the mask, B all colour bits and C the
// image, zero exactly where the mask is white and the image black.
constexpr int kWhiteOrLit = 0xBE;

// Sources up to this wide are held in registers while their rows are sampled.
constexpr int kMaxHeldWidth = 64;

// Where the mask is black the result is the image whatever lies below, and where it is
// white over a black image it is what lies below: where every one of `lanes` is either,
// as with an exact mask, the group is a store of its opaque lanes, with no wait for the
// destination.
QM_WIDE inline bool StoreOnly(__m512i mv, __m512i iv, __m512i rgb, __mmask16 lanes) {
  const __mmask16 shows = _mm512_mask_test_epi32_mask(lanes, mv, mv);
  return _mm512_mask_test_epi32_mask(shows, _mm512_ternarylogic_epi32(mv, rgb, iv, kWhiteOrLit),
                                     rgb) == 0;
}

// The picture over those of `lanes` where the mask is black; a mask may keep its top
// bytes, as only its colour bits are tested.
QM_WIDE inline void StoreOpaque(Pixel* d, __m512i mv, __m512i iv, __m512i rgb, __mmask16 lanes) {
  _mm512_mask_storeu_epi32(d, _mm512_mask_testn_epi32_mask(lanes, mv, rgb), iv);
}

// The full formula over `lanes` of destination `d`.
QM_WIDE inline void MaskThenImage(Pixel* d, __m512i mv, __m512i iv, __mmask16 lanes) {
  const __m512i dv = _mm512_maskz_loadu_epi32(lanes, d);
  _mm512_mask_storeu_epi32(d, lanes, _mm512_ternarylogic_epi32(mv, dv, iv, kMaskThenImage));
}

// Mask and image over `lanes` of `run` destination rows from `d` on, `stride` pixels
// apart, all showing the same samples.
QM_WIDE inline void CombineRun(Pixel* d, size_t stride, int run, __m512i mv, __m512i iv,
                               __m512i rgb, __mmask16 lanes) {
  if (StoreOnly(mv, iv, rgb, lanes)) {
    for (int r = 0; r < run; ++r, d += stride) StoreOpaque(d, mv, iv, rgb, lanes);
  } else {
    for (int r = 0; r < run; ++r, d += stride) MaskThenImage(d, mv, iv, lanes);
  }
}

// Mask and image over `lanes` of destination `d`.
QM_WIDE inline void Combine(Pixel* d, __m512i mv, __m512i iv, __m512i rgb, __mmask16 lanes) {
  CombineRun(d, 0, 1, mv, iv, rgb, lanes);
}

// What tells whether a sprite's mask is exact, gathered over the source rows it reads:
// every pixel either black in the mask, or white in the mask over black in the picture
// (the top bytes do not count). A mask pixel is black or white where each of its colour
// bits equals the one above it, and the picture is black under white where it shares no
// colour bit with the mask: both are bitwise, and tested once, after the last row.
struct ExactTally {
  __m512i unequalBits, sharedBits;  // made zero
  QM_WIDE void Add(__m512i mask, __m512i image) {
    // Ternary logic codes of A OR (B XOR C), and A OR (B AND C).
    constexpr int kOrXor = 0xF6, kOrAnd = 0xF8;
    unequalBits = _mm512_ternarylogic_epi32(unequalBits, _mm512_maskz_srli_epi32(0xFFFF, mask, 1),
                                            mask, kOrXor);
    sharedBits = _mm512_ternarylogic_epi32(sharedBits, image, mask, kOrAnd);
  }
  // Bit b of unequalBits compares colour bits b + 1 and b: bits 0 to 22 take in all 24.
  QM_WIDE bool Exact() const {
    return !_mm512_test_epi32_mask(unequalBits, _mm512_set1_epi32(0x7FFFFF)) &&
           !_mm512_test_epi32_mask(sharedBits, _mm512_set1_epi32(static_cast<int>(kRgbMask)));
  }
};

// A sprite as wide as its source (though maybe stretched in height) whose rows are not
// trimmed, `Groups` groups of sixteen columns wide: every row needs the same lanes,
// worked out once. Kept out of line so that each width gets registers of its own;
// inlined together, the widths' loops had their lanes and pointers spilled. Drawn first
// as if the mask were exact, and again with `Full` where it was not, as stretched
// sprites are (DrawStretchedRows).
template <size_t Groups, bool Full>
__attribute__((noinline)) QM_WIDE bool DrawSameWidth(Picture& dst, const PictureView& mask,
                                                     const PictureView& image,
                                                     const SpriteBox& at) {
  const size_t w = static_cast<size_t>(at.X1 - at.X0);
  const __m512i rgb = _mm512_set1_epi32(static_cast<int>(kRgbMask));
  __mmask16 lanes[Groups];
  for (size_t g = 0; g < Groups; ++g) lanes[g] = FirstLanes(w - g * 16);
  const size_t stride = static_cast<size_t>(dst.Width);
  const size_t maskStride = static_cast<size_t>(mask.Stride);
  const size_t imageStride = static_cast<size_t>(image.Stride);
  const size_t left = static_cast<size_t>(at.X0 - at.X);
  const Pixel* const maskData = mask.Data + left;
  const Pixel* const imageData = image.Data + left;
  CentreSampler sy(at.Y0 - at.Y, mask.Height, at.Height);
  const int y0 = at.Y0, y1 = at.Y1;
  Pixel* d = dst.Pixels.data() + static_cast<size_t>(y0) * stride + at.X0;
  ExactTally tally{_mm512_setzero_si512(), _mm512_setzero_si512()};
  for (int y = y0; y < y1; ++y, sy.Next(), d += stride) {
    if (y + 2 < y1)
      for (size_t g = 0; g < Groups; ++g) __builtin_prefetch(d + 2 * stride + g * 16, 1);
    const size_t row = static_cast<size_t>(sy.Value());
    const Pixel* m = maskData + row * maskStride;
    const Pixel* im = imageData + row * imageStride;
#pragma GCC unroll 4
    for (size_t g = 0; g < Groups; ++g) {
      const __m512i mv = _mm512_maskz_loadu_epi32(lanes[g], m + g * 16);
      const __m512i iv = _mm512_and_si512(_mm512_maskz_loadu_epi32(lanes[g], im + g * 16), rgb);
      if (Full) {
        MaskThenImage(d + g * 16, mv, iv, lanes[g]);
      } else {
        tally.Add(mv, iv);
        StoreOpaque(d + g * 16, mv, iv, rgb, lanes[g]);
      }
    }
  }
  return Full || tally.Exact();
}

template <size_t Groups>
QM_WIDE void DrawSameWidthGroups(Picture& dst, const PictureView& mask, const PictureView& image,
                                 const SpriteBox& at) {
  if (!DrawSameWidth<Groups, false>(dst, mask, image, at))
    DrawSameWidth<Groups, true>(dst, mask, image, at);
}

// The lanes of each of a held row's four registers, for a source row of n pixels.
struct HeldLanes {
  __mmask16 lanes[4];
  QM_WIDE explicit HeldLanes(size_t n) {
    for (size_t g = 0; g < 4; ++g) lanes[g] = FirstLanes(n > 16 * g ? n - 16 * g : 0);
  }
};

// A source row of up to 64 pixels in registers, loaded over the lanes a HeldLanes of
// its length gives and ANDed with `keep` (the image's top bytes are cleared so; a mask
// may keep them): `Wide` holds four registers' worth, otherwise two (up to 32 pixels).
// Kept in named registers rather than an array, which the compiler kept in memory and
// reloaded for every pick.
template <bool Wide>
struct Held {
  __m512i a, b, c, d;
  QM_WIDE void Load(const Pixel* from, const __mmask16* lanes, __m512i keep) {
    a = _mm512_and_si512(_mm512_maskz_loadu_epi32(lanes[0], from), keep);
    b = _mm512_and_si512(_mm512_maskz_loadu_epi32(lanes[1], from + 16), keep);
    if (Wide) {
      c = _mm512_and_si512(_mm512_maskz_loadu_epi32(lanes[2], from + 32), keep);
      d = _mm512_and_si512(_mm512_maskz_loadu_epi32(lanes[3], from + 48), keep);
    }
  }
  // The held pixels at sixteen indices below the count loaded.
  QM_WIDE __m512i Pick(__m512i index) const {
    const __m512i low = _mm512_permutex2var_epi32(a, index, b);
    if (!Wide) return low;
    const __mmask16 high = _mm512_test_epi32_mask(index, _mm512_set1_epi32(32));
    return _mm512_mask_blend_epi32(high, low, _mm512_permutex2var_epi32(c, index, d));
  }
};

// A stretched sprite drawn more than 64 pixels wide, from a source held in registers.
// Its rows are not trimmed to the columns they change: with an exact mask a group of
// sixteen that changes nothing is a store of no lanes, which touches no memory, and
// finding a row's ends would cost more (a scan of the source row and two divisions)
// than the groups it skips. Enlarged, a source row shows on several destination rows in
// a row; each group's samples and tests are then worked out once for all of them. Out
// of line for the same reason as above.
template <bool Wide>
__attribute__((noinline)) QM_WIDE void DrawStretchedAnyWidth(Picture& dst, const PictureView& mask,
                                                             const PictureView& image,
                                                             const SpriteBox& at, const int* index,
                                                             size_t held, unsigned lead) {
  const size_t w = lead + static_cast<size_t>(at.X1 - at.X0);
  const __m512i rgb = _mm512_set1_epi32(static_cast<int>(kRgbMask));
  const size_t stride = static_cast<size_t>(dst.Width);
  const int y0 = at.Y0, y1 = at.Y1;
  Pixel* d = dst.Pixels.data() + static_cast<size_t>(y0) * stride + (at.X0 - lead);
  CentreSampler sy(y0 - at.Y, mask.Height, at.Height);
  const HeldLanes heldLanes(held);
  Held<Wide> maskRow{}, imageRow{};
  for (int y = y0; y < y1;) {
    const int source = sy.Value();
    int run = 1;
    for (sy.Next(); y + run < y1 && sy.Value() == source; sy.Next()) ++run;
    // Each destination row is on another page: ask early for the two rows after the run.
    for (int ahead = y + run; ahead < std::min(y + run + 2, y1); ++ahead) {
      const Pixel* row = d + static_cast<size_t>(ahead - y) * stride;
      for (size_t i = 0; i < w; i += 16) __builtin_prefetch(row + i, 1);
    }
    maskRow.Load(mask.Data + static_cast<size_t>(source) * mask.Stride, heldLanes.lanes, rgb);
    imageRow.Load(image.Data + static_cast<size_t>(source) * image.Stride, heldLanes.lanes, rgb);
    for (size_t i = 0; i < w; i += 16) {
      const __mmask16 groupLanes = i == 0 ? FirstLanes(w) & LanesFrom(lead) : FirstLanes(w - i);
      const __m512i at16 = _mm512_maskz_loadu_epi32(groupLanes, index + i);
      CombineRun(d + i, stride, run, maskRow.Pick(at16), imageRow.Pick(at16), rgb, groupLanes);
    }
    y += run;
    d += static_cast<size_t>(run) * stride;
  }
}

// A stretched sprite of `Groups` groups of sixteen (one to four), from a source held in
// registers, walked one destination row at a time with everything unrolled: a row's
// samples are picked afresh even where it shows the same source row as the row above,
// as that costs less than the short, irregular runs of repeated rows, whose loops the
// processor mispredicted at their ends.
// The sprite is drawn as if its mask were exact, as the artwork's always is: where the
// mask is black the picture is stored, and nothing else is touched. The result says
// whether the mask was exact; where it was not, the sprite is drawn again with `Full`,
// the whole formula in every lane. That is right over the first pass: where the mask is
// black the formula gives the picture whatever lies below, and elsewhere the first
// pass left what lay below.
template <size_t Groups, bool Wide, bool Full>
__attribute__((noinline)) QM_WIDE bool DrawStretchedRows(Picture& dst, const PictureView& mask,
                                                         const PictureView& image,
                                                         const SpriteBox& at, const int* index,
                                                         size_t held, unsigned lead) {
  static_assert(Groups >= 1 && Groups <= 4);
  const size_t w = lead + static_cast<size_t>(at.X1 - at.X0);
  const __m512i rgb = _mm512_set1_epi32(static_cast<int>(kRgbMask));
  // The mask keeps its top bytes: it is only tested against the colour bits, and in the
  // full formula it meets a destination whose top bytes are 0.
  const __m512i all = _mm512_set1_epi32(-1);
  __mmask16 lanes[Groups];
  __m512i samples[Groups];
#pragma GCC unroll 4
  for (size_t g = 0; g < Groups; ++g) {
    lanes[g] = FirstLanes(w - g * 16);
    samples[g] = _mm512_maskz_loadu_epi32(lanes[g], index + g * 16);
  }
  lanes[0] &= LanesFrom(lead);
  const size_t stride = static_cast<size_t>(dst.Width);
  const size_t maskStride = static_cast<size_t>(mask.Stride);
  const size_t imageStride = static_cast<size_t>(image.Stride);
  // Held in locals: the stores below may alias anything the views point to.
  const Pixel* const maskData = mask.Data;
  const Pixel* const imageData = image.Data;
  const HeldLanes heldLanes(held);
  const int y0 = at.Y0, y1 = at.Y1;
  Pixel* d = dst.Pixels.data() + static_cast<size_t>(y0) * stride + (at.X0 - lead);
  CentreSampler sy(y0 - at.Y, mask.Height, at.Height);
  Held<Wide> maskRow{}, imageRow{};
  ExactTally tally{_mm512_setzero_si512(), _mm512_setzero_si512()};
  for (int y = y0; y < y1; ++y, sy.Next(), d += stride) {
    // Each destination row is on another page: ask early for the row after next.
    if (y + 2 < y1) {
#pragma GCC unroll 4
      for (size_t g = 0; g < Groups; ++g) __builtin_prefetch(d + 2 * stride + g * 16, 1);
    }
    const auto source = static_cast<size_t>(sy.Value());
    maskRow.Load(maskData + source * maskStride, heldLanes.lanes, all);
    imageRow.Load(imageData + source * imageStride, heldLanes.lanes, rgb);
    if (!Full) {
      tally.Add(maskRow.a, imageRow.a);
      tally.Add(maskRow.b, imageRow.b);
      if (Wide) {
        tally.Add(maskRow.c, imageRow.c);
        tally.Add(maskRow.d, imageRow.d);
      }
    }
#pragma GCC unroll 4
    for (size_t g = 0; g < Groups; ++g) {
      const __m512i mv = maskRow.Pick(samples[g]);
      const __m512i iv = imageRow.Pick(samples[g]);
      if (Full) {
        MaskThenImage(d + g * 16, mv, iv, lanes[g]);
      } else {
        StoreOpaque(d + g * 16, mv, iv, rgb, lanes[g]);
      }
    }
  }
  return Full || tally.Exact();
}

template <size_t Groups, bool Wide>
QM_WIDE void DrawStretchedGroups(Picture& dst, const PictureView& mask, const PictureView& image,
                                 const SpriteBox& at, const int* index, size_t held,
                                 unsigned lead) {
  if (!DrawStretchedRows<Groups, Wide, false>(dst, mask, image, at, index, held, lead))
    DrawStretchedRows<Groups, Wide, true>(dst, mask, image, at, index, held, lead);
}

template <bool Wide>
QM_WIDE void DrawStretchedFrom(Picture& dst, const PictureView& mask, const PictureView& image,
                               const SpriteBox& at, const int* index, size_t held, unsigned lead) {
  switch ((static_cast<int>(lead) + at.X1 - at.X0 + 15) / 16) {
    case 1:
      return DrawStretchedGroups<1, Wide>(dst, mask, image, at, index, held, lead);
    case 2:
      return DrawStretchedGroups<2, Wide>(dst, mask, image, at, index, held, lead);
    case 3:
      return DrawStretchedGroups<3, Wide>(dst, mask, image, at, index, held, lead);
    case 4:
      return DrawStretchedGroups<4, Wide>(dst, mask, image, at, index, held, lead);
    default:
      return DrawStretchedAnyWidth<Wide>(dst, mask, image, at, index, held, lead);
  }
}

// How many columns before the sprite's first a stretched sprite's stores start (see
// LineLead). A sprite up to 64 pixels wide starts early only where that costs no group
// of sixteen more: the drawing works out each group's samples and tests, and a group
// more cost more than the lines it saved. A wider one always does.
QM_WIDE unsigned StoreLead(const Picture& dst, const SpriteBox& at) {
  const unsigned lead =
      LineLead(dst.Pixels.data(), static_cast<size_t>(at.X0), static_cast<size_t>(dst.Width));
  const int w = at.X1 - at.X0;
  if (w <= 64 && (static_cast<int>(lead) + w + 15) / 16 != (w + 15) / 16) return 0;
  return lead;
}

// The source columns sampled by destination columns [0, w) of a picture stretched from
// sw to dw pixels, starting `first` columns into it, eight at a time (so `cols` gets w
// rounded up to a whole eight; w is at most 64): column c samples
// floor((2c + 1) * sw / (2 * dw)), and in double precision that quotient's floor is
// exact. Its numerator and denominator are whole numbers held exactly (far below 2^53);
// where the quotient is not whole it lies at least 1 / (2 * dw) below the next whole
// number, further than the division's rounding can carry it. Worked out a column at a
// time, with a branch the processor could not foresee, this was a tenth of the time of
// small sprites.
QM_WIDE void SampleColumns64(int* cols, size_t w, int first, int sw, int dw) {
  const __m512d sw1 = _mm512_set1_pd(sw), sw2 = _mm512_set1_pd(2.0 * sw);
  const __m512d den = _mm512_set1_pd(2.0 * dw);
  const __m256i step = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
  for (size_t i = 0; i < w; i += 8) {
    const __m256i c = _mm256_add_epi32(_mm256_set1_epi32(first + static_cast<int>(i)), step);
    const __m512d n = _mm512_fmadd_pd(_mm512_maskz_cvtepi32_pd(0xFF, c), sw2, sw1);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(cols + i),
                        _mm512_maskz_cvttpd_epi32(0xFF, _mm512_div_pd(n, den)));
  }
}

QM_WIDE void DrawStretched(Picture& dst, const PictureView& mask, const PictureView& image,
                           const SpriteBox& at) {
  const size_t w = static_cast<size_t>(at.X1 - at.X0);
  const int first = at.X0 - at.X;
  const unsigned lead = StoreLead(dst, at);
  // The columns' samples from `lead` on; the lanes in front of them are left out, but
  // are loaded with the first group's samples.
  int narrow[64 + 16];
  thread_local std::vector<int> wide;
  const int* cols = narrow;
  if (w <= 64) {
    std::fill_n(narrow, lead, 0);
    SampleColumns64(narrow + lead, w, first, mask.Width, at.Width);
  } else {
    SampleColumns(wide, w, first, mask.Width, at.Width);
    wide.insert(wide.begin(), lead, 0);
    cols = wide.data();
  }
  const size_t held = static_cast<size_t>(cols[lead + w - 1] + 1);
  if (held > 32) {
    DrawStretchedFrom<true>(dst, mask, image, at, cols, held, lead);
  } else {
    DrawStretchedFrom<false>(dst, mask, image, at, cols, held, lead);
  }
}

// A sprite drawn as wide as its source with at most 64 columns of it visible: each
// row's groups of sixteen all worked through, their lanes worked out once.
QM_WIDE void DrawNarrow(Picture& dst, const PictureView& mask, const PictureView& image,
                        const SpriteBox& at) {
  switch ((at.X1 - at.X0 + 15) / 16) {
    case 1:
      return DrawSameWidthGroups<1>(dst, mask, image, at);
    case 2:
      return DrawSameWidthGroups<2>(dst, mask, image, at);
    case 3:
      return DrawSameWidthGroups<3>(dst, mask, image, at);
    default:
      return DrawSameWidthGroups<4>(dst, mask, image, at);
  }
}

// A sprite drawn as wide as its source with more than 64 columns of it visible: each
// row trimmed to the columns it changes, as a wide row's transparent ends would be
// several groups of sixteen worked through for nothing.
QM_WIDE void DrawTrimmed(Picture& dst, const PictureView& mask, const PictureView& image,
                         const SpriteBox& at) {
  const int offset = at.X0 - at.X;  // columns of the sprite clipped away on the left
  const __m512i rgb = _mm512_set1_epi32(static_cast<int>(kRgbMask));
  const Pixel* m = nullptr;
  const Pixel* im = nullptr;
  for (SpriteRows rows(dst, mask, image, at, nullptr); rows.More(); rows.Next()) {
    if (rows.NewSourceRow()) {
      m = rows.MaskRow() + offset;
      im = rows.ImageRow() + offset;
    }
    const size_t lo = rows.Lo(), hi = rows.Hi();
    if (lo >= hi) continue;
    Pixel* drow = rows.Destination();
    for (size_t i = lo; i < hi; i += 16) {
      const __mmask16 lanes = FirstLanes(hi - i);
      const __m512i mv = _mm512_and_si512(_mm512_maskz_loadu_epi32(lanes, m + i), rgb);
      const __m512i iv = _mm512_and_si512(_mm512_maskz_loadu_epi32(lanes, im + i), rgb);
      Combine(drow + i, mv, iv, rgb, lanes);
    }
  }
}

}  // namespace

bool BlitMaskedWide(Picture& dst, const PictureView& mask, const PictureView& image,
                    const SpriteBox& at) {
  if (at.Width != mask.Width) {
    if (mask.Width > kMaxHeldWidth) return false;
    DrawStretched(dst, mask, image, at);
  } else if (TrimsRows(at)) {
    DrawTrimmed(dst, mask, image, at);
  } else {
    DrawNarrow(dst, mask, image, at);
  }
  return true;
}

}  // namespace qm

#else

namespace qm {

bool BlitMaskedWide(Picture&, const PictureView&, const PictureView&, const SpriteBox&) {
  return false;
}

}  // namespace qm

#endif
