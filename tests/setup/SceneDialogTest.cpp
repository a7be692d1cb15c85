#include "SetupTestEnv.h"
#include "app/Settings.h"
#include "setup/SceneDialog.h"

namespace qm::testing {
namespace {

using SceneDialogTest = SetupWorld;

TEST_F(SceneDialogTest, DefaultsShowInTheLabels) {
  const struct {
    SceneDialogId id;
    std::vector<std::string> labels;
  } cases[] = {{SceneDialogId::Bolas, {"4", "6"}},
               {SceneDialogId::Tacas, {"4", "5"}},
               {SceneDialogId::SS03, {"1"}},
               {SceneDialogId::SS04, {"3"}},
               {SceneDialogId::SS05, {"4"}}};
  for (const auto& c : cases) {
    SceneDialog dialog(c.id);
    dialog.Form_Load();
    ASSERT_EQ(dialog.SliderCount(), static_cast<int>(c.labels.size()));
    for (size_t i = 0; i < c.labels.size(); ++i) {
      EXPECT_EQ(dialog.ValueLabel(static_cast<int>(i)), c.labels[i]) << dialog.Design().Layout.Name;
      EXPECT_EQ(std::to_string(dialog.SliderValue(static_cast<int>(i))), c.labels[i]);
    }
  }
}

// A slider opens at its stored value, read as a leading number with halves going to the
// even neighbour, or at the nearer end of its range; its label follows, even when the
// value is the slider's minimum, where the slider itself does not move.
TEST_F(SceneDialogTest, OpensAtTheStoredValueOrTheNearestEnd) {
  const struct {
    SceneDialogId id;
    const char* setting;
    const char* stored;
    int slider;
    int value;
  } cases[] = {{SceneDialogId::SS04, "SS04Vel", "3", 0, 3},
               {SceneDialogId::Bolas, "BolasNum", "12.5", 0, 12},
               {SceneDialogId::Tacas, "TrofeusNum", "13.5", 0, 14},
               {SceneDialogId::Bolas, "BolasVel", "9 fast", 1, 9},
               {SceneDialogId::Tacas, "TrofeusVel", "1", 1, 1},
               {SceneDialogId::Bolas, "BolasNum", "50", 0, 20},
               {SceneDialogId::Bolas, "BolasNum", "0", 0, 1},
               {SceneDialogId::Tacas, "TrofeusNum", "18", 0, 15},
               {SceneDialogId::Tacas, "TrofeusNum", "-3", 0, 1},
               {SceneDialogId::SS03, "SS03Vel", "31", 0, 30},
               {SceneDialogId::SS04, "SS04Vel", "2", 0, 3},
               {SceneDialogId::SS05, "SS05Vel", "abc", 0, 3}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.setting) + "=" + c.stored);
    Store(c.setting, c.stored);
    SceneDialog dialog(c.id);
    dialog.Form_Load();
    EXPECT_EQ(dialog.SliderValue(c.slider), c.value);
    EXPECT_EQ(dialog.ValueLabel(c.slider), std::to_string(c.value));
  }
}

TEST_F(SceneDialogTest, MovingTheSliderUpdatesItsLabelWithinTheRange) {
  SceneDialog tacas(SceneDialogId::Tacas);
  tacas.Form_Load();
  tacas.SetSliderValue(0, 11);
  EXPECT_EQ(tacas.ValueLabel(0), "11");
  tacas.SetSliderValue(0, 99);
  EXPECT_EQ(tacas.ValueLabel(0), "15");
  tacas.SetSliderValue(1, 99);
  EXPECT_EQ(tacas.ValueLabel(1), "20");
  tacas.SetSliderValue(1, -4);
  EXPECT_EQ(tacas.ValueLabel(1), "1");
  EXPECT_EQ(tacas.ValueLabel(0), "15");
}

TEST_F(SceneDialogTest, ALabelOutOfStepWithItsSliderCatchesUpWhenTheMouseMoves) {
  // Before loading, the label shows its design text, "7", and the slider sits at its
  // minimum, 1.
  SceneDialog ss03(SceneDialogId::SS03);
  ASSERT_EQ(ss03.ValueLabel(0), "7");
  ss03.Slider1_MouseMove(0);
  EXPECT_EQ(ss03.ValueLabel(0), "1");
}

TEST_F(SceneDialogTest, OkRewritesPlainDecimalsAndStoresEverything) {
  Store("SS03Vel", "07");
  Store("Email", "someone@example.org");
  SceneDialog ss03(SceneDialogId::SS03);
  ss03.Form_Load();
  ss03.Command1_Click();
  EXPECT_TRUE(ss03.IsClosed());
  EXPECT_EQ(Stored("SS03Vel"), "7");
  EXPECT_EQ(Stored("Email"), "someone@example.org");
  EXPECT_EQ(Stored("SS04Vel"), "3");
  EXPECT_EQ(Stored("SpriteSize"), "25");
}

TEST_F(SceneDialogTest, OkStoresMovedSlidersIntoTheirOwnSettings) {
  SceneDialog bolas(SceneDialogId::Bolas);
  bolas.Form_Load();
  bolas.SetSliderValue(0, 17);
  bolas.SetSliderValue(1, 2);
  bolas.Command1_Click();
  EXPECT_EQ(Stored("BolasNum"), "17");
  EXPECT_EQ(Stored("BolasVel"), "2");
  EXPECT_EQ(Stored("TrofeusNum"), "4");
  EXPECT_EQ(BolasNum, "17");
}

TEST_F(SceneDialogTest, CancelStoresNothingAndTheNextOpeningShowsTheStoredValue) {
  Store("SS05Vel", "9");
  SceneDialog first(SceneDialogId::SS05);
  first.Form_Load();
  first.SetSliderValue(0, 25);
  first.Command2_Click();
  EXPECT_TRUE(first.IsClosed());
  EXPECT_EQ(Stored("SS05Vel"), "9");
  EXPECT_FALSE(Stored("Saver").has_value());
  SceneDialog second(SceneDialogId::SS05);
  second.Form_Load();
  EXPECT_EQ(second.ValueLabel(0), "9");
}

}  // namespace
}  // namespace qm::testing
