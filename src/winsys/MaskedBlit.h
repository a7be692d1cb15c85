// The one-pass sprite behind Surface::PaintMasked: a mask and its picture of the same
// size drawn as SRCAND then SRCINVERT would leave them, dst = ((mask AND dst) XOR
// image), with the unused top byte of every written pixel 0. Kept apart from the
// surface so that a form using the processor's 512-bit vectors can be compiled beside
// the portable one; both draw exactly the same pixels.
#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

#include "winsys/Picture.h"
#include "winsys/RowFill.h"
#include "winsys/Stretch.h"

namespace qm {

// Where the sprite lands, as the surface placed it: its whole stretched box (X, Y,
// Width, Height; sizes at least 1) and the part of it on `dst` (X0, Y0) to (X1, Y1),
// which the caller has clipped and found not empty.
struct SpriteBox {
  int X, Y, Width, Height;
  int X0, Y0, X1, Y1;
};

// Draws the sprite into `dst`. Mask and image must have the same size and not be
// empty. The widest vector form this processor allows is used where the sprite suits it.
// Where its rows are trimmed to the columns they change, each drawn row's span is
// appended to `spans` and the result is true: nothing outside them changed. False
// where any pixel of the visible box may have changed (nothing is appended then).
bool BlitMasked(Picture& dst, const PictureView& mask, const PictureView& image,
                const SpriteBox& at, std::vector<RowSpan>& spans);

// A source pixel that leaves the destination unchanged: white in the mask and black
// in the picture (the top bytes do not count).
inline bool LeavesAlone(Pixel mask, Pixel image) {
  return (((mask ^ kRgbMask) | image) & kRgbMask) == 0;
}

// Whether the rows of the sprite are trimmed to the columns they change: where more
// than 64 of its columns are visible, as a wide row's transparent ends would be cache
// lines fetched for nothing. A narrower row is a few vector groups, and finding its
// ends, noting them and clearing by them cost more than the pixels they spare (a third
// of the time of 40 sprites enlarged to 36 pixels went to that).
inline bool TrimsRows(const SpriteBox& at) {
  return at.X1 - at.X0 > 64;
}

// The source columns [First, End) of a row from its first to its last pixel that
// changes anything; First == End == the width where none does.
struct SourceEnds {
  int First = 0, End = 0;
};
inline SourceEnds ChangingEnds(const Pixel* ms, const Pixel* is, int width) {
  int first = 0, end = width;
  while (first < end && LeavesAlone(ms[first], is[first])) ++first;
  while (end > first && LeavesAlone(ms[end - 1], is[end - 1])) --end;
  return {first, end};
}
// A form's own way of finding them, with the same results.
using FindEnds = SourceEnds (*)(const Pixel* ms, const Pixel* is, int width);

// The destination columns [Lo, Hi), counted from X0, that need work for source row
// (ms, is): those from its first to its last pixel that changes anything, found by
// `find`, or every visible one where `find` is null.
struct ColumnSpan {
  size_t Lo = 0, Hi = 0;
};
// `below`, where not null, holds for each source column c (0 to the mask's width) how
// many of the visible destination columns sample a column below c (StretchScratch).
inline ColumnSpan ChangedColumns(const Pixel* ms, const Pixel* is, const PictureView& mask,
                                 const SpriteBox& at, FindEnds find, const int* below) {
  const int w = at.X1 - at.X0;
  const int offset = at.X0 - at.X;  // columns of the sprite clipped away on the left
  const SourceEnds ends = find ? find(ms, is, mask.Width) : SourceEnds{0, mask.Width};
  const int first = ends.First, end = ends.End;  // source columns [first, end) that matter
  if (at.Width == mask.Width) {
    return {static_cast<size_t>(std::clamp(first - offset, 0, w)),
            static_cast<size_t>(std::clamp(end - offset, 0, w))};
  }
  // The sampled columns never decrease, so those inside [first, end) are one run;
  // looked up or worked out rather than searched for, as a search's branches are a gamble.
  if (below) {
    const auto lo = static_cast<size_t>(below[first]);
    return {lo, std::max(lo, static_cast<size_t>(below[end]))};
  }
  const size_t lo = ColumnsBelow(first, static_cast<size_t>(w), offset, mask.Width, at.Width);
  return {lo,
          std::max(lo, ColumnsBelow(end, static_cast<size_t>(w), offset, mask.Width, at.Width))};
}

// Each destination row lies on another page of a large surface, out of reach of the
// processor's own prefetching: asks for columns [lo, hi) of the row after next while
// row y is drawn.
inline void PrefetchRowAfterNext(const Picture& dst, int y, const SpriteBox& at, size_t lo,
                                 size_t hi) {
  if (y + 2 >= at.Y1) return;
  const Pixel* ahead = dst.Pixels.data() + static_cast<size_t>(y + 2) * dst.Width + at.X0;
  for (size_t i = lo; i < hi; i += 16) __builtin_prefetch(ahead + i, 1);
}

// Where a stretched sprite's samples go, for the portable and 256-bit forms: the source
// column of each visible destination column, and a row each of mask and picture
// samples, sized for this sprite. One set a thread, reused from sprite to sprite; the
// caller only fills them when the sprite is stretched.
struct StretchScratch {
  std::vector<int> Cols;
  // For each source column c, 0 to the source's width, how many visible destination
  // columns sample a column below c: where a trimmed source row's ends land, looked up
  // instead of worked out with two divisions a row. Made only for a sprite whose rows
  // are trimmed.
  std::vector<int> Below;
  std::vector<Pixel> MaskRow, ImageRow;
};
inline StretchScratch& StretchScratchFor(const PictureView& mask, const SpriteBox& at) {
  thread_local StretchScratch scratch;
  const size_t w = static_cast<size_t>(at.X1 - at.X0);
  SampleColumns(scratch.Cols, w, at.X0 - at.X, mask.Width, at.Width);
  scratch.Below.clear();
  if (TrimsRows(at)) {
    scratch.Below.resize(static_cast<size_t>(mask.Width) + 1);
    size_t i = 0;
    for (int c = 0; c <= mask.Width; ++c) {
      while (i < w && scratch.Cols[i] < c) ++i;
      scratch.Below[static_cast<size_t>(c)] = static_cast<int>(i);
    }
  }
  scratch.MaskRow.resize(w);
  scratch.ImageRow.resize(w);
  return scratch;
}

// The destination rows of a sprite, top to bottom, with the source row each samples and
// the columns it needs work in: the walk both forms draw by. A row sampling the same
// source row as the one above shares its columns and whatever the form prepared for it.
class SpriteRows {
 public:
  // Rows are trimmed where TrimsRows says, their ends found by `find`.
  // Trimmed rows that change anything are appended to `spans` where it is not null.
  // `stretch`, where given, is this sprite's StretchScratchFor.
  SpriteRows(Picture& dst, const PictureView& mask, const PictureView& image, const SpriteBox& at,
             std::vector<RowSpan>* spans, FindEnds find = ChangingEnds,
             const StretchScratch* stretch = nullptr)
      : dst_(dst),
        mask_(mask),
        image_(image),
        at_(at),
        find_(TrimsRows(at) ? find : nullptr),
        spans_(find_ ? spans : nullptr),
        below_(stretch && !stretch->Below.empty() ? stretch->Below.data() : nullptr),
        sy_(at.Y0 - at.Y, mask.Height, at.Height),
        y_(at.Y0) {}

  bool More() const { return y_ < at_.Y1; }
  void Next() {
    if (spans_ && span_.Lo < span_.Hi)
      spans_->push_back(
          {y_, at_.X0 + static_cast<int>(span_.Lo), at_.X0 + static_cast<int>(span_.Hi)});
    ++y_;
    sy_.Next();
  }
  // True where this row samples another source row than the row above; its mask and
  // picture rows and its columns are then those of the new source row.
  bool NewSourceRow() {
    if (sy_.Value() == lastSy_) return false;
    lastSy_ = sy_.Value();
    maskRow_ = mask_.Data + static_cast<size_t>(lastSy_) * mask_.Stride;
    imageRow_ = image_.Data + static_cast<size_t>(lastSy_) * image_.Stride;
    span_ = ChangedColumns(maskRow_, imageRow_, mask_, at_, find_, below_);
    return true;
  }
  const Pixel* MaskRow() const { return maskRow_; }
  const Pixel* ImageRow() const { return imageRow_; }
  // The destination columns [Lo, Hi), counted from X0, that need work; none when equal.
  size_t Lo() const { return span_.Lo; }
  size_t Hi() const { return span_.Hi; }
  // The row's first visible pixel. The row after next is asked for meanwhile.
  Pixel* Destination() const {
    PrefetchRowAfterNext(dst_, y_, at_, span_.Lo, span_.Hi);
    return dst_.Pixels.data() + static_cast<size_t>(y_) * dst_.Width + at_.X0;
  }

 private:
  Picture& dst_;
  const PictureView& mask_;
  const PictureView& image_;
  const SpriteBox& at_;
  const FindEnds find_;
  std::vector<RowSpan>* const spans_;
  const int* const below_;
  CentreSampler sy_;
  int y_;
  int lastSy_ = -1;
  const Pixel* maskRow_ = nullptr;
  const Pixel* imageRow_ = nullptr;
  ColumnSpan span_;
};

// The vector form: false, with nothing drawn, where this build lacks it or the sprite is
// stretched from a source more than 64 pixels wide. The caller has asked
// UseWideVectors().
bool BlitMaskedWide(Picture& dst, const PictureView& mask, const PictureView& image,
                    const SpriteBox& at);

// The 256-bit form: false, with nothing drawn, where this build lacks it. The caller
// has asked UseVectors256(). Trimmed rows go to `spans` as SpriteRows says.
bool BlitMasked256(Picture& dst, const PictureView& mask, const PictureView& image,
                   const SpriteBox& at, std::vector<RowSpan>* spans);

}  // namespace qm
