#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

#include "setup/HandCursor.h"

namespace qm {
namespace {

// Worked by hand: 8 pixels a row are one byte, padded to a 16-bit word with clear bits.
// "X.o.XXoo": clear at 1 and 3 gives AND 0101 0000 = 0x50; white at 2, 6 and 7 gives
// XOR 0010 0011 = 0x23. A row shorter than the width is clear beyond its end.
TEST(HandCursor, PlanesFollowWindowsBitOrderAndPadding) {
  const std::string_view rows[] = {"X.o.XXoo", "....", "oX"};
  const CursorArt art{8, 3, 0, 0, rows};
  const CursorPlanes planes = MonochromePlanes(art);
  EXPECT_EQ(planes.And, (std::vector<uint8_t>{0x50, 0xFF, 0xFF, 0xFF, 0x3F, 0xFF}));
  EXPECT_EQ(planes.Xor, (std::vector<uint8_t>{0x23, 0x00, 0x00, 0x00, 0x80, 0x00}));
}

// The hand is 32 x 32 with its hot spot at (13, 9), and that is the tip of the finger:
// a black pixel with nothing of the hand above it. White never touches clear, so the
// hand reads over any colour.
TEST(HandCursor, TheHotSpotIsTheTopOfTheOutlinedHand) {
  const CursorArt& art = ContactHandCursor();
  ASSERT_EQ(art.Width, 32);
  ASSERT_EQ(art.Height, 32);
  EXPECT_EQ(art.HotX, 13);
  EXPECT_EQ(art.HotY, 9);
  auto at = [&](int x, int y) {
    if (x < 0 || y < 0 || x >= art.Width || y >= art.Height) return '.';
    return art.Rows[y][static_cast<size_t>(x)];
  };
  int white = 0;
  for (int y = 0; y < art.Height; ++y) {
    ASSERT_EQ(art.Rows[y].size(), 32u) << "row " << y;
    for (int x = 0; x < art.Width; ++x) {
      const char c = at(x, y);
      ASSERT_TRUE(c == 'X' || c == 'o' || c == '.') << x << "," << y;
      if (y < art.HotY) {
        EXPECT_EQ(c, '.') << x << "," << y;
      }
      if (c != 'o') continue;
      ++white;
      for (auto [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
        EXPECT_NE(at(x + dx, y + dy), '.') << "white at " << x << "," << y << " touches clear";
      }
    }
  }
  EXPECT_EQ(at(art.HotX, art.HotY), 'X');
  EXPECT_GT(white, 100);

  // The fingertip in the planes: row 9, byte 1, bit 0x80 >> 5, black (AND 0, XOR 0).
  const CursorPlanes planes = MonochromePlanes(art);
  ASSERT_EQ(planes.And.size(), 128u);
  EXPECT_EQ(planes.And[9 * 4 + 1] & 0x04, 0);
  EXPECT_EQ(planes.Xor[9 * 4 + 1] & 0x04, 0);
  EXPECT_EQ(planes.And[8 * 4 + 1] & 0x04, 0x04);
}

}  // namespace
}  // namespace qm
