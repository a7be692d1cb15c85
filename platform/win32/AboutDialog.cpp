#include "LayoutDialog.h"
#include "SceneDialogWin32.h"
#include "saver/Artwork.h"
#include "setup/frmAbout.h"

namespace qm::win32 {
namespace {

class AboutView final : public LayoutDialog {
 public:
  explicit AboutView(HostWin32& host)
      : LayoutDialog(frmAbout::Layout()),
        host_(host),
        icon_(LoadArt(ArtId::Icon)),
        iconMask_(LoadArt(ArtId::IconMask)) {}

 protected:
  void OnLoad() override {
    // Its message box and shell requests belong to the box, which is modal over the
    // setup dialog: owned by that, the message box would leave the About box usable.
    host_.SetOwnerWindow(Window());
    // The icon sits unframed, filling its 480-twip box (32 x 32 at 96 dpi), where a
    // picture box's sunken edge would squeeze it.
    if (HWND icon = Control("picIcon")) {
      SetWindowLongPtrA(icon, GWL_EXSTYLE,
                        GetWindowLongPtrA(icon, GWL_EXSTYLE) & ~WS_EX_CLIENTEDGE);
      SetWindowPos(icon, nullptr, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    }
    // A contact line is one line high: a long address wrapped onto a second line would
    // not show at all, where cut off at the right edge most of it still shows.
    for (const char* name : {"lblDescription(2)", "lblDescription(3)"}) {
      if (HWND link = Control(name)) {
        const LONG_PTR style = GetWindowLongPtrA(link, GWL_STYLE);
        SetWindowLongPtrA(link, GWL_STYLE, (style & ~SS_TYPEMASK) | SS_LEFTNOWORDWRAP);
      }
    }
    model_.Form_Load();
  }
  void OnClick(const std::string& name) override {
    if (name == "cmdOK") model_.cmdOK_Click();
    if (name == "cmdSysInfo") model_.cmdSysInfo_Click();
    if (name == "lblDescription(2)") model_.lblDescription_Click(2);
    if (name == "lblDescription(3)") model_.lblDescription_Click(3);
  }
  bool OnMouseOver(const std::string& name) override {
    if (name == "lblDescription(2)" || name == "lblDescription(3)") {
      model_.lblDescription_MouseMove(name == "lblDescription(2)" ? 2 : 3);
      return true;
    }
    if (name.rfind("lblDescription2(", 0) == 0)
      model_.lblDescription2_MouseMove(name[16] - '0');
    else
      model_.Form_MouseMove();
    return false;
  }
  // The close box unloads the box as it is: only OK (Enter or Esc) stores the settings.
  void OnCloseBox() override { model_.Unload(); }
  void Refresh() override {
    SetText("lblVersion", model_.lblVersion);
    SetText("Text1", model_.Text1);
    SetText("Text2", model_.Text2);
    for (int index : {2, 3}) {
      const std::string name = "lblDescription(" + std::to_string(index) + ")";
      SetText(name, model_.ContactCaption(index));
      const long colour = static_cast<long>(model_.ContactColor(index));
      if (colours_[index - 2] != colour) {
        colours_[index - 2] = colour;
        Redraw(name);
      }
    }
  }
  bool Closed() const override { return model_.IsClosed(); }
  const Picture* PictureOf(const std::string& name) override {
    return name == "picIcon" ? icon_.get() : nullptr;
  }
  const Picture* MaskOf(const std::string& name) override {
    return name == "picIcon" ? iconMask_.get() : nullptr;
  }
  long TextColorOf(const std::string& name) override {
    if (name == "lblDescription(2)") return static_cast<long>(model_.ContactColor(2));
    if (name == "lblDescription(3)") return static_cast<long>(model_.ContactColor(3));
    return -1;
  }

 private:
  HostWin32& host_;
  frmAbout model_;
  PicturePtr icon_;
  PicturePtr iconMask_;
  long colours_[2] = {-1, -1};
};

}  // namespace

void RunAboutBox(HINSTANCE instance, HWND owner, HostWin32& host) {
  AboutView view(host);
  view.RunModal(instance, owner);
  host.SetOwnerWindow(owner);
}

}  // namespace qm::win32
