#include "setup/frmAbout.h"

#include "app/Settings.h"
#include "setup/SysInfo.h"
#include "winsys/Host.h"

namespace qm {
namespace {

LayoutItem Item(std::string name, ControlKind kind, std::string caption, int left, int top,
                int width, int height, int tab) {
  return MakeLayoutItem(std::move(name), kind, "", std::move(caption), left, top, width, height,
                        tab, SansSerif(false));
}

FormLayout BuildLayout() {
  FormLayout layout;
  layout.Name = "frmAbout";
  layout.Caption = "About";
  layout.ClientWidth = 5730;
  layout.ClientHeight = 3870;
  layout.DialogFont = SansSerif(false);
  auto& items = layout.Items;
  items.push_back(Item("picIcon", ControlKind::PictureBox, "", 120, 60, 480, 480, 1));
  items.push_back(
      Item("lblTitle", ControlKind::Label, "Quillmark - France'98", 720, 180, 4365, 360, 4));
  items.back().TextFont.SizePt = 12.0f;
  items.back().TextFont.Bold = true;
  items.push_back(Item("lblVersion", ControlKind::Label, "", 720, 600, 3885, 225, 5));
  items.push_back(
      Item("lblDescription2(0)", ControlKind::Label, kCreditLine, 720, 840, 3885, 270, 3));
  // The free-use note: its words are ours, in the band the design leaves for it between
  // the credit line and the invitation below.
  items.push_back(
      Item("lblDescription2(1)", ControlKind::Label, kFreeUseNote, 720, 1230, 4890, 225, 9));
  items.push_back(Item("lblDescription2(2)", ControlKind::Label,
                       "More informations about this Desktop Theme and customize themes for your "
                       "company, click below:",
                       840, 1560, 4605, 495, 10));
  Font link;
  link.Name = "Arial";
  link.SizePt = 8.25f;
  link.Bold = true;
  link.Underline = true;
  items.push_back(
      Item("lblDescription(2)", ControlKind::Label, "Email: ", 3480, 2220, 2040, 210, 7));
  items.back().TextFont = link;
  items.push_back(Item("lblDescription(3)", ControlKind::Label, "WWW: ", 3060, 2520, 2445, 210, 8));
  items.back().TextFont = link;
  items.push_back(Item("cmdOK", ControlKind::Button, "OK", 4245, 2985, 1260, 345, 0));
  items.back().IsDefault = true;
  items.back().IsCancel = true;
  items.push_back(
      Item("cmdSysInfo", ControlKind::Button, "&System info...", 4260, 3435, 1245, 345, 2));
  items.push_back(Item("Text1", ControlKind::TextBox, "", 900, 2940, 3195, 375, 11));
  items.back().Visible = false;
  items.push_back(Item("Text2", ControlKind::TextBox, "", 900, 3300, 3195, 375, 12));
  items.back().Visible = false;
  // Etched separator: the wide white line first, the grey one over its top edge.
  layout.Lines = {{105, 2820, 5654, 2820, Rgb(255, 255, 255), 2},
                  {90, 2820, 5654, 2820, Rgb(128, 128, 128), 1}};
  return layout;
}

}  // namespace

const FormLayout& frmAbout::Layout() {
  static const FormLayout layout = BuildLayout();
  return layout;
}

void frmAbout::Form_Load() {
  LoadSettings();
  Text1 = Email;
  Text2 = Url;
  captions_[0] = "Email: " + Text1;
  captions_[1] = "WWW: " + Text2;
  lblVersion = "Version " + std::to_string(QM_VERSION_MAJOR) + "." +
               std::to_string(QM_VERSION_MINOR) + "." + std::to_string(QM_VERSION_PATCH);
}

void frmAbout::Form_MouseMove() {
  colors_ = {kLinkRest, kLinkRest};
}

void frmAbout::lblDescription_MouseMove(int index) {
  if (index != 2 && index != 3) return;
  colors_[Slot(index)] = kLinkHover;
  colors_[1 - Slot(index)] = kLinkRest;
}

void frmAbout::lblDescription2_MouseMove(int) {
  colors_ = {kLinkRest, kLinkRest};
}

void frmAbout::lblDescription_Click(int index) {
  if (index != 2 && index != 3) return;
  LoadSettings();
  Host().ShellOpen(index == 2 ? "mailto:" + Email : Url, "c:\\");
}

void frmAbout::cmdOK_Click() {
  Email = Text1;
  Url = Text2;
  SaveSettings();
  closed_ = true;
}

void frmAbout::cmdSysInfo_Click() {
  StartSysInfo();
}

const std::string& frmAbout::ContactCaption(int index) const {
  return captions_[Slot(index)];
}

Pixel frmAbout::ContactColor(int index) const {
  return colors_[Slot(index)];
}

}  // namespace qm
