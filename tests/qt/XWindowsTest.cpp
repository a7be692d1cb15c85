// The X11 questions the Qt host asks of the server itself, against a real X server (the
// test command starts Xvfb; without DISPLAY the tests are skipped): the watch that keeps
// the full-screen saver on top (what it reports as a change of the root window's
// children, and which windows it counts as covering another), the watch on a preview's
// host window, and the frame a window manager says it will give a window.
#include <gtest/gtest.h>
#include <poll.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <future>
#include <memory>
#include <thread>

#include "qt/XWindows.h"

// Xlib's last: its macros (None, Bool, ...) would break the headers above.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace qm::qt {
namespace {

class XServerTest : public ::testing::Test {
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
  }
  void TearDown() override {
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

  // Whether `poll` reports a change within a second of what was just done.
  bool Within(const std::function<bool()>& poll) {
    XSync(d_, False);
    for (int i = 0; i < 200; ++i) {
      if (poll()) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
  }

  static inline Display* keeper_ = nullptr;
  Display* d_ = nullptr;
};

class StackingWatchTest : public XServerTest {
 protected:
  void SetUp() override {
    XServerTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    watch_ = StackingWatch::Open();
    ASSERT_NE(watch_, nullptr);
  }
  void TearDown() override {
    watch_.reset();
    XServerTest::TearDown();
  }
  bool Reported() {
    return Within([this] { return watch_->Poll(); });
  }

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
  // a lies over b: circulating the root window's children brings b up again.
  XCirculateSubwindowsUp(d_, DefaultRootWindow(d_));
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

using ForeignWindowTest = XServerTest;

TEST_F(ForeignWindowTest, WatchSeesEveryResizeAndTheWindowGoing) {
  const Window host = Top();
  const auto watch = ForeignWindowWatch::Open(host);
  ASSERT_NE(watch, nullptr);
  EXPECT_EQ(watch->Size().Width, 50);
  EXPECT_EQ(watch->Size().Height, 50);
  // Only the height changes, as when a settings pane is made taller.
  XResizeWindow(d_, host, 50, 80);
  EXPECT_TRUE(Within([&] { return watch->Poll(); }));
  EXPECT_EQ(watch->Size().Width, 50);
  EXPECT_EQ(watch->Size().Height, 80);
  // Moved, it shows what it showed.
  XMoveWindow(d_, host, 30, 40);
  EXPECT_FALSE(Within([&] { return watch->Poll(); }));
  XResizeWindow(d_, host, 60, 80);
  EXPECT_TRUE(Within([&] { return watch->Poll(); }));
  EXPECT_EQ(watch->Size().Width, 60);
  EXPECT_FALSE(watch->Gone());
  XDestroyWindow(d_, host);
  EXPECT_TRUE(Within([&] { return watch->Poll(); }));
  EXPECT_TRUE(watch->Gone());
}

// A window manager of the least kind, on a connection and thread of its own: it names
// itself as window managers do (a check window that names itself, and the frame request
// among what it supports) and answers each request for a window's frame extents by first
// changing another property of that window, then, a moment later, setting the extents.
// `selfNamed` false leaves the check window naming another window, as one left behind
// by a window manager that has gone; `answer` false ignores the requests.
class LeastWindowManager {
 public:
  LeastWindowManager(std::array<long, 4> extents, bool selfNamed, bool answer)
      : extents_(extents), selfNamed_(selfNamed), answer_(answer) {
    auto started = ready_.get_future();
    thread_ = std::thread([this] { Run(); });
    started.wait();
  }
  ~LeastWindowManager() {
    stop_ = true;
    thread_.join();
  }
  LeastWindowManager(const LeastWindowManager&) = delete;
  LeastWindowManager& operator=(const LeastWindowManager&) = delete;

 private:
  void Run() {
    Display* d = XOpenDisplay(nullptr);
    if (!d) {
      ready_.set_value();
      return;
    }
    const Window root = DefaultRootWindow(d);
    const Atom checkAtom = XInternAtom(d, "_NET_SUPPORTING_WM_CHECK", False);
    const Atom supported = XInternAtom(d, "_NET_SUPPORTED", False);
    const Atom request = XInternAtom(d, "_NET_REQUEST_FRAME_EXTENTS", False);
    const Window check = XCreateSimpleWindow(d, root, -10, -10, 1, 1, 0, 0, 0);
    const long named = static_cast<long>(selfNamed_ ? check : root);
    const long self = static_cast<long>(check);
    XChangeProperty(d, check, checkAtom, XA_WINDOW, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&named), 1);
    XChangeProperty(d, root, checkAtom, XA_WINDOW, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&self), 1);
    const long supports = static_cast<long>(request);
    XChangeProperty(d, root, supported, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&supports), 1);
    XSelectInput(d, root, SubstructureNotifyMask);
    XSync(d, False);
    ready_.set_value();
    while (!stop_) {
      pollfd fd{ConnectionNumber(d), POLLIN, 0};
      poll(&fd, 1, 20);
      while (XPending(d) > 0) {
        XEvent event;
        XNextEvent(d, &event);
        if (answer_ && event.type == ClientMessage && event.xclient.message_type == request)
          Answer(d, event.xclient.window);
      }
    }
    // The root window outlives this connection: what was set on it goes.
    XDeleteProperty(d, root, checkAtom);
    XDeleteProperty(d, root, supported);
    XCloseDisplay(d);
  }

  void Answer(Display* d, Window window) {
    const long other = 1;
    XChangeProperty(d, window, XInternAtom(d, "_QM_TEST_OTHER", False), XA_CARDINAL, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(&other), 1);
    XSync(d, False);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    XChangeProperty(d, window, XInternAtom(d, "_NET_FRAME_EXTENTS", False), XA_CARDINAL, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(extents_.data()), 4);
    XSync(d, False);
  }

  std::array<long, 4> extents_;
  bool selfNamed_, answer_;
  std::atomic<bool> stop_{false};
  // Kept until the thread has ended, not just until it has said it is ready.
  std::promise<void> ready_;
  std::thread thread_;
};

// These tests play the window manager, and would overwrite what a real one has set on
// the root window: where one runs, they are skipped.
class ProspectiveFrameTest : public XServerTest {
 protected:
  void SetUp() override {
    XServerTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    const Atom check = XInternAtom(d_, "_NET_SUPPORTING_WM_CHECK", False);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    XGetWindowProperty(d_, DefaultRootWindow(d_), check, 0, 1, False, AnyPropertyType, &type,
                       &format, &count, &after, &data);
    if (data) XFree(data);
    if (type != 0) GTEST_SKIP() << "a window manager runs on this display";
  }
  // A window as the dialogs ask about theirs: created, not yet shown.
  Window Unshown() {
    const Window w = XCreateSimpleWindow(d_, DefaultRootWindow(d_), 0, 0, 50, 50, 0, 0, 0);
    XSync(d_, False);
    return w;
  }
};

TEST_F(ProspectiveFrameTest, TakenFromAWindowManagerThatAnswersInTime) {
  {
    LeastWindowManager manager({3, 4, 20, 5}, /*selfNamed=*/true, /*answer=*/true);
    const Window w = Unshown();
    const auto frame = ProspectiveFrame(w, 3000);
    ASSERT_TRUE(frame.has_value());
    EXPECT_EQ(frame->Left, 3);
    EXPECT_EQ(frame->Right, 4);
    EXPECT_EQ(frame->Top, 20);
    EXPECT_EQ(frame->Bottom, 5);
    // Done asking: nothing stays listening to the window's properties.
    XWindowAttributes attributes{};
    ASSERT_NE(XGetWindowAttributes(d_, w, &attributes), 0);
    EXPECT_EQ(attributes.all_event_masks & PropertyChangeMask, 0);
  }
  {
    // A frame taller than any screen is no frame anyone would draw.
    LeastWindowManager manager({3, 4, 5000, 5}, true, true);
    EXPECT_FALSE(ProspectiveFrame(Unshown(), 3000).has_value());
  }
  {
    // The check window of a window manager that has gone names another window: nobody
    // is asked, although something would answer.
    LeastWindowManager manager({3, 4, 20, 5}, /*selfNamed=*/false, true);
    EXPECT_FALSE(ProspectiveFrame(Unshown(), 3000).has_value());
  }
  {
    LeastWindowManager manager({3, 4, 20, 5}, true, /*answer=*/false);
    EXPECT_FALSE(ProspectiveFrame(Unshown(), 300).has_value());
  }
  // No window manager at all.
  EXPECT_FALSE(ProspectiveFrame(Unshown(), 300).has_value());
}

}  // namespace
}  // namespace qm::qt
