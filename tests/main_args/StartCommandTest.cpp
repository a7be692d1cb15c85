// The saver's command-line rules: which request each text selects and which window
// number comes with it. Expected values are worked out from the switch rules by hand.
#include <gtest/gtest.h>

#include <span>
#include <utility>

#include "app/Main.h"
#include "app/mSSaver.h"

namespace qm {
namespace {

// Each line with the window number it must give; every line selects `request`.
using Line = std::pair<const char*, uint64_t>;
void ExpectParses(StartRequest request, std::span<const Line> lines) {
  for (const auto& [line, window] : lines) {
    const StartCommand got = ParseCommandLine(line);
    EXPECT_EQ(got.Request, request) << "for \"" << line << "\"";
    EXPECT_EQ(got.Window, window) << "for \"" << line << "\"";
  }
}

// Blanks alone trim to nothing, which is full screen too.
TEST(StartCommand, SaverSwitchesIgnoreCaseBlanksAndWhatFollows) {
  const Line lines[] = {{"", 0},       {"   ", 0}, {"/s", 0},     {"/S", 0},
                        {"  /S  ", 0}, {"/sx", 0}, {"/s 1234", 0}};
  ExpectParses(StartRequest::FullScreen, lines);
}

// The longest numeric tail wins: "-5" is a number, so the window is -5, which is none;
// "12x7" ends in 7. 12.5 rounds half to even to 12, 13.5 to 14.
TEST(StartCommand, PreviewTakesTheNumberThatEndsTheText) {
  const Line lines[] = {
      {"/p 1234", 1234}, {"/p:1234", 1234}, {"/P 1234", 1234}, {" /p 1234 ", 1234}, {"/p-5", 0},
      {"/p 12.5", 12},   {"/p 13.5", 14},   {"/p", 0},         {"/pabc", 0},        {"/p 12x7", 7}};
  ExpectParses(StartRequest::Preview, lines);
}

TEST(StartCommand, ConfigureIgnoresAnyWindowNumber) {
  const Line lines[] = {{"/c", 0}, {"/c:1234", 0}, {"/C 1234", 0}};
  ExpectParses(StartRequest::Configure, lines);
}

// The raw text after "/a" of "/a:1234" is ":1234", which starts with no number. A
// leading blank is not trimmed for this read: the first two raw characters of
// " /a 1234" are " /", so "a 1234" is left, which starts with no number either. No
// blank is needed: "/a5" leaves "5". The number rounds half to even: 2.5 to 2, 3.5
// to 4.
TEST(StartCommand, ChangePasswordReadsTheRawTextAfterTheSwitch) {
  const Line lines[] = {
      {"/a 1234", 1234}, {"/A 1234", 1234}, {"/a:1234", 0}, {"/a", 0},    {"/a   77 and more", 77},
      {" /a 1234", 0},   {"/a5", 5},        {"/a 2.5", 2},  {"/a 3.5", 4}};
  ExpectParses(StartRequest::ChangePassword, lines);
}

// One character is compared whole ("s"), and only blanks are trimmed ("\t/s").
TEST(StartCommand, UnknownSwitchesDoNothing) {
  const Line lines[] = {{"/x", 0}, {"hello", 0}, {"s", 0}, {"/", 0}, {"-s", 0}, {"\t/s", 0}};
  ExpectParses(StartRequest::Nothing, lines);
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

// Full screen is run mode 1 and preview 4 with its host window; anything else leaves 0.
TEST_F(MainState, RequestsSetRunModeAndPreviewParent) {
  const struct {
    const char* line;
    StartRequest request;
    int32_t runMode;
    uint64_t parent;
  } cases[] = {
      {"/s", StartRequest::FullScreen, 1, 0}, {"/p 4242", StartRequest::Preview, 4, 4242},
      {"/c", StartRequest::Configure, 0, 0},  {"/a 12", StartRequest::ChangePassword, 0, 0},
      {"/x", StartRequest::Nothing, 0, 0},    {"hello", StartRequest::Nothing, 0, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    Reset();
    EXPECT_EQ(Main(c.line).Request, c.request);
    EXPECT_EQ(RunMode, c.runMode);
    EXPECT_EQ(PreviewParent, c.parent);
  }
}

}  // namespace
}  // namespace qm
