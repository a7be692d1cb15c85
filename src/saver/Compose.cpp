#include "saver/Compose.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "saver/DamageBands.h"
#include "winsys/Text.h"

namespace qm {
namespace {

// Past this many rectangles one frame redoes their bounding box instead: the
// bookkeeping would cost more than the pixels.
constexpr size_t kMaxDamageRects = 64;

void Fill(Picture& frame, const Rect& r, Pixel colour) {
  colour &= 0x00FFFFFFu;
  for (int y = r.Y; y < r.Y + r.Height; ++y) {
    Pixel* row = frame.Pixels.data() + static_cast<size_t>(y) * frame.Width;
    std::fill(row + r.X, row + r.X + r.Width, colour);
  }
}

// The frame and the pictures never share pixels, which lets whole rows go at once.
void CopyRow(const Pixel* __restrict src, Pixel* __restrict dst, size_t n) {
  for (size_t i = 0; i < n; ++i) dst[i] = src[i] & 0x00FFFFFFu;
}

// A picture with transparent parts over what the frame holds: its colour bits are
// already multiplied by its opacity, so only what lies below is weighed.
void BlendRow(const Pixel* __restrict src, Pixel* __restrict dst, size_t n) {
  for (size_t i = 0; i < n; ++i) {
    const Pixel s = src[i];
    const uint32_t alpha = s >> 24;
    if (alpha == 255) {
      dst[i] = s & kRgbMask;
    } else if (alpha != 0) {
      const uint32_t keep = 255 - alpha;
      Pixel out = 0;
      for (int shift = 0; shift < 24; shift += 8) {
        const uint32_t below = (dst[i] >> shift) & 0xFFu;
        const uint32_t own = (s >> shift) & 0xFFu;
        out |= (own + (below * keep + 127) / 255) << shift;
      }
      dst[i] = out;
    }
  }
}

// Puts `picture` with its top-left corner at (x, y), inside `area` only: copied, or
// laid over what the frame holds where it has transparent parts.
void PutPicture(Picture& frame, const Rect& area, const Picture& picture, int x, int y) {
  const Rect r = IntersectRects(area, Rect{x, y, picture.Width, picture.Height});
  for (int yy = r.Y; yy < r.Y + r.Height; ++yy) {
    const Pixel* src =
        picture.Pixels.data() + static_cast<size_t>(yy - y) * picture.Width + (r.X - x);
    Pixel* dst = frame.Pixels.data() + static_cast<size_t>(yy) * frame.Width + r.X;
    if (picture.HasAlpha) {
      BlendRow(src, dst, static_cast<size_t>(r.Width));
    } else {
      CopyRow(src, dst, static_cast<size_t>(r.Width));
    }
  }
}

Rect BoundingBox(const Rect& a, const Rect& b) {
  const int x0 = std::min(a.X, b.X), y0 = std::min(a.Y, b.Y);
  const int x1 = std::max(a.X + a.Width, b.X + b.Width);
  const int y1 = std::max(a.Y + a.Height, b.Y + b.Height);
  return {x0, y0, x1 - x0, y1 - y0};
}

int64_t Area(const Rect& r) {
  return int64_t{r.Width} * r.Height;
}

// A sprite's old and new places overlap almost entirely, and each rectangle costs every
// later stage a copy of the overlap and a request of its own: two rectangles become
// their bounding box when it adds at most a quarter to what they cover together. One
// inside another is the case that adds nothing. Repeated until no pair qualifies. A
// merged box remembers how much of it was asked for (what it was merged from, their
// overlap counted once; where that overlap took in nothing asked for, less), so that
// boxes merged again and again cannot grow by a quarter each time: the flyers meet near
// the centre, and a box around all of them is mostly pixels that did not change. (So a
// merged box can stay apart from one holding it, and be sent twice; absorbing such
// boxes as well changes later merges and, on the scenes, sent slightly more.)
std::vector<Rect> MergeNearlyCovering(std::vector<Rect> rects) {
  std::vector<int64_t> asked(rects.size());
  for (size_t i = 0; i < rects.size(); ++i) asked[i] = Area(rects[i]);
  bool merged = true;
  while (merged) {
    merged = false;
    for (size_t i = 0; i < rects.size(); ++i) {
      for (size_t j = i + 1; j < rects.size();) {
        const Rect box = BoundingBox(rects[i], rects[j]);
        const int64_t both = asked[i] + asked[j] - Area(IntersectRects(rects[i], rects[j]));
        if (4 * (Area(box) - both) <= both) {
          rects[i] = box;
          asked[i] = both;
          rects.erase(rects.begin() + static_cast<std::ptrdiff_t>(j));
          asked.erase(asked.begin() + static_cast<std::ptrdiff_t>(j));
          merged = true;
        } else {
          ++j;
        }
      }
    }
  }
  return rects;
}

bool Contains(const Rect& outer, const Rect& r) {
  return r.X >= outer.X && r.Y >= outer.Y && r.X + r.Width <= outer.X + outer.Width &&
         r.Y + r.Height <= outer.Y + outer.Height;
}

Rect FrameRect(const Picture& frame) {
  return {0, 0, frame.Width, frame.Height};
}

// What an image control shows: its picture from its top-left corner, no larger than
// the control.
Rect ImageRect(const Image& image) {
  if (!image.Picture) return {image.Left, image.Top, 0, 0};
  return {image.Left, image.Top, std::min(image.Width, image.Picture->Width),
          std::min(image.Height, image.Picture->Height)};
}

// ---- what the previous frame showed, to find the controls that changed since

struct ImageSnap {
  Rect drawn;
  bool visible = false;
  const Picture* picture = nullptr;
  bool operator==(const ImageSnap&) const = default;
};

struct LabelSnap {
  int left = 0, top = 0, width = 0, height = 0;
  bool visible = false;
  std::string caption, fontName;
  float sizePt = 0;
  bool bold = false, italic = false, underline = false, transparent = false;
  Pixel fore = 0, back = 0;
  Alignment align = Alignment::Left;
  bool operator==(const LabelSnap&) const = default;
};

struct LineSnap {
  int x1 = 0, y1 = 0, x2 = 0, y2 = 0, borderWidth = 0;
  Pixel colour = 0;
  bool visible = false;
  bool operator==(const LineSnap&) const = default;
};

struct BoxSnap {
  int left = 0, top = 0, width = 0, height = 0;
  bool visible = false;
  const Picture* picture = nullptr;
  Pixel back = 0;
  std::array<LineSnap, 5> lines{};
  std::array<LabelSnap, 6> days{};
  std::array<LabelSnap, 6> matches{};
  LabelSnap title;
  bool operator==(const BoxSnap&) const = default;
};

ImageSnap Snap(const Image& i) {
  return {ImageRect(i), i.Visible, i.Picture.get()};
}

LabelSnap Snap(const Label& l) {
  LabelSnap s;
  s.left = l.Left;
  s.top = l.Top;
  s.width = l.Width;
  s.height = l.Height;
  s.visible = l.Visible;
  s.caption = l.Caption;
  s.fontName = l.TextFont.Name;
  s.sizePt = l.TextFont.SizePt;
  s.bold = l.TextFont.Bold;
  s.italic = l.TextFont.Italic;
  s.underline = l.TextFont.Underline;
  s.transparent = l.Transparent;
  s.fore = l.ForeColor;
  s.back = l.BackColor;
  s.align = l.Align;
  return s;
}

LineSnap Snap(const Line& l) {
  return {l.X1, l.Y1, l.X2, l.Y2, l.BorderWidth, l.Color, l.Visible};
}

BoxSnap SnapBox(const frmSSaver& f) {
  BoxSnap s;
  const PictureBox& b = f.picTabela;
  s.left = b.Left;
  s.top = b.Top;
  s.width = b.Width;
  s.height = b.Height;
  s.visible = b.Visible;
  s.picture = b.Picture.get();
  s.back = b.BackColor;
  for (size_t i = 0; i < s.lines.size(); ++i) s.lines[i] = Snap(f.Line1[i]);
  for (size_t i = 0; i < s.days.size(); ++i) s.days[i] = Snap(f.lblJogo01Dia[i]);
  for (size_t i = 0; i < s.matches.size(); ++i) s.matches[i] = Snap(f.lblJogo01[i]);
  s.title = Snap(f.lblGrupo);
  return s;
}

// Clipped to the window, without the empty, those that nearly make one merged, and a
// long list folded into its bounding box; then each box sent as bands of the rows its
// parts changed (`more`, the controls' places, change whole).
std::vector<Rect> Tidy(const SurfaceChanges& changes, const std::vector<Rect>& more,
                       const Rect& whole) {
  // Kept from frame to frame, so that a step's lists cost no allocations.
  thread_local std::vector<Rect> todo;
  thread_local std::vector<const SurfaceChanges::Box*> parts;  // null: a rectangle of `more`
  thread_local std::vector<uint32_t> owner;
  thread_local std::vector<RowExtent> groups;
  todo.clear();
  parts.clear();
  for (const SurfaceChanges::Box& b : changes.Boxes) {
    if (b.Shaped && b.Count == 0) continue;  // a sprite that changed nothing
    const Rect c = IntersectRects(b.Area, whole);
    if (c.Empty()) continue;
    todo.push_back(c);
    parts.push_back(&b);
  }
  for (const Rect& r : more) {
    const Rect c = IntersectRects(r, whole);
    if (c.Empty()) continue;
    todo.push_back(c);
    parts.push_back(nullptr);
  }
  std::vector<Rect> kept = MergeNearlyCovering(todo);
  if (kept.size() > kMaxDamageRects) kept.assign(1, BoundingBox(kept));

  // Each rectangle goes to the first box that holds it: the one it was merged into, or
  // one as good. Every box is sent as bands of what its rectangles changed.
  owner.resize(todo.size());
  for (size_t i = 0; i < todo.size(); ++i) {
    uint32_t k = 0;
    while (k + 1 < kept.size() && !Contains(kept[k], todo[i])) ++k;  // merging only grows boxes
    owner[i] = k;
  }
  constexpr int g = SurfaceChanges::kGroupRows;
  std::vector<Rect> bands;
  bands.reserve(kept.size() * 4);
  for (size_t k = 0; k < kept.size(); ++k) {
    const Rect& box = kept[k];
    const int first = box.Y / g;
    groups.assign(static_cast<size_t>((box.Y + box.Height - 1) / g - first + 1), RowExtent{});
    for (size_t i = 0; i < todo.size(); ++i) {
      if (owner[i] != k) continue;
      const Rect& r = todo[i];
      const SurfaceChanges::Box* part = parts[i];
      if (part && part->Shaped && r == part->Area) {
        // Its groups lie inside its box, and so inside the merged one.
        const RowExtent* own = changes.Groups.data() + part->First;
        RowExtent* at = groups.data() + (r.Y / g - first);
        for (size_t j = 0; j < part->Count; ++j) at[j].Merge(own[j]);
      } else {
        for (int y = r.Y / g; y <= (r.Y + r.Height - 1) / g; ++y)
          groups[static_cast<size_t>(y - first)].Merge({r.X, r.X + r.Width});
      }
    }
    AppendBands(box, groups, bands);
  }
  return bands;
}

}  // namespace

struct frmSSaver::ComposeState {
  bool valid = false;
  BoxSnap box;
  ImageSnap image1;
  ImageSnap banner;
};

Rect IntersectRects(const Rect& a, const Rect& b) {
  const int x0 = std::max(a.X, b.X), y0 = std::max(a.Y, b.Y);
  const int x1 = std::min(a.X + a.Width, b.X + b.Width);
  const int y1 = std::min(a.Y + a.Height, b.Y + b.Height);
  return {x0, y0, std::max(x1 - x0, 0), std::max(y1 - y0, 0)};
}

void DrawImage(Picture& frame, const Rect& clip, const Image& image) {
  if (!image.Visible || !image.Picture) return;
  const Rect area = IntersectRects(IntersectRects(clip, FrameRect(frame)), ImageRect(image));
  if (area.Empty()) return;
  PutPicture(frame, area, *image.Picture, image.Left, image.Top);
}

// A one-pixel pen from the first point towards the second, the second point itself not
// drawn, as the Windows line does; a wider pen paints a square around each point.
void DrawLine(Picture& frame, const Rect& clip, int originX, int originY, const Line& line) {
  if (!line.Visible) return;
  const Rect area = IntersectRects(clip, FrameRect(frame));
  if (area.Empty()) return;
  const int pen = std::max(line.BorderWidth, 1);
  const int half = (pen - 1) / 2;
  int x = originX + line.X1, y = originY + line.Y1;
  const int x2 = originX + line.X2, y2 = originY + line.Y2;
  const int dx = std::abs(x2 - x), dy = -std::abs(y2 - y);
  const int sx = x < x2 ? 1 : -1, sy = y < y2 ? 1 : -1;
  int err = dx + dy;
  while (x != x2 || y != y2) {
    Fill(frame, IntersectRects(area, Rect{x - half, y - half, pen, pen}), line.Color);
    const int e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      x += sx;
    }
    if (e2 <= dx) {
      err += dx;
      y += sy;
    }
  }
}

void DrawLabel(Picture& frame, const Rect& clip, int originX, int originY, const Label& label) {
  if (!label.Visible) return;
  const Rect box = Bounds(label, originX, originY);
  const Rect area = IntersectRects(IntersectRects(clip, FrameRect(frame)), box);
  if (area.Empty()) return;
  if (!label.Transparent) Fill(frame, area, label.BackColor);
  DrawLabelText(frame, area, box, label.TextFont, label.ForeColor, label.Align, label.Caption);
}

void DrawPictureBox(Picture& frame, const Rect& clip, const frmSSaver& form) {
  const PictureBox& box = form.picTabela;
  if (!box.Visible) return;
  const Rect area = IntersectRects(IntersectRects(clip, FrameRect(frame)), Bounds(box));
  if (area.Empty()) return;
  Fill(frame, area, box.BackColor);
  if (box.Picture) PutPicture(frame, area, *box.Picture, box.Left, box.Top);
  // Children in the order they were placed: later ones lie on top.
  for (const Line& l : form.Line1) DrawLine(frame, area, box.Left, box.Top, l);
  for (const Label& l : form.lblJogo01Dia) DrawLabel(frame, area, box.Left, box.Top, l);
  for (const Label& l : form.lblJogo01) DrawLabel(frame, area, box.Left, box.Top, l);
  DrawLabel(frame, area, box.Left, box.Top, form.lblGrupo);
}

void ComposeRegion(const frmSSaver& form, Picture& frame, const Rect& clip) {
  const Picture& surface = form.Canvas.Pixels();
  const Rect area = IntersectRects(IntersectRects(clip, FrameRect(frame)),
                                   Rect{0, 0, surface.Width, surface.Height});
  if (area.Empty()) return;
  PutPicture(frame, area, surface, 0, 0);
  DrawPictureBox(frame, area, form);
  DrawImage(frame, area, form.Image1);
  DrawImage(frame, area, form.imgPropaganda01);
}

std::vector<Rect> frmSSaver::ComposeFrame(Picture& frame) {
  if (!compose_) compose_ = std::make_shared<ComposeState>();
  ComposeState& last = *compose_;
  const Rect whole{0, 0, Canvas.Width(), Canvas.Height()};

  thread_local SurfaceChanges changes;  // its memory kept from frame to frame
  Canvas.TakeChanges(changes);
  std::vector<Rect> damage;  // the controls' places
  ComposeState now;
  now.valid = true;
  now.box = SnapBox(*this);
  now.image1 = Snap(Image1);
  now.banner = Snap(imgPropaganda01);

  bool full = !last.valid;
  if (frame.Width != whole.Width || frame.Height != whole.Height) {
    frame = Picture(whole.Width, whole.Height);
    full = true;
  }
  if (!full) {
    // A control that changed needs both where it was and where it is now redone.
    if (!(now.box == last.box)) {
      if (last.box.visible)
        damage.push_back({last.box.left, last.box.top, last.box.width, last.box.height});
      if (now.box.visible) damage.push_back(Bounds(picTabela));
    }
    for (auto [was, is] :
         {std::pair{&last.image1, &now.image1}, std::pair{&last.banner, &now.banner}}) {
      if (*was == *is) continue;
      if (was->visible) damage.push_back(was->drawn);
      if (is->visible) damage.push_back(is->drawn);
    }
  }
  last = std::move(now);

  std::vector<Rect> kept;
  if (!full) {
    kept = Tidy(changes, damage, whole);
  } else if (!whole.Empty()) {
    kept.push_back(whole);
  }
  for (const Rect& r : kept) ComposeRegion(*this, frame, r);
  return kept;
}

const Picture& frmSSaver::ShowFrame(Picture& frame, std::vector<Rect>& changed) {
  const bool covered = picTabela.Visible || (Image1.Visible && Image1.Picture) ||
                       (imgPropaganda01.Visible && imgPropaganda01.Picture);
  if (covered) {
    changed = ComposeFrame(frame);
    return frame;
  }
  if (!compose_) compose_ = std::make_shared<ComposeState>();
  ComposeState& last = *compose_;
  thread_local SurfaceChanges changes;  // its memory kept from frame to frame
  Canvas.TakeChanges(changes);
  std::vector<Rect> damage;
  if (last.valid) {
    // What the last composed frame showed over the surface is gone.
    if (last.box.visible)
      damage.push_back({last.box.left, last.box.top, last.box.width, last.box.height});
    if (last.image1.visible) damage.push_back(last.image1.drawn);
    if (last.banner.visible) damage.push_back(last.banner.drawn);
    // `frame` misses what the surface does from now on: the next one is composed whole.
    last.valid = false;
  }
  changed = Tidy(changes, damage, Rect{0, 0, Canvas.Width(), Canvas.Height()});
  return Canvas.Pixels();
}

}  // namespace qm
