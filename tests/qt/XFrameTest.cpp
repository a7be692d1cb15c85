// Frames put straight into a real X window and read back from the server: from the
// memory the server shares (nothing copied), from ordinary memory (copied into a
// segment first), and only where a frame is not black. Needs an X server (the test
// command starts Xvfb); without DISPLAY the tests are skipped. without-shm.sh runs them
// again on a server without shared memory, where every put goes through the socket.
#include <QtGui/qguiapplication_platform.h>
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QWindow>

// Xlib's after Qt's: its macros would break Qt's headers.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <thread>

#include "qt/XFrame.h"

namespace qm::qt {
namespace {

constexpr int kW = 40, kH = 30;

Pixel Pattern(int x, int y) {
  return Rgb(static_cast<uint8_t>(10 + x * 5), static_cast<uint8_t>(20 + y * 7), 0x40);
}

class XFrameTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (std::getenv("DISPLAY") == nullptr) return;
    static int argc = 1;
    static char name[] = "test_qt_xframe";
    static char* argv[] = {name, nullptr};
    app_ = new QGuiApplication(argc, argv);
  }

  void SetUp() override {
    if (app_ == nullptr) GTEST_SKIP() << "no X display";
    auto* x11 = app_->nativeInterface<QNativeInterface::QX11Application>();
    ASSERT_NE(x11, nullptr);
    display_ = x11->display();
    // A bare window: nothing of Qt's paints into it, so what shows is what was put.
    window_ = std::make_unique<QWindow>();
    window_->setFlags(Qt::Window | Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint);
    window_->setGeometry(0, 0, kW, kH);
    window_->show();
    id_ = static_cast<Window>(window_->winId());
    for (int i = 0; i < 200; ++i) {
      QCoreApplication::processEvents();
      XWindowAttributes a{};
      XGetWindowAttributes(display_, id_, &a);
      if (a.map_state == IsViewable) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    frame_ = XFrame::Open(static_cast<uint64_t>(id_));
    ASSERT_NE(frame_, nullptr) << "the test's X server has no 24-bit TrueColor visual";
  }

  void TearDown() override {
    frame_.reset();
    window_.reset();
  }

  // Hands everything put to the server and waits for it to be done.
  void Show() {
    frame_->Flush();
    frame_->WaitForServer();
    XSync(display_, False);
  }

  // The window's pixel at (x, y), as the server holds it.
  Pixel OnScreen(int x, int y) const {
    XImage* image = XGetImage(display_, id_, x, y, 1, 1, AllPlanes, ZPixmap);
    if (image == nullptr) return 0xFF000000u;  // never a pixel of ours
    const Pixel p = static_cast<Pixel>(XGetPixel(image, 0, 0)) & 0xFFFFFFu;
    XDestroyImage(image);
    return p;
  }

  static QGuiApplication* app_;
  Display* display_ = nullptr;
  std::unique_ptr<QWindow> window_;
  Window id_ = 0;
  std::unique_ptr<XFrame> frame_;
};

QGuiApplication* XFrameTest::app_ = nullptr;

// One frame in shared memory, put whole and then in part: a rectangle put shows the
// memory as it is now, and what was not put keeps what was put before.
TEST_F(XFrameTest, SharedFrameShowsWhatIsPutAndOnlyThat) {
  Picture p(kW, kH, 0, frame_->PixelMemory());
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) p.Pixels[static_cast<size_t>(y) * kW + x] = Pattern(x, y);
  frame_->Put(p, Rect{0, 0, kW, kH});
  Show();
  for (int y = 0; y < kH; y += 7)
    for (int x = 0; x < kW; x += 3) ASSERT_EQ(OnScreen(x, y), Pattern(x, y)) << x << "," << y;

  std::fill(p.Pixels.begin(), p.Pixels.end(), 0x112233u);
  frame_->Put(p, Rect{5, 6, 10, 4});  // columns 5..14, rows 6..9
  Show();
  EXPECT_EQ(OnScreen(5, 6), 0x112233u);
  EXPECT_EQ(OnScreen(14, 9), 0x112233u);
  EXPECT_EQ(OnScreen(15, 9), Pattern(15, 9));
  EXPECT_EQ(OnScreen(14, 10), Pattern(14, 10));
  EXPECT_EQ(OnScreen(4, 6), Pattern(4, 6));
  EXPECT_EQ(OnScreen(5, 5), Pattern(5, 5));
}

// A frame in ordinary memory goes through the copy segment, to the same result; a
// rectangle reaching past the frame is clipped to it.
TEST_F(XFrameTest, OrdinaryFrameIsCopiedAndClipped) {
  Picture p(kW, kH, 0);
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) p.Pixels[static_cast<size_t>(y) * kW + x] = Pattern(x, y);
  frame_->Put(p, Rect{-10, -10, kW + 20, kH + 20});
  Show();
  EXPECT_EQ(OnScreen(0, 0), Pattern(0, 0));
  EXPECT_EQ(OnScreen(kW - 1, kH - 1), Pattern(kW - 1, kH - 1));

  p.Pixels[static_cast<size_t>(20) * kW + 30] = 0xABCDEFu;
  p.Pixels[static_cast<size_t>(2) * kW + 2] = 0x010203u;  // changed, never put
  frame_->Put(p, Rect{30, 20, 1, 1});
  Show();
  EXPECT_EQ(OnScreen(30, 20), 0xABCDEFu);
  EXPECT_EQ(OnScreen(2, 2), Pattern(2, 2));
}

// Over a window known to be black, only what is not black needs to travel, and the
// result is the frame all the same.
TEST_F(XFrameTest, PutOverBlackLeavesTheFrameOnScreen) {
  Picture black(kW, kH, 0, frame_->PixelMemory());
  frame_->Put(black, Rect{0, 0, kW, kH});
  Show();
  Picture p(kW, kH, 0, frame_->PixelMemory());
  p.Pixels[static_cast<size_t>(3) * kW + 7] = 0x00FF00u;
  p.Pixels[static_cast<size_t>(25) * kW + 33] = 0x0000FFu;
  frame_->PutOverBlack(p, Rect{0, 0, kW, kH});
  Show();
  EXPECT_EQ(OnScreen(7, 3), 0x00FF00u);
  EXPECT_EQ(OnScreen(33, 25), 0x0000FFu);
  EXPECT_EQ(OnScreen(8, 3), 0u);
  EXPECT_EQ(OnScreen(20, 15), 0u);
}

}  // namespace
}  // namespace qm::qt
