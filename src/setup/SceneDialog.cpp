#include "setup/SceneDialog.h"

#include <algorithm>
#include <array>

#include "app/NumericText.h"
#include "app/Settings.h"

namespace qm {
namespace {

constexpr Pixel kGrey = Rgb(128, 128, 128);
constexpr Pixel kWhite = Rgb(255, 255, 255);

LayoutItem Item(std::string name, ControlKind kind, std::string container, std::string caption,
                int left, int top, int width, int height, int tab) {
  return MakeLayoutItem(std::move(name), kind, std::move(container), std::move(caption), left, top,
                        width, height, tab, SansSerif(false));
}

FormLayout BaseLayout(std::string name, std::string caption, int width, int height) {
  FormLayout layout;
  layout.Name = std::move(name);
  layout.Caption = std::move(caption);
  layout.ClientWidth = width;
  layout.ClientHeight = height;
  layout.DialogFont = SansSerif(false);
  return layout;
}

// frmBolas and frmTacas: a count ("Density") and a speed ("Warp Speed").
SceneDialogDesign TwoSliderDialog(SceneDialogId id, std::string name, std::string caption,
                                  std::string* count, int countMax, std::string* speed,
                                  int warpLabelHeight) {
  SceneDialogDesign design{id, BaseLayout(std::move(name), std::move(caption), 4680, 3195), {}};
  auto& items = design.Layout.Items;
  const auto K = ControlKind::Label;
  items.push_back(Item("Label1(0)", K, "", "Density", 240, 480, 855, 255, 1));
  items.push_back(Item("Slider1(0)", ControlKind::Slider, "", "", 1320, 420, 2355, 435, 0));
  items.push_back(Item("Label2(0)", K, "", "1", 3840, 420, 495, 315, 4));
  items.push_back(Item("Label1(1)", K, "", "Warp Speed", 180, 1080, 1035, warpLabelHeight, 7));
  items.push_back(Item("Slider1(1)", ControlKind::Slider, "", "", 1320, 1020, 2355, 435, 5));
  items.push_back(Item("Label2(1)", K, "", "1", 3840, 1020, 495, 315, 6));
  items.push_back(Item("Command1", ControlKind::Button, "", "Ok", 660, 2580, 1275, 435, 2));
  items.back().IsDefault = true;  // Enter on a slider means Ok, as people expect
  items.push_back(Item("Command2", ControlKind::Button, "", "Cancel", 2820, 2580, 1275, 435, 3));
  items.back().IsCancel = true;  // and Esc means Cancel
  design.Layout.Lines = {{60, 2400, 4620, 2400, kGrey, 1}, {60, 2410, 4620, 2410, kWhite, 1}};
  design.Sliders = {{"Slider1(0)", "Label2(0)", count, 1, countMax},
                    {"Slider1(1)", "Label2(1)", speed, 1, 20}};
  return design;
}

// frmSS03 to frmSS05: seconds per step of a picture scene.
SceneDialogDesign OneSliderDialog(SceneDialogId id, std::string name, std::string caption,
                                  std::string* seconds, int min) {
  SceneDialogDesign design{id, BaseLayout(std::move(name), std::move(caption), 3720, 2430), {}};
  auto& items = design.Layout.Items;
  Font small;
  small.Name = "Arial";
  small.SizePt = 6.75f;
  items.push_back(
      Item("Frame1", ControlKind::Frame, "", "Frame rate (in seconds)", 120, 120, 3495, 1455, 2));
  items.push_back(Item("Label2", ControlKind::Label, "Frame1", "7", 1440, 360, 495, 255, 4));
  items.push_back(Item("Slider1", ControlKind::Slider, "Frame1", "", 480, 660, 2355, 435, 3));
  items.push_back(
      Item("Label1(0)", ControlKind::Label, "Frame1", std::to_string(min), 480, 1080, 315, 195, 5));
  items.back().TextFont = small;
  items.push_back(Item("Label1(1)", ControlKind::Label, "Frame1", "30", 2520, 1080, 315, 195, 6));
  items.back().TextFont = small;
  items.push_back(Item("Command1", ControlKind::Button, "", "Ok", 120, 1920, 1275, 435, 0));
  items.back().IsDefault = true;
  items.push_back(Item("Command2", ControlKind::Button, "", "Cancel", 2340, 1920, 1275, 435, 1));
  items.back().IsCancel = true;
  design.Layout.Lines = {{60, 1740, 3680, 1740, kGrey, 1}, {60, 1755, 3680, 1755, kWhite, 1}};
  design.Sliders = {{"Slider1", "Label2", seconds, min, 30}};
  return design;
}

const std::array<SceneDialogDesign, 5>& Designs() {
  static const std::array<SceneDialogDesign, 5> designs = {
      TwoSliderDialog(SceneDialogId::Bolas, "frmBolas", "Flying Balls - Settings", &BolasNum, 20,
                      &BolasVel, 255),
      TwoSliderDialog(SceneDialogId::Tacas, "frmTacas", "Flying Trophy - Settings", &TrofeusNum, 15,
                      &TrofeusVel, 375),
      OneSliderDialog(SceneDialogId::SS03, "frmSS03", "Past Wrld Cups - Settings", &SS03Vel, 1),
      OneSliderDialog(SceneDialogId::SS04, "frmSS04", "Zelvaro Chapion -Settings", &SS04Vel, 3),
      OneSliderDialog(SceneDialogId::SS05, "frmSS05", "World Cup'98 - Settings", &SS05Vel, 3),
  };
  return designs;
}

}  // namespace

const SceneDialogDesign& SceneDialogDesignFor(SceneDialogId id) {
  return Designs()[static_cast<size_t>(id)];
}

SceneDialogId SceneDialogForScene(int index) {
  if (index < 0 || index > 4) return SceneDialogId::Bolas;
  return static_cast<SceneDialogId>(index);
}

SceneDialog::SceneDialog(SceneDialogId id) : design_(&SceneDialogDesignFor(id)) {
  for (const SliderBinding& binding : design_->Sliders) {
    positions_.push_back(binding.Min);
    labels_.push_back(design_->Layout.Find(binding.LabelName)->Caption);
  }
}

void SceneDialog::Form_Load() {
  LoadSettings();
  for (int i = 0; i < SliderCount(); ++i) {
    SetSliderValue(i, RoundToInt32(LeadingNumber(*design_->Sliders[i].Setting)));
  }
  labels_[0] = std::to_string(positions_[0]);
}

void SceneDialog::SetSliderValue(int index, int value) {
  if (!ValidIndex(index)) return;
  const SliderBinding& binding = design_->Sliders[index];
  const int clamped = std::clamp(value, binding.Min, binding.Max);
  if (clamped == positions_[index]) return;
  positions_[index] = clamped;
  Slider1_Change(index);
}

void SceneDialog::Slider1_Change(int index) {
  if (ValidIndex(index)) labels_[index] = std::to_string(positions_[index]);
}

void SceneDialog::Slider1_MouseMove(int index) {
  if (ValidIndex(index)) labels_[index] = std::to_string(positions_[index]);
}

void SceneDialog::Command1_Click() {
  for (int i = 0; i < SliderCount(); ++i) {
    *design_->Sliders[i].Setting = std::to_string(positions_[i]);
  }
  SaveSettings();
  closed_ = true;
}

void SceneDialog::Command2_Click() {
  closed_ = true;
}

int SceneDialog::SliderValue(int index) const {
  return ValidIndex(index) ? positions_[index] : 0;
}

const std::string& SceneDialog::ValueLabel(int index) const {
  static const std::string none;
  return ValidIndex(index) ? labels_[index] : none;
}

}  // namespace qm
