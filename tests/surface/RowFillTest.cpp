// The fill behind Cls, in every form: exactly the columns asked for, wherever they start
// in a cache line, as a vector form may start its stores at the line's start.
#include <gtest/gtest.h>

#include <string>

#include "DrawingTestUtil.h"
#include "winsys/Picture.h"
#include "winsys/RowFill.h"

namespace qm {
namespace {

using testing::InEveryForm;

// Rows 80 pixels apart all start at one place in their 64-byte lines, and columns 16 to
// 31 then start at each of the sixteen places in theirs, whatever the block's own start;
// rows 70 apart each start somewhere else. Two rows of each width from 1 to past the
// vector form's 64 are filled: those columns change, no other pixel does.
TEST(RowFill, FillsExactlyItsColumnsWhereverTheyStartInALine) {
  InEveryForm([] {
    constexpr Pixel kOld = 0x111111, kNew = 0x2468AC;
    for (const int stride : {80, 70}) {
      for (int column = 0; column < 32; ++column) {
        for (int width = 1; column + width <= stride; ++width) {
          SCOPED_TRACE("rows " + std::to_string(stride) + " apart, columns " +
                       std::to_string(column) + " to " + std::to_string(column + width - 1));
          Picture p(stride, 4, kOld);
          FillRows(p.Pixels.data() + stride, static_cast<size_t>(column),
                   static_cast<size_t>(stride), static_cast<size_t>(width), 2, kNew);
          for (int y = 0; y < 4; ++y)
            for (int x = 0; x < stride; ++x) {
              const bool inside = y >= 1 && y <= 2 && x >= column && x < column + width;
              ASSERT_EQ(p.At(x, y), inside ? kNew : kOld) << "pixel " << x << "," << y;
            }
        }
      }
    }
  });
}

}  // namespace
}  // namespace qm
