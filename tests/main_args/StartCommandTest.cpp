// The saver's command-line rules: which request each text selects and which window
// number comes with it. Expected values are worked out from the switch rules by hand.
#include <gtest/gtest.h>

#include "app/Main.h"
#include "app/mSSaver.h"

namespace qm {
namespace {

struct Case {
  const char* line;
  StartRequest request;
  uint64_t window;
};

void ExpectParses(const Case& c) {
  const StartCommand got = ParseCommandLine(c.line);
  EXPECT_EQ(got.Request, c.request) << "for \"" << c.line << "\"";
  EXPECT_EQ(got.Window, c.window) << "for \"" << c.line << "\"";
}

TEST(StartCommand, SaverSwitchesIgnoreCaseBlanksAndWhatFollows) {
  for (const Case& c : {
           Case{"", StartRequest::FullScreen, 0},
           Case{"   ", StartRequest::FullScreen, 0},  // blanks only trim to nothing
           Case{"/s", StartRequest::FullScreen, 0},
           Case{"/S", StartRequest::FullScreen, 0},
           Case{"  /S  ", StartRequest::FullScreen, 0},
           Case{"/sx", StartRequest::FullScreen, 0},
           Case{"/s 1234", StartRequest::FullScreen, 0},
       }) {
    ExpectParses(c);
  }
}

TEST(StartCommand, PreviewTakesTheNumberThatEndsTheText) {
  for (const Case& c : {
           Case{"/p 1234", StartRequest::Preview, 1234},
           Case{"/p:1234", StartRequest::Preview, 1234},
           Case{"/P 1234", StartRequest::Preview, 1234},
           Case{" /p 1234 ", StartRequest::Preview, 1234},
           // The longest numeric tail wins: "-5" is a number, so the window is -5 -> none.
           Case{"/p-5", StartRequest::Preview, 0},
           // 12.5 rounds half to even to 12; 13.5 to 14.
           Case{"/p 12.5", StartRequest::Preview, 12},
           Case{"/p 13.5", StartRequest::Preview, 14},
           Case{"/p", StartRequest::Preview, 0},
           Case{"/pabc", StartRequest::Preview, 0},
           // Only the tail counts: "12x7" ends in 7.
           Case{"/p 12x7", StartRequest::Preview, 7},
       }) {
    ExpectParses(c);
  }
}

TEST(StartCommand, ConfigureIgnoresAnyWindowNumber) {
  for (const Case& c : {
           Case{"/c", StartRequest::Configure, 0},
           Case{"/c:1234", StartRequest::Configure, 0},
           Case{"/C 1234", StartRequest::Configure, 0},
       }) {
    ExpectParses(c);
  }
}

TEST(StartCommand, ChangePasswordReadsTheRawTextAfterTheSwitch) {
  for (const Case& c : {
           Case{"/a 1234", StartRequest::ChangePassword, 1234},
           Case{"/A 1234", StartRequest::ChangePassword, 1234},
           // The raw text after "/a" is ":1234", which starts with no number.
           Case{"/a:1234", StartRequest::ChangePassword, 0},
           Case{"/a", StartRequest::ChangePassword, 0},
           Case{"/a   77 and more", StartRequest::ChangePassword, 77},
           // A leading blank is not trimmed for this read: the first two raw characters
           // are " /", so "a 1234" is left, which starts with no number.
           Case{" /a 1234", StartRequest::ChangePassword, 0},
           Case{"/a 2.5", StartRequest::ChangePassword, 2},
       }) {
    ExpectParses(c);
  }
}

TEST(StartCommand, UnknownSwitchesDoNothing) {
  for (const Case& c : {
           Case{"/x", StartRequest::Nothing, 0}, Case{"hello", StartRequest::Nothing, 0},
           Case{"s", StartRequest::Nothing, 0},  // one character is compared whole
           Case{"/", StartRequest::Nothing, 0}, Case{"-s", StartRequest::Nothing, 0},
           Case{"\t/s", StartRequest::Nothing, 0},  // only blanks are trimmed
       }) {
    ExpectParses(c);
  }
}

TEST(StartCommand, ArgumentsJoinWithOneBlank) {
  EXPECT_EQ(JoinArguments({}), "");
  EXPECT_EQ(JoinArguments({"/p", "1234"}), "/p 1234");
  EXPECT_EQ(JoinArguments({"/a", "", "9"}), "/a  9");
  EXPECT_EQ(ParseCommandLine(JoinArguments({"/P", "99"})).Window, 99u);
}

class MainState : public ::testing::Test {
 protected:
  void SetUp() override { Reset(); }
  void TearDown() override { Reset(); }
  static void Reset() {
    RunMode = kRunModeNone;
    PreviewParent = 0;
  }
};

TEST_F(MainState, FullScreenSetsRunModeOne) {
  EXPECT_EQ(Main("/s").Request, StartRequest::FullScreen);
  EXPECT_EQ(RunMode, 1);
  EXPECT_EQ(PreviewParent, 0u);
}

TEST_F(MainState, PreviewSetsRunModeFourAndTheHost) {
  EXPECT_EQ(Main("/p 4242").Request, StartRequest::Preview);
  EXPECT_EQ(RunMode, 4);
  EXPECT_EQ(PreviewParent, 4242u);
}

TEST_F(MainState, OtherRequestsLeaveRunModeZero) {
  for (const char* line : {"/c", "/a 12", "/x", "hello"}) {
    Main(line);
    EXPECT_EQ(RunMode, 0) << line;
    EXPECT_EQ(PreviewParent, 0u) << line;
  }
}

}  // namespace
}  // namespace qm
