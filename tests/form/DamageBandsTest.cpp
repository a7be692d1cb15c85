#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "saver/DamageBands.h"

namespace qm {
namespace {

std::vector<std::array<int, 4>> Boxes(const std::vector<Rect>& rects) {
  std::vector<std::array<int, 4>> out;
  for (const Rect& r : rects) out.push_back({r.X, r.Y, r.Width, r.Height});
  return out;
}

RowExtent Columns(int x0, int x1) {
  return {x0, x1};
}

std::vector<std::array<int, 4>> Bands(const Rect& box, const std::vector<RowExtent>& groups) {
  std::vector<Rect> out;
  AppendBands(box, groups, out);
  return Boxes(out);
}

// Rows 16 to 55 are groups 2 to 6. A bar 80 wide over the top group and a stem 10 wide
// under it: taking the first stem group into the bar's band makes 80 x 16 = 1280
// pixels for 640 + 80 changed, 560 more, so the stem starts a band of its own; the
// rest of the stem, all of one width, adds nothing.
TEST(DamageBands, ABarOverAStemIsCutWhereTheWidthChanges) {
  const std::vector<RowExtent> groups{Columns(10, 90), Columns(45, 55), Columns(45, 55),
                                      Columns(45, 55), Columns(45, 55)};
  EXPECT_EQ(Bands({10, 16, 80, 40}, groups),
            (std::vector<std::array<int, 4>>{{10, 16, 80, 8}, {45, 24, 10, 32}}));
}

// A group that adds less than a request costs joins the band. 20 x 16 over groups of 20
// and 16 columns: 320 pixels for 160 + 128, 32 more.
TEST(DamageBands, SmallSavingsKeepOneBand) {
  EXPECT_EQ(Bands({0, 0, 20, 16}, {Columns(0, 20), Columns(2, 18)}),
            (std::vector<std::array<int, 4>>{{0, 0, 20, 16}}));
  // Exactly at the threshold: 64 x 16 = 1024 for 512 + 256 is 256 more, a band apart.
  EXPECT_EQ(Bands({0, 0, 64, 16}, {Columns(0, 64), Columns(16, 48)}),
            (std::vector<std::array<int, 4>>{{0, 0, 64, 8}, {16, 8, 32, 8}}));
}

// A box that starts and ends inside a group: rows 3 to 32 are group 0 (rows 3-7),
// groups 1 to 3 (8 rows each) and group 4 (row 32 only). Empty groups are passed over:
// (6, 3) 3 x 5 and (30, 32) 5 x 1 in one band would be 29 x 30 = 870 for 20.
TEST(DamageBands, BandsStayInsideTheBoxAndDropEmptyEnds) {
  EXPECT_EQ(Bands({5, 3, 30, 30},
                  {RowExtent{}, Columns(5, 35), Columns(5, 35), RowExtent{}, RowExtent{}}),
            (std::vector<std::array<int, 4>>{{5, 8, 30, 16}}));
  EXPECT_EQ(Bands({5, 3, 30, 30},
                  {Columns(6, 9), RowExtent{}, RowExtent{}, RowExtent{}, Columns(30, 35)}),
            (std::vector<std::array<int, 4>>{{6, 3, 3, 5}, {30, 32, 5, 1}}));
  EXPECT_TRUE(Bands({0, 0, 10, 10}, {RowExtent{}, RowExtent{}}).empty());
}

// An empty group between two changed ones: one band would be 40 x 24 = 960 pixels for
// 320 + 320, the gap's 320 more, so they are sent apart.
TEST(DamageBands, AGapBetweenChangedRowsIsLeftOut) {
  EXPECT_EQ(Bands({0, 8, 40, 24}, {Columns(0, 40), RowExtent{}, Columns(0, 40)}),
            (std::vector<std::array<int, 4>>{{0, 8, 40, 8}, {0, 24, 40, 8}}));
  // 30 wide, the gap is 240 pixels, under what a request costs: one band.
  EXPECT_EQ(Bands({0, 8, 30, 24}, {Columns(0, 30), RowExtent{}, Columns(0, 30)}),
            (std::vector<std::array<int, 4>>{{0, 8, 30, 24}}));
}

}  // namespace
}  // namespace qm
