// The five scene settings dialogs (frmBolas, frmTacas, frmSS03, frmSS04, frmSS05) as one
// model driven by a table: each dialog binds one or two sliders to numeric settings,
// echoes each slider's position in a value label, stores every setting at Ok and nothing
// at Cancel. A host renders the table's layout, forwards slider moves and button clicks,
// and closes its window once IsClosed() is true.
#pragma once

#include <string>
#include <vector>

#include "setup/FormLayout.h"

namespace qm {

enum class SceneDialogId { Bolas, Tacas, SS03, SS04, SS05 };

struct SliderBinding {
  std::string SliderName;  // "Slider1(0)" or "Slider1": a Slider item of the layout
  std::string LabelName;   // its value label: "Label2(0)" or "Label2"
  std::string* Setting;    // the process-wide setting text it edits (Settings.h)
  int Min;
  int Max;
};

struct SceneDialogDesign {
  SceneDialogId Id;
  FormLayout Layout;
  std::vector<SliderBinding> Sliders;  // in index order
};

// The design of each dialog; built on first use and kept for the whole run.
const SceneDialogDesign& SceneDialogDesignFor(SceneDialogId id);
// The dialog the setup dialog's "+" button `index` (0 to 4) opens; Bolas outside 0..4.
SceneDialogId SceneDialogForScene(int index);

class SceneDialog {
 public:
  explicit SceneDialog(SceneDialogId id);

  const SceneDialogDesign& Design() const { return *design_; }
  int SliderCount() const { return static_cast<int>(design_->Sliders.size()); }

  // Loads every setting from the store and sets each slider from its setting's integer
  // value (leading number, halves to even), clamped to the slider's range.
  void Form_Load();

  // Moves slider `index` (by code or by the user), clamped to its range; raises
  // Slider1_Change only when the position changes. Bad indices are ignored.
  void SetSliderValue(int index, int value);
  void Slider1_Change(int index);
  void Slider1_MouseMove(int index);

  // Ok: writes each slider's position into its setting as plain decimal text and stores
  // all settings; then the dialog is closed. Cancel closes without storing.
  void Command1_Click();
  void Command2_Click();

  int SliderValue(int index) const;
  const std::string& ValueLabel(int index) const;
  bool IsClosed() const { return closed_; }

 private:
  bool ValidIndex(int index) const { return index >= 0 && index < SliderCount(); }

  const SceneDialogDesign* design_;
  std::vector<int> positions_;
  std::vector<std::string> labels_;
  bool closed_ = false;
};

}  // namespace qm
