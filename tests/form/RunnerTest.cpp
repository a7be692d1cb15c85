#include <gtest/gtest.h>

#include "app/mSSaver.h"
#include "headless/Runner.h"

namespace qm::headless {
namespace {

// Timer1 is switched off in these tests so that only the timer under test ticks, with
// intervals of the test's own choosing.
void OnlyTimer2(Runner& r, int interval) {
  r.Deliver([&](frmSSaver& f) {
    f.Timer1.Enabled = false;
    f.Timer2.Interval = interval;
    f.Timer2.Enabled = true;
  });
}

TEST(Runner, TicksFallDueAtTheirIntervalsOnTheVirtualClock) {
  Runner r({.width = 320, .height = 200, .preview = false});
  r.Load();
  const double clock0 = r.Host().clockMs;
  OnlyTimer2(r, 120);
  r.AdvanceTo(500);  // 120, 240, 360, 480
  EXPECT_EQ(r.Timer2Count(), 4);
  EXPECT_EQ(r.Timer1Count(), 0);
  EXPECT_EQ(r.Now(), 500);
  EXPECT_DOUBLE_EQ(r.Host().clockMs, clock0 + 500);

  // A new interval counts from the moment it was set: 500 + 100 = 600, then 700.
  r.Deliver([](frmSSaver& f) { f.Timer2.Interval = 100; });
  r.AdvanceTo(599);
  EXPECT_EQ(r.Timer2Count(), 4);
  r.AdvanceTo(700);
  EXPECT_EQ(r.Timer2Count(), 6);

  // Shorter intervals tick every 10 ms, as Windows' timers do: 710 ... 800.
  r.Deliver([](frmSSaver& f) { f.Timer2.Interval = 1; });
  r.AdvanceTo(800);
  EXPECT_EQ(r.Timer2Count(), 16);

  r.Deliver([](frmSSaver& f) { f.Timer2.Enabled = false; });
  r.AdvanceBy(10000);
  EXPECT_EQ(r.Timer2Count(), 16);
  r.AdvanceTo(5);  // the past: ignored
  EXPECT_EQ(r.Now(), 10800);
}

TEST(Runner, EachTimer1TickIsOneStepAndTimer2TicksOnTheWay) {
  Runner r({.width = 320, .height = 200});
  r.Load();
  r.Deliver([](frmSSaver& f) {
    f.Timer1.Interval = 50;
    f.Timer1.Enabled = true;
    f.Timer2.Interval = 75;
    f.Timer2.Enabled = true;
  });
  ASSERT_EQ(r.RunTimer1Ticks(1), 1);
  EXPECT_EQ(r.Now(), 50);
  EXPECT_EQ(r.Timer2Count(), 0);  // Timer2 is first due at 75
  // The step keeps the flying balls' 50 ms (no settings: scene "1"), so the next two
  // come at 100 and 150, and Timer2's ticks at 75 and 150 on the way (at 150 after
  // Timer1's).
  ASSERT_EQ(r.RunTimer1Ticks(2), 2);
  EXPECT_EQ(r.Timer1Count(), 3);
  EXPECT_EQ(r.Now(), 150);
  EXPECT_EQ(r.Timer2Count(), 2);
}

TEST(Runner, ModeRectangleAndFrameFollowTheOptionsAndAreRestored) {
  const int32_t modeBefore = RunMode;
  {
    Runner r({.width = 152, .height = 112, .preview = true});
    EXPECT_EQ(RunMode, kRunModePreview);
    EXPECT_EQ(ScreenRect.Right, 152);
    EXPECT_EQ(ScreenRect.Bottom, 112);
    r.Load();
    EXPECT_EQ(r.Form().Caption, "Preview");
    EXPECT_EQ(r.Form().Width(), 152 * 15.0f);
    const Picture& f = r.Frame();
    EXPECT_EQ(f.Width, 152);
    EXPECT_EQ(f.Height, 112);
    EXPECT_EQ(&Host(), &r.Host());
  }
  EXPECT_EQ(RunMode, modeBefore);
  {
    Runner r({.width = 64, .height = 48});
    EXPECT_EQ(RunMode, kRunModeFullScreen);
    r.Load();
    EXPECT_EQ(r.Form().Caption, "Screen Saver");
  }
}

TEST(Runner, EachEventIsFollowedByAFrameShowingIt) {
  Runner r({.width = 64, .height = 48});
  r.Load();
  const Picture dot(3, 2, 0x00FF00);
  r.Deliver([&](frmSSaver& f) { f.Canvas.PaintPicture(PictureView(dot), 10, 20); });
  // Composed already: the frame's copy is current without asking for it again.
  ASSERT_EQ(r.LastChanged().size(), 1u);
  EXPECT_EQ(r.LastChanged()[0].X, 10);
  EXPECT_EQ(r.LastChanged()[0].Y, 20);
  EXPECT_EQ(r.LastChanged()[0].Width, 3);
  EXPECT_EQ(r.LastChanged()[0].Height, 2);
  const Picture& frame = r.Frame();
  EXPECT_EQ(frame.At(10, 20), 0x00FF00u);
  EXPECT_EQ(frame.At(12, 21), 0x00FF00u);
  EXPECT_EQ(frame.At(13, 21), 0x000000u);
  EXPECT_TRUE(r.LastChanged().empty());  // nothing new since
}

TEST(Runner, NothingTicksAfterTheWindowUnloads) {
  Runner r({.width = 64, .height = 48});
  r.Load();
  OnlyTimer2(r, 10);
  r.AdvanceTo(35);
  ASSERT_EQ(r.Timer2Count(), 3);
  r.Host().passwordAnswer = true;
  r.Deliver([](frmSSaver& f) { f.Unload(); });
  ASSERT_TRUE(r.Form().IsUnloaded());
  r.AdvanceTo(1000);
  EXPECT_EQ(r.Timer2Count(), 3);
  EXPECT_EQ(r.RunTimer1Ticks(5), 0);
}

}  // namespace
}  // namespace qm::headless
