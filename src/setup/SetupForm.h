// The setup dialog as a model: scene choice with its preview picture, trophy choice,
// mouse and screens options, the "+" buttons to the scene dialogs, About, OK and Cancel.
//
// Setting an option or a check box from code raises its click handler exactly as a user
// click does, but only when the state actually changes; the load sequence and the trophy
// cascade rely on that. A host renders Layout(), turns user clicks into ClickOption1 /
// ClickCheck1 / the handlers below, re-reads every control state after each call (a click
// may change other controls), and closes the window once IsClosed() is true.
#pragma once

#include <array>

#include "setup/FormLayout.h"
#include "setup/SceneDialog.h"

namespace qm {

// What the setup dialog asks its host to show modally. The host runs the dialog to its
// end before returning; the dialogs store their own settings.
class SetupDialogHost {
 public:
  virtual ~SetupDialogHost() = default;
  virtual void ShowSceneDialog(SceneDialogId id) = 0;
  virtual void ShowAbout() = 0;
};

class SetupForm {
 public:
  // The Image1 indices of the seven preview pictures, in design order.
  static constexpr std::array<int, 7> kPreviewIndices = {0, 1, 2, 3, 4, 21, 22};
  static const FormLayout& Layout();

  // `host` may be null (the "+" and About buttons then do nothing); not owned.
  explicit SetupForm(SetupDialogHost* host = nullptr) : host_(host) {}

  // Loads the settings and WindowsFolder, then sets the controls from them. A stored
  // Saver outside "1".."5" selects Flying Balls.
  void Form_Load();

  // ---- state changes, by code or by the user
  void SetOption1(int index);  // selects; Option1_Click only when it was not selected
  void SetCheck1(int index, bool checked);
  void SetCheck2(bool checked) { check2_ = checked; }
  void SetCheck3(bool checked) { check3_ = checked; }
  // A user's click: selects the option / toggles the box.
  void ClickOption1(int index) { SetOption1(index); }
  void ClickCheck1(int index);

  // ---- event handlers
  void Option1_Click(int index);
  void Check1_Click(int index);
  void Command1_Click(int index);
  void cmbAbout_Click();
  // Mouse, screens (running the installer when the screens choice changed), trophies and
  // scene into the settings; stores all settings; closes.
  void cmdOK_Click();
  void cmdCancel_Click() { closed_ = true; }

  // ---- what a host renders
  int SelectedOption() const { return selected_; }  // -1 before loading
  bool Check1Value(int index) const { return index >= 0 && index < 2 && check1_[index]; }
  bool Check2Value() const { return check2_; }
  bool Check3Value() const { return check3_; }
  bool PreviewVisible(int imageIndex) const;
  // The one visible preview's Image1 index, -1 when none is.
  int VisiblePreview() const;
  // Where each preview sits in Picture1 (twips): once loaded, all at 0, 0 and as large
  // as the box, which shows what fits inside its border (a picture box clips its
  // children), so the preview fills the box whatever the host's border.
  struct PreviewPlace {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
  };
  PreviewPlace PreviewPlacement(int imageIndex) const;
  bool IsClosed() const { return closed_; }

 private:
  static int Slot(int imageIndex);  // position in kPreviewIndices, -1 when none
  void ShowOnly(int imageIndex);
  void ShowTrophyPreview();

  SetupDialogHost* host_;
  int selected_ = -1;
  std::array<bool, 2> check1_{true, true};  // both checked in the design
  bool check2_ = false;
  bool check3_ = false;
  std::array<bool, 7> previewVisible_{};
  std::array<PreviewPlace, 7> previewPlace_{};
  bool closed_ = false;
};

}  // namespace qm
