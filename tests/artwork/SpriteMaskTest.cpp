// Sprite sheets: a picture cell above its mask cell, masks strictly black on white, and
// every pixel the mask leaves transparent black in the picture, so that drawing the mask
// with AND and then the picture with XOR leaves the background untouched around the shape.
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "ArtProbe.h"
#include "saver/Artwork.h"

namespace qm {
namespace {

constexpr Pixel kBlack = 0x000000, kWhite = 0xFFFFFF;

struct MaskStats {
  int opaque = 0;  // black mask pixels
  int minX = 1 << 20, maxX = -1, minY = 1 << 20, maxY = -1;
};

// Checks the mask rule for the picture at (px, py) of `pic` whose mask lies at (mx, my)
// of `mask`, both w x h; reports every broken pixel, and returns what the mask covers.
MaskStats CheckSprite(const Picture& pic, int px, int py, const Picture& mask, int mx, int my,
                      int w, int h) {
  MaskStats s;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const Pixel m = mask.At(mx + x, my + y);
      EXPECT_TRUE(m == kBlack || m == kWhite)
          << "mask pixel " << x << "," << y << " is " << std::hex << m;
      if (m == kWhite) {
        EXPECT_EQ(pic.At(px + x, py + y), kBlack)
            << "picture not black under white mask at " << x << "," << y;
      } else {
        ++s.opaque;
        s.minX = std::min(s.minX, x), s.maxX = std::max(s.maxX, x);
        s.minY = std::min(s.minY, y), s.maxY = std::max(s.maxY, y);
      }
    }
  }
  return s;
}

TEST(BallSheet, SevenFramesOverSevenDiscMasks) {
  const PicturePtr sheet = LoadArt(ArtId::BallSheet);
  ASSERT_EQ(sheet->Width, 210);
  ASSERT_EQ(sheet->Height, 60);
  for (int i = 0; i < 7; ++i) {
    SCOPED_TRACE(i);
    // Cell i is the frame, cell 7 + i (one row down) its mask.
    const MaskStats s = CheckSprite(*sheet, i * 30, 0, *sheet, i * 30, 30, 30, 30);
    // A disc filling the 30 x 30 cell: radius about 14.5, area pi * 14.5^2 = 660.
    EXPECT_GT(s.opaque, 600);
    EXPECT_LT(s.opaque, 720);
    EXPECT_EQ(sheet->At(i * 30 + 15, 45), kBlack);  // centre of the mask
    for (int corner : {0, 29}) {
      EXPECT_EQ(sheet->At(i * 30 + corner, 30), kWhite);
      EXPECT_EQ(sheet->At(i * 30 + corner, 59), kWhite);
    }
    // Round: as tall as it is wide, within a pixel.
    EXPECT_GE(s.maxX - s.minX, 26);
    EXPECT_NEAR(s.maxY - s.minY, s.maxX - s.minX, 1);
  }
}

TEST(BallSheet, FramesShowABlackAndWhiteBallThatTurns) {
  const PicturePtr sheet = LoadArt(ArtId::BallSheet);
  std::set<std::vector<Pixel>> frames;
  for (int i = 0; i < 7; ++i) {
    std::vector<Pixel> frame;
    int dark = 0, light = 0;
    for (int y = 0; y < 30; ++y) {
      for (int x = 0; x < 30; ++x) {
        const Pixel p = sheet->At(i * 30 + x, y);
        frame.push_back(p);
        if (sheet->At(i * 30 + x, y + 30) != kBlack) continue;
        const auto c = test::Split(p);
        const int lum = (c.r + c.g + c.b) / 3;
        dark += lum < 70;
        light += lum > 170;
      }
    }
    EXPECT_GT(dark, 40) << "frame " << i << " has no black panels";
    EXPECT_GT(light, 120) << "frame " << i << " has no white panels";
    frames.insert(frame);
  }
  EXPECT_EQ(frames.size(), 7u) << "some frames repeat, so the ball does not visibly turn";
}

struct TrophyCase {
  ArtId id;
  int width, height, cell;
};

TEST(TrophySheets, PictureAboveItsMaskInTwoRows) {
  // 191 / 2 = 95 and 193 / 2 = 96 rows per cell.
  for (const TrophyCase t : {TrophyCase{ArtId::TrophyWorldCup, 40, 191, 95},
                             TrophyCase{ArtId::TrophyJulesRimet, 35, 193, 96}}) {
    SCOPED_TRACE(t.width);
    const PicturePtr sheet = LoadArt(t.id);
    ASSERT_EQ(sheet->Width, t.width);
    ASSERT_EQ(sheet->Height, t.height);
    const MaskStats s = CheckSprite(*sheet, 0, 0, *sheet, 0, t.cell, t.width, t.cell);
    // A standing trophy: nearly the cell's full height, much taller than wide, and not
    // touching the cell's sides (so a scaled sprite keeps a clean edge).
    EXPECT_GE(s.maxY - s.minY + 1, t.cell - 6);
    EXPECT_GT(s.maxY - s.minY, 2 * (s.maxX - s.minX));
    EXPECT_GE(s.minX, 1);
    EXPECT_LE(s.maxX, t.width - 2);
    EXPECT_LT(s.opaque, t.width * t.cell * 2 / 3);
    EXPECT_GT(s.opaque, t.width * t.cell / 5);
    int gold = 0;
    for (int y = 0; y < t.cell; ++y)
      for (int x = 0; x < t.width; ++x) gold += test::Gold(sheet->At(x, y));
    EXPECT_GT(gold, s.opaque / 3) << "the trophy is not mostly gold";
  }
}

TEST(TrophySheets, BasesCarryTheirOwnColours) {
  // The present trophy stands on green bands, the winged one on a blue stone.
  const auto countBase = [](ArtId id, int cell, auto pred) {
    const PicturePtr sheet = LoadArt(id);
    int n = 0;
    for (int y = cell * 3 / 4; y < cell; ++y)
      for (int x = 0; x < sheet->Width; ++x) n += pred(test::Split(sheet->At(x, y)));
    return n;
  };
  EXPECT_GT(countBase(ArtId::TrophyWorldCup, 95,
                      [](test::Channels c) { return c.g > c.r + 20 && c.g > c.b + 10; }),
            30);
  EXPECT_GT(countBase(ArtId::TrophyJulesRimet, 96,
                      [](test::Channels c) { return c.b > c.r + 40 && c.b > c.g + 20; }),
            30);
}

TEST(IconArt, RedRingWithItsMask) {
  const PicturePtr icon = LoadArt(ArtId::Icon);
  const PicturePtr mask = LoadArt(ArtId::IconMask);
  ASSERT_EQ(icon->Width, 32);
  ASSERT_EQ(icon->Height, 32);
  ASSERT_EQ(mask->Width, 32);
  ASSERT_EQ(mask->Height, 32);
  CheckSprite(*icon, 0, 0, *mask, 0, 0, 32, 32);
  // A ring: the centre and the corners show through, the band is red.
  EXPECT_EQ(mask->At(16, 16), kWhite);
  EXPECT_EQ(mask->At(0, 0), kWhite);
  EXPECT_EQ(mask->At(31, 31), kWhite);
  for (const auto& [x, y] :
       {std::pair{16, 4}, std::pair{4, 16}, std::pair{27, 16}, std::pair{16, 27}}) {
    EXPECT_EQ(mask->At(x, y), kBlack) << x << "," << y;
    const auto c = test::Split(icon->At(x, y));
    EXPECT_GT(c.r, 150) << x << "," << y;
    EXPECT_LT(c.g, 80) << x << "," << y;
    EXPECT_LT(c.b, 80) << x << "," << y;
  }
}

}  // namespace
}  // namespace qm
