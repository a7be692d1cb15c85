// The watch that keeps the full-screen saver on top, against a real X server (the test
// command starts Xvfb; without DISPLAY the tests are skipped): what it reports as a change
// of the root window's children, and which windows it counts as covering another.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <thread>

#include "qt/XWindows.h"

// Xlib's last: its macros (None, Bool, ...) would break the headers above.
#include <X11/Xlib.h>

namespace qm::qt {
namespace {

class StackingWatchTest : public ::testing::Test {
 protected:
  // Held for the whole suite: a server whose last client leaves resets, and refuses
  // connections while it does.
  static void SetUpTestSuite() {
    if (std::getenv("DISPLAY") != nullptr) keeper_ = XOpenDisplay(nullptr);
  }
  static void TearDownTestSuite() {
    if (keeper_) XCloseDisplay(keeper_);
    keeper_ = nullptr;
  }

  void SetUp() override {
    if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "no X display";
    d_ = XOpenDisplay(nullptr);
    ASSERT_NE(d_, nullptr);
    watch_ = StackingWatch::Open();
    ASSERT_NE(watch_, nullptr);
  }
  void TearDown() override {
    watch_.reset();
    if (d_) XCloseDisplay(d_);  // takes this test's windows with it
  }

  Window Make(Window parent, bool inputOnly = false) {
    const Window w = inputOnly ? XCreateWindow(d_, parent, 0, 0, 50, 50, 0, 0, InputOnly,
                                               CopyFromParent, 0, nullptr)
                               : XCreateSimpleWindow(d_, parent, 0, 0, 50, 50, 0, 0, 0);
    XMapWindow(d_, w);
    XSync(d_, False);
    return w;
  }
  Window Top(bool inputOnly = false) { return Make(DefaultRootWindow(d_), inputOnly); }

  // Whether the watch reports a change within a second of what was just done.
  bool Reported() {
    XSync(d_, False);
    for (int i = 0; i < 200; ++i) {
      if (watch_->Poll()) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
  }

  static inline Display* keeper_ = nullptr;
  Display* d_ = nullptr;
  std::unique_ptr<StackingWatch> watch_;
};

TEST_F(StackingWatchTest, ReportsMapsRestacksAndUnmapsOfTopLevelWindowsOnly) {
  const Window a = Top();
  EXPECT_TRUE(Reported());
  EXPECT_FALSE(watch_->Poll());  // all read
  const Window b = Top();
  EXPECT_TRUE(Reported());
  XRaiseWindow(d_, a);
  EXPECT_TRUE(Reported());
  XUnmapWindow(d_, b);
  EXPECT_TRUE(Reported());
  // A window inside another is no child of the root window.
  Make(a);
  EXPECT_FALSE(Reported());
}

TEST_F(StackingWatchTest, CoveredByShownWindowsAboveThatAreNotOurs) {
  const Window a = Top();
  const Window b = Top();  // above a
  EXPECT_TRUE(watch_->Covered(a, {a}));
  EXPECT_FALSE(watch_->Covered(b, {b}));
  EXPECT_FALSE(watch_->Covered(a, {a, b}));
  // Nothing shows of an input-only window, so it covers nothing.
  Top(/*inputOnly=*/true);
  EXPECT_FALSE(watch_->Covered(b, {b}));
  // A window that is not shown covers nothing, and is itself covered (it must be shown).
  XUnmapWindow(d_, b);
  XSync(d_, False);
  EXPECT_FALSE(watch_->Covered(a, {a}));
  EXPECT_TRUE(watch_->Covered(b, {b}));
  XMapWindow(d_, b);
  XSync(d_, False);
  // A window of ours inside a frame (as a window manager puts one) counts by its frame.
  const Window frame = Top();
  const Window inFrame = Make(frame);
  EXPECT_TRUE(watch_->Covered(a, {a}));
  EXPECT_FALSE(watch_->Covered(a, {a, b, inFrame}));
  EXPECT_FALSE(watch_->Covered(inFrame, {inFrame}));
  XRaiseWindow(d_, b);
  XSync(d_, False);
  EXPECT_TRUE(watch_->Covered(inFrame, {inFrame}));
  // A window that is gone: nothing to be done for it, and no X error for the program.
  XDestroyWindow(d_, a);
  XSync(d_, False);
  EXPECT_FALSE(watch_->Covered(a, {a}));
}

}  // namespace
}  // namespace qm::qt
