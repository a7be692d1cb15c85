// The flying-balls scene, stepped through the scheduler with scripted random draws.
// Expected positions and sizes are worked out by hand from the launch, movement and
// growth rules: Step = floor(r1 * speed + 1) * 10, Direction = floor(r2 * 12 + 1),
// Size = Wp / (floor(r3 * 100 + 1) + 50), growth Wp / 300 (preview Wp / 50) per step,
// relaunch once Size > Wp / 15 + 10 (preview Wp / 1 + 10).
#include <cmath>

#include "SceneFixture.h"

namespace qm::testing {
namespace {

class FlyingBallsTest : public SceneTest {
 protected:
  void SetUp() override {
    SceneTest::SetUp();
    Saver = std::string("1");
    BolasNum = std::string("1");
    BolasVel = std::string("5");
    Size(800, 600);
  }
  const Pixel* Cell(int k) const { return CellStart(balls, 7, 30, 30, k); }

  // Checks one drawn ball: mask (frame + 7) with AND, then the frame with XOR, both at
  // the same place, width `size` and height floor(size).
  void ExpectBall(const SceneDrawCall& mask, const SceneDrawCall& image, int frame, float x,
                  float y, double size) {
    EXPECT_EQ(mask.Cell.Data, Cell(frame + 7));
    EXPECT_EQ(mask.Op, RasterOp::SrcAnd);
    EXPECT_EQ(image.Cell.Data, Cell(frame));
    EXPECT_EQ(image.Op, RasterOp::SrcInvert);
    for (const SceneDrawCall* c : {&mask, &image}) {
      EXPECT_FLOAT_EQ(c->X, x);
      EXPECT_FLOAT_EQ(c->Y, y);
      ASSERT_TRUE(c->Width && c->Height);
      EXPECT_NEAR(*c->Width, size, 1e-3);
      EXPECT_EQ(*c->Height, std::floor(size));
    }
  }
};

TEST_F(FlyingBallsTest, FirstStepLaunchesWithoutDrawingSecondDrawsOneStepOut) {
  BolasNum = std::string("2");
  // Ball 0: step floor(0.5*5+1)*10 = 30, direction 1, size 800/51.
  // Ball 1: step floor(0.99*5+1)*10 = 50, direction floor(0.5*12+1) = 7, size 800/150.
  Script({0.5f, 0.0f, 0.0f, 0.99f, 0.5f, 0.995f});
  auto first = Step();
  ASSERT_EQ(first.size(), 1u);
  EXPECT_EQ(first[0].What, SceneDrawCall::Kind::Cls);
  EXPECT_TRUE(draws.empty());

  auto second = Step();
  ASSERT_EQ(second.size(), 5u);
  EXPECT_EQ(second[0].What, SceneDrawCall::Kind::Cls);
  const double growth = 800.0 / 300.0;
  ExpectBall(second[1], second[2], 0, 430, 300, 800.0 / 51 + growth);
  ExpectBall(second[3], second[4], 0, 350, 350, 800.0 / 150 + growth);

  // On the canvas: black AND mask, XOR frame gives the frame's colour; the centre,
  // where no ball was drawn, stays black.
  const Picture& px = form->Canvas.Pixels();
  EXPECT_EQ(px.At(435, 305), CellColour(0));
  EXPECT_EQ(px.At(352, 352), CellColour(0));
  EXPECT_EQ(px.At(400, 300), 0u);
  EXPECT_EQ(px.At(430 + 20, 300), 0u);  // 18.35 wide: column 450 is outside it
}

TEST_F(FlyingBallsTest, RelaunchedOnceLargerThanTheFullScreenLimit) {
  // Straight down (direction floor(0.2*12+1) = 3) at 10 pixels a step, so it never
  // leaves sideways. Size 800/51 + k*800/300 passes 800/15 + 10 = 63.33 after the 18th
  // move (63.69; after the 17th it is 61.02), so step 19 relaunches it.
  Script({0.0f, 0.2f, 0.0f});
  Step();
  for (int step = 2; step <= 18; ++step) {
    auto calls = Step();
    ASSERT_EQ(calls.size(), 3u) << "step " << step;
    const int frame = (step - 2) % 7;  // spin frames 0..6, then again
    ExpectBall(calls[1], calls[2], frame, 400, 300 + 10.0f * (step - 1),
               800.0 / 51 + (step - 1) * 800.0 / 300);
  }
  EXPECT_TRUE(draws.empty());  // nothing relaunched before the limit

  // Relaunch: step floor(0.5*5+1)*10 = 30, direction 1, size 800/101; at the centre,
  // so not drawn.
  Script({0.5f, 0.0f, 0.5f});
  auto relaunch = Step();
  EXPECT_EQ(relaunch.size(), 1u);
  EXPECT_TRUE(draws.empty());
  // 17 drawn steps leave the frame at 17 mod 7 = 3; the frame carries over the launch.
  auto after = Step();
  ASSERT_EQ(after.size(), 3u);
  ExpectBall(after[1], after[2], 3, 430, 300, 800.0 / 101 + 800.0 / 300);
}

TEST_F(FlyingBallsTest, PreviewGrowsFasterAndRelaunchesPastWidthPlusTen) {
  Size(152, 112, /*preview=*/true);
  // Size 152/51 = 2.98 grows by 152/50 = 3.04 a step; the limit is 152/1 + 10 = 162,
  // passed after the 53rd move (164.1; after the 52nd it is 161.06).
  Script({0.0f, 0.2f, 0.0f});
  Step();
  for (int step = 2; step <= 53; ++step) {
    auto calls = Step();
    ASSERT_EQ(calls.size(), 3u) << "step " << step;
    EXPECT_NEAR(*calls[1].Width, 152.0 / 51 + (step - 1) * 3.04, 1e-3);
    EXPECT_FLOAT_EQ(calls[1].X, 76);
    EXPECT_FLOAT_EQ(calls[1].Y, 56 + 10.0f * (step - 1));
  }
  EXPECT_TRUE(draws.empty());
  Script({0.0f, 0.0f, 0.0f});
  EXPECT_EQ(Step().size(), 1u);
  EXPECT_TRUE(draws.empty());
}

TEST_F(FlyingBallsTest, ASizeExactlyAtTheLimitIsNotPastIt) {
  Size(150, 112, /*preview=*/true);
  // Size 150/150 = 1 grows by 150/50 = 3 a step and is exactly the limit 150/1 + 10 =
  // 160 after the 53rd move: not past it, so the 54th step still draws the ball, at
  // width 160, and only its growth to 163 sends it back.
  Script({0.0f, 0.2f, 0.995f});
  for (int step = 1; step <= 53; ++step) Step();
  auto calls = Step();
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_FLOAT_EQ(*calls[1].Width, 160);
  EXPECT_FLOAT_EQ(form->BallSlots[0].X, 0);
}

TEST_F(FlyingBallsTest, LeavingSidewaysOrLandingOnZeroRelaunches) {
  BolasNum = std::string("2");
  BolasVel = "20";
  // Step floor(0.99*20+1)*10 = 200. Ball 0 flies right (direction 1): 400, 600, 800 =
  // Wp. Ball 1 flies left (direction floor(0.125*12+1) = 2): 400, 200, 0.
  Script({0.99f, 0.0f, 0.0f, 0.99f, 0.125f, 0.0f});
  Step();
  auto second = Step();
  ASSERT_EQ(second.size(), 5u);
  EXPECT_FLOAT_EQ(second[1].X, 600);
  EXPECT_FLOAT_EQ(second[3].X, 200);
  EXPECT_FLOAT_EQ(form->BallSlots[0].X, 800);
  EXPECT_FLOAT_EQ(form->BallSlots[1].X, 0);
  Script({0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f});
  EXPECT_EQ(Step().size(), 1u);  // both back at the centre, neither drawn
  EXPECT_TRUE(draws.empty());
}

TEST_F(FlyingBallsTest, EveryDirectionCodeMovesByItsPattern) {
  struct Move {
    int code;
    float dx;
    float dy;
  };
  // s = 10 (r1 = 0). Codes 8 and 10 are checked only for leaving the centre.
  const Move table[] = {{1, 10, 0},    {2, -10, 0},  {3, 0, 10},   {4, 0, -10},    {5, 10, 10},
                        {6, -10, -10}, {7, -10, 10}, {9, 10, -10}, {11, -20, -10}, {12, 20, -10}};
  for (const Move& m : table) {
    form->BallSlots = {};
    Script({0.0f, (m.code - 0.5f) / 12.0f, 0.0f});
    Step();
    EXPECT_EQ(form->BallSlots[0].Direction, m.code);
    auto calls = Step();
    ASSERT_EQ(calls.size(), 3u) << "code " << m.code;
    EXPECT_FLOAT_EQ(calls[1].X, 400 + m.dx) << "code " << m.code;
    EXPECT_FLOAT_EQ(calls[1].Y, 300 + m.dy) << "code " << m.code;
  }
  for (int code : {8, 10}) {
    form->BallSlots = {};
    Script({0.0f, (code - 0.5f) / 12.0f, 0.0f});
    Step();
    EXPECT_EQ(Step().size(), 3u) << "code " << code << " must leave the centre and be drawn";
  }
}

// L = N - 1 rounded half to even: "2.5" -> 2 and "3.5" -> 2, so three balls each;
// "4 balls" reads as 4; past the table's 31 slots, all of them fly. Without a number or
// below one ("0.4" -> -1), no ball: each step only clears.
TEST_F(FlyingBallsTest, CountIsRoundedHalfToEvenAndReadAsALeadingNumber) {
  const struct {
    const char* text;
    int balls;
  } cases[] = {{"0", 0},   {"abc", 0}, {"", 0},        {" ", 0},  {"-3", 0}, {"0.4", 0},
               {"2.5", 3}, {"3.5", 3}, {"4 balls", 4}, {" 2", 2}, {"40", 31}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string("BolasNum \"") + c.text + "\"");
    form->BallSlots = {};
    BolasNum = c.text;
    for (int i = 0; i < 3 * c.balls; ++i) draws.push_back(0.0f);
    auto launch = Step();  // launched at the centre, so not drawn
    ASSERT_EQ(launch.size(), 1u);
    EXPECT_EQ(launch[0].What, SceneDrawCall::Kind::Cls);
    EXPECT_TRUE(draws.empty());
    EXPECT_EQ(Step().size(), 1u + 2u * c.balls);  // the clear, then mask and image each
  }
}

TEST_F(FlyingBallsTest, SpeedWithoutANumberFliesTenPixelsAStep) {
  BolasVel = "fast";
  Script({0.99f, 0.0f, 0.0f});
  Step();
  auto calls = Step();
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_FLOAT_EQ(calls[1].X, 410);
}

TEST_F(FlyingBallsTest, UnusedSlotsAreNeverTouched) {
  BolasNum = std::string("1");
  form->BallSlots[5].X = 123.0f;
  Script({0.0f, 0.0f, 0.0f});
  Step();
  Step();
  EXPECT_EQ(form->BallSlots[5].X, 123.0f);
  EXPECT_EQ(form->BallSlots[1].X, 0.0f);
}

}  // namespace
}  // namespace qm::testing
