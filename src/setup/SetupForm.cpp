#include "setup/SetupForm.h"

#include "app/NumericText.h"
#include "app/Settings.h"
#include "setup/GetKeyValue.h"
#include "setup/TelasWin95.h"
#include "winsys/Registry.h"

namespace qm {
namespace {

constexpr int kPreviewWidth = 1500;  // twips; the pictures are 100 x 220 pixels
constexpr int kPreviewHeight = 3300;
constexpr int kBoxWidth = 1560;  // Picture1, the preview box, border included
constexpr int kBoxHeight = 3380;

LayoutItem Item(std::string name, ControlKind kind, std::string container, std::string caption,
                int left, int top, int width, int height, int tab) {
  // Buttons, frames and options carry the bold dialog font; boxes and labels regular.
  const bool bold = kind != ControlKind::CheckBox && kind != ControlKind::Label;
  return MakeLayoutItem(std::move(name), kind, std::move(container), std::move(caption), left, top,
                        width, height, tab, SansSerif(bold));
}

FormLayout BuildLayout() {
  using K = ControlKind;
  FormLayout layout;
  layout.Name = "SetupForm";
  layout.Caption = "Quillmark Desktop Theme - Screen Saver";
  layout.ClientWidth = 8865;
  layout.ClientHeight = 4575;
  layout.DialogFont = SansSerif(true);
  auto& items = layout.Items;
  items.push_back(Item("cmdOK", K::Button, "", "OK", 1740, 3840, 1515, 615, 0));
  items.back().IsDefault = true;
  items.push_back(Item("cmdCancel", K::Button, "", "Cancel", 5700, 3840, 1515, 615, 1));
  items.push_back(Item("cmbAbout", K::Button, "", "About", 3720, 3840, 1515, 615, 9));
  items.back().IsCancel = true;
  items.push_back(Item("Frame2", K::Frame, "", "Type", 1800, 60, 6975, 2715, 2));
  items.push_back(Item("Option1(0)", K::Option, "Frame2", "Flying Balls", 120, 360, 2175, 255, 13));
  items.push_back(Item("Option1(1)", K::Option, "Frame2", "Flying Trophy", 120, 960, 2175, 255, 3));
  items.push_back(Item("Check1(0)", K::CheckBox, "Frame2", "Jules Rimet", 840, 1260, 1455, 255, 4));
  items.back().Checked = true;
  items.push_back(Item("Check1(1)", K::CheckBox, "Frame2", "World Cup", 840, 1500, 1815, 255, 5));
  items.back().Checked = true;
  items.push_back(
      Item("Option1(2)", K::Option, "Frame2", "Past World Cups", 120, 1860, 2175, 255, 6));
  items.push_back(Item("Label1(0)", K::Label, "Frame2", "The Past World Cups 1930 - 1994", 480,
                       2160, 2655, 495, 10));
  items.push_back(
      Item("Option1(3)", K::Option, "Frame2", "Zelvaro World Champion", 3480, 360, 2595, 255, 7));
  items.push_back(Item("Label1(1)", K::Label, "Frame2", "", 3840, 660, 3015, 255, 11));
  items.push_back(
      Item("Option1(4)", K::Option, "Frame2", "World Cup'98 schedule", 3480, 960, 3015, 255, 8));
  items.push_back(Item("Label1(2)", K::Label, "Frame2",
                       "On line results of France'98 World Cup Games.", 3840, 1260, 2835, 855, 12));
  const int plusLeft[5] = {1980, 1980, 1980, 6180, 6180};
  const int plusTop[5] = {360, 960, 1860, 360, 960};
  for (int i = 0; i < 5; ++i) {
    items.push_back(Item("Command1(" + std::to_string(i) + ")", K::Button, "Frame2", "+",
                         plusLeft[i], plusTop[i], 255, 255, 17 + i));
  }
  items.push_back(Item("Frame1", K::Frame, "", "Mouse configuration", 1800, 2820, 2955, 735, 15));
  items.push_back(
      Item("Check2", K::CheckBox, "Frame1", "Disable mouse movement", 180, 360, 2415, 255, 16));
  items.push_back(
      Item("Frame3", K::Frame, "", "Startup and Shutdown screens", 4860, 2820, 3915, 735, 22));
  items.push_back(Item("Check3", K::CheckBox, "Frame3",
                       "Use Startup and Shutdown screens of theme.", 180, 360, 3615, 255, 23));
  items.push_back(Item("Picture1", K::PictureBox, "", "", 120, 180, kBoxWidth, kBoxHeight, 14));
  for (int index : SetupForm::kPreviewIndices) {
    items.push_back(Item("Image1(" + std::to_string(index) + ")", K::Image, "Picture1", "", 0, 0,
                         kPreviewWidth, kPreviewHeight, kNoTab));
    items.back().Visible = false;
  }
  layout.Lines = {{120, 3690, 8760, 3690, Rgb(255, 255, 255), 1},
                  {120, 3690, 8760, 3690, Rgb(128, 128, 128), 1}};
  return layout;
}

bool NonZero(const std::string& text) {
  return RoundToInt32(LeadingNumber(text)) != 0;
}

}  // namespace

const FormLayout& SetupForm::Layout() {
  static const FormLayout layout = BuildLayout();
  return layout;
}

void SetupForm::Form_Load() {
  std::string windir;
  {
    // The settings and the Windows folder come from one reading of the store.
    const HeldRegistryReads once;
    LoadSettings();
    GetKeyValue(Hive::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Setup", "Windir",
                windir);
  }
  WindowsFolder = windir + "\\";

  SetCheck2(NonZero(Mouse));
  SetCheck3(NonZero(Tela));

  // A number outside 1..5 (only a hand-edited store holds one) selects the first scene.
  const int32_t number = RoundToInt32(LeadingNumber(Saver));
  const int scene = number >= 1 && number <= 5 ? number - 1 : 0;
  SetOption1(scene);

  for (int index : kPreviewIndices) {
    previewPlace_[static_cast<size_t>(Slot(index))] = {0, 0, kBoxWidth, kBoxHeight};
  }

  const bool julesRimet = TrofeusTipo != "2";
  const bool worldCup = TrofeusTipo != "1";
  SetCheck1(0, julesRimet);
  SetCheck1(1, worldCup);

  SetOption1(scene);
}

void SetupForm::SetOption1(int index) {
  if (index < 0 || index > 4 || selected_ == index) return;
  selected_ = index;
  Option1_Click(index);
}

void SetupForm::SetCheck1(int index, bool checked) {
  if (index < 0 || index > 1 || check1_[index] == checked) return;
  check1_[index] = checked;
  Check1_Click(index);
}

void SetupForm::ClickCheck1(int index) {
  if (index < 0 || index > 1) return;
  SetCheck1(index, !check1_[index]);
}

void SetupForm::Option1_Click(int index) {
  ShowOnly(index);
  if (index != 1) return;
  if (!check1_[0] && !check1_[1]) {
    SetCheck1(1, true);
  } else {
    ShowTrophyPreview();
  }
}

void SetupForm::Check1_Click(int index) {
  SetOption1(1);
  if (check1_[0] || check1_[1]) {
    ShowTrophyPreview();
  } else {
    SetCheck1(index, true);
  }
}

void SetupForm::ShowTrophyPreview() {
  if (check1_[0] && check1_[1]) {
    ShowOnly(1);
  } else if (check1_[0]) {
    ShowOnly(21);
  } else if (check1_[1]) {
    ShowOnly(22);
  }
}

void SetupForm::Command1_Click(int index) {
  if (host_ && index >= 0 && index <= 4) host_->ShowSceneDialog(SceneDialogForScene(index));
}

void SetupForm::cmbAbout_Click() {
  if (host_) host_->ShowAbout();
}

void SetupForm::cmdOK_Click() {
  // Texts are constructed rather than assigned from literals: GCC 12 reports a false
  // -Wrestrict on assigning short literals to a std::string.
  Mouse = std::to_string(check2_ ? 1 : 0);
  const std::string screens(check3_ ? " 1" : " 0");
  if (screens != Tela) {
    TelasWin95(check3_ ? 1 : 0);
    Tela = screens;
  }
  const int tipo = (check1_[0] && check1_[1]) ? 0 : (check1_[0] ? 1 : 2);
  TrofeusTipo = std::to_string(tipo);
  Saver = std::to_string(selected_ < 0 ? 1 : selected_ + 1);
  SaveSettings();
  closed_ = true;
}

int SetupForm::Slot(int imageIndex) {
  for (size_t i = 0; i < kPreviewIndices.size(); ++i) {
    if (kPreviewIndices[i] == imageIndex) return static_cast<int>(i);
  }
  return -1;
}

void SetupForm::ShowOnly(int imageIndex) {
  previewVisible_.fill(false);
  const int slot = Slot(imageIndex);
  if (slot >= 0) previewVisible_[static_cast<size_t>(slot)] = true;
}

bool SetupForm::PreviewVisible(int imageIndex) const {
  const int slot = Slot(imageIndex);
  return slot >= 0 && previewVisible_[static_cast<size_t>(slot)];
}

int SetupForm::VisiblePreview() const {
  for (size_t i = 0; i < kPreviewIndices.size(); ++i) {
    if (previewVisible_[i]) return kPreviewIndices[i];
  }
  return -1;
}

SetupForm::PreviewPlace SetupForm::PreviewPlacement(int imageIndex) const {
  const int slot = Slot(imageIndex);
  return slot >= 0 ? previewPlace_[static_cast<size_t>(slot)] : PreviewPlace{};
}

}  // namespace qm
