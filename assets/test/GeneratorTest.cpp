// The artwork generator's drawing primitives: exact coverage, exact sprite edges,
// strokes that do not darken their own joints, area-averaged scaling, centred text,
// and the football's five-fold turn.
#include <gtest/gtest.h>

#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <set>

#include "Art.h"
#include "Font.h"
#include "Palette.h"
#include "Raster.h"

namespace art {
namespace {

constexpr float kEps = 1e-4f;

TEST(Rasterize, RectangleCoverageIsExactArea) {
  // x from 1.25 to 3.75 over rows 2 and 3: the end pixels are three quarters covered.
  const auto cov = Rasterize(Path().Rect(1.25, 2, 2.5, 2), 5, 6);
  auto at = [&](int x, int y) { return cov[static_cast<size_t>(y) * 5 + x]; };
  for (int y : {2, 3}) {
    EXPECT_NEAR(at(0, y), 0.f, kEps);
    EXPECT_NEAR(at(1, y), 0.75f, kEps);
    EXPECT_NEAR(at(2, y), 1.f, kEps);
    EXPECT_NEAR(at(3, y), 0.75f, kEps);
    EXPECT_NEAR(at(4, y), 0.f, kEps);
  }
  float sum = 0;
  for (float c : cov) sum += c;
  EXPECT_NEAR(sum, 5.f, 1e-3f);  // 2.5 x 2
}

TEST(Rasterize, NonZeroRuleFillsEitherWayRoundAndCutsHoles) {
  Path cw, ccw;
  cw.Polygon({{1, 1}, {5, 1}, {5, 5}, {1, 5}});
  ccw.Polygon({{1, 1}, {1, 5}, {5, 5}, {5, 1}});
  EXPECT_EQ(Rasterize(cw, 6, 6), Rasterize(ccw, 6, 6));
  // Two overlapping squares the same way round still cover a pixel once.
  Path twice = cw;
  twice.Polygon({{1, 1}, {5, 1}, {5, 5}, {1, 5}});
  EXPECT_NEAR(Rasterize(twice, 6, 6)[3 * 6 + 3], 1.f, kEps);
  // An inner square the other way round is a hole.
  Path ring = cw;
  ring.Polygon({{2, 2}, {2, 4}, {4, 4}, {4, 2}});
  const auto cov = Rasterize(ring, 6, 6);
  EXPECT_NEAR(cov[2 * 6 + 2], 0.f, kEps);
  EXPECT_NEAR(cov[1 * 6 + 1], 1.f, kEps);
}

TEST(Harden, SpriteEdgeIsBinaryAndKeepsFullColour) {
  const Col red{0.8f, 0.2f, 0.1f};
  Canvas c(12, 12);
  c.Fill(Path().Circle(6, 6, 4.6), red);
  const float edgeBefore = c.Alpha(6, 1);  // a pixel the circle's edge cuts
  ASSERT_GT(edgeBefore, 0.f);
  ASSERT_LT(edgeBefore, 1.f);
  c.Harden();
  int inside = 0;
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 12; ++x) {
      const float a = c.Alpha(x, y);
      ASSERT_TRUE(a == 0.f || a == 1.f);
      const Col p = c.At(x, y);
      if (a == 1.f) {
        ++inside;
        EXPECT_NEAR(p.r, red.r, 1e-3f);  // no dark fringe from the background
        EXPECT_NEAR(p.g, red.g, 1e-3f);
        EXPECT_NEAR(p.b, red.b, 1e-3f);
      } else {
        EXPECT_EQ(p.r + p.g + p.b, 0.f);
      }
    }
  EXPECT_EQ(c.Alpha(6, 1), edgeBefore >= 0.5f ? 1.f : 0.f);
  // About pi * 4.6^2 = 66 pixels.
  EXPECT_GT(inside, 58);
  EXPECT_LT(inside, 74);
}

TEST(PlaceSprite, MaskBlackUnderShapeAndPictureBlackElsewhere) {
  Canvas sprite(3, 2);
  sprite.BlendPixel(0, 0, Col{1, 1, 0}, 1.f);
  sprite.BlendPixel(2, 1, Col{0, 0, 1}, 1.f);
  Canvas sheet(3, 4, Col{0.5f, 0.5f, 0.5f});
  PlaceSprite(sheet, sprite, 0, 0, 2);
  const auto rgb = sheet.ToRgb();
  const std::vector<uint32_t> expected = {0xFFFF00, 0x000000, 0x000000,   // picture
                                          0x000000, 0x000000, 0x0000FF,   //
                                          0x000000, 0xFFFFFF, 0xFFFFFF,   // mask
                                          0xFFFFFF, 0xFFFFFF, 0x000000};  //
  EXPECT_EQ(rgb, expected);
}

TEST(Stroke, JointsAreNotPaintedTwice) {
  Canvas c(12, 12, Col{});
  // Two segments meeting at (6, 6); the joint pixel must get opacity 0.5 once.
  c.Stroke({{2, 6.5}, {6.5, 6.5}, {6.5, 11}}, 3, Col{1, 1, 1}, 0.5f);
  EXPECT_NEAR(c.At(6, 6).r, 0.5f, 1e-3f);
  EXPECT_NEAR(c.At(4, 6).r, 0.5f, 1e-3f);
  EXPECT_NEAR(c.At(4, 2).r, 0.f, 1e-6f);
}

TEST(Draw, ScalingAveragesAndReplicates) {
  Canvas checker(4, 4, Col{});
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x)
      if ((x + y) % 2) checker.At(x, y) = Col{1, 1, 1};
  Canvas half(2, 2, Col{1, 0, 0});
  half.Draw(checker, 0, 0, 2, 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 2; ++x) {
      EXPECT_NEAR(half.At(x, y).r, 0.5f, 1e-4f);
      EXPECT_NEAR(half.At(x, y).g, 0.5f, 1e-4f);
    }
  Canvas twice(8, 8, Col{});
  twice.Draw(checker, 0, 0, 8, 8);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x)
      EXPECT_EQ(twice.At(x, y).r, checker.At(x / 2, y / 2).r) << x << "," << y;
}

TEST(Font, CentredTextIsCentred) {
  ASSERT_TRUE(InitFonts(QM_FONT_DIR));
  const Font& f = TheFonts().bold;
  EXPECT_EQ(f.Measure("", 20), 0.0);
  EXPECT_GT(f.Measure("1994", 20), f.Measure("94", 20));
  Canvas c(100, 40, Col{});
  f.DrawCentred(c, "HOH", 20, 50, 30, Col{1, 1, 1});
  double sum = 0, weighted = 0;
  int top = 40, bottom = -1;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 100; ++x) {
      const double v = c.At(x, y).r;
      sum += v, weighted += v * (x + 0.5);
      if (v > 0.5) top = std::min(top, y), bottom = std::max(bottom, y);
    }
  ASSERT_GT(sum, 50);
  EXPECT_NEAR(weighted / sum, 50, 1.0);
  // Capitals of a 20 px face stand about 14 px tall on the baseline.
  EXPECT_EQ(bottom, 29);
  EXPECT_NEAR(30 - top, 14, 2);
}

TEST(Ball, AFifthOfATurnLooksTheSame) {
  auto draw = [](double spin) {
    Canvas c(40, 40);
    DrawBall(c, 20, 20, 18, spin);
    return c.ToRgb();
  };
  const auto a = draw(0.3), b = draw(0.3 + 2 * M_PI / 5), turned = draw(0.3 + 2 * M_PI / 35);
  int same = 0, moved = 0;
  for (size_t i = 0; i < a.size(); ++i) {
    same += a[i] == b[i];
    moved += a[i] != turned[i];
  }
  EXPECT_GT(same, static_cast<int>(a.size()) * 98 / 100);
  EXPECT_GT(moved, 200);
}

TEST(Posters, FifteenTournamentsInOrder) {
  const int years[15] = {1930, 1934, 1938, 1950, 1954, 1958, 1962, 1966,
                         1970, 1974, 1978, 1982, 1986, 1990, 1994};
  for (int i = 0; i < 15; ++i) EXPECT_EQ(Poster(i).year, years[i]);
  EXPECT_STREQ(Poster(8).country, Poster(12).country);  // Mexico hosted twice
  EXPECT_STREQ(Poster(1).country, Poster(13).country);  // and so did Italy
  EXPECT_STREQ(Poster(14).country, "USA");
  // The sheet keeps that order row by row: poster i at column i % 5 of row i / 5.
  ASSERT_TRUE(InitFonts(QM_FONT_DIR));  // the posters' lettering
  const std::vector<uint32_t> sheet = PosterSheet().ToRgb();
  for (int i = 0; i < 15; ++i) {
    const std::vector<uint32_t> poster = DrawPoster(i).ToRgb();
    int same = 0;
    for (int y = 0; y < 154; ++y)
      for (int x = 0; x < 110; ++x)
        same += sheet[static_cast<size_t>(i / 5 * 154 + y) * 550 + i % 5 * 110 + x] ==
                poster[static_cast<size_t>(y) * 110 + x];
    EXPECT_GT(same, 110 * 154 * 9 / 10) << i;
  }
}

// The menu icon is opaque where the mask is black and see-through where it is white.
TEST(DesktopIcon, TransparentWhereTheMaskIsWhite) {
  Canvas icon(2, 1, Col{}), mask(2, 1, Col{1, 1, 1});
  icon.At(0, 0) = Col{1, 0, 0};
  mask.At(0, 0) = Col{};
  std::vector<NamedPicture> pictures = {{"icon.png", "", icon, true},
                                        {"icon_mask.png", "", mask, true}};
  const std::string path = testing::TempDir() + "quillmark-icon-test.png";
  ASSERT_TRUE(WriteDesktopIcon(path, pictures));
  int w = 0, h = 0, n = 0;
  stbi_uc* rgba = stbi_load(path.c_str(), &w, &h, &n, 4);
  std::remove(path.c_str());
  ASSERT_NE(rgba, nullptr);
  const std::vector<int> got(rgba, rgba + 8);
  stbi_image_free(rgba);
  EXPECT_EQ(w, 2);
  EXPECT_EQ(h, 1);
  EXPECT_EQ(got, (std::vector<int>{255, 0, 0, 255, 0, 0, 0, 0}));
  // A mask of another size cannot go with the icon.
  pictures[1].picture = Canvas(3, 1, Col{1, 1, 1});
  EXPECT_FALSE(WriteDesktopIcon(path, pictures));
}

// Reduction to a palette: no more colours than asked for, the exact black and white of
// masks and sprite backgrounds untouched even beside dithered shades, and every other
// pixel near where it was.
TEST(Palette, ReducesToItsCountAndKeepsBlackAndWhite) {
  Canvas c(64, 64, Col{});
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) {
      // 4096 colours, with a black and a white column through the middle.
      const Col shade{x / 63.f, y / 63.f, (x + y) / 126.f};
      c.At(x, y) = x == 31 ? Col{} : x == 32 ? Col{1, 1, 1} : shade;
    }
  const std::vector<uint32_t> before = c.ToRgb();
  ASSERT_TRUE(ReduceColours(c, 32));
  const std::vector<uint32_t> after = c.ToRgb();
  std::set<uint32_t> seen(after.begin(), after.end());
  EXPECT_LE(seen.size(), 32u);
  EXPECT_GE(seen.size(), 16u);
  for (size_t i = 0; i < after.size(); ++i) {
    const int x = static_cast<int>(i % 64);
    if (x == 31) {
      ASSERT_EQ(after[i], 0x000000u) << i;
    } else if (x == 32) {
      ASSERT_EQ(after[i], 0xFFFFFFu) << i;
    } else {
      for (int shift : {16, 8, 0}) {
        const int was = static_cast<int>((before[i] >> shift) & 255);
        const int now = static_cast<int>((after[i] >> shift) & 255);
        ASSERT_LE(std::abs(was - now), 64) << i;
      }
    }
  }
}

// The icon's reduction: each pixel to the nearest of the sixteen standard colours.
TEST(Palette, Windows16TakesTheNearestStandardColour) {
  struct Case {
    uint32_t in, out;
  };
  const Case cases[] = {{0xF80808, 0xFF0000}, {0x840404, 0x800000}, {0xC4C4C0, 0xC0C0C0},
                        {0x7C8084, 0x808080}, {0x0A0A0A, 0x000000}, {0x0404F4, 0x0000FF},
                        {0xF8F800, 0xFFFF00}, {0x008484, 0x008080}, {0x800000, 0x800000}};
  Canvas c(static_cast<int>(std::size(cases)), 1, Col{});
  for (int i = 0; i < c.W(); ++i) c.At(i, 0) = Hex(cases[i].in);
  ASSERT_TRUE(ReduceToWindows16(c));
  const std::vector<uint32_t> out = c.ToRgb();
  for (int i = 0; i < c.W(); ++i) EXPECT_EQ(out[i], cases[i].out) << std::hex << cases[i].in;
}

}  // namespace
}  // namespace art
