#include "SceneDialogWin32.h"

#include "LayoutDialog.h"

namespace qm::win32 {
namespace {

class SceneDialogView final : public LayoutDialog {
 public:
  explicit SceneDialogView(SceneDialogId id)
      : LayoutDialog(SceneDialogDesignFor(id).Layout), model_(id) {}

 protected:
  void OnLoad() override { model_.Form_Load(); }
  void OnClick(const std::string& name) override {
    if (name == "Command1") model_.Command1_Click();
    if (name == "Command2") model_.Command2_Click();
  }
  void OnSlider(const std::string& name) override {
    // Every trackbar notification (drag included) is both a move and a change.
    const int index = IndexOf(name);
    if (index < 0) return;
    model_.SetSliderValue(index, SliderPosition(name));
    model_.Slider1_MouseMove(index);
  }
  void OnCloseBox() override { model_.Command2_Click(); }
  void Refresh() override {
    for (int i = 0; i < model_.SliderCount(); ++i) {
      const SliderBinding& binding = model_.Design().Sliders[static_cast<size_t>(i)];
      SetSlider(binding.SliderName, binding.Min, binding.Max, model_.SliderValue(i));
      SetText(binding.LabelName, model_.ValueLabel(i));
    }
  }
  bool Closed() const override { return model_.IsClosed(); }
  // A scene's settings open over the window whose "+" button asked for them.
  bool CentresOnOwner() const override { return true; }

 private:
  int IndexOf(const std::string& sliderName) const {
    for (int i = 0; i < model_.SliderCount(); ++i)
      if (model_.Design().Sliders[static_cast<size_t>(i)].SliderName == sliderName) return i;
    return -1;
  }

  SceneDialog model_;
};

}  // namespace

void RunSceneDialog(HINSTANCE instance, HWND owner, SceneDialogId id) {
  SceneDialogView view(id);
  view.RunModal(instance, owner);
}

}  // namespace qm::win32
