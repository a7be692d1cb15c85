// The process-wide generator: uniform on [0, 1), and a re-seed from the clock that
// folds the clock into the state, so re-seeds within one clock tick still give fresh
// numbers. Which scenes re-seed, and how often, is checked by counting clock reads.
#include <algorithm>
#include <set>
#include <vector>

#include "SceneFixture.h"

namespace qm::testing {
namespace {

class RandomTest : public SceneTest {
 protected:
  void SetUp() override {
    SceneTest::SetUp();
    SetRandomSourceForTesting({});  // the real generator
    // The fixture's host keeps its virtual clock still between steps.
    host.clockReads = 0;
  }
};

TEST_F(RandomTest, DrawsAreUniformOnTheHalfOpenInterval) {
  constexpr int kDraws = 20000;
  int bins[10] = {};
  double sum = 0;
  for (int i = 0; i < kDraws; ++i) {
    const float r = Rnd();
    ASSERT_GE(r, 0.0f);
    ASSERT_LT(r, 1.0f);
    sum += r;
    ++bins[static_cast<int>(r * 10)];
  }
  EXPECT_NEAR(sum / kDraws, 0.5, 0.01);
  for (int b : bins)
    EXPECT_NEAR(b, kDraws / 10, 200);  // sd sqrt(20000 * 0.1 * 0.9) = 42: 4.7 of them
}

TEST_F(RandomTest, ReseedsAtTheSameClockStillGiveFreshNumbers) {
  std::vector<float> first;
  std::vector<float> second;
  std::vector<float> third;
  Randomize();
  for (int i = 0; i < 4; ++i) first.push_back(Rnd());
  Randomize();
  for (int i = 0; i < 4; ++i) second.push_back(Rnd());
  Randomize();
  Randomize();  // twice in a row must not cancel out
  for (int i = 0; i < 4; ++i) third.push_back(Rnd());
  EXPECT_EQ(host.clockReads, 4);
  EXPECT_NE(first, second);
  EXPECT_NE(second, third);
  EXPECT_NE(first, third);
}

TEST_F(RandomTest, BallsLaunchedInOneStepGetIndependentFlights) {
  Size(800, 600);
  Saver = std::string("1");
  BolasNum = "20";
  BolasVel = "20";
  Step();
  EXPECT_EQ(host.clockReads, 20);  // one re-seed per launch
  std::set<float> directions;
  std::set<float> steps;
  std::set<float> sizes;
  for (int i = 0; i < 20; ++i) {
    directions.insert(form->BallSlots[i].Direction);
    steps.insert(form->BallSlots[i].Step);
    sizes.insert(form->BallSlots[i].Size);
  }
  // Twenty independent draws from 12 directions, 20 speeds and 100 sizes give about
  // 10, 13 and 18 different values; a re-seed that replaced the state with the clock
  // would give one of each.
  EXPECT_GE(directions.size(), 6u);
  EXPECT_GE(steps.size(), 7u);
  EXPECT_GE(sizes.size(), 12u);
}

TEST_F(RandomTest, TrophiesNeverReseedPicturesAndTheTableOncePerStep) {
  Size(800, 600);
  Saver = std::string("2");
  TrofeusNum = "15";
  TrofeusTipo = std::string("0");
  Step();
  Step();
  EXPECT_EQ(host.clockReads, 0);

  Saver = std::string("3");
  Step();
  Step();
  EXPECT_EQ(host.clockReads, 2);
  Saver = std::string("4");
  Step();
  EXPECT_EQ(host.clockReads, 3);
  // The match table re-seeds at each full-screen page; its preview emblem never does.
  Saver = std::string("5");
  Step();
  EXPECT_EQ(host.clockReads, 4);
  Size(152, 112, /*preview=*/true);
  Step();
  EXPECT_EQ(host.clockReads, 4);
}

}  // namespace
}  // namespace qm::testing
