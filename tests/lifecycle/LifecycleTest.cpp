// The saver window's own handlers: what the load sets up, which input closes the saver
// in which mode, and the password check that may keep it open.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "../app/WatchedRegistry.h"
#include "app/Settings.h"
#include "app/mSSaver.h"
#include "saver/frmSSaver.h"
#include "winsys/Host.h"
#include "winsys/MemoryRegistry.h"
#include "winsys/Registry.h"

namespace qm {
namespace {

// Counts what the handlers ask of the platform; the pointer count is the display
// count ShowCursor keeps (shown while 0 or more).
class RecordingHost final : public HostServices {
 public:
  int ShowCursor(bool show) override {
    ++cursorCalls;
    return show ? ++cursorCount : --cursorCount;
  }
  bool VerifyScreenSavePwd() override {
    ++prompts;
    cursorCountAtPrompt = cursorCount;
    closingAtPrompt = form && form->Closing();
    // Once: a second prompt it brought up must not feed itself.
    if (const auto input = std::exchange(duringPrompt, nullptr)) input();
    return passwordRight;
  }
  void ScreenSaverStopped() override { ++saverStopped; }
  void ShellOpen(const std::string&, const std::string&) override {}
  bool StartProgram(const std::string&) override { return false; }
  void MessageBox(const std::string&, const std::string&) override {}
  double SecondsSinceMidnight() override { return 1000.0; }
  std::string ProgramFolder() override { return "."; }

  int cursorCount = 0;
  int cursorCalls = 0;
  int cursorCountAtPrompt = 0;
  const frmSSaver* form = nullptr;
  bool closingAtPrompt = false;
  bool passwordRight = true;
  std::function<void()> duringPrompt;  // input that arrives while the prompt is up
  int prompts = 0;
  int saverStopped = 0;
};

class LifecycleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    savedMouse = Mouse;
    savedSaver = Saver;
    SetRegistry(&registry);
    SetHost(&host);
  }
  void TearDown() override {
    SetHost(nullptr);
    SetRegistry(nullptr);
    RunMode = kRunModeNone;
    Mouse = savedMouse;
    Saver = savedSaver;
  }

  // Creates and loads the window in the given mode; "Mouse" is set after the load,
  // which reads all settings from the (empty) store.
  void Open(int32_t mode, const std::string& mouse = "0", bool password = false) {
    if (password) {
      registry.Set(Hive::CurrentUser, "Control Panel\\Desktop", "ScreenSaveUsePassword",
                   RegValue{kRegSz, "1"});
    }
    RunMode = mode;
    form = std::make_unique<frmSSaver>();
    form->Move(0, 0, 800, 600);
    form->Form_Load();
    Mouse = mouse;
  }
  bool Closed() const { return form->IsUnloaded(); }
  // Every mouse input: click, double click, a button, a move far past the threshold.
  void AllMouseInput() {
    form->Form_Click();
    form->Form_DblClick();
    form->form_MouseDown(1, 0, 10, 10);
    form->Form_MouseMove(0, 0, 10, 10);
    form->Form_MouseMove(0, 0, 400, 400);
  }

  MemoryRegistry registry;
  RecordingHost host;
  std::unique_ptr<frmSSaver> form;
  std::string savedMouse;
  std::string savedSaver;
};

// The password switch and the 22 settings are read within one hold of the store: one
// reading of a settings file.
TEST_F(LifecycleTest, LoadReadsTheStoreWithinOneHold) {
  testing::WatchedRegistry watched;
  SetRegistry(&watched);
  Open(kRunModeFullScreen);
  EXPECT_EQ(watched.held, 23);
  EXPECT_EQ(watched.unheld, 0);
  EXPECT_EQ(watched.Holds(), 0);
}

TEST_F(LifecycleTest, LoadStartsTheScenesAndHidesThePointerButInPreview) {
  Open(kRunModeFullScreen);
  EXPECT_FALSE(form->UsePassword);
  EXPECT_EQ(host.cursorCalls, 1);
  EXPECT_EQ(host.cursorCount, -1);
  EXPECT_TRUE(form->Timer1.Enabled);
  EXPECT_EQ(form->Timer1.Interval, 50);
  EXPECT_EQ(SystemFolder, "c:\\windows\\system\\");
  EXPECT_EQ(form->PictureClip3.Cols(), 5);
  EXPECT_EQ(form->PictureClip3.Rows(), 1);

  host.cursorCalls = host.cursorCount = 0;
  Open(kRunModePreview);
  EXPECT_EQ(host.cursorCalls, 1);
  EXPECT_EQ(host.cursorCount, 1);
  EXPECT_TRUE(form->Timer1.Enabled);
}

TEST_F(LifecycleTest, PasswordFlagIsThePresenceOfTheValueWhateverItHolds) {
  registry.Set(Hive::CurrentUser, "Control Panel\\Desktop", "ScreenSaveUsePassword",
               RegValue{kRegSz, "0"});
  Open(kRunModeFullScreen);
  EXPECT_TRUE(form->UsePassword);
}

TEST_F(LifecycleTest, FirstMoveOnlyRecordsFivePixelsEitherWayCloseFourMoveTheReference) {
  Open(kRunModeFullScreen);
  form->Form_MouseMove(0, 0, 300, 200);
  EXPECT_FALSE(Closed());
  EXPECT_EQ(form->LastMouseX, 300);
  EXPECT_EQ(form->LastMouseY, 200);

  form->Form_MouseMove(0, 0, 304, 196);  // 4 along each axis
  EXPECT_FALSE(Closed());
  EXPECT_EQ(form->LastMouseX, 304);
  EXPECT_EQ(form->LastMouseY, 196);

  form->Form_MouseMove(0, 0, 308, 200);  // 4 again from the new reference
  EXPECT_FALSE(Closed());
  form->Form_MouseMove(0, 0, 308, 205);  // exactly 5, vertically
  EXPECT_TRUE(Closed());
  EXPECT_EQ(form->LastMouseY, 200);  // a closing move records nothing

  Open(kRunModeFullScreen);
  form->Form_MouseMove(0, 0, 100, 100);
  form->Form_MouseMove(0, 0, 105, 100);  // exactly 5, horizontally
  EXPECT_TRUE(Closed());
}

TEST_F(LifecycleTest, RecordedPositionsRoundHalfToEvenAndZeroZeroMeansNoneYet) {
  Open(kRunModeFullScreen);
  form->Form_MouseMove(0, 0, 100.5f, 101.5f);
  EXPECT_EQ(form->LastMouseX, 100);
  EXPECT_EQ(form->LastMouseY, 102);
  form->Form_MouseMove(0, 0, 101.5f, 100.5f);  // a small move: each axis the other way
  EXPECT_EQ(form->LastMouseX, 102);
  EXPECT_EQ(form->LastMouseY, 100);

  Open(kRunModeFullScreen);
  form->Form_MouseMove(0, 0, 0, 0);    // recorded, but reads as "nothing yet"
  form->Form_MouseMove(0, 0, 50, 50);  // so this only records
  EXPECT_FALSE(Closed());
  form->Form_MouseMove(0, 0, 50, 56);
  EXPECT_TRUE(Closed());

  // Only the pair means "nothing yet": a pointer first seen on the left or the top
  // edge is a recorded position like any other.
  for (const auto& [x, y] : {std::pair{0.0f, 300.0f}, std::pair{300.0f, 0.0f}}) {
    Open(kRunModeFullScreen);
    form->Form_MouseMove(0, 0, x, y);
    form->Form_MouseMove(0, 0, x + 5, y + 5);
    EXPECT_TRUE(Closed()) << x << "," << y;
  }
}

TEST_F(LifecycleTest, ClicksAndButtonsCloseWhileTheMouseIsEnabled) {
  Open(kRunModeFullScreen);
  form->Form_Click();
  EXPECT_TRUE(Closed());
  Open(kRunModeFullScreen);
  form->Form_DblClick();
  EXPECT_TRUE(Closed());
  Open(kRunModeFullScreen);
  form->form_MouseDown(1, 0, 10, 10);
  EXPECT_TRUE(Closed());
}

// "Mouse" is tested by its numeric value as read from the start of the text, unrounded:
// "0", "-0", "0.0" and "0abc" are 0 (mouse on), and so is a text with no number; "0.4",
// "-0.5" and "0.2abc", which round to 0, are not. With the mouse off no click or move
// closes, nor is even recorded, but keys still do.
TEST_F(LifecycleTest, MouseTextIsTestedByItsUnroundedValueAndOffLeavesOnlyKeys) {
  for (const char* on : {"0", "-0", "0.0", "0abc", " "}) {
    Open(kRunModeFullScreen, on);
    form->Form_Click();
    EXPECT_TRUE(Closed()) << on;
  }
  for (const char* off : {"1", "0.4", "-0.5", "0.2abc", "1.5"}) {
    Open(kRunModeFullScreen, off);
    AllMouseInput();
    EXPECT_FALSE(Closed()) << off;
    EXPECT_EQ(form->LastMouseX, 0) << off;
    form->form_KeyDown(65, 0);
    EXPECT_TRUE(Closed()) << off;
  }
  Open(kRunModeFullScreen, "1");
  form->Form_KeyPress('a');
  EXPECT_TRUE(Closed());
}

TEST_F(LifecycleTest, PreviewIgnoresEveryInput) {
  Open(kRunModePreview, "0", /*password=*/true);
  AllMouseInput();
  form->form_KeyDown(27, 0);
  form->Form_KeyPress(' ');
  EXPECT_FALSE(Closed());
  EXPECT_EQ(host.prompts, 0);
  EXPECT_EQ(host.cursorCount, 1);  // shown, and left so
}

TEST_F(LifecycleTest, WrongPasswordKeepsTheSaverRunningWithThePointerHidden) {
  Open(kRunModeFullScreen, "0", /*password=*/true);
  ASSERT_TRUE(form->UsePassword);
  host.passwordRight = false;
  host.form = form.get();
  EXPECT_FALSE(form->Closing());
  form->form_KeyDown(13, 0);
  EXPECT_FALSE(Closed());
  EXPECT_EQ(host.prompts, 1);
  // The hosts hold the timer ticks back while the prompt is up, and only then.
  EXPECT_TRUE(host.closingAtPrompt);
  EXPECT_FALSE(form->Closing());
  // From -1 the pointer is shown until the count passes 5, so 6 at the prompt; then
  // hidden until it is below -5.
  EXPECT_EQ(host.cursorCountAtPrompt, 6);
  EXPECT_EQ(host.cursorCount, -6);
  EXPECT_TRUE(form->Timer1.Enabled);
  EXPECT_EQ(host.saverStopped, 0);

  // The next attempt, with the right password, closes.
  host.passwordRight = true;
  form->Form_MouseMove(0, 0, 10, 10);
  form->Form_MouseMove(0, 0, 30, 10);
  EXPECT_TRUE(Closed());
  EXPECT_EQ(host.prompts, 2);
  EXPECT_EQ(host.saverStopped, 1);
  EXPECT_FALSE(form->Timer1.Enabled);
  // From -6 shown up to 6 for the prompt, then once more as the window goes: 7.
  EXPECT_EQ(host.cursorCount, 7);
}

TEST_F(LifecycleTest, CloseRequestsWhileThePromptIsUpAskNoSecondTime) {
  for (const bool right : {false, true}) {
    Open(kRunModeFullScreen, "0", /*password=*/true);
    host.prompts = 0;
    host.saverStopped = 0;
    host.passwordRight = right;
    host.duringPrompt = [this] {
      EXPECT_FALSE(form->Unload());  // not gone yet: the prompt's answer decides
      form->Form_KeyPress('a');
      AllMouseInput();
    };
    // A host's own close request, told whether the window went.
    EXPECT_EQ(form->Unload(), right);
    EXPECT_EQ(host.prompts, 1) << right;
    EXPECT_EQ(Closed(), right);
    EXPECT_EQ(host.saverStopped, right ? 1 : 0);
    EXPECT_FALSE(form->Closing());
    // A refused password leaves the pointer hidden, as after any other wrong answer.
    if (!right) {
      EXPECT_LT(host.cursorCount, 0);
    }
  }
}

TEST_F(LifecycleTest, WithoutPasswordAnyKeyClosesAndThePointerReappears) {
  Open(kRunModeFullScreen);
  EXPECT_LT(host.cursorCount, 0);
  form->Form_KeyPress('x');
  EXPECT_TRUE(Closed());
  EXPECT_EQ(host.prompts, 0);
  EXPECT_EQ(host.saverStopped, 0);
  EXPECT_EQ(host.cursorCount, 0);
  EXPECT_FALSE(form->Timer1.Enabled);
}

TEST_F(LifecycleTest, UnloadInPreviewOnlyStopsTheScenes) {
  Open(kRunModePreview, "0", /*password=*/true);
  bool cancel = false;
  form->Form_QueryUnload(cancel, 0);
  EXPECT_FALSE(cancel);
  form->Form_Unload(cancel);
  EXPECT_FALSE(form->Timer1.Enabled);
  EXPECT_EQ(host.prompts, 0);
  EXPECT_EQ(host.saverStopped, 0);
  EXPECT_EQ(host.cursorCount, 1);
}

}  // namespace
}  // namespace qm
