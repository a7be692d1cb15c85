// The poster collage and the champion pictures: placement X = floor(span * r1) + offset,
// Y likewise with r2, where full screen span = window - cell - 70 and offset 70, and in
// preview span = window - thumbnail and offset 1.
#include "SceneFixture.h"

namespace qm::testing {
namespace {

constexpr float kJustBelowOne = 0.99999994f;  // the largest float below 1

class PastWorldCupsTest : public SceneTest {
 protected:
  void SetUp() override {
    SceneTest::SetUp();
    Saver = std::string("3");
    SS03Vel = std::string("1");
    Size(800, 600);
  }
  const Pixel* Poster(int k) const { return CellStart(posters, 5, 110, 154, k); }
};

TEST_F(PastWorldCupsTest, FullScreenPlacementSpansSeventyToTheFarEdge) {
  // 800 - 110 - 70 = 620 and 600 - 154 - 70 = 376.
  Script({0.0f, 0.0f, kJustBelowOne, kJustBelowOne, 0.5f, 0.5f});
  auto first = Step();
  ASSERT_EQ(first.size(), 1u);  // the first poster goes on an uncleared screen
  EXPECT_EQ(first[0].What, SceneDrawCall::Kind::Paint);
  EXPECT_EQ(first[0].Cell.Data, Poster(0));
  EXPECT_EQ(first[0].X, 70);
  EXPECT_EQ(first[0].Y, 70);
  EXPECT_FALSE(first[0].Width || first[0].Height);  // at its own size
  EXPECT_EQ(first[0].Op, RasterOp::SrcCopy);

  auto second = Step();
  ASSERT_EQ(second.size(), 1u);
  EXPECT_EQ(second[0].Cell.Data, Poster(1));
  EXPECT_EQ(second[0].X, 689);  // 800 - 110 - 1
  EXPECT_EQ(second[0].Y, 445);  // 600 - 154 - 1

  auto third = Step();
  EXPECT_EQ(third[0].X, 380);  // floor(310) + 70
  EXPECT_EQ(third[0].Y, 258);  // floor(188) + 70
  EXPECT_TRUE(draws.empty());

  const Picture& px = form->Canvas.Pixels();
  EXPECT_EQ(px.At(70, 70), CellColour(0));
  EXPECT_EQ(px.At(179, 223), CellColour(0));  // its last pixel
  EXPECT_EQ(px.At(798, 598), CellColour(1));  // the second ends one pixel in
  EXPECT_EQ(px.At(799, 599), 0u);
  EXPECT_EQ(px.At(688, 444), 0u);
}

TEST_F(PastWorldCupsTest, PreviewDrawsTwentyByTwentyEightThumbnails) {
  Size(152, 112, /*preview=*/true);
  // Spans 152 - 20 = 132 and 112 - 28 = 84, offset 1.
  Script({0.0f, 0.0f, kJustBelowOne, kJustBelowOne});
  auto first = Paints(Step());
  ASSERT_EQ(first.size(), 1u);
  EXPECT_EQ(first[0].X, 1);
  EXPECT_EQ(first[0].Y, 1);
  ASSERT_TRUE(first[0].Width && first[0].Height);
  EXPECT_EQ(*first[0].Width, 20);
  EXPECT_EQ(*first[0].Height, 28);
  auto second = Paints(Step());
  EXPECT_EQ(second[0].X, 132);
  EXPECT_EQ(second[0].Y, 84);
  const Picture& px = form->Canvas.Pixels();
  EXPECT_EQ(px.At(20, 28), CellColour(0));  // last pixel of the first thumbnail
  EXPECT_EQ(px.At(21, 10), 0u);
  EXPECT_EQ(px.At(10, 29), 0u);
}

TEST_F(PastWorldCupsTest, CollageOfOneHundredFiftyIsClearedAtStepOneHundredFiftyOne) {
  for (int step = 1; step <= 150; ++step) {
    // The last poster of the collage goes to the bottom-right corner, all others to
    // the top-left one.
    const float r = step == 150 ? kJustBelowOne : 0.0f;
    Script({r, r});
    auto calls = Step();
    ASSERT_EQ(calls.size(), 1u) << "step " << step;  // no clear while the collage grows
    EXPECT_EQ(calls[0].Cell.Data, Poster((step - 1) % 15)) << "step " << step;
  }
  EXPECT_EQ(form->PosterRound, 10);
  EXPECT_EQ(form->PosterCell, 0);
  EXPECT_EQ(form->Canvas.Pixels().At(700, 500), CellColour(14));
  // Later posters cover earlier ones: at the top left, that of step 149, cell 13.
  EXPECT_EQ(form->Canvas.Pixels().At(100, 100), CellColour(13));

  Script({0.0f, 0.0f});
  auto calls = Step();
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].What, SceneDrawCall::Kind::Cls);
  EXPECT_EQ(calls[1].Cell.Data, Poster(0));
  EXPECT_EQ(form->PosterRound, 0);
  EXPECT_EQ(form->PosterCell, 1);
  EXPECT_EQ(form->Canvas.Pixels().At(700, 500), 0u);  // poster 14 is gone
  EXPECT_EQ(form->Canvas.Pixels().At(75, 75), CellColour(0));
}

TEST_F(PastWorldCupsTest, WindowSmallerThanPosterAndMarginPlacesBeforeTheMargin) {
  Size(150, 150);
  // Spans 150 - 110 - 70 = -30 and 150 - 154 - 70 = -74: floor(-15) + 70 = 55 and
  // floor(-37) + 70 = 33.
  Script({0.5f, 0.5f});
  auto paints = Paints(Step());
  ASSERT_EQ(paints.size(), 1u);
  EXPECT_EQ(paints[0].X, 55);
  EXPECT_EQ(paints[0].Y, 33);
}

class ChampionsTest : public SceneTest {
 protected:
  void SetUp() override {
    SceneTest::SetUp();
    Saver = std::string("4");
    SS04Vel = std::string("3");
    Size(800, 600);
  }
  const Pixel* Champion(int k) const { return CellStart(champions, 2, 319, 200, k); }
};

TEST_F(ChampionsTest, EachStepClearsThenDrawsTheNextPictureInTurn) {
  const int expectedCells[] = {0, 1, 2, 3, 0, 1};
  for (int cell : expectedCells) {
    Script({0.0f, 0.0f});
    auto calls = Step();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].What, SceneDrawCall::Kind::Cls);
    EXPECT_EQ(calls[1].Cell.Data, Champion(cell));
    EXPECT_EQ(calls[1].Op, RasterOp::SrcCopy);
    EXPECT_FALSE(calls[1].Width || calls[1].Height);
  }
}

TEST_F(ChampionsTest, FullScreenPlacementAndOnlyOnePictureOnScreen) {
  // Spans 800 - 319 - 70 = 411 and 600 - 200 - 70 = 330.
  Script({0.0f, 0.0f, kJustBelowOne, kJustBelowOne});
  auto first = Paints(Step());
  EXPECT_EQ(first[0].X, 70);
  EXPECT_EQ(first[0].Y, 70);
  EXPECT_EQ(form->Canvas.Pixels().At(100, 100), CellColour(40));
  auto second = Paints(Step());
  EXPECT_EQ(second[0].X, 480);
  EXPECT_EQ(second[0].Y, 399);
  EXPECT_EQ(form->Canvas.Pixels().At(100, 100), 0u);  // the first picture is gone
  EXPECT_EQ(form->Canvas.Pixels().At(798, 598), CellColour(41));
}

TEST_F(ChampionsTest, PreviewDrawsFiftyByThirtyOneThumbnails) {
  Size(152, 112, /*preview=*/true);
  // Spans 152 - 50 = 102 and 112 - 31 = 81, offset 1.
  Script({0.0f, 0.0f, kJustBelowOne, kJustBelowOne});
  auto first = Paints(Step());
  EXPECT_EQ(first[0].X, 1);
  EXPECT_EQ(first[0].Y, 1);
  ASSERT_TRUE(first[0].Width && first[0].Height);
  EXPECT_EQ(*first[0].Width, 50);
  EXPECT_EQ(*first[0].Height, 31);
  auto second = Paints(Step());
  EXPECT_EQ(second[0].X, 102);
  EXPECT_EQ(second[0].Y, 81);
  EXPECT_EQ(form->Canvas.Pixels().At(151, 111), CellColour(41));
  EXPECT_EQ(form->Canvas.Pixels().At(101, 80), 0u);
}

}  // namespace
}  // namespace qm::testing
