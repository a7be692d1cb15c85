#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <memory_resource>
#include <random>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "DrawingTestUtil.h"
#include "winsys/Surface.h"
#include "winsys/WideVectors.h"

namespace qm {
namespace {

using testing::Area;
using testing::Covers;
using testing::InEveryForm;

Picture Row(std::vector<Pixel> values) {
  Picture p(static_cast<int>(values.size()), 1);
  p.Pixels.assign(values.begin(), values.end());
  return p;
}

// A picture whose every pixel tells where it came from: 100 * (y + 1) + x + 1.
Picture Numbered(int w, int h) {
  Picture p(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) p.Pixels[static_cast<size_t>(y) * w + x] = 100u * (y + 1) + x + 1;
  return p;
}

TEST(SurfaceRop, CopyAndInvertCombineBitByBitAndKeepTopByteClear) {
  Surface s(1, 1, 0);
  const Picture a = Row({0xFFF0A05Au});  // top byte set in the source
  s.PaintPicture(PictureView(a), 0, 0);
  EXPECT_EQ(s.Pixels().At(0, 0), 0x00F0A05Au);

  // F0&33=30, A0&CC=80, 5A&0F=0A
  const Picture m = Row({0x0033CC0Fu});
  s.PaintPicture(PictureView(m), 0, 0, std::nullopt, std::nullopt, RasterOp::SrcAnd);
  EXPECT_EQ(s.Pixels().At(0, 0), 0x0030800Au);

  // 30^FF=CF, 80^FF=7F, 0A^FF=F5; the source's top byte must not leak in
  const Picture x = Row({0xABFFFFFFu});
  s.PaintPicture(PictureView(x), 0, 0, std::nullopt, std::nullopt, RasterOp::SrcInvert);
  EXPECT_EQ(s.Pixels().At(0, 0), 0x00CF7FF5u);

  // XOR twice with the same source gives the destination back
  s.PaintPicture(PictureView(x), 0, 0, std::nullopt, std::nullopt, RasterOp::SrcInvert);
  EXPECT_EQ(s.Pixels().At(0, 0), 0x0030800Au);
}

TEST(SurfaceScale, NearestNeighbourSamplesPixelCentres) {
  // 2x2 to 4x4 at (1, 1): each source pixel becomes a 2x2 block, the frame around stays
  // untouched.
  Surface up(6, 6, 0);
  const Picture p = Numbered(2, 2);  // 101 102 / 201 202
  up.PaintPicture(PictureView(p), 1, 1, 4.0f, 4.0f);
  const Pixel want[6][6] = {{0, 0, 0, 0, 0, 0},         {0, 101, 101, 102, 102, 0},
                            {0, 101, 101, 102, 102, 0}, {0, 201, 201, 202, 202, 0},
                            {0, 201, 201, 202, 202, 0}, {0, 0, 0, 0, 0, 0}};
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 6; ++x) EXPECT_EQ(up.Pixels().At(x, y), want[y][x]) << x << "," << y;
}

// Column (or row) c of a stretch from `from` to `to` pixels samples source pixel
// floor((2c + 1) * from / (2 * to)), the one under its centre; a stretch starting off
// the surface samples the same ones.
TEST(SurfaceScale, UnevenRatiosAndClippedStartsSampleThePixelUnderEachCentre) {
  struct Case {
    int from, to, at;
    std::vector<int> want;
  };
  const Case cases[] = {{4, 2, 0, {1, 3}},
                        {3, 5, 0, {0, 0, 1, 2, 2}},
                        {7, 13, 0, {0, 0, 1, 1, 2, 2, 3, 4, 4, 5, 5, 6, 6}},
                        {7, 13, -4, {2, 2, 3, 4, 4, 5, 5, 6, 6}},
                        {13, 5, 0, {1, 3, 6, 9, 11}}};
  for (const Case& c : cases) {
    for (const bool rows : {false, true}) {
      SCOPED_TRACE(std::to_string(c.from) + " to " + std::to_string(c.to) + " at " +
                   std::to_string(c.at) + (rows ? ", rows" : ", columns"));
      Picture line = rows ? Picture(1, c.from) : Picture(c.from, 1);
      for (int k = 0; k < c.from; ++k) line.Pixels[static_cast<size_t>(k)] = 100u + k;
      const int n = static_cast<int>(c.want.size());
      Surface s(rows ? 1 : n, rows ? n : 1, 0);
      const auto at = static_cast<float>(c.at), to = static_cast<float>(c.to);
      s.PaintPicture(PictureView(line), rows ? 0 : at, rows ? at : 0, rows ? 1.0f : to,
                     rows ? to : 1.0f);
      for (int k = 0; k < n; ++k)
        EXPECT_EQ(s.Pixels().At(rows ? 0 : k, rows ? k : 0), 100u + c.want[k]) << k;
    }
  }
}

TEST(SurfaceScale, PositionsAndSizesRoundHalfToEven) {
  const Picture dot = Row({5});
  struct Case {
    float x;
    int want;
  };
  for (const Case c :
       {Case{0.5f, 0}, Case{1.5f, 2}, Case{2.5f, 2}, Case{3.49f, 3}, Case{-0.5f, 0}}) {
    Surface s(5, 1, 0);
    s.PaintPicture(PictureView(dot), c.x, 0);
    for (int x = 0; x < 5; ++x) EXPECT_EQ(s.Pixels().At(x, 0), x == c.want ? 5u : 0u) << c.x;
  }
  // Width 2.5 -> 2 and 3.5 -> 4; height 0.4 -> 0 draws nothing.
  for (const auto& [width, drawn] : {std::pair{2.5f, 2}, std::pair{3.5f, 4}}) {
    Surface s(6, 1, 0);
    s.PaintPicture(PictureView(dot), 0, 0, width, 1.0f);
    for (int x = 0; x < 6; ++x) EXPECT_EQ(s.Pixels().At(x, 0), x < drawn ? 5u : 0u) << width;
  }
  Surface u(6, 1, 0);
  u.TakeDirty();
  u.PaintPicture(PictureView(dot), 0, 0, 3.0f, 0.4f);
  EXPECT_EQ(u.Pixels().At(0, 0), 0u);
  EXPECT_TRUE(u.TakeDirty().empty());
}

TEST(SurfaceClip, EveryEdgeClipsWithoutTouchingAnythingElse) {
  const Picture p = Numbered(3, 3);
  struct Case {
    int x, y;
  };
  // top-left, top-right, bottom-left, bottom-right, far outside on each side
  for (const Case c : {Case{-1, -1}, Case{2, -2}, Case{-2, 2}, Case{2, 2}, Case{-3, 0}, Case{4, 0},
                       Case{0, -3}, Case{0, 4}}) {
    Surface s(4, 4, 0);
    s.TakeDirty();
    s.PaintPicture(PictureView(p), static_cast<float>(c.x), static_cast<float>(c.y));
    int drawn = 0;
    for (int y = 0; y < 4; ++y) {
      for (int x = 0; x < 4; ++x) {
        const int sx = x - c.x, sy = y - c.y;
        const bool inside = sx >= 0 && sx < 3 && sy >= 0 && sy < 3;
        const Pixel want = inside ? 100u * (sy + 1) + sx + 1 : 0u;
        EXPECT_EQ(s.Pixels().At(x, y), want) << c.x << "," << c.y << " at " << x << "," << y;
        drawn += inside;
      }
    }
    const auto dirty = s.TakeDirty();
    EXPECT_EQ(Area(dirty), drawn) << c.x << "," << c.y;
  }
}

TEST(SurfaceClip, ScaledSourceIsClippedInProportion) {
  // [A B] stretched to width 4 at x = -2 covers columns -2..1: columns 0 and 1 of the
  // surface are the stretched picture's columns 2 and 3, both from B.
  const Picture p = Row({0xA, 0xB});
  Surface s(3, 1, 0);
  s.PaintPicture(PictureView(p), -2, 0, 4.0f, 1.0f);
  EXPECT_EQ(s.Pixels().At(0, 0), 0xBu);
  EXPECT_EQ(s.Pixels().At(1, 0), 0xBu);
  EXPECT_EQ(s.Pixels().At(2, 0), 0u);

  // Stretched 3x to the right edge: 2x1 -> 6x3 at (1, -1) on a 4x2 surface shows
  // stretched columns 0..2 and rows 1..2: A A A on both rows.
  Surface t(4, 2, 0);
  t.PaintPicture(PictureView(p), 1, -1, 6.0f, 3.0f);
  for (int y = 0; y < 2; ++y) {
    EXPECT_EQ(t.Pixels().At(0, y), 0u);
    for (int x = 1; x < 4; ++x) EXPECT_EQ(t.Pixels().At(x, y), 0xAu) << x << "," << y;
  }
}

TEST(SurfaceDirty, ClsClearsOnlyWhatWasDrawn) {
  Surface s(100, 80, 0x000010);
  ASSERT_EQ(s.TakeDirty().size(), 1u);  // a new surface is dirty as a whole
  const Picture p = Numbered(3, 2);
  s.PaintPicture(PictureView(p), 10, 20);
  s.PaintPicture(PictureView(p), 50, 60, 6.0f, 4.0f, RasterOp::SrcInvert);
  const auto drawn = s.TakeDirty();
  EXPECT_EQ(Area(drawn), 3 * 2 + 6 * 4);
  EXPECT_TRUE(Covers(drawn, 10, 20) && Covers(drawn, 55, 63));

  s.Cls();
  for (Pixel px : s.Pixels().Pixels) ASSERT_EQ(px, 0x000010u);
  const auto cleared = s.TakeDirty();
  EXPECT_EQ(Area(cleared), 3 * 2 + 6 * 4);  // the two pictures, not the screen
  EXPECT_TRUE(Covers(cleared, 12, 21) && Covers(cleared, 50, 60));

  s.Cls();  // already all background: nothing to do
  EXPECT_TRUE(s.TakeDirty().empty());
}

TEST(SurfaceDirty, BackColourChangeRepaintsEverything) {
  Surface s(4, 3, 0);
  const Picture p = Row({9});
  s.PaintPicture(PictureView(p), 1, 1);
  s.TakeDirty();
  s.SetBackColor(0x0000FF);
  for (Pixel px : s.Pixels().Pixels) ASSERT_EQ(px, 0x0000FFu);
  EXPECT_EQ(Area(s.TakeDirty()), 12);
  s.PaintPicture(PictureView(p), 0, 0);
  s.Cls();
  EXPECT_EQ(s.Pixels().At(0, 0), 0x0000FFu);
}

TEST(SurfaceDirty, ManyDrawsWithoutClearStillClearCompletely) {
  // More pictures and sprites than the surface remembers one by one (a collage that
  // never clears).
  Surface s(64, 64, 0);
  const Picture p = Row({1});
  const Picture mask = Row({0xFFFFFFu, 0u, 0xFFFFFFu});
  const Picture image = Row({0u, 2u, 0u});
  s.TakeDirty();
  for (int i = 0; i < 6000; ++i) {
    // Row by row down the surface, so that most of what is drawn is not drawn again
    // after the surface last folded its lists.
    const auto x = static_cast<float>(i % 64), y = static_cast<float>((i / 64) % 64);
    if (i % 2) {
      s.PaintPicture(PictureView(p), x, y);
    } else {
      s.PaintMasked(PictureView(mask), PictureView(image), x, y, 6.0f, 9.0f);
    }
  }
  // Everything drawn is among the changes handed over, and Cls clears it all.
  const std::vector<Rect> drawn = s.TakeDirty();
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) {
      if (s.Pixels().At(x, y) != 0) {
        ASSERT_TRUE(Covers(drawn, x, y)) << x << "," << y;
      }
    }
  s.Cls();
  for (Pixel px : s.Pixels().Pixels) ASSERT_EQ(px, 0u);
}

// Whether the changes taken from a surface include pixel (x, y): inside a box changed
// whole, or inside the columns noted for its row group in a box changed in rows.
bool Changed(const SurfaceChanges& changes, int x, int y) {
  constexpr int g = SurfaceChanges::kGroupRows;
  for (const SurfaceChanges::Box& b : changes.Boxes) {
    const Rect& r = b.Area;
    if (x < r.X || x >= r.X + r.Width || y < r.Y || y >= r.Y + r.Height) continue;
    if (!b.Shaped) return true;
    const RowExtent& e = changes.Groups[b.First + static_cast<size_t>(y / g - r.Y / g)];
    if (x >= e.X0 && x < e.X1) return true;
  }
  return false;
}

// A picture drawn over the very box of a sprite whose rows were trimmed (a stem in the
// middle of an 80-wide sprite): the picture changes all of the box, so all of it is
// sent, and Cls clears all of it, not only the sprite's rows.
TEST(SurfaceDirty, APictureOverATrimmedSpritesBoxIsClearedAndSentWhole) {
  InEveryForm([] {
    Picture mask(80, 2, 0xFFFFFF), image(80, 2, 0);
    for (int y = 0; y < 2; ++y)
      for (int x = 30; x < 40; ++x) mask.Pixels[static_cast<size_t>(y) * 80 + x] = 0;
    const Picture cover(80, 2, 0xABCDEF);
    Surface s(100, 3, 0x000010);
    s.TakeDirty();
    s.PaintMasked(PictureView(mask), PictureView(image), 0, 0);
    s.PaintPicture(PictureView(cover), 0, 0);
    SurfaceChanges changes;
    s.TakeChanges(changes);
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 80; ++x) ASSERT_TRUE(Changed(changes, x, y)) << x << "," << y;
    s.Cls();
    for (Pixel px : s.Pixels().Pixels) ASSERT_EQ(px, 0x000010u);
  });
}

// Counts what it hands out, so a test can tell whose memory the pixels are in, and
// hands out blocks with a guard band after them: when one comes back, any byte written
// past its end is noted.
class TestMemory final : public std::pmr::memory_resource {
 public:
  static constexpr size_t kGuard = 256;
  static constexpr unsigned char kPattern = 0x5A;
  int live = 0;
  int handedOut = 0;
  bool overrun = false;

 private:
  void* do_allocate(size_t bytes, size_t alignment) override {
    ++live;
    ++handedOut;
    auto* p = static_cast<unsigned char*>(
        std::pmr::new_delete_resource()->allocate(bytes + kGuard, alignment));
    std::fill(p + bytes, p + bytes + kGuard, kPattern);
    return p;
  }
  void do_deallocate(void* p, size_t bytes, size_t alignment) override {
    --live;
    const auto* guard = static_cast<const unsigned char*>(p) + bytes;
    if (!std::all_of(guard, guard + kGuard, [](unsigned char b) { return b == kPattern; }))
      overrun = true;
    std::pmr::new_delete_resource()->deallocate(p, bytes + kGuard, alignment);
  }
  bool do_is_equal(const memory_resource& other) const noexcept override { return this == &other; }
};

TEST(SurfaceMemory, PixelsMoveIntoTheHostsMemoryAndStayThereAcrossResizes) {
  TestMemory memory;
  {
    Surface s(3, 2, 0x000010);
    const Picture p = Row({7});
    s.PaintPicture(PictureView(p), 2, 1);
    s.UsePixelMemory(&memory);
    EXPECT_EQ(memory.live, 1);
    // The picture is kept, and so is what must still be cleared.
    EXPECT_EQ(s.Pixels().At(2, 1), 7u);
    EXPECT_EQ(s.Pixels().At(0, 0), 0x10u);
    s.Cls();
    EXPECT_EQ(s.Pixels().At(2, 1), 0x10u);

    s.Resize(5, 4);
    EXPECT_EQ(memory.live, 1);  // the old block went back
    EXPECT_EQ(memory.handedOut, 2);
    EXPECT_EQ(s.Pixels().Pixels.size(), 20u);
    for (Pixel px : s.Pixels().Pixels) ASSERT_EQ(px, 0x10u);
    // A copy of the pixels is the caller's own, not the host's.
    const Picture copy = s.Pixels();
    EXPECT_EQ(memory.handedOut, 2);
    EXPECT_EQ(copy.At(4, 3), 0x10u);
  }
  EXPECT_EQ(memory.live, 0);
  EXPECT_FALSE(memory.overrun);
}

// Cls of rectangles of every width up to past the vector form's limit, one of them
// ending on the surface's last pixel: every pixel drawn is cleared, and nothing is
// written past the end.
TEST(SurfaceDirty, ClsOfNarrowRectanglesClearsThemAndStopsAtTheEnd) {
  InEveryForm([] {
    for (const Pixel bg : {0x000000u, 0x000010u}) {
      for (int w = 1; w <= 70; ++w) {
        TestMemory memory;
        {
          Surface s(70, 5, bg);
          s.UsePixelMemory(&memory);
          const Picture p(w, 3, 0xABCDEFu);
          s.PaintPicture(PictureView(p), static_cast<float>(70 - w), 2);
          s.PaintPicture(PictureView(p), 0, 0, static_cast<float>(w), 1.0f);
          s.Cls();
          for (Pixel px : s.Pixels().Pixels) ASSERT_EQ(px, bg) << "width " << w;
        }
        EXPECT_FALSE(memory.overrun) << "width " << w << ", background " << bg;
      }
    }
  });
}

// The same for a sprite's trimmed rows: a wide sprite whose last row changes only its
// last 1 to 8 pixels, the surface's last ones.
TEST(SurfaceDirty, ClsOfNarrowSpriteRowsStopsAtTheEnd) {
  InEveryForm([] {
    for (int w = 1; w <= 8; ++w) {
      TestMemory memory;
      {
        Surface s(70, 2, 0x000010);
        s.UsePixelMemory(&memory);
        Picture mask(70, 1, 0xFFFFFF), image(70, 1, 0);
        for (int x = 70 - w; x < 70; ++x) {
          mask.Pixels[static_cast<size_t>(x)] = 0;
          image.Pixels[static_cast<size_t>(x)] = 0xABCDEF;
        }
        s.PaintMasked(PictureView(mask), PictureView(image), 0, 1);
        s.Cls();
        for (Pixel px : s.Pixels().Pixels) ASSERT_EQ(px, 0x000010u) << "width " << w;
      }
      EXPECT_FALSE(memory.overrun) << "width " << w;
    }
  });
}

// The one-pass sprite against values worked out by hand. Mask and picture are 3 x 1:
// opaque, a grey mask over a coloured picture (neither opaque nor transparent, so the
// full formula applies), and transparent. Doubled in width on a 0x336699 background
// and shifted one pixel left, the destination columns 0..4 sample source columns
// floor((c + 1 + 1/2) * 3 / 6) = 0, 1, 1, 2, 2.
TEST(SurfaceMasked, OnePassGivesMaskThenPicture) {
  InEveryForm([] {
    const Pixel bg = 0x336699;
    Surface s(6, 2, bg);
    s.TakeDirty();
    const Picture mask = Row({0x000000u, 0x0F0F0Fu, 0xFFFFFFu});
    const Picture image = Row({0xFFC81E0Au, 0x00A0A0A0u, 0x000000u});
    s.PaintMasked(PictureView(mask), PictureView(image), -1, 0, 6.0f, 1.0f);
    // column 0: (0 & bg) ^ C81E0A with the top byte dropped; columns 1, 2:
    // (0F0F0F & 336699) = 030609, ^ A0A0A0 = A3A6A9; columns 3, 4 transparent; column 5
    // and row 1 never touched
    const Pixel want[2][6] = {{0xC81E0Au, 0xA3A6A9u, 0xA3A6A9u, bg, bg, bg},
                              {bg, bg, bg, bg, bg, bg}};
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 6; ++x) EXPECT_EQ(s.Pixels().At(x, y), want[y][x]) << x << "," << y;
    // The dirty rectangle is the sprite's visible box, transparent part included.
    const std::vector<Rect> dirty = s.TakeDirty();
    ASSERT_EQ(dirty.size(), 1u);
    EXPECT_EQ((std::array<int, 4>{dirty[0].X, dirty[0].Y, dirty[0].Width, dirty[0].Height}),
              (std::array<int, 4>{0, 0, 5, 1}));
    s.Cls();
    for (Pixel px : s.Pixels().Pixels) EXPECT_EQ(px, bg);
  });
}

// Sprites drawn 8 to 140 pixels wide from sources of 20 and 40 columns: at their own
// width, shrunk (to half or more, and below) and enlarged, at their own height and
// stretched, whole and clipped on either side. Past 64 pixels wide their rows are
// trimmed to the columns that change, so each source row has transparent ends of its
// own width (row 3 of the narrower source is transparent throughout); the widest
// source is one column past what a row of registers holds. The surface's rows all
// start at one place in their 64-byte lines, and the sprites drawn from columns 16 to
// 31 start at each place in theirs. Every pixel shows the source pixel whose centre it
// samples, combined with the background as mask then picture; the changes cover every
// pixel drawn, and Cls clears them all.
TEST(SurfaceMasked, EveryWidthSamplesItsColumnsAndTrimsOnlyTransparentEnds) {
  InEveryForm([] {
    const Pixel bg = 0x336699;
    constexpr int kRows = 4;
    constexpr int kWidth = 208;
    for (const int sw : {20, 40, 65}) {
      // Column c of row r: transparent outside its row's run from 3r to sw - 1 - 5r;
      // inside it, by c % 3, opaque in a colour of its own, a grey mask over grey, or
      // transparent.
      const auto kind = [sw](int c, int r) { return c >= 3 * r && c < sw - 5 * r ? c % 3 : 2; };
      const auto own = [](int c, int r) {
        return Rgb(static_cast<uint8_t>(c), static_cast<uint8_t>(r), 9);
      };
      Picture mask(sw, kRows), image(sw, kRows);
      for (int r = 0; r < kRows; ++r) {
        for (int c = 0; c < sw; ++c) {
          const size_t i = static_cast<size_t>(r) * sw + c;
          const int k = kind(c, r);
          mask.Pixels[i] = k == 0 ? 0u : k == 1 ? 0x0F0F0Fu : 0xFFFFFFu;
          image.Pixels[i] = k == 0 ? own(c, r) : k == 1 ? 0xA0A0A0u : 0u;
        }
      }
      // Four rows drawn six high sample at 1/3, 1, 5/3, 7/3, 3 and 11/3.
      for (const std::vector<int>& rowOf : {std::vector<int>{0, 1, 2, 3}, {0, 1, 1, 2, 3, 3}}) {
        const int dh = static_cast<int>(rowOf.size());
        for (int dw = 8; dw <= 140; dw += dw < 65 ? 1 : 3) {
          std::vector<int> places{0, -7, kWidth - dw + 5};
          for (int x = 16; x < 32; ++x) places.push_back(x);
          for (const int x : places) {
            SCOPED_TRACE(std::to_string(sw) + " columns drawn " + std::to_string(dw) + "x" +
                         std::to_string(dh) + " at " + std::to_string(x));
            Surface s(kWidth, dh + 2, bg);
            s.TakeDirty();
            s.PaintMasked(PictureView(mask), PictureView(image), static_cast<float>(x), 1,
                          static_cast<float>(dw), static_cast<float>(dh));
            const std::vector<Rect> drawn = s.TakeDirty();
            for (int py = 0; py < dh + 2; ++py) {
              for (int px = 0; px < kWidth; ++px) {
                Pixel want = bg;
                if (py >= 1 && py <= dh && px >= x && px < x + dw) {
                  const int r = rowOf[static_cast<size_t>(py - 1)];
                  const int c = (2 * (px - x) + 1) * sw / (2 * dw);
                  // A grey mask: (0F0F0F AND 336699) XOR A0A0A0.
                  if (kind(c, r) == 0) want = own(c, r);
                  if (kind(c, r) == 1) want = 0xA3A6A9u;
                }
                ASSERT_EQ(s.Pixels().At(px, py), want) << "pixel " << px << "," << py;
                if (want != bg) {
                  ASSERT_TRUE(Covers(drawn, px, py)) << "pixel " << px << "," << py;
                }
              }
            }
            s.Cls();
            for (Pixel px : s.Pixels().Pixels) ASSERT_EQ(px, bg);
          }
        }
      }
    }
  });
}

// A sprite enlarged a hundredfold and clipped far into it: column c of a 30-pixel
// source drawn 3000 or 2999 wide samples floor((2c + 1) * 30 / 6000) or
// floor((2c + 1) * 30 / 5998). Drawn at x = -1490, surface column d shows c = 1490 + d.
// At 3000 wide, c = 1499 gives 2999 / 200 (source 14) and c = 1500 gives 3001 / 200
// (15). At 2999 wide, c = 1499 gives 89970 / 5998, exactly 15, and c = 1498 gives
// 89910 / 5998 (14); the next change, to 16, is at c = 1599, past the surface.
TEST(SurfaceMasked, FarClippedEnlargementSamplesItsColumns) {
  InEveryForm([] {
    const Pixel bg = 0x336699;
    Picture mask(30, 1, 0), image(30, 1);
    for (int c = 0; c < 30; ++c) image.Pixels[static_cast<size_t>(c)] = 0x010101u * (c + 1);
    for (const auto& [width, firstOf15] : {std::pair{3000.0f, 10}, std::pair{2999.0f, 9}}) {
      Surface s(40, 1, bg);
      s.PaintMasked(PictureView(mask), PictureView(image), -1490, 0, width, 1.0f);
      for (int d = 0; d < 40; ++d) {
        const Pixel want = 0x010101u * (d < firstOf15 ? 15 : 16);
        ASSERT_EQ(s.Pixels().At(d, 0), want) << "drawn " << width << " wide, column " << d;
      }
    }
  });
}

// Whatever the pictures hold, the one-pass sprite must leave exactly what the two
// passes leave: random pictures with transparent runs at the edges and holes inside,
// random places (many partly off the surface) and random sizes, up and down.
TEST(SurfaceMasked, MatchesTwoPassesOnRandomSprites) {
  InEveryForm([] {
    std::mt19937 rng(20261206);
    const auto pick = [&](int lo, int hi) {
      return std::uniform_int_distribution<int>(lo, hi)(rng);
    };
    for (int round = 0; round < 300; ++round) {
      // Small sprites, sprites as wide as the scenes' (held in one to four vector
      // registers when stretched), and now and then one wide enough that its rows are
      // trimmed when drawn at its own size.
      const int kind = pick(0, 4);
      const int w = kind == 0 ? pick(65, 90) : kind == 1 ? pick(13, 64) : pick(1, 12);
      const int h = pick(1, 12);
      // A quarter of the sprites have masks of only black and white, as the artwork's
      // are, but with a picture that is not black everywhere the mask is white. Half
      // are exact, as the artwork is (white in the mask only over black), and half of
      // those but for one pixel somewhere.
      const int style = pick(0, 3);
      const bool twoToneMask = style == 0;
      const bool exact = style >= 2;
      Picture mask(w, h), image(w, h);
      for (size_t i = 0; i < mask.Pixels.size(); ++i) {
        switch (pick(0, exact ? 2 : 3)) {
          case 0:  // transparent
          case 1:
            mask.Pixels[i] = 0xFFFFFFu | (pick(0, 1) ? 0xFF000000u : 0u);
            image.Pixels[i] = pick(0, 1) ? 0xFF000000u : 0u;
            break;
          case 2:  // opaque, the mask's top byte set or not
            mask.Pixels[i] = pick(0, 1) ? 0xFF000000u : 0u;
            image.Pixels[i] = rng();
            break;
          default:  // anything at all, or a white mask over any colour
            mask.Pixels[i] = twoToneMask ? 0xFFFFFFu : rng();
            image.Pixels[i] = rng();
        }
      }
      if (style == 3) {
        // A pixel that is nearly exact: a grey mask, a mask white or black but for its
        // highest or lowest colour bit, or white over a picture not quite black.
        constexpr std::array<std::pair<Pixel, Pixel>, 5> kNearlyExact{{{0x0F0F0Fu, 0xA0A0A0u},
                                                                       {0x7FFFFFu, 0u},
                                                                       {0xFFFFFEu, 0u},
                                                                       {0x800000u, 0x123456u},
                                                                       {0xFFFFFFu, 0x000001u}}};
        const size_t i = static_cast<size_t>(pick(0, w * h - 1));
        std::tie(mask.Pixels[i], image.Pixels[i]) = kNearlyExact[static_cast<size_t>(pick(0, 4))];
      }
      // 128 pixels a row: every row starts at one place in its 64-byte lines.
      Surface twoPass(128, 16, 0), onePass(128, 16, 0);
      Picture ground(128, 16);
      for (Pixel& px : ground.Pixels) px = rng() & 0xFFFFFFu;
      twoPass.PaintPicture(PictureView(ground), 0, 0);
      onePass.PaintPicture(PictureView(ground), 0, 0);
      twoPass.TakeDirty();
      onePass.TakeDirty();

      const float x = static_cast<float>(pick(-14, 22)) + (pick(0, 1) ? 0.5f : 0.0f);
      const float y = static_cast<float>(pick(-14, 18));
      std::optional<float> dw, dh;
      if (pick(0, 3) != 0) {
        dw = static_cast<float>(pick(0, 3) == 0 ? pick(31, 110) : pick(1, 30));
        dh = static_cast<float>(pick(1, 30));
      }
      twoPass.PaintPicture(PictureView(mask), x, y, dw, dh, RasterOp::SrcAnd);
      twoPass.PaintPicture(PictureView(image), x, y, dw, dh, RasterOp::SrcInvert);
      onePass.PaintMasked(PictureView(mask), PictureView(image), x, y, dw, dh);
      ASSERT_EQ(onePass.Pixels().Pixels, twoPass.Pixels().Pixels)
          << "round " << round << ": " << w << "x" << h << " at " << x << "," << y;
      EXPECT_EQ(Area(onePass.TakeDirty()), Area(twoPass.TakeDirty())) << "round " << round;

      // Cls must find every pixel the one pass wrote, however the shape was remembered,
      // and tell the host about each of them; here with a second copy overlapping the first.
      Surface plain(128, 16, 0x123456u);
      plain.PaintMasked(PictureView(mask), PictureView(image), x, y, dw, dh);
      plain.PaintMasked(PictureView(mask), PictureView(image), x + 3, y + 1, dw, dh);
      const Picture drawn = plain.Pixels();
      plain.TakeDirty();
      plain.Cls();
      const std::vector<Rect> cleared = plain.TakeDirty();
      for (int py = 0; py < 16; ++py) {
        for (int px = 0; px < 128; ++px) {
          ASSERT_EQ(plain.Pixels().At(px, py), 0x123456u) << "round " << round;
          if (drawn.At(px, py) == 0x123456u) continue;
          ASSERT_TRUE(Covers(cleared, px, py))
              << "round " << round << ": pixel " << px << "," << py;
        }
      }
    }
  });
}

// A picture that is not the mask's size cannot share its samples: the two passes are
// drawn one after the other, each at its own sampling.
TEST(SurfaceMasked, MaskAndPictureOfDifferentSizes) {
  Surface s(4, 1, 0x0000FFu);
  const Picture mask = Row({0x000000u, 0xFFFFFFu});
  const Picture image = Row({0x00FF0000u, 0x0000FF00u, 0x00FF0000u, 0x0000FF00u});
  s.PaintMasked(PictureView(mask), PictureView(image), 0, 0, 4.0f, 1.0f);
  // mask doubled: 0, 0, FFFFFF, FFFFFF -> 0, 0, FF, FF; then XOR the picture 1:1
  const Pixel want[4] = {0xFF0000u, 0x00FF00u, 0xFF00FFu, 0x00FFFFu};
  for (int x = 0; x < 4; ++x) EXPECT_EQ(s.Pixels().At(x, 0), want[x]) << x;
  s.PaintMasked(PictureView(), PictureView(image), 0, 0);  // no mask: the picture alone
  EXPECT_EQ(s.Pixels().At(0, 0), 0u);
}

TEST(SurfaceBadInput, EmptyOrNonFiniteDrawsNothing) {
  Surface s(4, 4, 0);
  s.TakeDirty();
  const Picture p = Row({1});
  s.PaintPicture(PictureView(), 0, 0);
  s.PaintPicture(PictureView(p), std::numeric_limits<float>::quiet_NaN(), 0);
  s.PaintPicture(PictureView(p), 0, 0, -2.0f, 1.0f);
  s.PaintPicture(PictureView(p), 1e30f, -1e30f, 1e30f, 1e30f);
  s.PaintPicture(PictureView(p), 0, 0, std::nullopt, std::nullopt, static_cast<RasterOp>(0x42));
  for (Pixel px : s.Pixels().Pixels) EXPECT_EQ(px, 0u);
  EXPECT_TRUE(s.TakeDirty().empty());

  Surface none(0, 0);
  none.PaintPicture(PictureView(p), 0, 0);
  none.Cls();
  EXPECT_TRUE(none.TakeDirty().empty());
  none.Resize(-5, 3);
  EXPECT_EQ(none.Width(), 0);
}

}  // namespace
}  // namespace qm
