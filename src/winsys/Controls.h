// The child controls of the saver window: images, labels, lines and a picture box
// that contains labels and lines. Positions and sizes are pixels relative to the
// container. They hold state only; composition (saver/Compose.h) draws them.
#pragma once

#include <string>
#include <vector>

#include "winsys/Picture.h"

namespace qm {

struct Font {
  std::string Name = "Arial";
  float SizePt = 8.25f;
  bool Bold = false;
  bool Italic = false;
  bool Underline = false;
};

enum class Alignment { Left, Right, Center };

struct Control {
  int Left = 0;
  int Top = 0;
  int Width = 0;
  int Height = 0;
  bool Visible = true;
};

// An image control without stretching: it takes the size of its picture.
struct Image : Control {
  PicturePtr Picture;
  void SetPicture(PicturePtr picture) {
    Picture = std::move(picture);
    Width = Picture ? Picture->Width : 0;
    Height = Picture ? Picture->Height : 0;
  }
};

// Caption is 8-bit Windows-1252 text.
struct Label : Control {
  std::string Caption;
  Font TextFont;
  Pixel ForeColor = 0x000000;
  Alignment Align = Alignment::Left;
  bool Transparent = false;
  Pixel BackColor = 0xC0C0C0;
};

struct Line {
  int X1 = 0;
  int Y1 = 0;
  int X2 = 0;
  int Y2 = 0;
  Pixel Color = 0xFFFFFF;
  int BorderWidth = 1;
  bool Visible = true;
};

// A picture box: its picture is drawn from its top-left corner, clipped to its size;
// child labels and lines are positioned relative to it. Its children are referenced by
// the form that owns them (see frmSSaver).
struct PictureBox : Control {
  PicturePtr Picture;
  Pixel BackColor = 0x000000;
};

}  // namespace qm
