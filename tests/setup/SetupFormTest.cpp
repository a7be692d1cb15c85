#include <functional>
#include <string>
#include <vector>

#include "../app/WatchedRegistry.h"
#include "SetupTestEnv.h"
#include "app/Settings.h"
#include "setup/SetupForm.h"
#include "setup/TelasWin95.h"

namespace qm::testing {
namespace {

// Records what the setup dialog asks to show; runs a scene dialog's Ok when told to.
class RecordingDialogs : public SetupDialogHost {
 public:
  void ShowSceneDialog(SceneDialogId id) override {
    shown.push_back(id);
    if (onScene) onScene(id);
  }
  void ShowAbout() override { ++abouts; }
  std::vector<SceneDialogId> shown;
  int abouts = 0;
  std::function<void(SceneDialogId)> onScene;
};

class SetupFormTest : public SetupWorld {
 protected:
  void TearDown() override {
    WindowsFolder = "\\";
    SetupWorld::TearDown();
  }
  SetupForm Loaded() {
    SetupForm form(&dialogs);
    form.Form_Load();
    return form;
  }
  RecordingDialogs dialogs;
};

TEST_F(SetupFormTest, EmptyStoreOpensOnFlyingBallsWithTheWorldCupTrophy) {
  SetupForm form = Loaded();  // Saver "1", TrofeusTipo "2"
  EXPECT_EQ(form.SelectedOption(), 0);
  EXPECT_EQ(form.VisiblePreview(), 0);
  EXPECT_FALSE(form.Check1Value(0));
  EXPECT_TRUE(form.Check1Value(1));
  EXPECT_FALSE(form.Check2Value());
  EXPECT_FALSE(form.Check3Value());
  EXPECT_EQ(WindowsFolder, "\\");
  for (int index : {0, 1, 2, 3, 4, 21, 22}) {
    const auto place = form.PreviewPlacement(index);
    EXPECT_EQ(place.Left, 0);
    EXPECT_EQ(place.Top, 0);
    EXPECT_EQ(place.Width, 1560);  // Picture1's size: the preview fills the box
    EXPECT_EQ(place.Height, 3380);
  }
}

TEST_F(SetupFormTest, WindowsFolderComesFromTheSetupKey) {
  registry.Set(Hive::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Setup", "Windir",
               RegValue{kRegSz, "C:\\WINDOWS"});
  Loaded();
  EXPECT_EQ(WindowsFolder, "C:\\WINDOWS\\");
}

// The 22 settings and the Windows folder are read within one hold of the store: one
// reading of a settings file.
TEST_F(SetupFormTest, LoadReadsTheStoreWithinOneHold) {
  WatchedRegistry watched;
  SetRegistry(&watched);
  Loaded();
  EXPECT_EQ(watched.held, 23);
  EXPECT_EQ(watched.unheld, 0);
  EXPECT_EQ(watched.Holds(), 0);
}

TEST_F(SetupFormTest, StoredChoicesSetTheControls) {
  Store("Saver", "4");
  Store("Mouse", "1");
  Store("Tela", " 1");
  SetupForm form = Loaded();
  EXPECT_EQ(form.SelectedOption(), 3);
  EXPECT_EQ(form.VisiblePreview(), 3);
  EXPECT_TRUE(form.Check2Value());
  EXPECT_TRUE(form.Check3Value());

  Store("Mouse", "no");  // no number reads as 0
  Store("Tela", "0.5");  // a half rounds to the even neighbour, 0
  form = Loaded();
  EXPECT_FALSE(form.Check2Value());
  EXPECT_FALSE(form.Check3Value());
}

// The scene is the rounded leading number of "Saver" (1 to 5, else Flying Balls); the
// trophy boxes follow "TrofeusTipo" whatever the scene, and only Flying Trophy shows
// a preview chosen by them.
TEST_F(SetupFormTest, StoredSceneAndTrophyChoiceSetOptionBoxesAndPreview) {
  const struct {
    const char *saver, *tipo;
    int option;
    bool jules, worldCup;
    int preview;
  } cases[] = {{" 3", "0", 2, true, true, 2},
               {"2.5", "0", 1, true, true, 1},
               {"3.5", "0", 3, true, true, 3},
               {"5xyz", "0", 4, true, true, 4},
               // outside 1..5 or no number: Flying Balls
               {"0", "0", 0, true, true, 0},
               {"6", "0", 0, true, true, 0},
               {"-2", "0", 0, true, true, 0},
               // beyond int32: the subtraction must not overflow
               {"-3000000000", "0", 0, true, true, 0},
               {"1e400", "0", 0, true, true, 0},
               {"abc", "0", 0, true, true, 0},
               {" ", "0", 0, true, true, 0},
               // Flying Trophy: both trophies, Jules Rimet only, World Cup only
               {"2", "0", 1, true, true, 1},
               {"2", "1", 1, true, false, 21},
               {"2", "2", 1, false, true, 22},
               {"2", "3", 1, true, true, 1},
               {"2", " 1", 1, true, true, 1},
               {"2", "", 1, false, true, 22},  // empty loads as the default "2"
               // a single trophy does not leave Flying Trophy selected
               {"1", "1", 0, true, false, 0},
               {"5", "2", 4, false, true, 4}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string("Saver \"") + c.saver + "\", TrofeusTipo \"" + c.tipo + "\"");
    Store("Saver", c.saver);
    Store("TrofeusTipo", c.tipo);
    SetupForm form = Loaded();
    EXPECT_EQ(form.SelectedOption(), c.option);
    EXPECT_EQ(form.Check1Value(0), c.jules);
    EXPECT_EQ(form.Check1Value(1), c.worldCup);
    EXPECT_EQ(form.VisiblePreview(), c.preview);
  }
}

TEST_F(SetupFormTest, LastTrophyBoxCannotBeUnchecked) {
  Store("Saver", "3");
  Store("TrofeusTipo", "2");
  SetupForm form = Loaded();
  ASSERT_EQ(form.SelectedOption(), 2);
  form.ClickCheck1(1);  // World Cup is the only checked box
  EXPECT_TRUE(form.Check1Value(1));
  EXPECT_FALSE(form.Check1Value(0));
  EXPECT_EQ(form.SelectedOption(), 1);
  EXPECT_EQ(form.VisiblePreview(), 22);

  // Flying Trophy already selected: the box just cleared is checked again.
  Store("Saver", "2");
  Store("TrofeusTipo", "1");
  form = Loaded();
  form.ClickCheck1(0);
  EXPECT_TRUE(form.Check1Value(0));
  EXPECT_FALSE(form.Check1Value(1));
  EXPECT_EQ(form.VisiblePreview(), 21);

  // Another scene selected: switching to Flying Trophy with no box checked checks
  // "World Cup" first, so the cleared box stays clear.
  Store("Saver", "5");
  form = Loaded();
  form.ClickCheck1(0);
  EXPECT_FALSE(form.Check1Value(0));
  EXPECT_TRUE(form.Check1Value(1));
  EXPECT_EQ(form.SelectedOption(), 1);
  EXPECT_EQ(form.VisiblePreview(), 22);
}

TEST_F(SetupFormTest, TrophyClickSwitchesToFlyingTrophy) {
  Store("Saver", "4");
  Store("TrofeusTipo", "0");
  SetupForm form = Loaded();
  form.ClickCheck1(0);  // uncheck Jules Rimet
  EXPECT_EQ(form.SelectedOption(), 1);
  EXPECT_EQ(form.VisiblePreview(), 22);
  form.ClickCheck1(0);  // and back
  EXPECT_EQ(form.VisiblePreview(), 1);
  form.ClickCheck1(1);
  EXPECT_EQ(form.VisiblePreview(), 21);
  form.ClickOption1(2);
  EXPECT_EQ(form.VisiblePreview(), 2);
  form.ClickOption1(1);
  EXPECT_EQ(form.VisiblePreview(), 21);
}

TEST_F(SetupFormTest, ExactlyOnePreviewIsVisible) {
  SetupForm form = Loaded();
  for (int option : {1, 4, 0, 3, 2, 1}) {
    form.ClickOption1(option);
    int visible = 0;
    for (int index : {0, 1, 2, 3, 4, 21, 22}) visible += form.PreviewVisible(index) ? 1 : 0;
    EXPECT_EQ(visible, 1) << "after option " << option;
  }
}

TEST_F(SetupFormTest, OkWritesTheChoicesAndStoresAll) {
  Store("TrofeusTipo", "0");
  SetupForm form = Loaded();
  form.ClickOption1(3);
  form.SetCheck2(true);
  form.ClickCheck1(0);  // World Cup only; selects Flying Trophy
  form.ClickOption1(4);
  form.cmdOK_Click();
  EXPECT_TRUE(form.IsClosed());
  EXPECT_EQ(Stored("Saver"), "5");
  EXPECT_EQ(Stored("Mouse"), "1");
  EXPECT_EQ(Stored("TrofeusTipo"), "2");
  EXPECT_EQ(Stored("Tela"), " 0");
  EXPECT_EQ(Stored("BolasNum"), "4");  // everything else stored with its loaded value
  EXPECT_EQ(Stored("SpriteCount"), "8");

  form = Loaded();
  form.SetCheck2(false);
  form.cmdOK_Click();
  EXPECT_EQ(Stored("Mouse"), "0");
  EXPECT_EQ(Stored("TrofeusTipo"), "2");

  form = Loaded();
  form.ClickCheck1(0);  // both trophies
  form.cmdOK_Click();
  EXPECT_EQ(Stored("TrofeusTipo"), "0");
  form = Loaded();
  form.ClickCheck1(1);  // Jules Rimet only
  form.cmdOK_Click();
  EXPECT_EQ(Stored("TrofeusTipo"), "1");
}

TEST_F(SetupFormTest, FirstOkWithScreensOffRestoresOnceAndStoresBlankZero) {
  WriteFile("logo.sys", "themed");
  WriteFile("logo.kz2", "saved");
  SetupForm form = Loaded();
  form.cmdOK_Click();
  EXPECT_EQ(ReadFile("logo.sys"), "saved");
  EXPECT_EQ(Stored("Tela"), " 0");

  WriteFile("logo.kz2", "saved later");
  form = Loaded();
  form.cmdOK_Click();  // " 0" again: the installer does not run
  EXPECT_EQ(ReadFile("logo.sys"), "saved");
  EXPECT_EQ(Stored("Tela"), " 0");
}

TEST_F(SetupFormTest, CheckingScreensInstallsThemedOnes) {
  Store("Tela", " 0");
  WriteFile("logo.sys", "plain");
  WriteFile("logo.kzt", "themed");
  SetupForm form = Loaded();
  form.SetCheck3(true);
  form.cmdOK_Click();
  EXPECT_EQ(ReadFile("logo.sys"), "themed");
  EXPECT_EQ(ReadFile("logo.kz2"), "plain");
  EXPECT_EQ(Stored("Tela"), " 1");
}

TEST_F(SetupFormTest, CancelKeepsSceneDialogValuesButNotPendingChoices) {
  Store("Saver", "2");
  dialogs.onScene = [](SceneDialogId id) {
    SceneDialog dialog(id);
    dialog.Form_Load();
    dialog.SetSliderValue(0, 12);
    dialog.Command1_Click();
  };
  SetupForm form = Loaded();
  form.ClickOption1(0);
  form.SetCheck2(true);
  form.SetCheck3(true);
  form.Command1_Click(0);
  ASSERT_EQ(dialogs.shown, std::vector{SceneDialogId::Bolas});
  form.cmdCancel_Click();
  EXPECT_TRUE(form.IsClosed());
  EXPECT_EQ(Stored("BolasNum"), "12");
  EXPECT_EQ(Stored("Saver"), "2");
  EXPECT_EQ(Stored("Mouse"), "0");
  EXPECT_EQ(Stored("Tela"), "0");
}

TEST_F(SetupFormTest, PlusButtonsOpenTheirSceneDialogsAndAboutTheAboutBox) {
  SetupForm form = Loaded();
  for (int i = 4; i >= 0; --i) form.Command1_Click(i);
  using enum SceneDialogId;
  EXPECT_EQ(dialogs.shown, (std::vector{SS05, SS04, SS03, Tacas, Bolas}));
  form.cmbAbout_Click();
  EXPECT_EQ(dialogs.abouts, 1);
  EXPECT_FALSE(form.IsClosed());
}

}  // namespace
}  // namespace qm::testing
