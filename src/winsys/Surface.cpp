#include "winsys/Surface.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>

namespace qm {
namespace {

// The unused top byte of a pixel stays 0 whatever the source holds.
constexpr Pixel kRgbMask = 0x00FFFFFFu;

// Past this many remembered rectangles a list is folded into its bounding box: a scene
// that never clears (the poster collage) must not grow the list without end.
constexpr size_t kMaxRects = 512;

// Coordinates far outside any screen are held here so the integer arithmetic below
// cannot overflow; anything that far away is clipped anyway.
constexpr double kCoordLimit = 1 << 28;

// The Basic run-time turns a Single into an integer by rounding half to even.
std::optional<int> RoundCoord(float v) {
  if (!std::isfinite(v)) return std::nullopt;
  const double r = std::nearbyint(static_cast<double>(v));
  return static_cast<int>(std::clamp(r, -kCoordLimit, kCoordLimit));
}

bool SameRect(const Rect& a, const Rect& b) {
  return a.X == b.X && a.Y == b.Y && a.Width == b.Width && a.Height == b.Height;
}

// Appends r unless it repeats the last entry (a sprite's mask and picture share one
// rectangle); folds the list when it grows too long.
void Remember(std::vector<Rect>& list, const Rect& r) {
  if (!list.empty() && SameRect(list.back(), r)) return;
  list.push_back(r);
  if (list.size() > kMaxRects) {
    const Rect box = BoundingBox(list);
    list.assign(1, box);
  }
}

// One row: the source line and the destination never overlap (the surface owns its
// pixels), which lets the compiler combine several pixels at once.
template <typename Combine>
void CombineRow(const Pixel* __restrict src, Pixel* __restrict dst, size_t n, Combine combine) {
  for (size_t i = 0; i < n; ++i) dst[i] = combine(src[i], dst[i]);
}

void MaskedRow(const Pixel* __restrict mask, const Pixel* __restrict image, Pixel* __restrict dst,
               size_t n) {
  for (size_t i = 0; i < n; ++i) dst[i] = ((mask[i] & dst[i]) ^ image[i]) & kRgbMask;
}

// Walks floor((2k + 1) * src / (2 * dst)) for k = first, first + 1, ... with one
// division at the start instead of one per pixel.
class CentreSampler {
 public:
  CentreSampler(int64_t first, int src, int dst) : den_(2 * int64_t{dst}) {
    const int64_t num = (2 * first + 1) * src;
    q_ = num / den_;
    r_ = num % den_;
    stepQ_ = (2 * int64_t{src}) / den_;
    stepR_ = (2 * int64_t{src}) % den_;
  }
  int Value() const { return static_cast<int>(q_); }
  void Next() {
    q_ += stepQ_;
    r_ += stepR_;
    if (r_ >= den_) {
      r_ -= den_;
      ++q_;
    }
  }

 private:
  int64_t den_, q_ = 0, r_ = 0, stepQ_ = 0, stepR_ = 0;
};

// Destination columns [0, w) of a picture stretched from sw to dw pixels, starting
// `first` columns into it: the source column each one samples.
void SampleColumns(std::vector<int>& cols, size_t w, int first, int sw, int dw) {
  cols.resize(w);
  CentreSampler sx(first, sw, dw);
  for (size_t i = 0; i < w; ++i, sx.Next()) cols[i] = sx.Value();
}

template <typename Combine>
void Blit(Picture& dst, const PictureView& src, int dx0, int dy0, int dw, int dh, int x0, int y0,
          int x1, int y1, Combine combine) {
  const size_t w = static_cast<size_t>(x1 - x0);
  const bool sameWidth = dw == src.Width;
  // Nearest neighbour, sampling each destination pixel's centre: destination column c
  // of dw takes source column floor((c + 1/2) * sw / dw), and rows likewise. At 1:1
  // this is the identity. Each source row is stretched once into `row` and then
  // combined with every destination row that samples it, in one straight loop.
  thread_local std::vector<int> cols;
  thread_local std::vector<Pixel> row;
  if (!sameWidth) {
    SampleColumns(cols, w, x0 - dx0, src.Width, dw);
    row.resize(w);
  }
  CentreSampler sy(y0 - dy0, src.Height, dh);
  int lastSy = -1;
  const Pixel* line = nullptr;
  for (int y = y0; y < y1; ++y, sy.Next()) {
    if (sy.Value() != lastSy) {
      lastSy = sy.Value();
      const Pixel* srow = src.Data + static_cast<size_t>(lastSy) * src.Stride;
      if (sameWidth) {
        line = srow + (x0 - dx0);
      } else {
        for (size_t i = 0; i < w; ++i) row[i] = srow[cols[i]];
        line = row.data();
      }
    }
    Pixel* drow = dst.Pixels.data() + static_cast<size_t>(y) * dst.Width + x0;
    CombineRow(line, drow, w, combine);
  }
}

// A source pixel that leaves the destination unchanged under mask-then-picture.
// One comparison, so the scan along a row costs one branch per pixel.
inline bool LeavesAlone(Pixel mask, Pixel image) {
  return (((mask ^ kRgbMask) | image) & kRgbMask) == 0;
}

// Division rounding towards plus infinity, for a positive divisor.
int64_t CeilDiv(int64_t n, int64_t d) {
  return n / d + (n % d > 0 ? 1 : 0);
}

// How many of the destination columns [0, w), starting `first` columns into a picture
// stretched from sw to dw pixels, sample a source column below `column`. Column c
// samples floor((2c + 1) * sw / (2 * dw)), which is below `column` exactly when
// 2c * sw < 2 * dw * column - sw.
size_t ColumnsBelow(int column, size_t w, int first, int sw, int dw) {
  const int64_t c = CeilDiv(2 * int64_t{dw} * column - sw, 2 * int64_t{sw}) - first;
  return static_cast<size_t>(std::clamp<int64_t>(c, 0, static_cast<int64_t>(w)));
}

// The two passes of a masked sprite in one: dst = ((mask AND dst) XOR image). Mask and
// image have the same size and so sample the same source pixel everywhere. Each source
// row is trimmed to the columns between its first and last pixel that changes
// anything; only those destination columns are read and written.
void BlitMasked(Picture& dst, const PictureView& mask, const PictureView& image, int dx0, int dy0,
                int dw, int dh, int x0, int y0, int x1, int y1) {
  const size_t w = static_cast<size_t>(x1 - x0);
  const bool sameWidth = dw == mask.Width;
  thread_local std::vector<int> cols;
  thread_local std::vector<Pixel> maskRow;
  thread_local std::vector<Pixel> imageRow;
  if (!sameWidth) {
    SampleColumns(cols, w, x0 - dx0, mask.Width, dw);
    maskRow.resize(w);
    imageRow.resize(w);
  }
  // Trimming scans the source row one pixel at a time, where the combining goes several
  // at a time: it pays where each source pixel stands for several destination pixels,
  // or where a wide row's ends would be cache lines fetched for nothing.
  const bool trim = dw > mask.Width || w > 64;
  CentreSampler sy(y0 - dy0, mask.Height, dh);
  int lastSy = -1;
  const Pixel* m = nullptr;
  const Pixel* im = nullptr;
  size_t lo = 0, hi = 0;  // destination columns, relative to x0, that need work
  for (int y = y0; y < y1; ++y, sy.Next()) {
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
        const int offset = x0 - dx0;
        lo = static_cast<size_t>(std::clamp(first - offset, 0, static_cast<int>(w)));
        hi = static_cast<size_t>(std::clamp(end - offset, 0, static_cast<int>(w)));
        m = ms + offset;
        im = is + offset;
      } else {
        // The sampled columns never decrease, so those inside [first, end) are one run;
        // worked out rather than searched for, as a search's branches are a gamble.
        lo = ColumnsBelow(first, w, x0 - dx0, mask.Width, dw);
        hi = std::max(lo, ColumnsBelow(end, w, x0 - dx0, mask.Width, dw));
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
    Pixel* drow = dst.Pixels.data() + static_cast<size_t>(y) * dst.Width + x0;
    // Each destination row lies on another page of a large surface, out of reach of
    // the processor's own prefetching: ask for the row after next while this one is
    // combined.
    if (y + 2 < y1) {
      const Pixel* ahead = drow + 2 * static_cast<size_t>(dst.Width);
      for (size_t i = lo; i < hi; i += 16) __builtin_prefetch(ahead + i, 1);
    }
    MaskedRow(m + lo, im + lo, drow + lo, hi - lo);
  }
}

}  // namespace

Rect BoundingBox(const std::vector<Rect>& rects) {
  int x0 = rects.front().X, y0 = rects.front().Y;
  int x1 = x0 + rects.front().Width, y1 = y0 + rects.front().Height;
  for (const Rect& r : rects) {
    x0 = std::min(x0, r.X);
    y0 = std::min(y0, r.Y);
    x1 = std::max(x1, r.X + r.Width);
    y1 = std::max(y1, r.Y + r.Height);
  }
  return {x0, y0, x1 - x0, y1 - y0};
}

Surface::Surface(int width, int height, Pixel background)
    : pixels_(std::max(width, 0), std::max(height, 0), background & kRgbMask),
      background_(background & kRgbMask) {
  // Nothing has been presented yet: the whole surface is news to the host.
  if (!pixels_.Pixels.empty()) dirty_.push_back({0, 0, pixels_.Width, pixels_.Height});
}

void Surface::UsePixelMemory(std::pmr::memory_resource* memory) {
  std::pmr::vector<Pixel> moved(pixels_.Pixels.begin(), pixels_.Pixels.end(), memory);
  // Assigning would keep the old memory (a vector's resource stays with it); a
  // vector built anew takes the new one.
  std::destroy_at(&pixels_.Pixels);
  std::construct_at(&pixels_.Pixels, std::move(moved));
}

void Surface::Resize(int width, int height) {
  pixels_ = Picture(std::max(width, 0), std::max(height, 0), background_,
                    pixels_.Pixels.get_allocator().resource());
  drawnOn_.clear();
  allBackground_ = true;
  dirty_.clear();
  if (!pixels_.Pixels.empty()) dirty_.push_back({0, 0, pixels_.Width, pixels_.Height});
}

// Changing the colour repaints the whole surface with it, as a window does when its
// background colour is set: what was drawn is gone.
void Surface::SetBackColor(Pixel colour) {
  colour &= kRgbMask;
  if (colour == background_) return;
  background_ = colour;
  std::fill(pixels_.Pixels.begin(), pixels_.Pixels.end(), background_);
  drawnOn_.clear();
  allBackground_ = true;
  dirty_.clear();
  if (!pixels_.Pixels.empty()) dirty_.push_back({0, 0, pixels_.Width, pixels_.Height});
}

void Surface::Cls() {
  if (allBackground_) return;
  for (const Rect& r : drawnOn_) {
    for (int y = r.Y; y < r.Y + r.Height; ++y) {
      Pixel* row = pixels_.Pixels.data() + static_cast<size_t>(y) * pixels_.Width + r.X;
      // As for sprites: the row after next is on another page, so fetch it early.
      if (y + 2 < r.Y + r.Height) {
        const Pixel* ahead = row + 2 * static_cast<size_t>(pixels_.Width);
        for (int i = 0; i < r.Width; i += 16) __builtin_prefetch(ahead + i, 1);
      }
      if (background_ == 0) {
        // Black, the scenes' background: the C library's fill is the fastest there is.
        std::memset(row, 0, static_cast<size_t>(r.Width) * sizeof(Pixel));
      } else {
        std::fill(row, row + r.Width, background_);
      }
    }
    Remember(dirty_, r);
  }
  drawnOn_.clear();
  allBackground_ = true;
}

std::optional<Surface::Placement> Surface::Place(const PictureView& picture, float x, float y,
                                                 std::optional<float> width,
                                                 std::optional<float> height) const {
  if (picture.Empty()) return std::nullopt;
  const auto ix = RoundCoord(x);
  const auto iy = RoundCoord(y);
  const auto iw = width ? RoundCoord(*width) : std::optional<int>(picture.Width);
  const auto ih = height ? RoundCoord(*height) : std::optional<int>(picture.Height);
  if (!ix || !iy || !iw || !ih) return std::nullopt;
  // A negative extent would mirror on Windows; no caller draws mirrored, so it is
  // taken like a zero extent: nothing is drawn.
  if (*iw <= 0 || *ih <= 0) return std::nullopt;

  const int x0 = std::max(*ix, 0);
  const int y0 = std::max(*iy, 0);
  const int x1 = static_cast<int>(std::min<int64_t>(int64_t{*ix} + *iw, pixels_.Width));
  const int y1 = static_cast<int>(std::min<int64_t>(int64_t{*iy} + *ih, pixels_.Height));
  if (x0 >= x1 || y0 >= y1) return std::nullopt;
  return Placement{*ix, *iy, *iw, *ih, x0, y0, x1, y1};
}

void Surface::Touch(const Placement& at) {
  const Rect touched{at.X0, at.Y0, at.X1 - at.X0, at.Y1 - at.Y0};
  Remember(drawnOn_, touched);
  Remember(dirty_, touched);
  allBackground_ = false;
}

void Surface::PaintPicture(const PictureView& picture, float x, float y, std::optional<float> width,
                           std::optional<float> height, RasterOp op) {
  const std::optional<Placement> at = Place(picture, x, y, width, height);
  if (!at) return;
  const auto blit = [&](auto combine) {
    Blit(pixels_, picture, at->X, at->Y, at->Width, at->Height, at->X0, at->Y0, at->X1, at->Y1,
         combine);
  };
  switch (op) {
    case RasterOp::SrcCopy:
      blit([](Pixel s, Pixel) { return s & kRgbMask; });
      break;
    case RasterOp::SrcAnd:
      blit([](Pixel s, Pixel d) { return (s & d) & kRgbMask; });
      break;
    case RasterOp::SrcInvert:
      blit([](Pixel s, Pixel d) { return (s ^ d) & kRgbMask; });
      break;
    default:
      return;  // not one of the program's operations: nothing drawn
  }
  Touch(*at);
}

void Surface::PaintMasked(const PictureView& mask, const PictureView& image, float x, float y,
                          std::optional<float> width, std::optional<float> height) {
  if (mask.Empty() || image.Empty() || mask.Width != image.Width || mask.Height != image.Height) {
    PaintPicture(mask, x, y, width, height, RasterOp::SrcAnd);
    PaintPicture(image, x, y, width, height, RasterOp::SrcInvert);
    return;
  }
  const std::optional<Placement> at = Place(mask, x, y, width, height);
  if (!at) return;
  BlitMasked(pixels_, mask, image, at->X, at->Y, at->Width, at->Height, at->X0, at->Y0, at->X1,
             at->Y1);
  Touch(*at);
}

std::vector<Rect> Surface::TakeDirty() {
  std::vector<Rect> out;
  out.swap(dirty_);
  return out;
}

}  // namespace qm
