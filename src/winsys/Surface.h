// The saver window's drawing surface: what `Cls` and `PaintPicture` act on. It keeps
// its own pixels and records every rectangle it touched since the host last took
// them, so a step that draws a few sprites costs the sprites, not the screen.
#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

#include "winsys/Picture.h"
#include "winsys/RowFill.h"

namespace qm {

// The three raster operations of the program, with their Windows codes.
enum class RasterOp : uint32_t {
  SrcCopy = 0x00CC0020u,    // dest = source
  SrcAnd = 0x008800C6u,     // dest = source AND dest
  SrcInvert = 0x00660046u,  // dest = source XOR dest
};

struct Rect {
  int X = 0;
  int Y = 0;
  int Width = 0;
  int Height = 0;
  bool Empty() const { return Width <= 0 || Height <= 0; }
  bool operator==(const Rect&) const = default;
};

// The smallest rectangle holding every one of `rects`, which must not be empty.
Rect BoundingBox(const std::vector<Rect>& rects);

// The columns [X0, X1) that changed in some rows; nothing where X0 >= X1 (as made).
struct RowExtent {
  int X0 = std::numeric_limits<int>::max(), X1 = std::numeric_limits<int>::min();
  bool Empty() const { return X0 >= X1; }
  // Takes in another extent, which may be empty as made (not any other way).
  void Merge(const RowExtent& e) {
    X0 = std::min(X0, e.X0);
    X1 = std::max(X1, e.X1);
  }
};

// What a surface changed since the host last took it: boxes (clipped to the surface,
// possibly overlapping), each changed as a whole or, where a sprite's drawing or
// clearing noted its trimmed rows, only in the columns noted for each of its row
// groups: rows kGroupRows * g to kGroupRows * (g + 1) - 1 of the surface form group g.
struct SurfaceChanges {
  static constexpr int kGroupRows = 8;
  struct Box {
    Rect Area;
    bool Shaped = false;  // only its groups' columns changed; nothing where it has none
    // Its groups: Groups[First, First + Count) for groups Area.Y / kGroupRows onwards.
    size_t First = 0, Count = 0;
  };
  std::vector<Box> Boxes;
  std::vector<RowExtent> Groups;
};

class Surface {
 public:
  explicit Surface(int width = 0, int height = 0, Pixel background = 0);

  // New size; the whole content becomes the background colour and is dirty.
  void Resize(int width, int height);
  // Moves the pixels, as they are, into memory from `memory`, which then serves every
  // later size too. The caller keeps `memory` alive until the surface is gone or has
  // been given another one.
  void UsePixelMemory(std::pmr::memory_resource* memory);
  int Width() const { return pixels_.Width; }
  int Height() const { return pixels_.Height; }
  const Picture& Pixels() const { return pixels_; }

  Pixel BackColor() const { return background_; }
  void SetBackColor(Pixel colour);

  // Clears to the background colour. Only what was drawn since the surface was last
  // all background is touched: of a sprite whose drawing noted its trimmed rows (one
  // more than 64 pixels wide, in the portable and 256-bit forms) only the columns those
  // rows changed, which is also what the changes then say.
  void Cls();

  // Draws `picture` with its top-left corner at (x, y), scaled to width x height when
  // given (nearest neighbour), combined with the destination by `op`. Positions and
  // sizes are pixels in floating point and are rounded as the Windows run-time rounds
  // them; everything outside the surface (negative positions included) is clipped.
  // An empty picture or a size that rounds to 0 draws nothing.
  void PaintPicture(const PictureView& picture, float x, float y,
                    std::optional<float> width = std::nullopt,
                    std::optional<float> height = std::nullopt, RasterOp op = RasterOp::SrcCopy);

  // Draws a sprite as a mask and its picture: exactly what PaintPicture(mask, ..., SrcAnd)
  // followed by PaintPicture(image, ..., SrcInvert) with the same position and size
  // leave, in one pass. Pixels where the mask is white and the picture black leave the
  // destination as it is and are skipped, so a sprite costs its shape rather than its
  // box. A mask and picture of different sizes are drawn in the two passes.
  void PaintMasked(const PictureView& mask, const PictureView& image, float x, float y,
                   std::optional<float> width = std::nullopt,
                   std::optional<float> height = std::nullopt);

  // Hands `into` what changed since the last call to either, which then forgets it;
  // what `into` held is dropped, and its memory serves the surface's next changes.
  void TakeChanges(SurfaceChanges& into);
  // The same as boxes only.
  std::vector<Rect> TakeDirty();

 private:
  // Where a picture drawn at (x, y) with the given size lands: the rounded position and
  // size, and the part of it on the surface. Nothing when nothing would be drawn.
  struct Placement {
    int X, Y, Width, Height;  // the whole picture, unclipped
    int X0, Y0, X1, Y1;       // its visible part
  };
  std::optional<Placement> Place(const PictureView& picture, float x, float y,
                                 std::optional<float> width, std::optional<float> height) const;
  // Notes the visible part of `at` as drawn on. `shaped`: only the spans from
  // `firstSpan` to the end of spans_ changed in it, not the whole box.
  void Touch(const Placement& at, bool shaped = false, size_t firstSpan = 0);
  void ForgetDrawing();

  // What was drawn on: a box, and where `Shaped`, the spans Spans to Spans + Count of
  // spans_ that cover everything that changed in it (a sprite's trimmed rows), and
  // their columns by row group, groups_[Groups, Groups + GroupCount), for the changes
  // its clearing makes.
  struct Drawn {
    Rect Box;
    bool Shaped = false;
    size_t Spans = 0, Count = 0;
    size_t Groups = 0, GroupCount = 0;
  };

  Picture pixels_;
  Pixel background_ = 0;
  SurfaceChanges changes_;         // since the host last took them
  std::vector<Drawn> drawnOn_;     // since the surface was last all background
  std::vector<RowSpan> spans_;     // the shaped entries' spans
  std::vector<RowExtent> groups_;  // and their row groups' columns
  bool allBackground_ = true;
};

}  // namespace qm
