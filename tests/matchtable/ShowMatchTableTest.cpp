// The match-table scene run through the headless runner: fifteen full-screen steps
// with a table file, without one, with edits between steps, and the preview emblem.
#include <gtest/gtest.h>

#include <array>
#include <deque>
#include <filesystem>
#include <memory>
#include <string>

#include "TempFolders.h"
#include "app/Settings.h"
#include "app/mSSaver.h"
#include "headless/Runner.h"
#include "winsys/Random.h"

namespace qm::testing {
namespace {

const std::filesystem::path kData = QM_TEST_DATA_DIR "/matchtable";

// Five panel cells, each one flat colour that no other cell has.
Pixel PanelColour(int cell) {
  return Rgb(static_cast<uint8_t>(40 * (cell + 1)), 7, static_cast<uint8_t>(200 - cell));
}
PicturePtr PanelSheet() {
  auto sheet = std::make_shared<Picture>(1000, 250);
  for (int y = 0; y < 250; ++y) {
    for (int x = 0; x < 1000; ++x)
      sheet->Pixels[static_cast<size_t>(y) * 1000 + x] = PanelColour(x / 200);
  }
  return sheet;
}

// What one page must show, worked out from the page rules: the match texts of rows 0
// to 5 as every-key.ini writes them ("" for an emptied row) and, per separator, '1'
// when it is shown.
struct ExpectedPage {
  std::string Title;
  int Cell;
  std::array<std::string, 6> Matches;
  std::string Separators;
};

const std::string kThird = "3\xBA Lugar";

const std::array<ExpectedPage, 14> kPages = {{
    {"A", 0, {"A jogo 1", "A jogo 2", "A jogo 3", "A jogo 4", "A jogo 5", "A jogo 6"}, "11111"},
    {"B", 1, {"B jogo 1", "B jogo 2", "B jogo 3", "B jogo 4", "B jogo 5", "B jogo 6"}, "11111"},
    {"C", 2, {"C jogo 1", "C jogo 2", "C jogo 3", "C jogo 4", "C jogo 5", "C jogo 6"}, "11111"},
    {"D", 3, {"D jogo 1", "D jogo 2", "D jogo 3", "D jogo 4", "D jogo 5", "D jogo 6"}, "11111"},
    {"E", 0, {"E jogo 1", "E jogo 2", "E jogo 3", "E jogo 4", "E jogo 5", "E jogo 6"}, "11111"},
    {"F", 1, {"F jogo 1", "F jogo 2", "F jogo 3", "F jogo 4", "F jogo 5", "F jogo 6"}, "11111"},
    {"G", 2, {"G jogo 1", "G jogo 2", "G jogo 3", "G jogo 4", "G jogo 5", "G jogo 6"}, "11111"},
    {"H", 3, {"H jogo 1", "H jogo 2", "H jogo 3", "H jogo 4", "H jogo 5", "H jogo 6"}, "11111"},
    {"Oitavas",
     0,
     {"", "Oitavas jogo 1", "Oitavas jogo 2", "Oitavas jogo 3", "Oitavas jogo 4", ""},
     "01110"},
    {"Oitavas",
     2,
     {"", "Oitavas jogo 5", "Oitavas jogo 6", "Oitavas jogo 7", "Oitavas jogo 8", ""},
     "01110"},
    {"Quartas",
     1,
     {"", "Quartas jogo 1", "Quartas jogo 2", "Quartas jogo 3", "Quartas jogo 4", ""},
     "01110"},
    {"Semifinais", 2, {"", "Semifinais jogo 1", "Semifinais jogo 2", "", "", ""}, "01000"},
    {kThird, 3, {"", "3\xBA jogo 1", "", "", "", ""}, "00000"},
    {"Final", 4, {"", "", "", "Final jogo 1", "", ""}, "00000"},
}};

// "X jogo n" -> "X dia n": the day line every-key.ini gives the same match.
std::string DayOf(const std::string& match) {
  if (match.empty()) return "";
  std::string day = match;
  day.replace(day.find("jogo"), 4, "dia");
  return day;
}

class MatchTableScene : public ::testing::Test {
 protected:
  void Start(int width = 800, int height = 600, bool preview = false) {
    runner = std::make_unique<headless::Runner>(
        headless::RunnerOptions{.width = width, .height = height, .preview = preview});
    runner->Host().programFolder = folders.ProgramFolder().string();
    runner->Load();
    Saver = "5";
    SS05Vel = "4";
    runner->Form().PictureClip3 = PictureClip(PanelSheet(), 1, 5);
  }
  void TearDown() override {
    runner.reset();
    SetRandomSourceForTesting({});
    Saver = "1";
  }
  void InstallTable(const std::filesystem::path& source) {
    std::filesystem::copy_file(source, folders.ProgramFolder() / "tabela.ini",
                               std::filesystem::copy_options::overwrite_existing);
  }
  void Step() { ASSERT_EQ(runner->RunTimer1Ticks(1), 1); }
  frmSSaver& Form() { return runner->Form(); }

  std::string SeparatorsShown() {
    std::string shown;
    for (const Line& l : Form().Line1) shown += l.Visible ? '1' : '0';
    return shown;
  }
  // The cell the panel shows, told by its colour (-1: none of the five).
  int PanelCell() {
    const PicturePtr& p = Form().picTabela.Picture;
    if (!p || p->Width != 200 || p->Height != 250) return -1;
    for (int cell = 0; cell < 5; ++cell) {
      if (p->At(0, 0) == PanelColour(cell) && p->At(199, 249) == PanelColour(cell)) return cell;
    }
    return -1;
  }
  void ExpectPage(const ExpectedPage& page, bool withTexts, int step) {
    SCOPED_TRACE("step " + std::to_string(step) + ", page " + page.Title);
    EXPECT_TRUE(Form().picTabela.Visible);
    EXPECT_EQ(Form().lblGrupo.Caption, page.Title);
    EXPECT_EQ(Form().TableSection, page.Title);
    EXPECT_EQ(PanelCell(), page.Cell);
    EXPECT_EQ(SeparatorsShown(), page.Separators);
    for (size_t row = 0; row < 6; ++row) {
      const std::string match = withTexts ? page.Matches[row] : "";
      EXPECT_EQ(Form().lblJogo01[row].Caption, match) << "row " << row;
      EXPECT_EQ(Form().lblJogo01Dia[row].Caption, DayOf(match)) << "row " << row;
    }
  }

  TempFolders folders;
  std::unique_ptr<headless::Runner> runner;
};

TEST_F(MatchTableScene, FifteenStepsShowTheFourteenPagesInOrderThenGroupAAgain) {
  InstallTable(kData / "every-key.ini");
  Start();
  for (int step = 0; step < 15; ++step) {
    Step();
    ExpectPage(kPages[static_cast<size_t>(step % 14)], true, step + 1);
    EXPECT_EQ(Form().TablePage, (step + 1) % 14);
  }
  // A step lasts SS05Vel seconds: 50 ms to the first, then 4 s each.
  EXPECT_EQ(runner->Now(), 50 + 14 * 4000);
}

TEST_F(MatchTableScene, WithoutAFileEveryPageStillComesWithEmptyRows) {
  Start();
  for (int step = 0; step < 15; ++step) {
    Step();
    ExpectPage(kPages[static_cast<size_t>(step % 14)], false, step + 1);
  }
}

TEST_F(MatchTableScene, SampleTableShowsThe1998Matches) {
  InstallTable(QM_SOURCE_DIR "/data/tabela.ini");
  Start();
  Step();  // A
  EXPECT_EQ(Form().lblJogo01Dia[0].Caption, "10/06 17:30 - Saint-Denis");
  EXPECT_EQ(Form().lblJogo01[0].Caption,
            "Zelvaro 2 x 1 Esc\xF3"
            "cia");
  EXPECT_EQ(Form().lblJogo01[4].Caption, "Zelvaro 1 x 2 Noruega");
  for (int i = 0; i < 11; ++i) Step();  // B .. Semifinais
  EXPECT_EQ(Form().lblJogo01[1].Caption, "Zelvaro 1 (4) x (2) 1 Holanda");
  Step();
  EXPECT_EQ(Form().lblGrupo.Caption, kThird);
  EXPECT_EQ(Form().lblJogo01[1].Caption,
            "Holanda 1 x 2 Cro\xE1"
            "cia");
  Step();
  EXPECT_EQ(Form().lblJogo01Dia[3].Caption, "12/07 21:00 - Saint-Denis");
  EXPECT_EQ(Form().lblJogo01[3].Caption,
            "Zelvaro 0 x 3 Fran\xE7"
            "a");
}

// Catches a key missing or misspelt in the shipped file: every row a page fills has
// both texts, written as "<team> <goals> x <goals> <team>".
TEST_F(MatchTableScene, SampleTableFillsEveryRowEveryPageReads) {
  InstallTable(QM_SOURCE_DIR "/data/tabela.ini");
  Start();
  for (int step = 0; step < 14; ++step) {
    Step();
    for (size_t row = 0; row < 6; ++row) {
      SCOPED_TRACE("page " + std::to_string(step) + " row " + std::to_string(row));
      const bool filled = !kPages[static_cast<size_t>(step)].Matches[row].empty();
      const std::string& match = Form().lblJogo01[row].Caption;
      const std::string& day = Form().lblJogo01Dia[row].Caption;
      EXPECT_EQ(!match.empty(), filled);
      EXPECT_EQ(!day.empty(), filled);
      if (!filled) continue;
      EXPECT_NE(match.find(" x "), std::string::npos) << match;
      EXPECT_EQ(day.find("Brasil"), std::string::npos);
      EXPECT_EQ(match.find("Brasil"), std::string::npos);
      // "dd/mm hh:mm - City"
      ASSERT_GE(day.size(), 15u) << day;
      EXPECT_EQ(day[2], '/');
      EXPECT_EQ(day[8], ':');
      EXPECT_EQ(day.substr(11, 3), " - ");
      EXPECT_EQ(match.find('\r'), std::string::npos);
    }
  }
}

TEST_F(MatchTableScene, AnEditShowsWhenItsPageComesRound) {
  InstallTable(kData / "every-key.ini");
  Start();
  Step();
  EXPECT_EQ(Form().lblJogo01[2].Caption, "A jogo 3");
  TempFolders::Write(folders.ProgramFolder() / "tabela.ini",
                     "[A]\r\nJOGO03=Zelvaro 9 x 0 Jap\xE3o\r\nJOGO03DIA=hoje\r\n");
  for (int i = 0; i < 13; ++i) Step();
  EXPECT_EQ(Form().lblGrupo.Caption, "Final");
  EXPECT_EQ(Form().lblJogo01[3].Caption, "");  // the new file has no Final
  Step();
  EXPECT_EQ(Form().lblGrupo.Caption, "A");
  EXPECT_EQ(Form().lblJogo01[2].Caption, "Zelvaro 9 x 0 Jap\xE3o");
  EXPECT_EQ(Form().lblJogo01Dia[2].Caption, "hoje");
  EXPECT_EQ(Form().lblJogo01[0].Caption, "");
}

TEST_F(MatchTableScene, ALongValueShowsItsFirst254Characters) {
  std::string longValue;
  for (int i = 0; i < 300; ++i) longValue += static_cast<char>('a' + i % 26);
  TempFolders::Write(
      folders.ProgramFolder() / "tabela.ini",
      "[A]\r\nJOGO01=" + longValue + "\r\nJOGO01DIA=" + longValue.substr(0, 254) + "\r\n");
  Start();
  Step();
  EXPECT_EQ(Form().lblJogo01[0].Caption, longValue.substr(0, 254));
  EXPECT_EQ(Form().lblJogo01Dia[0].Caption, longValue.substr(0, 254));
}

// The panel (202 x 250 as designed) lands at floor((W - w - 70) * r) + 70 on each axis.
TEST_F(MatchTableScene, PanelPlacementFollowsTheDrawsWithA70PixelMargin) {
  std::deque<float> draws = {0.0f, 0.0f, 0.5f, 0.5f, 0.999999f, 0.999999f};
  SetRandomSourceForTesting([&draws] {
    const float r = draws.empty() ? 0.0f : draws.front();
    if (!draws.empty()) draws.pop_front();
    return r;
  });
  Start(800, 600);
  ASSERT_EQ(Form().picTabela.Width, 202);
  ASSERT_EQ(Form().picTabela.Height, 250);
  Step();
  EXPECT_EQ(Form().picTabela.Left, 70);
  EXPECT_EQ(Form().picTabela.Top, 70);
  Step();  // (800-202-70) * 0.5 = 264, (600-250-70) * 0.5 = 140
  EXPECT_EQ(Form().picTabela.Left, 334);
  EXPECT_EQ(Form().picTabela.Top, 210);
  Step();  // floor(527.9995) = 527, floor(279.9997) = 279: the far edges touch the window's
  EXPECT_EQ(Form().picTabela.Left, 597);
  EXPECT_EQ(Form().picTabela.Top, 349);
  EXPECT_TRUE(draws.empty()) << "each full-screen step draws two numbers";
}

// A window smaller than the panel plus its margin: the negative product is floored,
// not truncated, so the panel may reach past the window's edge.
TEST_F(MatchTableScene, SmallWindowFloorsTheNegativeOffset) {
  SetRandomSourceForTesting([] { return 0.25f; });
  Start(250, 300);
  Step();  // (250-272) * 0.25 = -5.5 -> -6; (300-320) * 0.25 = -5 exactly
  EXPECT_EQ(Form().picTabela.Left, 64);
  EXPECT_EQ(Form().picTabela.Top, 65);
}

TEST_F(MatchTableScene, PreviewMovesOnlyTheEmblemAndKeepsThePage) {
  InstallTable(kData / "every-key.ini");
  std::deque<float> draws = {0.5f, 0.25f, 0.99f, 0.0f};
  SetRandomSourceForTesting([&draws] {
    const float r = draws.empty() ? 0.0f : draws.front();
    if (!draws.empty()) draws.pop_front();
    return r;
  });
  Start(152, 112, true);
  ASSERT_EQ(Form().lblJogo01[0].Caption, "Jogo 01");  // as designed
  Step();  // (152-50) * 0.5 = 51, (112-62) * 0.25 = 12.5 -> 12
  EXPECT_TRUE(Form().Image1.Visible);
  EXPECT_EQ(Form().Image1.Left, 51);
  EXPECT_EQ(Form().Image1.Top, 12);
  Step();  // (102) * 0.99 = 100.98 -> 100, 0
  EXPECT_EQ(Form().Image1.Left, 100);
  EXPECT_EQ(Form().Image1.Top, 0);
  EXPECT_FALSE(Form().picTabela.Visible);
  EXPECT_EQ(Form().TablePage, 0);
  EXPECT_EQ(Form().TableSection, "");
  EXPECT_EQ(Form().lblJogo01[0].Caption, "Jogo 01");

  // Preview steps did not advance the cycle: the first full-screen step shows group A.
  RunMode = kRunModeFullScreen;
  Step();
  EXPECT_EQ(Form().lblGrupo.Caption, "A");
  EXPECT_EQ(Form().lblJogo01[0].Caption, "A jogo 1");
}

// The composed frame shows the page's panel where the control says it is.
TEST_F(MatchTableScene, FrameShowsThePanelAtItsPlace) {
  SetRandomSourceForTesting([] { return 0.5f; });
  Start(800, 600);
  Step();
  Step();  // group B: cell 1, at (334, 210)
  const Picture& frame = runner->Frame();
  // Spots no title, label or separator covers.
  EXPECT_EQ(frame.At(334 + 150, 210 + 2), PanelColour(1));
  EXPECT_EQ(frame.At(334 + 5, 210 + 245), PanelColour(1));
  EXPECT_EQ(frame.At(334 - 1, 210 + 2), Pixel{0});
  EXPECT_EQ(frame.At(334 + 150, 210 - 1), Pixel{0});
}

}  // namespace
}  // namespace qm::testing
