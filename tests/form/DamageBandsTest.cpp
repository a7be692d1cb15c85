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
// under it: the box is 80 x 40 = 3200 pixels, bar and stem 640 + 320. Cut below the
// bar, 2240 are left out; the stem, all of one width, is not cut again.
TEST(DamageBands, ABarOverAStemIsCutWhereTheWidthChanges) {
  const std::vector<RowExtent> groups{Columns(10, 90), Columns(45, 55), Columns(45, 55),
                                      Columns(45, 55), Columns(45, 55)};
  EXPECT_EQ(Bands({10, 16, 80, 40}, groups),
            (std::vector<std::array<int, 4>>{{10, 16, 80, 8}, {45, 24, 10, 32}}));
}

// Cuts that would leave out less than a request costs are not made. 20 x 16 over two
// groups of 20 and 16 columns: a cut leaves out 2 x 8 = 32 pixels.
TEST(DamageBands, SmallSavingsKeepOneBand) {
  EXPECT_EQ(Bands({0, 0, 20, 16}, {Columns(0, 20), Columns(2, 18)}),
            (std::vector<std::array<int, 4>>{{0, 0, 20, 16}}));
  // Exactly at the threshold: 32 columns saved over 8 rows is 256, which is cut.
  EXPECT_EQ(Bands({0, 0, 64, 16}, {Columns(0, 64), Columns(16, 48)}),
            (std::vector<std::array<int, 4>>{{0, 0, 64, 8}, {16, 8, 32, 8}}));
}

// A box that starts and ends inside a group: rows 3 to 32 are group 0 (rows 3-7),
// groups 1 to 3 (8 rows each) and group 4 (row 32 only). Empty groups at the ends go.
TEST(DamageBands, BandsStayInsideTheBoxAndDropEmptyEnds) {
  EXPECT_EQ(Bands({5, 3, 30, 30},
                  {RowExtent{}, Columns(5, 35), Columns(5, 35), RowExtent{}, RowExtent{}}),
            (std::vector<std::array<int, 4>>{{5, 8, 30, 16}}));
  EXPECT_EQ(Bands({5, 3, 30, 30},
                  {Columns(6, 9), RowExtent{}, RowExtent{}, RowExtent{}, Columns(30, 35)}),
            (std::vector<std::array<int, 4>>{{6, 3, 3, 5}, {30, 32, 5, 1}}));
  EXPECT_TRUE(Bands({0, 0, 10, 10}, {RowExtent{}, RowExtent{}}).empty());
}

// An empty group between two changed ones: one band is 40 x 24 = 960 pixels; cut at
// either side of the gap, the gap goes with the part it falls to, 320 + 320.
TEST(DamageBands, AGapBetweenChangedRowsIsLeftOut) {
  EXPECT_EQ(Bands({0, 8, 40, 24}, {Columns(0, 40), RowExtent{}, Columns(0, 40)}),
            (std::vector<std::array<int, 4>>{{0, 8, 40, 8}, {0, 24, 40, 8}}));
  // 30 wide, the gap is 240 pixels, under what a request costs.
  EXPECT_EQ(Bands({0, 8, 30, 24}, {Columns(0, 30), RowExtent{}, Columns(0, 30)}),
            (std::vector<std::array<int, 4>>{{0, 8, 30, 24}}));
}

}  // namespace
}  // namespace qm
