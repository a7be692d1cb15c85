#include <gtest/gtest.h>

#include <memory>

#include "winsys/PictureClip.h"

namespace qm {
namespace {

// Every pixel is 1000 * y + x, so a cell's first pixel names its origin.
PicturePtr Sheet(int w, int h) {
  auto p = std::make_shared<Picture>(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) p->Pixels[static_cast<size_t>(y) * w + x] = 1000u * y + x;
  return p;
}

TEST(PictureClipCells, NumberedRowByRowFromZero) {
  PictureClip clip(Sheet(12, 6), 2, 3);  // cells 4 x 3
  EXPECT_EQ(clip.CellWidth(), 4);
  EXPECT_EQ(clip.CellHeight(), 3);
  // cell -> (column, row): 0 (0,0), 2 (2,0), 3 (0,1), 5 (2,1)
  const int want[][2] = {{0, 0}, {1, 0}, {2, 0}, {0, 1}, {1, 1}, {2, 1}};
  for (int i = 0; i < 6; ++i) {
    const PictureView cell = clip.GraphicCell(i);
    ASSERT_FALSE(cell.Empty()) << i;
    EXPECT_EQ(cell.Width, 4);
    EXPECT_EQ(cell.Height, 3);
    const int x0 = want[i][0] * 4, y0 = want[i][1] * 3;
    EXPECT_EQ(cell.At(0, 0), 1000u * y0 + x0) << i;
    EXPECT_EQ(cell.At(3, 2), 1000u * (y0 + 2) + x0 + 3) << i;
  }
  EXPECT_TRUE(clip.GraphicCell(6).Empty());
  EXPECT_TRUE(clip.GraphicCell(-1).Empty());
}

TEST(PictureClipCells, CountsChangeAtRunTimeAndCellSizesFollow) {
  PictureClip clip(Sheet(1000, 250), 1, 1);
  EXPECT_EQ(clip.CellWidth(), 1000);
  EXPECT_TRUE(clip.GraphicCell(1).Empty());
  clip.SetCols(5);
  clip.SetRows(1);
  EXPECT_EQ(clip.CellWidth(), 200);
  EXPECT_EQ(clip.CellHeight(), 250);
  EXPECT_EQ(clip.GraphicCell(4).At(0, 0), 800u);
  EXPECT_TRUE(clip.GraphicCell(5).Empty());

  // A size that does not divide evenly drops the remainder: 7 / 2 = 3, 5 / 3 = 1.
  PictureClip uneven(Sheet(7, 5), 3, 2);
  EXPECT_EQ(uneven.CellWidth(), 3);
  EXPECT_EQ(uneven.CellHeight(), 1);
  EXPECT_EQ(uneven.GraphicCell(5).At(0, 0), 1000u * 2 + 3);
}

TEST(PictureClipBadInput, NoPictureOrSillyCounts) {
  PictureClip empty;
  EXPECT_EQ(empty.CellWidth(), 0);
  EXPECT_TRUE(empty.GraphicCell(0).Empty());

  PictureClip clip(Sheet(4, 4), 0, -3);  // counts below 1 are taken as 1
  EXPECT_EQ(clip.Rows(), 1);
  EXPECT_EQ(clip.Cols(), 1);
  EXPECT_EQ(clip.CellWidth(), 4);
  clip.SetRows(0);  // and so are counts set at run time: no division by zero
  clip.SetCols(-2);
  ASSERT_EQ(clip.Rows(), 1);
  ASSERT_EQ(clip.Cols(), 1);
  EXPECT_EQ(clip.CellHeight(), 4);
  clip.SetCols(10);  // more columns than pixels: cells of width 0 draw nothing
  EXPECT_EQ(clip.CellWidth(), 0);
  EXPECT_TRUE(clip.GraphicCell(0).Empty());
  clip.SetRows(1 << 20);
  clip.SetCols(1 << 20);
  EXPECT_TRUE(clip.GraphicCell(5).Empty());
}

TEST(PictureClipSource, CalledOnceWhenThePictureIsFirstNeeded) {
  int calls = 0;
  PictureClip clip(
      [&calls] {
        ++calls;
        return Sheet(12, 6);
      },
      2, 3);
  // Counts are the control's own: setting and reading them needs no picture.
  clip.SetCols(4);
  clip.SetRows(3);
  EXPECT_EQ(clip.Cols() * clip.Rows(), 12);
  EXPECT_EQ(calls, 0);

  EXPECT_EQ(clip.CellWidth(), 3);  // 12 / 4
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(clip.CellHeight(), 2);  // 6 / 3
  // Cell 5 is column 1 of row 1: x 3, y 2.
  EXPECT_EQ(clip.GraphicCell(5).At(0, 0), 1000u * 2 + 3);
  const Picture* first = clip.GetPicture().get();
  EXPECT_EQ(clip.GetPicture().get(), first);
  EXPECT_EQ(calls, 1);
}

TEST(PictureClipSource, EachWayInMakesThePicture) {
  int calls = 0;
  const auto source = [&calls] {
    ++calls;
    return Sheet(4, 2);
  };
  PictureClip byCell(source, 1, 2);
  EXPECT_EQ(byCell.GraphicCell(1).At(0, 0), 2u);
  PictureClip byHeight(source, 2, 1);
  EXPECT_EQ(byHeight.CellHeight(), 1);
  PictureClip byPicture(source, 1, 1);
  ASSERT_NE(byPicture.GetPicture(), nullptr);
  EXPECT_EQ(byPicture.GetPicture()->Width, 4);
  EXPECT_EQ(calls, 3);
}

TEST(PictureClipSource, ReplacedOrEmptySource) {
  int calls = 0;
  PictureClip replaced(
      [&calls] {
        ++calls;
        return Sheet(8, 8);
      },
      1, 1);
  replaced.SetPicture(Sheet(6, 3));
  EXPECT_EQ(replaced.CellWidth(), 6);
  EXPECT_EQ(calls, 0);

  // A source with nothing to give leaves a grid without a picture, asked only once.
  PictureClip nothing(
      [&calls]() -> PicturePtr {
        ++calls;
        return nullptr;
      },
      1, 1);
  EXPECT_EQ(nothing.CellWidth(), 0);
  EXPECT_TRUE(nothing.GraphicCell(0).Empty());
  EXPECT_EQ(nothing.GetPicture(), nullptr);
  EXPECT_EQ(calls, 1);
}

}  // namespace
}  // namespace qm
