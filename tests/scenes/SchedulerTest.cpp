// Timer1_Timer: which step runs for each Saver text and which interval it sets first.
#include "SceneFixture.h"
#include "app/NumericText.h"
#include "headless/Runner.h"

namespace qm::testing {
namespace {

class SchedulerTest : public SceneTest {
 protected:
  void SetUp() override {
    SceneTest::SetUp();
    Size(800, 600);
    BolasNum = std::string("1");
    TrofeusNum = std::string("1");
    form->Timer1.Interval = 777;  // a value no rule produces
    // Record the interval as the step sees it, to show it was written first.
    SetSceneDrawObserverForTesting([this](const SceneDrawCall& call) {
      if (recorded.empty()) intervalDuringStep = form->Timer1.Interval;
      recorded.push_back(call);
    });
  }
  void TearDown() override {
    SetLocaleDecimalSeparator('.');
    SceneTest::TearDown();
  }
  int intervalDuringStep = -1;
};

TEST_F(SchedulerTest, FlyerScenesRunEveryFiftyMilliseconds) {
  Saver = std::string("1");
  Script({0.0f, 0.0f, 0.0f});
  Step();
  EXPECT_EQ(form->Timer1.Interval, 50);
  EXPECT_EQ(intervalDuringStep, 50);
  EXPECT_TRUE(draws.empty());  // the ball scene launched its one ball

  Saver = std::string("2");
  form->Timer1.Interval = 777;
  Script({0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f});
  Step();
  EXPECT_EQ(form->Timer1.Interval, 50);
  EXPECT_TRUE(draws.empty());  // the trophy scene launched both groups' slot
}

TEST_F(SchedulerTest, PictureScenesTakeTheirSecondsTimesAThousand) {
  Saver = std::string("3");
  SS03Vel = std::string("1");
  Script({0.0f, 0.0f});
  auto calls = Paints(Step());
  EXPECT_EQ(form->Timer1.Interval, 1000);
  EXPECT_EQ(intervalDuringStep, 1000);
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].Cell.Data, posters->Pixels.data());

  Saver = std::string("4");
  SS04Vel = "2.5";  // a hand-edited store; the point is the locale's separator here
  Script({0.0f, 0.0f});
  calls = Paints(Step());
  EXPECT_EQ(form->Timer1.Interval, 2500);
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].Cell.Data, champions->Pixels.data());

  Saver = std::string("5");
  SS05Vel = "30";
  Script({0.0f, 0.0f, 0.0f, 0.0f});  // the table places its panel at random too
  Step();
  draws.clear();
  EXPECT_EQ(form->Timer1.Interval, 30000);
}

TEST_F(SchedulerTest, OnlyTheExactTextsChooseAScene) {
  for (const char* text : {"6", "", " 1", "01", "1 ", "1.0", "one", "0"}) {
    Saver = text;
    EXPECT_TRUE(Step().empty()) << "Saver \"" << text << "\"";
    EXPECT_EQ(form->Timer1.Interval, 777) << "Saver \"" << text << "\"";
  }
  EXPECT_TRUE(draws.empty());
}

TEST_F(SchedulerTest, PeriodIsReadWholeInTheUsersLocale) {
  Saver = std::string("4");
  SetLocaleDecimalSeparator(',');
  SS04Vel = "2,5";
  Script({0.0f, 0.0f});
  Step();
  EXPECT_EQ(form->Timer1.Interval, 2500);

  // Not numbers in this locale, or not numbers at all (one blank is how an emptied
  // setting is stored): the champions' default of 3 s, whatever the interval was, and
  // the step still runs.
  for (const char* text : {"2.5", "3 seconds", "", " ", "abc"}) {
    for (const int before : {50, 777}) {
      form->Timer1.Interval = before;
      SS04Vel = text;
      Script({0.0f, 0.0f});
      EXPECT_EQ(Paints(Step()).size(), 1u) << text;
      EXPECT_EQ(form->Timer1.Interval, 3000) << text;
    }
  }
  // The other picture scenes fall back to their own defaults, 1 s and 4 s.
  Saver = std::string("3");
  SS03Vel = "x";
  Script({0.0f, 0.0f});
  Step();
  EXPECT_EQ(form->Timer1.Interval, 1000);
  Saver = std::string("5");
  SS05Vel = "x";
  Script({0.0f, 0.0f});
  Step();
  EXPECT_EQ(form->Timer1.Interval, 4000);
}

TEST_F(SchedulerTest, PeriodsBeyondTheTimersRangeAreClampedNegativeOnesGiveTheDefault) {
  Saver = std::string("3");
  const struct {
    const char* text;
    int interval;
  } cases[] = {{"100", 65535},   {"99999", 65535},  {"1e400", 65535}, {"-3", 1000},
               {"-1e400", 1000}, {"-0.0006", 1000}, {"-0.0005", 0},   {"0", 0}};
  for (const auto& c : cases) {
    form->Timer1.Interval = 777;
    SS03Vel = c.text;
    Script({0.0f, 0.0f});
    Step();
    EXPECT_EQ(form->Timer1.Interval, c.interval) << c.text;
  }
}

TEST(SchedulerTiming, PostersComeOnceASecondAfterTheFirstTick) {
  const std::string savedSaver = Saver;
  const std::string savedPeriod = SS03Vel;
  {
    headless::Runner runner({.width = 800, .height = 600, .preview = false});
    runner.Load();
    Saver = std::string("3");
    SS03Vel = std::string("1");
    int paints = 0;
    SetSceneDrawObserverForTesting([&](const SceneDrawCall& call) {
      if (call.What == SceneDrawCall::Kind::Paint) ++paints;
    });
    // The design interval of 50 ms brings the first tick; from then on one a second.
    runner.AdvanceTo(49);
    EXPECT_EQ(paints, 0);
    runner.AdvanceTo(50);
    EXPECT_EQ(paints, 1);
    runner.AdvanceTo(1049);
    EXPECT_EQ(paints, 1);
    runner.AdvanceTo(1050);
    EXPECT_EQ(paints, 2);
    runner.AdvanceTo(5050);
    EXPECT_EQ(paints, 6);
    SetSceneDrawObserverForTesting({});
  }
  Saver = savedSaver;
  SS03Vel = savedPeriod;
}

}  // namespace
}  // namespace qm::testing
