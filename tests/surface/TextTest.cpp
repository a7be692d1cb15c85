#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "winsys/Text.h"

// Expected widths come from Arial's published metrics, which Liberation Sans shares:
// 2048 units per em, ascender 1854, descender 434; advances: digits 1139, space 569,
// "A" 1366 (bold 1479). At 11 px a digit advances round(1139 * 11 / 2048) = 6 px, a
// blank round(3.06) = 3 px, "A" round(7.34) = 7 px (bold round(7.94) = 8 px).

namespace qm {
namespace {

Font Arial(float pt, bool bold = false, bool italic = false) {
  Font f;
  f.SizePt = pt;
  f.Bold = bold;
  f.Italic = italic;
  return f;
}

// Columns that received any ink, as [first, last]; {-1, -1} when none.
std::pair<int, int> InkColumns(const Picture& p) {
  int first = -1, last = -1;
  for (int x = 0; x < p.Width; ++x)
    for (int y = 0; y < p.Height; ++y)
      if (p.At(x, y) != 0) {
        if (first < 0) first = x;
        last = x;
        break;
      }
  return {first, last};
}

TEST(Text, PointsToPixelsAt96Dpi) {
  EXPECT_EQ(FontPixelSize(Arial(6.75f)), 9);
  EXPECT_EQ(FontPixelSize(Arial(8.25f)), 11);
  EXPECT_EQ(FontPixelSize(Arial(20.25f)), 27);
  EXPECT_EQ(FontPixelSize(Arial(7.875f)), 10);  // 10.5 rounds half to even
  EXPECT_EQ(FontPixelSize(Arial(-3)), 1);
  EXPECT_EQ(FontPixelSize(Arial(1000)), 400);  // 1333 px is held at the largest size
}

TEST(Text, Cp1252HighHalfHasItsOwnTable) {
  EXPECT_EQ(Cp1252CodePoint(0x80), U'\u20AC');
  EXPECT_EQ(Cp1252CodePoint(0x8A), U'\u0160');
  EXPECT_EQ(Cp1252CodePoint(0x96), U'\u2013');
  EXPECT_EQ(Cp1252CodePoint(0x9F), U'\u0178');
  EXPECT_EQ(Cp1252CodePoint(0x81), U'\u0081');  // unassigned: kept
  EXPECT_EQ(Cp1252CodePoint(0xBA), U'\u00BA');  // the ordinal of "3º Lugar"
  EXPECT_EQ(Cp1252CodePoint('A'), U'A');
}

TEST(Text, ArialMetricsAtTheLabelSizes) {
  const FontMetrics m11 = MeasureFont(Arial(8.25f, true));
  EXPECT_EQ(m11.Ascent, 10);  // 1854 * 11 / 2048 = 9.96
  EXPECT_EQ(m11.Descent, 2);  // 434 * 11 / 2048 = 2.33
  const FontMetrics m27 = MeasureFont(Arial(20.25f, true, true));
  EXPECT_EQ(m27.Ascent, 24);  // 24.44
  EXPECT_EQ(m27.Descent, 6);  // 5.72

  EXPECT_EQ(TextWidth(Arial(8.25f), "00"), 12);
  EXPECT_EQ(TextWidth(Arial(8.25f), "0 A"), 6 + 3 + 7);
  EXPECT_EQ(TextWidth(Arial(8.25f, true), "A"), 8);
  EXPECT_EQ(TextWidth(Arial(6.75f), "00"), 10);  // 1139 * 9 / 2048 = 5.01
  EXPECT_EQ(TextWidth(Arial(8.25f), ""), 0);
}

TEST(Text, WrapsAtBlanksWithinTheWidthAndAtLineBreaks) {
  const Font f = Arial(8.25f);  // "00" is 12 px, "00 00" 27 px
  EXPECT_EQ(WrapLines(f, "00 00", 27), (std::vector<std::string>{"00 00"}));
  EXPECT_EQ(WrapLines(f, "00 00", 26), (std::vector<std::string>{"00", "00"}));
  EXPECT_EQ(WrapLines(f, "0000000", 10), (std::vector<std::string>{"0000000"}));  // one word
  EXPECT_EQ(WrapLines(f, "00\r\n0\n0", 100), (std::vector<std::string>{"00", "0", "0"}));
  EXPECT_EQ(WrapLines(f, "", 100), (std::vector<std::string>{""}));
}

TEST(Text, EveryPrintableCodePageByteLeavesInk) {
  const Font f = Arial(8.25f, true);
  for (int b = 0x21; b <= 0xFF; ++b) {
    // Blanks and the soft hyphen have no ink of their own; 0x7F and the unassigned
    // bytes are controls.
    if (b == 0x7F || b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D || b == 0xA0 ||
        b == 0xAD)
      continue;
    Picture p(20, 16, 0);
    const std::string text(1, static_cast<char>(b));
    DrawTextLine(p, Rect{0, 0, 20, 16}, 2, 1, f, 0xFFFFFF, text);
    EXPECT_NE(InkColumns(p).first, -1) << "byte " << b;
  }
}

TEST(Text, LabelAlignmentPlacesTheLineInItsBox) {
  // "00" at 11 px is 12 px wide: left at 0, centred at (40 - 12) / 2 = 14, right at 28.
  // A digit's ink starts 80/2048 em (under a pixel) after its pen.
  const Font f = Arial(8.25f);
  struct Case {
    Alignment align;
    int pen;
  };
  for (const Case c :
       {Case{Alignment::Left, 0}, Case{Alignment::Center, 14}, Case{Alignment::Right, 28}}) {
    Picture p(40, 13, 0);
    DrawLabelText(p, Rect{0, 0, 40, 13}, Rect{0, 0, 40, 13}, f, 0xFFFFFF, c.align, "00");
    const auto [first, last] = InkColumns(p);
    EXPECT_EQ(first, c.pen) << static_cast<int>(c.align);
    EXPECT_LE(last, c.pen + 11) << static_cast<int>(c.align);
    EXPECT_GE(last, c.pen + 10) << static_cast<int>(c.align);
  }
}

TEST(Text, InkStaysInsideTheClipAndTheBox) {
  const Font f = Arial(20.25f, true, true);
  Picture p(60, 40, 0);
  // The box is 30 x 20 at (5, 5); the clip cuts a further 10 px off its left.
  DrawLabelText(p, Rect{15, 0, 60, 40}, Rect{5, 5, 30, 20}, f, 0x00FF00, Alignment::Left,
                "WWWW WWWW");
  bool any = false;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 60; ++x) {
      if (p.At(x, y) == 0) continue;
      any = true;
      ASSERT_TRUE(x >= 15 && x < 35 && y >= 5 && y < 25) << x << "," << y;
      ASSERT_EQ(p.At(x, y) & 0xFF00FFu, 0u);  // only green is blended in
    }
  EXPECT_TRUE(any);
}

// A host redraws a label in pieces (what changed beneath it), so a clip must cut the
// caption, never drop a line whose glyphs reach into the clip from beyond the line's
// height (descenders below it, accents above it) nor a glyph that leans into it from
// beyond its right edge (italics).
TEST(Text, ALabelDrawnInRowsOrColumnsMatchesItDrawnWhole) {
  struct Case {
    Font font;
    Rect box;
    const char* text;
  };
  const Case cases[] = {
      {Arial(8.25f, true), Rect{3, 4, 90, 13}, "gjpq \xC9\xC0\xC7 gjpq"},  // a match's label
      {Arial(6.75f), Rect{2, 2, 40, 30}, "jogo gjpq \xC1gua \xC9poca"},    // wrapped
      {Arial(20.25f, true, true), Rect{0, 3, 120, 40}, "\xC2ngulo pq"},
  };
  for (const Case& c : cases) {
    Picture whole(130, 50, 0);
    DrawLabelText(whole, Rect{0, 0, 130, 50}, c.box, c.font, 0xFFFFFF, Alignment::Center, c.text);
    int inkRows = 0;
    for (int y = 0; y < 50; ++y) {
      Picture piece(130, 50, 0);
      DrawLabelText(piece, Rect{0, y, 130, 1}, c.box, c.font, 0xFFFFFF, Alignment::Center, c.text);
      bool ink = false;
      for (int x = 0; x < 130; ++x) {
        ASSERT_EQ(piece.At(x, y), whole.At(x, y)) << c.text << " at " << x << "," << y;
        ink = ink || whole.At(x, y) != 0;
      }
      inkRows += ink;
    }
    for (int x = 0; x < 130; ++x) {
      Picture piece(130, 50, 0);
      DrawLabelText(piece, Rect{x, 0, 1, 50}, c.box, c.font, 0xFFFFFF, Alignment::Center, c.text);
      for (int y = 0; y < 50; ++y)
        ASSERT_EQ(piece.At(x, y), whole.At(x, y)) << c.text << " at " << x << "," << y;
    }
    EXPECT_GT(inkRows, c.box.Height / 2) << c.text;
  }
}

// Centring leaves the odd pixel of slack on the right; a caption wider than its box
// overhangs both sides, the odd pixel on the left. The slack is the box's, however
// little of it the clip leaves. "00" is 12 px, "0000000" 42 px.
TEST(Text, CentringWithOddOrNegativeSlackAndUnderAClip) {
  const Font f = Arial(8.25f);
  struct Case {
    int boxWidth, clipRight;
    const char* text;
    int pen;
  };
  const Case cases[] = {
      {41, 60, "00", 14},        // slack 29
      {11, 60, "0000000", -16},  // slack -31
      {41, 20, "00", 14},        // the clip keeps 16 of the box's 41 px
  };
  for (const Case& c : cases) {
    const Rect box{4, 1, c.boxWidth, 13};
    Picture label(60, 16, 0), line(60, 16, 0);
    DrawLabelText(label, Rect{0, 0, c.clipRight, 16}, box, f, 0xFFFFFF, Alignment::Center, c.text);
    const Rect area{4, 1, std::min(c.boxWidth, c.clipRight - 4), 13};
    DrawTextLine(line, area, box.X + c.pen, box.Y, f, 0xFFFFFF, c.text);
    EXPECT_EQ(label.Pixels, line.Pixels) << c.text << " in " << c.boxWidth;
  }
}

// Bold italic slants: the stem of an "l" starts further right at its top than at its
// foot. Italic alone has no face of its own and keeps the regular one, widths included.
TEST(Text, TheFaceFollowsBoldAndItalic) {
  EXPECT_EQ(TextWidth(Arial(8.25f, false, true), "A"), 7);
  const auto slant = [](const Font& f) {
    Picture p(40, 40, 0);
    DrawTextLine(p, Rect{0, 0, 40, 40}, 10, 4, f, 0xFFFFFF, "l");
    std::vector<int> left;  // the first inked column of each inked row, top down
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 40; ++x)
        if (p.At(x, y) != 0) {
          left.push_back(x);
          break;
        }
    return left.empty() ? -100 : left.front() - left.back();
  };
  EXPECT_EQ(slant(Arial(20.25f, true)), 0);
  EXPECT_GE(slant(Arial(20.25f, true, true)), 2);  // 19 px tall, leaning 12 degrees
}

// The About box's contact lines are underlined: a bar under the whole advance of the
// line, below the baseline and within the descent.
TEST(Text, UnderlineSpansTheLineBelowTheBaseline) {
  Font f = Arial(8.25f, true);  // ascent 10, descent 2; a bold "A" advances 8 px
  f.Underline = true;
  Picture p(40, 20, 0);
  DrawTextLine(p, Rect{0, 0, 40, 20}, 3, 2, f, 0x0000FF, "AA");  // baseline at y 12
  std::vector<int> bars;  // rows blue from x 3 to 18 and blank either side
  for (int y = 0; y < 20; ++y) {
    bool full = p.At(2, y) == 0 && p.At(19, y) == 0;
    for (int x = 3; x <= 18; ++x) full = full && p.At(x, y) == 0x0000FF;
    if (full) bars.push_back(y);
  }
  ASSERT_FALSE(bars.empty());
  EXPECT_GE(bars.front(), 12);
  EXPECT_LE(bars.back(), 13);
}

// Coverage blends to the nearest level: grey 128 over black at coverage a is within
// half a level of 128 a / 255 (white over black shows the coverage itself).
TEST(Text, CoverageBlendsToTheNearestLevel) {
  const Font f = Arial(20.25f, true, true);
  Picture white(60, 30, 0), grey(60, 30, 0);
  DrawTextLine(white, Rect{0, 0, 60, 30}, 2, 2, f, 0xFFFFFF, "Sog");
  DrawTextLine(grey, Rect{0, 0, 60, 30}, 2, 2, f, 0x808080, "Sog");
  int partial = 0;
  for (size_t i = 0; i < white.Pixels.size(); ++i) {
    const int a = static_cast<int>(white.Pixels[i] & 0xFF);
    const int g = static_cast<int>(grey.Pixels[i] & 0xFF);
    ASSERT_LE(std::abs(2 * (255 * g - 128 * a)), 255) << "coverage " << a << ", grey " << g;
    partial += a > 0 && a < 255;
  }
  EXPECT_GT(partial, 10);
}

}  // namespace
}  // namespace qm
