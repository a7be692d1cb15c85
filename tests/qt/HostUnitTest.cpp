// The Qt host's rules that need no display: XScreenSaver's command line, the key codes
// and characters the form's key handlers receive, what the shell is asked to open, and
// when a timer armed before Qt could run it ticks.
#include <gtest/gtest.h>

#include <QString>
#include <QUrl>
#include <chrono>
#include <utility>

#include "../app/TempDir.h"
#include "qt/HackOptions.h"
#include "qt/QtHost.h"
#include "qt/SaverWindow.h"

namespace qm::qt {
namespace {

using Args = std::vector<std::string>;

TEST(ShellTarget, SchemesFilesAndGuessedAddresses) {
  testing::TempDir drive;
  testing::ScopedEnv env("QUILLMARK_DRIVE_C", drive.Path().c_str());
  testing::WriteFile(drive / "www.page.htm", "<p>");
  const auto target = [](const char* file) {
    return ShellTarget(file, "c:\\").toString().toStdString();
  };
  EXPECT_EQ(target("mailto:kzt@qv.example"), "mailto:kzt@qv.example");
  EXPECT_EQ(target("http://qv.example/"), "http://qv.example/");
  // No scheme and no such file: the shell's guesses.
  EXPECT_EQ(target("www.qv.example"), "http://www.qv.example");
  EXPECT_EQ(target("WWW.qv.example/x"), "http://www.qv.example/x");  // hosts have no case
  EXPECT_EQ(target("ftp.qv.example"), "ftp://ftp.qv.example");
  // A file of that name comes first; other names stay files, found or not.
  EXPECT_EQ(target("www.page.htm"), "file://" + (drive / "www.page.htm"));
  EXPECT_EQ(target("readme.txt"), "file://" + (drive / "readme.txt"));
  EXPECT_EQ(target("c:\\docs\\a.txt"), "file://" + (drive / "docs/a.txt"));
}

TEST(HackOptions, SaverSwitchesAreNotAModulesCommandLine) {
  EXPECT_FALSE(ParseHackOptions({}, nullptr));
  EXPECT_FALSE(ParseHackOptions({"/s"}, nullptr));
  EXPECT_FALSE(ParseHackOptions({"/p", "1234"}, nullptr));
  // XScreenSaver's variable alone does not turn a saver switch into a module.
  EXPECT_FALSE(ParseHackOptions({"/c"}, "0x400001"));
  // A line that opens with a switch is the saver's, whatever options follow.
  EXPECT_FALSE(ParseHackOptions({"/c", "-root"}, nullptr));
  EXPECT_FALSE(ParseHackOptions({"/s", "--root"}, "0x400001"));
  EXPECT_FALSE(ParseHackOptions({" /p", "--window-id", "77"}, nullptr));
  EXPECT_FALSE(ParseHackOptions({"", "/x", "--root"}, nullptr));
  // A switch later on is only a stray word of a module's line.
  EXPECT_TRUE(ParseHackOptions({"--root", "/s"}, nullptr));
  // A common option without --root or a window is not a module either.
  EXPECT_FALSE(ParseHackOptions({"-fps"}, nullptr));
  EXPECT_FALSE(ParseHackOptions({"-fps"}, ""));
}

// The option wins over the environment; with --root and no window anywhere, 0 is the
// whole screen.
TEST(HackOptions, WindowComesFromTheOptionOrTheEnvironment) {
  const struct {
    Args args;
    const char* environment;
    uint64_t window;
  } cases[] = {{{"--window-id", "0x1a00007"}, nullptr, 0x1a00007},
               {{"-window-id", "4194311"}, nullptr, 4194311},
               {{"--window-id", "77"}, "0x99", 77},
               {{"-root"}, "0x2c0000a", 0x2c0000a},
               {{}, "123", 123},
               {{"-install", "--visual", "default", "-no-fps"}, "123", 123},
               {{"--root"}, nullptr, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.args));
    const auto o = ParseHackOptions(c.args, c.environment);
    ASSERT_TRUE(o);
    EXPECT_EQ(o->Window, c.window);
    EXPECT_EQ(o->Error, "");
    EXPECT_TRUE(o->Ignored.empty());
  }
  EXPECT_TRUE(ParseHackOptions({"-root"}, "0x2c0000a")->Root);
  // The environment alone makes a module's line only when the line holds nothing else.
  EXPECT_FALSE(ParseHackOptions({"stray"}, "0x2c0000a"));
}

TEST(HackOptions, ValuesAndBadInput) {
  auto o =
      ParseHackOptions({"--root", "--display", ":7", "--scene", "3", "--geometry", "1x1"}, nullptr);
  ASSERT_TRUE(o);
  EXPECT_EQ(o->Display, ":7");
  EXPECT_EQ(o->Scene, "3");
  EXPECT_TRUE(o->Ignored.empty());

  // A value joined by '=' is the same option; a flag given one is not known.
  o = ParseHackOptions({"--window-id=0x200001", "-scene=4", "--display=:3", "--root=1"}, nullptr);
  ASSERT_TRUE(o);
  EXPECT_EQ(o->Window, 0x200001u);
  EXPECT_EQ(o->Scene, "4");
  EXPECT_EQ(o->Display, ":3");
  EXPECT_FALSE(o->Root);
  EXPECT_EQ(o->Ignored, (Args{"--root=1"}));
  // Still a module's line (even with a bare --window-id), but not one it can use: an
  // empty or bad window id or scene, or a value missing.
  const std::pair<Args, const char*> unusable[] = {{{"--root", "--scene="}, nullptr},
                                                   {{"--window-id=", "--root"}, nullptr},
                                                   {{"--window-id", "0xzz"}, nullptr},
                                                   {{"--window-id"}, nullptr},
                                                   {{"--root", "--window-id"}, nullptr},
                                                   {{"--root", "--scene", "6"}, nullptr},
                                                   {{"--root", "--scene", "0"}, nullptr},
                                                   {{"--root", "--scene", "12"}, nullptr},
                                                   {{}, "not-a-window"}};
  for (const auto& [args, environment] : unusable) {
    o = ParseHackOptions(args, environment);
    ASSERT_TRUE(o) << ::testing::PrintToString(args);
    EXPECT_NE(o->Error, "") << ::testing::PrintToString(args);
  }

  o = ParseHackOptions({"--root", "--sparkle", "stray"}, nullptr);
  ASSERT_TRUE(o);
  EXPECT_EQ(o->Error, "");
  EXPECT_EQ(o->Ignored, (Args{"--sparkle", "stray"}));
  // Only the stray word is reported: the options' values are in use.
  o = ParseHackOptions({"--root", "--scene", "3", "--window-id", "2097153", "stray"}, nullptr);
  ASSERT_TRUE(o);
  EXPECT_EQ(o->Scene, "3");
  EXPECT_EQ(o->Window, 2097153u);
  EXPECT_EQ(o->Ignored, (Args{"stray"}));
}

TEST(HackOptions, WindowIds) {
  EXPECT_EQ(ParseWindowId("0x10"), 16u);
  EXPECT_EQ(ParseWindowId("0XfF"), 255u);
  EXPECT_EQ(ParseWindowId("010"), 10u) << "a leading zero is decimal, not octal";
  EXPECT_EQ(ParseWindowId("4294967295"), 4294967295u);
  for (const char* bad : {"4294967296", "0", "0x", "", "-5", "12 ", "0x1g"})
    EXPECT_FALSE(ParseWindowId(bad)) << bad;
}

TEST(KeyCodes, WindowsVirtualKeys) {
  const std::pair<Qt::Key, int> keys[] = {
      {Qt::Key_A, 65},      {Qt::Key_Z, 90},      {Qt::Key_0, 48},      {Qt::Key_F1, 112},
      {Qt::Key_F12, 123},   {Qt::Key_Escape, 27}, {Qt::Key_Return, 13}, {Qt::Key_Enter, 13},
      {Qt::Key_Left, 37},   {Qt::Key_Down, 40},   {Qt::Key_Shift, 16},  {Qt::Key_Space, 32},
      {Qt::Key_VolumeUp, 0}};
  for (const auto& [key, code] : keys) EXPECT_EQ(VirtualKeyCode(key), code) << key;
}

TEST(KeyCodes, KeyPressCharacters) {
  EXPECT_EQ(KeyPressCode("a"), 97);
  EXPECT_EQ(KeyPressCode("A"), 65);
  EXPECT_EQ(KeyPressCode("\r"), 13);
  EXPECT_EQ(KeyPressCode(QString(QChar(0xE7))), 0xE7);  // c cedilla fits in 8 bits
  EXPECT_EQ(KeyPressCode(QString(QChar(0x20AC))), 0);   // the euro sign does not
  EXPECT_EQ(KeyPressCode(""), 0);
  EXPECT_EQ(KeyPressCode("ab"), 0);
}

// A form loaded at time 0 with a 50 ms timer: ticks are due at 50, 100, 150 ms...
TEST(TimerSchedule, TicksKeepToWholePeriodsFromTheLoad) {
  using std::chrono::microseconds;
  // Before the first tick: the rest of the first period; overdue (or within 2 ms of it):
  // at once.
  EXPECT_EQ(WaitForTick(microseconds(0), 50, true), 50);
  EXPECT_EQ(WaitForTick(microseconds(20'000), 50, true), 30);
  EXPECT_EQ(WaitForTick(microseconds(47'500), 50, true), 3);
  EXPECT_EQ(WaitForTick(microseconds(48'500), 50, true), 0);
  EXPECT_EQ(WaitForTick(microseconds(70'000), 50, true), 0);
  EXPECT_EQ(WaitForTick(microseconds(-5'000), 50, true), 50);  // a clock that stepped back
  // After a tick: up to the next multiple of 50 ms, a late first tick (at 60) included.
  EXPECT_EQ(WaitForTick(microseconds(60'000), 50, false), 40);
  EXPECT_EQ(WaitForTick(microseconds(100'300), 50, false), 50);  // 49.7 rounded up
  EXPECT_EQ(WaitForTick(microseconds(147'000), 50, false), 3);
  // A tick half a millisecond early is the one due at 100: the next is at 150.
  EXPECT_EQ(WaitForTick(microseconds(99'500), 50, false), 51);
  EXPECT_EQ(WaitForTick(microseconds(25'000), 10, false), 5);
}

}  // namespace
}  // namespace qm::qt
