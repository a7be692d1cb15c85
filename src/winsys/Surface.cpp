#include "winsys/Surface.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>

#include "winsys/MaskedBlit.h"
#include "winsys/RowFill.h"
#include "winsys/Stretch.h"

namespace qm {
namespace {

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

// Past this many remembered spans (or row groups) the shaped entries are taken as
// their boxes.
constexpr size_t kMaxSpans = 1 << 16;

// Appends to `groups` the columns `spans` change in each row group of box r (they lie
// inside it); returns how many groups: none where there are no spans.
size_t AppendGroups(std::vector<RowExtent>& groups, const Rect& r, const RowSpan* spans,
                    size_t count) {
  if (count == 0) return 0;
  // Rows on a surface are never negative: the group is a shift, not a signed division.
  constexpr unsigned g = SurfaceChanges::kGroupRows;
  const auto groupOf = [](int y) { return static_cast<int>(static_cast<unsigned>(y) / g); };
  const int first = groupOf(r.Y);
  const size_t n = static_cast<size_t>(groupOf(r.Y + r.Height - 1) - first + 1);
  const size_t start = groups.size();
  groups.resize(start + n);
  // A sprite's spans come row after row: each group is gathered in registers and
  // stored once its rows are done.
  RowExtent* out = groups.data() + start;
  int group = groupOf(spans[0].Y);
  RowExtent columns;
  for (size_t i = 0; i < count; ++i) {
    const int at = groupOf(spans[i].Y);
    if (at != group) {
      out[group - first].Merge(columns);
      columns = {};
      group = at;
    }
    columns.Merge({spans[i].X0, spans[i].X1});
  }
  out[group - first].Merge(columns);
  return n;
}

// Appends r, with the columns `groups` its row groups changed in where `shaped`,
// unless it repeats a last box that changed whole (a sprite's mask and picture share
// one rectangle); folds the list into one box when it grows too long.
void Remember(SurfaceChanges& changes, const Rect& r, bool shaped = false,
              const RowExtent* groups = nullptr, size_t count = 0) {
  std::vector<SurfaceChanges::Box>& boxes = changes.Boxes;
  if (!boxes.empty() && !boxes.back().Shaped && boxes.back().Area == r) return;
  boxes.push_back({r, shaped, changes.Groups.size(), shaped ? count : 0});
  if (shaped) changes.Groups.insert(changes.Groups.end(), groups, groups + count);
  if (boxes.size() > kMaxRects || changes.Groups.size() > kMaxSpans) {
    std::vector<Rect> all;
    all.reserve(boxes.size());
    for (const SurfaceChanges::Box& b : boxes) all.push_back(b.Area);
    boxes.assign(1, SurfaceChanges::Box{BoundingBox(all)});
    changes.Groups.clear();
  }
}

// One row: the source line and the destination never overlap (the surface owns its
// pixels), which lets the compiler combine several pixels at once.
template <typename Combine>
void CombineRow(const Pixel* __restrict src, Pixel* __restrict dst, size_t n, Combine combine) {
  for (size_t i = 0; i < n; ++i) dst[i] = combine(src[i], dst[i]);
}

template <typename Combine>
void Blit(Picture& dst, const PictureView& src, int dx0, int dy0, int dw, int dh, int x0, int y0,
          int x1, int y1, Combine combine) {
  const size_t w = static_cast<size_t>(x1 - x0);
  const bool sameWidth = dw == src.Width;
  // Each source row is stretched once into `row` and then combined with every
  // destination row that samples it, in one straight loop.
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
  if (!pixels_.Pixels.empty()) Remember(changes_, {0, 0, pixels_.Width, pixels_.Height});
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
  ForgetDrawing();
  changes_ = {};
  if (!pixels_.Pixels.empty()) Remember(changes_, {0, 0, pixels_.Width, pixels_.Height});
}

// Changing the colour repaints the whole surface with it, as a window does when its
// background colour is set: what was drawn is gone.
void Surface::SetBackColor(Pixel colour) {
  colour &= kRgbMask;
  if (colour == background_) return;
  background_ = colour;
  std::fill(pixels_.Pixels.begin(), pixels_.Pixels.end(), background_);
  ForgetDrawing();
  changes_ = {};
  if (!pixels_.Pixels.empty()) Remember(changes_, {0, 0, pixels_.Width, pixels_.Height});
}

void Surface::ForgetDrawing() {
  drawnOn_.clear();
  spans_.clear();
  groups_.clear();
  allBackground_ = true;
}

void Surface::Cls() {
  if (allBackground_) return;
  for (const Drawn& d : drawnOn_) {
    const Rect& r = d.Box;
    if (d.Shaped) {
      // Only the sprite's rows as drawn: its transparent sides were never touched.
      FillSpans(pixels_, spans_.data() + d.Spans, d.Count, background_);
      Remember(changes_, r, true, groups_.data() + d.Groups, d.GroupCount);
    } else {
      FillRows(pixels_.Pixels.data() + static_cast<size_t>(r.Y) * pixels_.Width,
               static_cast<size_t>(r.X), static_cast<size_t>(pixels_.Width),
               static_cast<size_t>(r.Width), static_cast<size_t>(r.Height), background_);
      Remember(changes_, r);
    }
  }
  ForgetDrawing();
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

void Surface::Touch(const Placement& at, bool shaped, size_t firstSpan) {
  const Rect touched{at.X0, at.Y0, at.X1 - at.X0, at.Y1 - at.Y0};
  const size_t firstGroup = groups_.size();
  const size_t groupCount =
      shaped ? AppendGroups(groups_, touched, spans_.data() + firstSpan, spans_.size() - firstSpan)
             : 0;
  Remember(changes_, touched, shaped, groups_.data() + firstGroup, groupCount);
  allBackground_ = false;
  // A box already noted whole covers this one (a sprite's mask and picture drawn one
  // after the other share it).
  if (!drawnOn_.empty() && !drawnOn_.back().Shaped && drawnOn_.back().Box == touched) {
    spans_.resize(firstSpan);
    groups_.resize(firstGroup);
    return;
  }
  drawnOn_.push_back(
      {touched, shaped, firstSpan, shaped ? spans_.size() - firstSpan : 0, firstGroup, groupCount});
  if (drawnOn_.size() > kMaxRects || spans_.size() > kMaxSpans) {
    // A scene that never clears (the poster collage) must not grow the lists without
    // end: everything drawn so far is taken as one box.
    std::vector<Rect> boxes;
    boxes.reserve(drawnOn_.size());
    for (const Drawn& d : drawnOn_) boxes.push_back(d.Box);
    drawnOn_.assign(1, Drawn{BoundingBox(boxes)});
    spans_.clear();
    groups_.clear();
  }
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
  const size_t firstSpan = spans_.size();
  const bool shaped = BlitMasked(
      pixels_, mask, image,
      SpriteBox{at->X, at->Y, at->Width, at->Height, at->X0, at->Y0, at->X1, at->Y1}, spans_);
  Touch(*at, shaped, firstSpan);
}

void Surface::TakeChanges(SurfaceChanges& into) {
  into.Boxes.clear();
  into.Groups.clear();
  std::swap(into, changes_);
}

std::vector<Rect> Surface::TakeDirty() {
  SurfaceChanges changes;
  TakeChanges(changes);
  std::vector<Rect> boxes;
  for (const SurfaceChanges::Box& b : changes.Boxes) boxes.push_back(b.Area);
  return boxes;
}

}  // namespace qm
