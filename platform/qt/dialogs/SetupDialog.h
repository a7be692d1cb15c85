// The Qt view of the setup dialog over the SetupForm model: scene options with the
// preview box, trophy boxes, mouse and screens options, "+" buttons opening the scene
// dialogs and About opening the About box (both modal). Enter is OK; Esc opens About.
// The arrow keys move through the scene options in tab order, selecting each as it
// gets the focus, as in a Windows option group.
#pragma once

#include <array>

#include "qt/dialogs/LayoutDialog.h"
#include "setup/SetupForm.h"

class QCheckBox;
class QLabel;
class QRadioButton;

namespace qm::qt {

class SetupDialog : public LayoutDialog, public SetupDialogHost {
 public:
  // Loads the model (Form_Load) and shows its state.
  explicit SetupDialog(QWidget* parent = nullptr);

  SetupForm& Model() { return model_; }

  // SetupDialogHost: run the dialog modally over this one.
  void ShowSceneDialog(SceneDialogId id) override;
  void ShowAbout() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Sync();
  // The option `steps` places on from option `from` in tab order, round the group.
  int OptionAfter(int from, int steps) const;
  void CloseWhenDone();

  SetupForm model_;
  std::array<QRadioButton*, 5> options_{};
  std::array<QCheckBox*, 2> trophies_{};
  QCheckBox* mouse_ = nullptr;
  QCheckBox* screens_ = nullptr;
};

}  // namespace qm::qt
