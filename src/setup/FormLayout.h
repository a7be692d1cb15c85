// The design of a dialog as data: every control's kind, container, caption, position,
// size, tab order and font, in twips as the dialog was drawn. The models own these
// tables so that every host (Qt widgets now, a Win32 resource script later) builds the
// same dialog from one source. Tables are static and never change at run time.
#pragma once

#include <string>
#include <vector>

#include "winsys/Controls.h"
#include "winsys/Picture.h"

namespace qm {

// Design units: 15 twips make one pixel, whatever the display.
inline constexpr int kTwipsPerPixel = 15;
inline constexpr int TwipsToPixels(int twips) {
  return twips / kTwipsPerPixel;
}

enum class ControlKind {
  Button,  // push button
  Frame,   // group frame with a caption; a container
  Option,  // option (radio) button; options in one container are exclusive
  CheckBox,
  Label,
  PictureBox,  // a sunken box; a container
  Image,       // a picture without border
  Slider,      // horizontal whole-number slider
  TextBox,     // single-line edit
};

inline constexpr int kNoTab = -1;

struct LayoutItem {
  std::string Name;  // the control's name with its index, e.g. "Option1(2)"
  ControlKind Kind = ControlKind::Label;
  std::string Container;  // "" for the dialog itself, else the Name of a Frame/PictureBox
  std::string Caption;    // 8-bit Windows-1252 text; "&" marks an access key
  int Left = 0;           // twips, relative to the container
  int Top = 0;
  int Width = 0;
  int Height = 0;
  int TabIndex = kNoTab;  // kNoTab: not in the tab order
  Font TextFont;          // the dialog font unless the table says otherwise
  bool Checked = false;   // design state of check boxes
  bool Visible = true;
  bool IsDefault = false;  // Enter activates it
  bool IsCancel = false;   // Esc activates it
};

struct LayoutLine {
  int X1 = 0;  // twips, in the dialog's client area
  int Y1 = 0;
  int X2 = 0;
  int Y2 = 0;
  Pixel Color = 0;
  int WidthPixels = 1;
};

struct FormLayout {
  std::string Name;     // "SetupForm", "frmBolas", ...
  std::string Caption;  // window title
  int ClientWidth = 0;  // twips
  int ClientHeight = 0;
  Font DialogFont;
  std::vector<LayoutItem> Items;  // in creation order: containers before their children
  std::vector<LayoutLine> Lines;

  // Null when no control has that name.
  const LayoutItem* Find(const std::string& name) const;
};

// One control of a layout table; positions and sizes in twips.
LayoutItem MakeLayoutItem(std::string name, ControlKind kind, std::string container,
                          std::string caption, int left, int top, int width, int height, int tab,
                          Font font);

// The fonts the dialogs were designed with. "MS Sans Serif" stays the name in the tables;
// hosts without it substitute a sans font of the same size.
Font SansSerif(bool bold);

}  // namespace qm
