#include "SetupDialog.h"

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <optional>
#include <vector>

#include "HostWin32.h"
#include "LayoutDialog.h"
#include "SceneDialogWin32.h"
#include "saver/Artwork.h"
#include "setup/SetupForm.h"

namespace qm::win32 {
namespace {

constexpr std::array<ArtId, 7> kPreviewArt = {ArtId::Preview0, ArtId::Preview1, ArtId::Preview2,
                                              ArtId::Preview3, ArtId::Preview4, ArtId::Preview21,
                                              ArtId::Preview22};

std::string Indexed(const char* name, int index) {
  return std::string(name) + "(" + std::to_string(index) + ")";
}

class SetupView final : public LayoutDialog, public SetupDialogHost {
 public:
  SetupView(HINSTANCE instance, HostWin32& host)
      : LayoutDialog(SetupForm::Layout()), instance_(instance), host_(host), model_(this) {
    for (size_t i = 0; i < kPreviewArt.size(); ++i) previews_[i] = LoadArt(kPreviewArt[i]);
  }

  // The arrow keys move among the scene options in tab order, selecting each one the
  // focus reaches, as in any option group and as the Qt dialog does. The options cannot
  // be one group of the dialog manager's (other controls come between them in the tab
  // order), which would move the focus on to whatever control is next. False when `msg`
  // is not such a key.
  bool TakeArrowKey(const MSG& msg) {
    if (msg.message != WM_KEYDOWN) return false;
    int steps = 0;
    switch (msg.wParam) {
      case VK_DOWN:
      case VK_RIGHT:
        steps = 1;
        break;
      case VK_UP:
      case VK_LEFT:
        steps = -1;
        break;
      default:
        return false;
    }
    if (GetKeyState(VK_SHIFT) < 0 || GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0)
      return false;
    std::vector<HWND> options;  // the usable ones, in tab order: the dialog's child order
    std::optional<size_t> at;   // where the focused one is among them
    for (HWND child = GetWindow(Window(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
      for (int i = 0; i < 5; ++i) {
        if (child != Control(Indexed("Option1", i))) continue;
        if (child == msg.hwnd) at = options.size();
        if (child == msg.hwnd || (IsWindowEnabled(child) && IsWindowVisible(child)))
          options.push_back(child);
      }
    }
    HWND next = nullptr;
    if (at) {
      const auto n = static_cast<ptrdiff_t>(options.size());
      next = options[static_cast<size_t>(((static_cast<ptrdiff_t>(*at) + steps) % n + n) % n)];
    } else {
      // From another control the dialog manager goes to the next one in its group.
      // Where that is an option, it is selected on arrival, as in an option group, so
      // that the keyboard never rests on an option that is not the chosen one.
      if (!IsChild(Window(), msg.hwnd)) return false;
      next = GetNextDlgGroupItem(Window(), msg.hwnd, steps < 0 ? TRUE : FALSE);
      if (std::find(options.begin(), options.end(), next) == options.end()) return false;
    }
    SetFocus(next);
    // Windows may already have clicked it on getting the focus.
    if (SendMessageA(next, BM_GETCHECK, 0, 0) != BST_CHECKED)
      SendMessageA(Window(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(next), BN_CLICKED),
                   reinterpret_cast<LPARAM>(next));
    return true;
  }

  void ShowSceneDialog(SceneDialogId id) override { RunSceneDialog(instance_, Window(), id); }
  void ShowAbout() override { RunAboutBox(instance_, Window(), host_); }

 protected:
  void OnLoad() override {
    model_.Form_Load();
    for (int index : SetupForm::kPreviewIndices) {
      const SetupForm::PreviewPlace place = model_.PreviewPlacement(index);
      PlaceInBox(Indexed("Image1", index), place.Left, place.Top, place.Width, place.Height);
    }
  }
  void OnClick(const std::string& name) override {
    for (int i = 0; i < 5; ++i) {
      if (name == Indexed("Option1", i)) model_.ClickOption1(i);
      if (name == Indexed("Command1", i)) model_.Command1_Click(i);
    }
    for (int i = 0; i < 2; ++i)
      if (name == Indexed("Check1", i)) model_.ClickCheck1(i);
    if (name == "Check2") model_.SetCheck2(!model_.Check2Value());
    if (name == "Check3") model_.SetCheck3(!model_.Check3Value());
    if (name == "cmdOK") model_.cmdOK_Click();
    if (name == "cmdCancel") model_.cmdCancel_Click();
    if (name == "cmbAbout") model_.cmbAbout_Click();
  }
  void OnCloseBox() override { model_.cmdCancel_Click(); }
  void Refresh() override {
    for (int i = 0; i < 5; ++i) SetChecked(Indexed("Option1", i), model_.SelectedOption() == i);
    for (int i = 0; i < 2; ++i) SetChecked(Indexed("Check1", i), model_.Check1Value(i));
    SetChecked("Check2", model_.Check2Value());
    SetChecked("Check3", model_.Check3Value());
    for (int index : SetupForm::kPreviewIndices) {
      HWND image = Control(Indexed("Image1", index));
      if (!image) continue;
      const bool visible = model_.PreviewVisible(index);
      if ((IsWindowVisible(image) != FALSE) != visible)
        ShowWindow(image, visible ? SW_SHOW : SW_HIDE);
    }
  }
  bool Closed() const override { return model_.IsClosed(); }
  const Picture* PictureOf(const std::string& name) override {
    for (size_t i = 0; i < SetupForm::kPreviewIndices.size(); ++i)
      if (name == Indexed("Image1", SetupForm::kPreviewIndices[i])) return previews_[i].get();
    return nullptr;
  }

 private:
  HINSTANCE instance_;
  HostWin32& host_;
  SetupForm model_;
  std::array<PicturePtr, 7> previews_;
};

}  // namespace

int RunSetupDialog(HINSTANCE instance, HostWin32& host) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  SetupView view(instance, host);
  HWND dialog = view.CreateModeless(instance, nullptr);
  if (!dialog) return 1;
  host.SetOwnerWindow(dialog);
  ShowWindow(dialog, SW_SHOW);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (IsWindow(dialog) && view.TakeArrowKey(msg)) continue;
    if (IsWindow(dialog) && IsDialogMessageA(dialog, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  host.SetOwnerWindow(nullptr);
  return 0;
}

}  // namespace qm::win32
