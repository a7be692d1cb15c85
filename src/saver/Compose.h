// Composition of the saver window's frame, bottom to top: the drawing surface (what Cls
// and PaintPicture act on), then the controls in the order they were placed on the
// form: the picture box picTabela, with its picture and then its lines and labels
// clipped to it, then Image1, then imgPropaganda01. The sponsor banner so lies on top of
// every scene, the match table's panel included.
//
// frmSSaver::ComposeFrame (Compose.cpp) decides which rectangles to redo; the
// functions here draw one rectangle and are pure: they read the window, write `frame`
// inside `clip` only, and ignore anything that lies outside the frame.
#pragma once

#include "saver/frmSSaver.h"
#include "winsys/Controls.h"
#include "winsys/Picture.h"
#include "winsys/Surface.h"

namespace qm {

Rect IntersectRects(const Rect& a, const Rect& b);

// The rectangle a control covers in the frame (its container's origin added).
inline Rect Bounds(const Control& c, int originX = 0, int originY = 0) {
  return {originX + c.Left, originY + c.Top, c.Width, c.Height};
}

// Each draws within clip only; invisible controls draw nothing. An image whose picture
// has transparent parts (`HasAlpha`) shows through them what was drawn below it.
void DrawImage(Picture& frame, const Rect& clip, const Image& image);
void DrawLine(Picture& frame, const Rect& clip, int originX, int originY, const Line& line);
void DrawLabel(Picture& frame, const Rect& clip, int originX, int originY, const Label& label);
void DrawPictureBox(Picture& frame, const Rect& clip, const frmSSaver& form);

// Redraws `clip` of the frame (same size as the window's surface) from all layers.
void ComposeRegion(const frmSSaver& form, Picture& frame, const Rect& clip);

}  // namespace qm
