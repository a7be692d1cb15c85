// The Qt view of a scene settings dialog (frmBolas ... frmSS05): sliders and their value
// labels over the SceneDialog model. Modal; the model stores the settings at Ok.
#pragma once

#include <vector>

#include "qt/dialogs/LayoutDialog.h"
#include "setup/SceneDialog.h"

class QLabel;
class QSlider;

namespace qm::qt {

class SceneSettingsDialog : public LayoutDialog {
 public:
  // Loads the settings into the model (Form_Load) and the sliders. Centred on `parent`.
  SceneSettingsDialog(SceneDialogId id, QWidget* parent);

  SceneDialog& Model() { return model_; }
  QSlider* Slider(int index) const;
  QLabel* ValueLabel(int index) const;

 private:
  void Sync();
  void CloseWhenDone();

  SceneDialog model_;
  std::vector<QSlider*> sliders_;
  std::vector<QLabel*> labels_;
};

}  // namespace qm::qt
