#include "qt/dialogs/SceneSettingsDialog.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>

namespace qm::qt {

SceneSettingsDialog::SceneSettingsDialog(SceneDialogId id, QWidget* parent)
    : LayoutDialog(SceneDialogDesignFor(id).Layout, parent), model_(id) {
  setWindowIcon(IconPixmap());
  for (const SliderBinding& binding : model_.Design().Sliders) {
    auto* slider = ControlAs<QSlider>(QString::fromStdString(binding.SliderName));
    slider->setRange(binding.Min, binding.Max);
    sliders_.push_back(slider);
    labels_.push_back(ControlAs<QLabel>(QString::fromStdString(binding.LabelName)));
  }
  model_.Form_Load();
  Sync();
  for (int i = 0; i < static_cast<int>(sliders_.size()); ++i) {
    // valueChanged covers keys, clicks and (with tracking) drags; sliderMoved is the
    // pointer moving the thumb, which must reach the model before the label is read.
    connect(sliders_[i], &QSlider::valueChanged, this, [this, i](int value) {
      model_.SetSliderValue(i, value);
      Sync();
    });
    connect(sliders_[i], &QSlider::sliderMoved, this, [this, i](int value) {
      model_.SetSliderValue(i, value);
      model_.Slider1_MouseMove(i);
      Sync();
    });
  }
  connect(ControlAs<QPushButton>("Command1"), &QPushButton::clicked, this, [this] {
    model_.Command1_Click();
    CloseWhenDone();
  });
  connect(ControlAs<QPushButton>("Command2"), &QPushButton::clicked, this, [this] {
    model_.Command2_Click();
    CloseWhenDone();
  });
}

QSlider* SceneSettingsDialog::Slider(int index) const {
  return index >= 0 && index < static_cast<int>(sliders_.size()) ? sliders_[index] : nullptr;
}

QLabel* SceneSettingsDialog::ValueLabel(int index) const {
  return index >= 0 && index < static_cast<int>(labels_.size()) ? labels_[index] : nullptr;
}

void SceneSettingsDialog::Sync() {
  for (int i = 0; i < static_cast<int>(sliders_.size()); ++i) {
    const QSignalBlocker blocker(sliders_[i]);
    sliders_[i]->setValue(model_.SliderValue(i));
    labels_[i]->setText(FromCp1252(model_.ValueLabel(i)));
  }
}

void SceneSettingsDialog::CloseWhenDone() {
  if (model_.IsClosed()) accept();
}

}  // namespace qm::qt
