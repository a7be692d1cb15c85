// The flying-trophies scene: the same flyer mechanism as the balls, with two groups of
// N slots, eleven direction codes, code 11 moving 1.5 steps left, drawn height
// floor(Size * 2.35), mask cell 1 and image cell 0 of each group's sheet, and a preview
// size limit of Wp / 5 + 10.
#include <cmath>

#include "SceneFixture.h"

namespace qm::testing {
namespace {

class FlyingTrophiesTest : public SceneTest {
 protected:
  void SetUp() override {
    SceneTest::SetUp();
    Saver = std::string("2");
    TrofeusNum = std::string("4");
    TrofeusVel = std::string("5");
    TrofeusTipo = std::string("0");
    Size(800, 600);
  }
  // Three draws per launch; r2 picks the direction code given.
  void ScriptLaunches(int count, int code = 1) {
    for (int i = 0; i < count; ++i) Script({0.0f, (code - 0.5f) / 11.0f, 0.0f});
  }
  const Pixel* WorldCupCell(int k) const { return CellStart(worldCup, 1, 40, 95, k); }
  const Pixel* JulesRimetCell(int k) const { return CellStart(julesRimet, 1, 35, 96, k); }
};

TEST_F(FlyingTrophiesTest, ChoiceZeroDrawsBothGroupsWorldCupFirst) {
  ScriptLaunches(8);
  auto first = Step();
  EXPECT_EQ(first.size(), 1u);  // all eight launched, none drawn
  EXPECT_TRUE(draws.empty());

  auto paints = Paints(Step());
  ASSERT_EQ(paints.size(), 16u);
  for (int i = 0; i < 8; ++i) {
    const bool isWorldCup = i < 4;
    const SceneDrawCall& mask = paints[2 * i];
    const SceneDrawCall& image = paints[2 * i + 1];
    EXPECT_EQ(mask.Cell.Data, isWorldCup ? WorldCupCell(1) : JulesRimetCell(1)) << i;
    EXPECT_EQ(mask.Op, RasterOp::SrcAnd);
    EXPECT_EQ(image.Cell.Data, isWorldCup ? WorldCupCell(0) : JulesRimetCell(0)) << i;
    EXPECT_EQ(image.Op, RasterOp::SrcInvert);
    // Step 10, direction 1, size 800/51 grown by 800/300: 18.35 wide,
    // floor(18.35 * 2.35) = 43 high.
    EXPECT_FLOAT_EQ(mask.X, 410);
    EXPECT_FLOAT_EQ(mask.Y, 300);
    EXPECT_NEAR(*mask.Width, 800.0 / 51 + 800.0 / 300, 1e-3);
    EXPECT_EQ(*mask.Height, 43.0f);
    EXPECT_EQ(*image.Height, 43.0f);
  }
  // The Jules Rimet trophies, drawn last, lie on top.
  EXPECT_EQ(form->Canvas.Pixels().At(415, 310), CellColour(30));
}

TEST_F(FlyingTrophiesTest, ChoiceTwoShowsOnlyWorldCupAndLeavesTheOtherGroupWaiting) {
  TrofeusTipo = std::string("2");
  ScriptLaunches(8);  // both groups are launched whatever the choice
  Step();
  EXPECT_TRUE(draws.empty());
  for (int step = 2; step <= 5; ++step) {
    auto paints = Paints(Step());
    ASSERT_EQ(paints.size(), 8u);
    for (const auto& p : paints) {
      EXPECT_TRUE(p.Cell.Data == WorldCupCell(0) || p.Cell.Data == WorldCupCell(1));
    }
  }
  for (int i = 4; i < 8; ++i) {
    EXPECT_FLOAT_EQ(form->TrophySlots[i].X, 400) << i;
    EXPECT_FLOAT_EQ(form->TrophySlots[i].Y, 300) << i;
    EXPECT_FLOAT_EQ(form->TrophySlots[i].Size, 800.0f / 51) << i;  // never grown
  }
}

TEST_F(FlyingTrophiesTest, ChoiceOneShowsOnlyJulesRimetFromTheSecondGroup) {
  TrofeusTipo = std::string("1");
  TrofeusNum = std::string("2");
  ScriptLaunches(2, 1);
  ScriptLaunches(2, 3);  // group B flies straight down
  Step();
  auto paints = Paints(Step());
  ASSERT_EQ(paints.size(), 4u);
  for (const auto& p : paints) {
    EXPECT_TRUE(p.Cell.Data == JulesRimetCell(0) || p.Cell.Data == JulesRimetCell(1));
    EXPECT_FLOAT_EQ(p.X, 400);
    EXPECT_FLOAT_EQ(p.Y, 310);
  }
  EXPECT_FLOAT_EQ(form->TrophySlots[0].X, 400);  // group A waits at the centre
}

TEST_F(FlyingTrophiesTest, ChoiceThreeOrNoNumberOnlyClearsAfterLaunchingBothGroups) {
  for (const char* choice : {"3", "x", ""}) {
    form->TrophySlots = {};
    TrofeusTipo = choice;
    ScriptLaunches(8);
    for (int step = 1; step <= 3; ++step) {
      auto calls = Step();
      ASSERT_EQ(calls.size(), 1u) << "TrofeusTipo \"" << choice << "\"";
      EXPECT_EQ(calls[0].What, SceneDrawCall::Kind::Cls);
    }
    EXPECT_TRUE(draws.empty()) << choice;
  }
}

TEST_F(FlyingTrophiesTest, ThirtyOnePerGroupLeavesTheSecondGroupPastTheTable) {
  // A hand-edited count: the first group takes all 31 slots (0 to 30) and the second
  // (31 to 61) has none, so each step draws 31 trophies, none of them twice.
  TrofeusNum = std::string("31");
  ScriptLaunches(31);
  Step();
  EXPECT_EQ(Paints(Step()).size(), 62u);
}

TEST_F(FlyingTrophiesTest, DirectionCodesOneToElevenWithElevenAtOneAndAHalfSteps) {
  TrofeusNum = std::string("1");
  TrofeusTipo = std::string("2");
  struct Move {
    int code;
    float dx;
    float dy;
  };
  const Move table[] = {{1, 10, 0},    {2, -10, 0},  {3, 0, 10},   {4, 0, -10},   {5, 10, 10},
                        {6, -10, -10}, {7, -10, 10}, {9, 10, -10}, {11, -15, -10}};
  for (const Move& m : table) {
    form->TrophySlots = {};
    ScriptLaunches(2, m.code);
    Step();
    EXPECT_EQ(form->TrophySlots[0].Direction, m.code);
    auto paints = Paints(Step());
    ASSERT_EQ(paints.size(), 2u) << "code " << m.code;
    EXPECT_FLOAT_EQ(paints[0].X, 400 + m.dx) << "code " << m.code;
    EXPECT_FLOAT_EQ(paints[0].Y, 300 + m.dy) << "code " << m.code;
  }
  // The largest draw gives code 11, never 12 as for the balls.
  form->TrophySlots = {};
  Script({0.0f, 0.99999994f, 0.0f, 0.0f, 0.0f, 0.0f});
  Step();
  EXPECT_EQ(form->TrophySlots[0].Direction, 11.0f);
}

TEST_F(FlyingTrophiesTest, PreviewLimitIsAFifthOfTheWidthPlusTen) {
  Size(152, 112, /*preview=*/true);
  TrofeusNum = std::string("1");
  TrofeusTipo = std::string("2");
  // Straight down; size 152/51 = 2.98 grows 3.04 a step; limit 152/5 + 10 = 40.4 is
  // passed after the 13th move (42.50; after the 12th it is 39.46).
  ScriptLaunches(2, 3);
  Step();
  for (int step = 2; step <= 13; ++step) {
    auto paints = Paints(Step());
    ASSERT_EQ(paints.size(), 2u) << "step " << step;
    const double size = 152.0 / 51 + (step - 1) * 3.04;
    EXPECT_NEAR(*paints[0].Width, size, 1e-3);
    EXPECT_EQ(*paints[0].Height, std::floor(size * 2.35));
  }
  EXPECT_TRUE(draws.empty());
  ScriptLaunches(1);
  EXPECT_TRUE(Paints(Step()).empty());
  EXPECT_TRUE(draws.empty());
}

TEST_F(FlyingTrophiesTest, FullScreenLimitMatchesTheBalls) {
  TrofeusNum = std::string("1");
  TrofeusTipo = std::string("2");
  ScriptLaunches(2, 3);
  Step();
  // As for the balls: 17 drawn steps, then the 18th move passes 63.33.
  for (int step = 2; step <= 18; ++step) ASSERT_EQ(Paints(Step()).size(), 2u) << step;
  ScriptLaunches(1);
  EXPECT_TRUE(Paints(Step()).empty());
  EXPECT_TRUE(draws.empty());
}

}  // namespace
}  // namespace qm::testing
