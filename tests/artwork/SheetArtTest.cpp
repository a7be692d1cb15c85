// The opaque sheets and pictures: sizes, cell layout told apart by colour, and the parts
// of the table panels that text is written over left calm.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <vector>

#include "ArtProbe.h"
#include "saver/Artwork.h"
#include "winsys/PictureClip.h"

namespace qm {
namespace {

using test::Channels;
using test::Split;

TEST(ArtSizes, EveryPictureHasItsListedSize) {
  struct Size {
    ArtId id;
    int w, h;
  };
  for (const Size s : {Size{ArtId::PanelSheet, 1000, 250}, Size{ArtId::ChampionSheet, 638, 400},
                       Size{ArtId::PosterSheet, 550, 462}, Size{ArtId::BallSheet, 210, 60},
                       Size{ArtId::TrophyWorldCup, 40, 191}, Size{ArtId::TrophyJulesRimet, 35, 193},
                       Size{ArtId::TableCard, 50, 62}, Size{ArtId::Icon, 32, 32},
                       Size{ArtId::IconMask, 32, 32}, Size{ArtId::Preview0, 100, 220},
                       Size{ArtId::Preview1, 100, 220}, Size{ArtId::Preview2, 100, 221},
                       Size{ArtId::Preview3, 100, 220}, Size{ArtId::Preview4, 100, 220},
                       Size{ArtId::Preview21, 100, 220}, Size{ArtId::Preview22, 100, 220}}) {
    const PicturePtr p = LoadArt(s.id);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->Width, s.w) << static_cast<int>(s.id);
    EXPECT_EQ(p->Height, s.h) << static_cast<int>(s.id);
    EXPECT_EQ(p->Pixels.size(), static_cast<size_t>(s.w) * s.h);
  }
}

// The design holds these sheets in 8 bits and the card as a GIF: at most 256 colours
// each. The icon is 4 bits, in the sixteen colours of the standard Windows palette.
TEST(ArtColours, PalettedPicturesKeepToTheirDepth) {
  const auto colours = [](ArtId id) {
    const PicturePtr p = LoadArt(id);
    std::set<Pixel> seen;
    for (const Pixel px : p->Pixels) seen.insert(px & 0xFFFFFFu);
    return seen;
  };
  for (const ArtId id : {ArtId::PanelSheet, ArtId::BallSheet, ArtId::TrophyWorldCup,
                         ArtId::TrophyJulesRimet, ArtId::TableCard}) {
    const size_t n = colours(id).size();
    EXPECT_LE(n, 256u) << static_cast<int>(id);
    // Reduced, not flattened: the shading survives.
    EXPECT_GE(n, 16u) << static_cast<int>(id);
  }
  const std::set<Pixel> windows16 = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                                     0x008080, 0xC0C0C0, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00,
                                     0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
  for (const Pixel c : colours(ArtId::Icon))
    EXPECT_TRUE(windows16.count(c)) << std::hex << "icon colour " << c;
}

// Each picture is decoded once and shared; an unknown one, just past either end of the
// list or far off, is a 1 x 1 black picture.
TEST(ArtSizes, DecodedOnceAndSharedAndAnUnknownOneIsStillAPicture) {
  for (const int unknown : {-1, static_cast<int>(ArtId::IconMask) + 1, 999}) {
    const PicturePtr p = LoadArt(static_cast<ArtId>(unknown));
    ASSERT_NE(p, nullptr) << unknown;
    EXPECT_EQ(p->Width, 1) << unknown;
    EXPECT_EQ(p->Height, 1) << unknown;
    ASSERT_EQ(p->Pixels.size(), 1u) << unknown;
    EXPECT_EQ(p->Pixels[0] & 0xFFFFFFu, 0u) << unknown;
  }
  EXPECT_EQ(LoadArt(ArtId::PosterSheet).get(), LoadArt(ArtId::PosterSheet).get());
  EXPECT_NE(LoadArt(ArtId::Preview0).get(), LoadArt(ArtId::Preview1).get());
}

// Mean colour of a rectangle.
Channels Mean(const PictureView& v, int x0, int y0, int w, int h) {
  long r = 0, g = 0, b = 0;
  for (int y = y0; y < y0 + h; ++y)
    for (int x = x0; x < x0 + w; ++x) {
      const Channels c = Split(v.At(x, y));
      r += c.r, g += c.g, b += c.b;
    }
  const long n = static_cast<long>(w) * h;
  return {static_cast<int>(r / n), static_cast<int>(g / n), static_cast<int>(b / n)};
}

long Difference(const PictureView& a, const PictureView& b) {
  long d = 0;
  for (int y = 0; y < a.Height; ++y)
    for (int x = 0; x < a.Width; ++x) {
      const Channels p = Split(a.At(x, y)), q = Split(b.At(x, y));
      d += std::abs(p.r - q.r) + std::abs(p.g - q.g) + std::abs(p.b - q.b);
    }
  return d;
}

TEST(PanelSheet, FiveCellsBlueYellowGreenRedRed) {
  PictureClip clip(LoadArt(ArtId::PanelSheet), 1, 5);
  ASSERT_EQ(clip.CellWidth(), 200);
  ASSERT_EQ(clip.CellHeight(), 250);
  const auto body = [&](int cell) { return Mean(clip.GraphicCell(cell), 20, 60, 160, 170); };
  const Channels blue = body(0), yellow = body(1), green = body(2), red = body(3), final = body(4);
  EXPECT_GT(blue.b, blue.r + 60);
  EXPECT_GT(blue.b, blue.g + 30);
  EXPECT_GT(yellow.r, 150);
  EXPECT_GT(yellow.g, 120);
  EXPECT_LT(yellow.b, yellow.g - 80);
  EXPECT_GT(green.g, green.r + 50);
  EXPECT_GT(green.g, green.b + 30);
  for (const Channels c : {red, final}) {
    EXPECT_GT(c.r, c.g + 90);
    EXPECT_GT(c.r, c.b + 90);
  }
}

TEST(PanelSheet, BallsOnFourPanelsTrophyOnTheLast) {
  PictureClip clip(LoadArt(ArtId::PanelSheet), 1, 5);
  for (int cell = 0; cell < 5; ++cell) {
    SCOPED_TRACE(cell);
    const PictureView v = clip.GraphicCell(cell);
    int white = 0, gold = 0, goldCentre = 0;
    for (int y = 0; y < 54; ++y)
      for (int x = 0; x < 200; ++x) {
        white += test::NeutralWhite(v.At(x, y));
        const bool g = test::Gold(v.At(x, y));
        gold += g;
        goldCentre += g && x >= 75 && x < 125;
      }
    if (cell < 4) {
      EXPECT_GT(white, 80) << "no ball or streak along the top";
    } else {
      EXPECT_EQ(white, 0) << "the trophy panel has no ball";
      EXPECT_GT(goldCentre, 150) << "no trophy at the top centre";
      EXPECT_EQ(gold, goldCentre) << "the trophy is not centred";
    }
  }
}

TEST(PanelSheet, EachBallHasAWhiteStreakBehindIt) {
  // Left of the ball (its edge is at x 158), along its rows: pixels well above the
  // panel's own colour at the same row's left end.
  PictureClip clip(LoadArt(ArtId::PanelSheet), 1, 5);
  for (int cell = 0; cell < 4; ++cell) {
    SCOPED_TRACE(cell);
    const PictureView v = clip.GraphicCell(cell);
    int streak = 0;
    for (int y = 12; y < 43; ++y) {
      const Channels panel = Split(v.At(60, y));
      for (int x = 100; x < 156; ++x) {
        const Channels c = Split(v.At(x, y));
        streak += c.r + c.g + c.b > panel.r + panel.g + panel.b + 150;
      }
    }
    EXPECT_GT(streak, 40);
  }
}

TEST(PanelSheet, TextAreasStayCalm) {
  // White text lies over the title box (12..109, 10..42) and the six rows below y 54, so
  // no white may sit there, and the row area keeps close to the panel's own colour.
  PictureClip clip(LoadArt(ArtId::PanelSheet), 1, 5);
  for (int cell = 0; cell < 5; ++cell) {
    SCOPED_TRACE(cell);
    const PictureView v = clip.GraphicCell(cell);
    for (int y = 8; y < 44; ++y)
      for (int x = 10; x < 112; ++x) ASSERT_FALSE(test::NeutralWhite(v.At(x, y))) << x << "," << y;
    // The green panel carries "Semifinais", which the label's 27-pixel bold italic draws
    // from x 12 to x 146: the ball's streak must stay faint up to there and a little on.
    if (cell == 2) {
      for (int y = 8; y < 44; ++y) {
        const Channels panel = Split(v.At(60, y));
        for (int x = 112; x < 149; ++x) {
          const Channels c = Split(v.At(x, y));
          ASSERT_LT(c.r + c.g + c.b, panel.r + panel.g + panel.b + 120) << x << "," << y;
        }
      }
    }
    const Channels mean = Mean(v, 20, 60, 160, 170);
    for (int y = 56; y < 236; y += 3)
      for (int x = 8; x < 192; x += 3) {
        const Channels c = Split(v.At(x, y));
        ASSERT_LT(std::abs(c.r - mean.r) + std::abs(c.g - mean.g) + std::abs(c.b - mean.b), 120)
            << x << "," << y;
      }
  }
}

TEST(PosterSheet, FifteenDistinctPostersInThreeRowsOfFive) {
  PictureClip clip(LoadArt(ArtId::PosterSheet), 3, 5);
  ASSERT_EQ(clip.CellWidth(), 110);
  ASSERT_EQ(clip.CellHeight(), 154);
  for (int i = 0; i < 15; ++i) {
    for (int j = i + 1; j < 15; ++j) {
      // On average at least 20 levels apart per channel.
      EXPECT_GT(Difference(clip.GraphicCell(i), clip.GraphicCell(j)), 110L * 154 * 60)
          << i << " vs " << j;
    }
  }
}

TEST(ChampionSheet, FourDistinctPanels) {
  PictureClip clip(LoadArt(ArtId::ChampionSheet), 2, 2);
  ASSERT_EQ(clip.CellWidth(), 319);
  ASSERT_EQ(clip.CellHeight(), 200);
  for (int i = 0; i < 4; ++i) {
    const PictureView v = clip.GraphicCell(i);
    int gold = 0;
    for (int y = 0; y < 200; ++y)
      for (int x = 0; x < 319; ++x) gold += test::Gold(v.At(x, y));
    EXPECT_GT(gold, 300) << "panel " << i << " shows no trophy";
    for (int j = i + 1; j < 4; ++j) EXPECT_GT(Difference(v, clip.GraphicCell(j)), 319L * 200 * 15);
  }
}

TEST(TableCard, GreenCardWithLightLettering) {
  const PicturePtr card = LoadArt(ArtId::TableCard);
  int green = 0, light = 0;
  for (const Pixel p : card->Pixels) {
    const Channels c = Split(p);
    green += c.g > c.r + 40 && c.g > c.b + 30;
    light += c.r > 200 && c.g > 200;
  }
  EXPECT_GT(green, 50 * 62 / 2);
  EXPECT_GT(light, 60);
}

TEST(Previews, SevenDifferentPortraits) {
  const std::vector<ArtId> ids = {ArtId::Preview0, ArtId::Preview1, ArtId::Preview2,
                                  ArtId::Preview3, ArtId::Preview4, ArtId::Preview21,
                                  ArtId::Preview22};
  for (size_t i = 0; i < ids.size(); ++i) {
    const PicturePtr a = LoadArt(ids[i]);
    int lit = 0;
    for (const Pixel p : a->Pixels) lit += p != 0;
    EXPECT_GT(lit, 100 * 220 / 10) << "preview " << i << " is nearly empty";
    for (size_t j = i + 1; j < ids.size(); ++j) {
      const PicturePtr b = LoadArt(ids[j]);
      PictureView va(*a), vb(*b);
      va.Height = vb.Height = 220;
      EXPECT_GT(Difference(va, vb), 100L * 220 * 6) << i << " vs " << j;
    }
  }
}

TEST(Previews, TrophyPreviewsShowTheChosenTrophies) {
  // The winged trophy stands on blue stone, the present one on green bands.
  const auto count = [](ArtId id) {
    std::pair<int, int> blueGreen{0, 0};
    for (const Pixel p : LoadArt(id)->Pixels) {
      const Channels c = Split(p);
      blueGreen.first += c.b > c.r + 40 && c.b > c.g + 20;
      blueGreen.second += c.g > c.r + 20 && c.g > c.b + 10;
    }
    return blueGreen;
  };
  const auto both = count(ArtId::Preview1), winged = count(ArtId::Preview21),
             modern = count(ArtId::Preview22);
  EXPECT_GT(both.first, 20);
  EXPECT_GT(both.second, 20);
  EXPECT_GT(winged.first, 20);
  EXPECT_EQ(winged.second, 0);
  EXPECT_EQ(modern.first, 0);
  EXPECT_GT(modern.second, 20);
}

}  // namespace
}  // namespace qm
