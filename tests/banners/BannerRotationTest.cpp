// The banner rotation on the headless runner's virtual clock: switch and interval from
// the program folder's kzt.ini, names and position from c:\windows\system\kzt.ini,
// pictures from that folder.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>

#include "../matchtable/TempFolders.h"
#include "TestPictures.h"
#include "app/Settings.h"
#include "app/mSSaver.h"
#include "banners/BannerKey.h"
#include "headless/Runner.h"

namespace qm::testing {
namespace {

// Three banners told apart by their size and colour.
const Pixel kRed = Rgb(220, 0, 0);
const Pixel kGreen = Rgb(0, 200, 0);
const Pixel kBlue = Rgb(0, 0, 210);

class BannerRotation : public ::testing::Test {
 protected:
  void SetUp() override {
    Banner("a.bmp", SolidBmp(40, 20, kRed));
    Banner("b.bmp", SolidBmp(60, 10, kGreen));
    Banner("c.bmp", SolidBmp(80, 30, kBlue));
  }
  void TearDown() override {
    runner.reset();
    Saver = std::string("1");  // not from a literal: GCC 12 warns falsely (-Wrestrict)
  }

  void ProgramList(const std::string& text) {
    TempFolders::Write(folders.ProgramFolder() / "kzt.ini", text);
  }
  void SystemList(const std::string& text) {
    TempFolders::Write(folders.SystemFolder() / "kzt.ini", text);
  }
  void Banner(const std::string& name, const std::string& bytes) {
    TempFolders::Write(folders.SystemFolder() / name, bytes);
  }

  // Opens the saver with `scene` stored as the chosen scene; the scene timer is then
  // switched off so that only the banner timer runs.
  void Start(int width = 800, int height = 600, bool preview = false,
             const std::string& scene = "1") {
    Saver = scene;
    SaveSettings();
    runner = std::make_unique<headless::Runner>(
        headless::RunnerOptions{.width = width, .height = height, .preview = preview});
    runner->Host().programFolder = folders.ProgramFolder().string();
    runner->Load();
    runner->Deliver([](frmSSaver& f) { f.Timer1.Enabled = false; });
  }
  frmSSaver& Form() { return runner->Form(); }
  const Image& Shown() { return runner->Form().imgPropaganda01; }
  // The colour of the banner picture now in the image control (0: none).
  Pixel BannerColour() {
    const PicturePtr& p = Shown().Picture;
    return p ? p->At(0, 0) : Pixel{0};
  }

  TempFolders folders;
  std::unique_ptr<headless::Runner> runner;
};

TEST(BannerKeyTest, NumberHasAtLeastTwoDigits) {
  EXPECT_EQ(BannerKey(0), "ARQUIVO00");
  EXPECT_EQ(BannerKey(7), "ARQUIVO07");
  EXPECT_EQ(BannerKey(12), "ARQUIVO12");
  EXPECT_EQ(BannerKey(100), "ARQUIVO100");
  EXPECT_EQ(BannerKey(32767), "ARQUIVO32767");
}

TEST_F(BannerRotation, OrderIs00Then01ThenAKeptTickThen00AtTheBottomEdge) {
  ProgramList("[1]\r\nTEMPO=5000\r\n");
  SystemList("[1]\r\nARQUIVO00=a.bmp\r\nARQUIVO01=b.bmp\r\nPOSICAO=0\r\n");
  Start(800, 600);
  EXPECT_TRUE(Form().Timer2.Enabled);
  EXPECT_EQ(Form().Timer2.Interval, 5000);

  runner->AdvanceTo(4999);  // nothing at once: the first banner comes one interval later
  EXPECT_FALSE(Shown().Visible);
  EXPECT_EQ(runner->Timer2Count(), 0);

  runner->AdvanceTo(5000);
  ASSERT_TRUE(Shown().Visible);
  EXPECT_EQ(BannerColour(), kRed);
  EXPECT_EQ(Shown().Width, 40);
  EXPECT_EQ(Shown().Left, 400 - 20);
  EXPECT_EQ(Shown().Top, 600 - 20);

  runner->AdvanceTo(10000);
  EXPECT_EQ(BannerColour(), kGreen);
  EXPECT_EQ(Shown().Left, 400 - 30);
  EXPECT_EQ(Shown().Top, 600 - 10);
  EXPECT_EQ(Form().BannerIndex, 2);

  runner->AdvanceTo(15000);  // no ARQUIVO02: only the index goes back
  EXPECT_EQ(BannerColour(), kGreen);
  EXPECT_TRUE(Shown().Visible);
  EXPECT_EQ(Form().BannerIndex, 0);

  runner->AdvanceTo(20000);
  EXPECT_EQ(BannerColour(), kRed);
  runner->AdvanceTo(25000);
  EXPECT_EQ(BannerColour(), kGreen);
  EXPECT_EQ(runner->Timer2Count(), 5);

  // The composed frame carries the banner over the black window.
  const Picture& frame = runner->Frame();
  EXPECT_EQ(frame.At(370, 590), kGreen);
  EXPECT_EQ(frame.At(429, 599), kGreen);
  EXPECT_EQ(frame.At(369, 595), Pixel{0});
}

// A banner file as it was is not decoded again at each of its ticks (here with the
// form's pictures kept from the moment they are read, rather than once they settle).
TEST_F(BannerRotation, ABannerFileAsItWasShowsThePictureDecodedBefore) {
  ProgramList("[1]\r\nTEMPO=1000\r\n");
  SystemList("[1]\r\nARQUIVO00=a.bmp\r\n");
  Start(640, 480);
  runner->Deliver(
      [](frmSSaver& f) { f.BannerPictures = PictureFileCache(std::chrono::nanoseconds(0)); });
  runner->AdvanceTo(1000);
  const PicturePtr first = Shown().Picture;
  ASSERT_NE(first, nullptr);
  runner->AdvanceTo(3000);  // the index went back at 2000; 00 again at 3000
  EXPECT_EQ(Form().BannerIndex, 1);
  EXPECT_EQ(Shown().Picture, first);
  Banner("a.bmp", SolidBmp(40, 20, kGreen));
  runner->AdvanceTo(4000);  // back to the index's start
  runner->AdvanceTo(5000);
  EXPECT_EQ(BannerColour(), kGreen);
}

TEST_F(BannerRotation, AnyPositionButExactly0IsTheTopEdgeReadAfreshEachTick) {
  ProgramList("[1]\r\nTEMPO=1000\r\n");
  const std::string names = "[1]\r\nARQUIVO00=a.bmp\r\n";
  SystemList(names);
  Start(640, 480);
  runner->AdvanceTo(1000);
  EXPECT_EQ(Shown().Top, 0) << "no POSICAO";
  EXPECT_EQ(Shown().Left, 320 - 20);
  for (const char* position : {"1", "00", "\" 0\"", "x"}) {
    SystemList(names + "POSICAO=" + position + "\r\n");
    runner->AdvanceBy(2000);  // the wrap tick, then banner 00 again
    EXPECT_EQ(Shown().Top, 0) << "POSICAO=" << position;
  }
  SystemList(names + "POSICAO=0\r\n");
  runner->AdvanceBy(2000);
  EXPECT_EQ(Shown().Top, 480 - 20);
}

TEST_F(BannerRotation, AGapEndsTheSeries) {
  ProgramList("[1]\r\nTEMPO=100\r\n");
  SystemList("[1]\r\nARQUIVO00=a.bmp\r\nARQUIVO01=b.bmp\r\nARQUIVO03=c.bmp\r\n");
  Start();
  for (int tick = 1; tick <= 12; ++tick) {
    runner->AdvanceTo(100 * tick);
    // 1: a, 2: b, 3: wrap (b kept), 4: a, ...
    EXPECT_EQ(BannerColour(), tick % 3 == 1 ? kRed : kGreen) << "tick " << tick;
  }
}

// Scene 3's switch is off and its list names another picture than scene 1's: each
// scene goes by its own section alone.
TEST_F(BannerRotation, OnlyTheRunningScenesSectionCountsAndSwitch0LeavesTheTimerOff) {
  ProgramList("[3]\r\nLIGADO=0\r\nTEMPO=1000\r\n[1]\r\nTEMPO=1000\r\n");
  SystemList("[3]\r\nARQUIVO00=b.bmp\r\n[1]\r\nARQUIVO00=a.bmp\r\n");
  Start(800, 600, false, "3");
  EXPECT_FALSE(Form().Timer2.Enabled);
  runner->AdvanceTo(60000);
  EXPECT_EQ(runner->Timer2Count(), 0);
  EXPECT_FALSE(Shown().Visible);
  EXPECT_EQ(Shown().Picture, nullptr);

  runner.reset();
  Start(800, 600, false, "1");
  EXPECT_TRUE(Form().Timer2.Ticking());
  runner->AdvanceTo(1000);
  EXPECT_EQ(BannerColour(), kRed);
}

// The switch and the interval live beside the program, the list in the system folder:
// each file is asked only for its own keys.
TEST_F(BannerRotation, SwitchAndListAreReadFromTheirOwnFiles) {
  ProgramList("[1]\r\nTEMPO=1000\r\nARQUIVO00=a.bmp\r\n");
  SystemList("[1]\r\nLIGADO=0\r\nTEMPO=10\r\n");
  Start();
  EXPECT_TRUE(Form().Timer2.Enabled);
  EXPECT_EQ(Form().Timer2.Interval, 1000);
  runner->AdvanceTo(5000);
  EXPECT_EQ(runner->Timer2Count(), 5);
  EXPECT_FALSE(Shown().Visible);
  EXPECT_EQ(Form().BannerIndex, 0);
}

TEST_F(BannerRotation, IntervalIsTheLeadingNumberWithinTheTimersRange) {
  for (const auto& [line, interval] :
       {std::pair{"TEMPO=70000", 65535}, std::pair{"TEMPO=65535", 65535}, std::pair{"TEMPO=-5", 0},
        std::pair{"TEMPO= 3000ms", 3000}, std::pair{"TEMPO=2500.5", 2500},
        std::pair{"TEMPO=2501.5", 2502}, std::pair{"TEMPO=abc", 0}, std::pair{"TEMPO=", 0},
        std::pair{"LIGADO=1", 0}, std::pair{"LIGADO=00\r\nTEMPO=700", 700}}) {
    SCOPED_TRACE(line);
    ProgramList(std::string("[1]\r\n") + line + "\r\n");
    Start();
    EXPECT_EQ(Form().Timer2.Interval, interval);
    EXPECT_EQ(Form().Timer2.Ticking(), interval > 0);
    runner.reset();
  }
}

TEST_F(BannerRotation, WithoutAnyFileNoBannerEverShows) {
  Start();
  runner->AdvanceTo(120000);
  EXPECT_EQ(runner->Timer2Count(), 0);
  EXPECT_FALSE(Shown().Visible);
}

TEST_F(BannerRotation, A300By40PictureIsCentredAtHalfTheWidthLess150) {
  Banner("wide.bmp", SolidBmp(300, 40, kBlue));
  ProgramList("[1]\r\nTEMPO=500\r\n");
  SystemList("[1]\r\nARQUIVO00=wide.bmp\r\n");
  for (const auto& [width, left] : {std::pair{800, 250}, std::pair{1024, 362}, std::pair{301, 0}}) {
    Start(width, 600);
    runner->AdvanceTo(500);
    EXPECT_EQ(Shown().Left, left) << "window " << width;
    EXPECT_EQ(Shown().Top, 0);
    runner.reset();
  }
  // An odd width puts the centre on a half pixel, which goes to the even neighbour:
  // 401 - 20.5 and 402 - 20.5.
  Banner("odd.bmp", SolidBmp(41, 40, kBlue));
  SystemList("[1]\r\nARQUIVO00=odd.bmp\r\n");
  for (const auto& [width, left] : {std::pair{802, 380}, std::pair{804, 382}}) {
    Start(width, 600);
    runner->AdvanceTo(500);
    EXPECT_EQ(Shown().Left, left) << "window " << width;
    runner.reset();
  }
}

TEST_F(BannerRotation, ABrokenPictureHoldsTheRotationAtItsEntry) {
  const std::string good = SolidBmp(60, 10, kGreen);
  Banner("b.bmp", good.substr(0, good.size() - 7));  // cut short
  ProgramList("[1]\r\nTEMPO=1000\r\n");
  SystemList(
      "[1]\r\nARQUIVO00=a.bmp\r\nARQUIVO01=b.bmp\r\nARQUIVO02=c.bmp\r\nARQUIVO03=gone.bmp\r\n");
  Start();
  runner->AdvanceTo(1000);
  EXPECT_EQ(BannerColour(), kRed);
  runner->AdvanceTo(6000);  // five ticks on the broken entry
  EXPECT_EQ(BannerColour(), kRed);
  EXPECT_EQ(Form().BannerIndex, 1);
  EXPECT_TRUE(Shown().Visible);

  Banner("b.bmp", good);  // mended: the next tick gets past it
  runner->AdvanceTo(7000);
  EXPECT_EQ(BannerColour(), kGreen);
  runner->AdvanceTo(8000);
  EXPECT_EQ(BannerColour(), kBlue);
  runner->AdvanceTo(10000);  // a missing file holds the rotation the same way
  EXPECT_EQ(BannerColour(), kBlue);
  EXPECT_EQ(Form().BannerIndex, 3);
}

// The index is a 16-bit counter: at its top the step past it fails like any error in
// the tick, after the banner was shown, so the index stays and the banner comes again.
TEST_F(BannerRotation, AtTheIndexsTopTheBannerStaysAndTheIndexDoesNotWrap) {
  ProgramList("[1]\r\nTEMPO=1000\r\n");
  SystemList("[1]\r\nARQUIVO00=b.bmp\r\nARQUIVO32767=a.bmp\r\n");
  Start();
  runner->Deliver([](frmSSaver& f) { f.BannerIndex = 32767; });
  for (int tick = 1; tick <= 2; ++tick) {
    runner->AdvanceTo(1000 * tick);
    EXPECT_EQ(BannerColour(), kRed) << "tick " << tick;
    EXPECT_EQ(Form().BannerIndex, 32767) << "tick " << tick;
  }
}

TEST_F(BannerRotation, AnEditedListTakesEffectAtTheNextTick) {
  ProgramList("[1]\r\nTEMPO=1000\r\n");
  SystemList("[1]\r\nARQUIVO00=a.bmp\r\nARQUIVO01=b.bmp\r\n");
  Start();
  runner->AdvanceTo(1000);
  EXPECT_EQ(BannerColour(), kRed);
  SystemList("[1]\r\nARQUIVO00=a.bmp\r\nARQUIVO01=c.bmp\r\n");
  runner->AdvanceTo(2000);
  EXPECT_EQ(BannerColour(), kBlue);
}

TEST_F(BannerRotation, PreviewLoadsThePicturesButNeverShowsThem) {
  ProgramList("[1]\r\nTEMPO=1000\r\n");
  SystemList("[1]\r\nARQUIVO00=a.bmp\r\nARQUIVO01=b.bmp\r\nPOSICAO=0\r\n");
  Start(152, 112, true);
  runner->AdvanceTo(1000);
  EXPECT_EQ(BannerColour(), kRed);
  EXPECT_FALSE(Shown().Visible);
  runner->AdvanceTo(2000);
  EXPECT_EQ(BannerColour(), kGreen);
  EXPECT_EQ(Form().BannerIndex, 2);
  EXPECT_FALSE(Shown().Visible);
  EXPECT_EQ(runner->Frame().At(76, 111), Pixel{0});
}

}  // namespace
}  // namespace qm::testing
