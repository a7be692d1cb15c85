// The one-pass sprite behind Surface::PaintMasked: a mask and its picture of the same
// size drawn as SRCAND then SRCINVERT would leave them, dst = ((mask AND dst) XOR
// image), with the unused top byte of every written pixel 0. Kept apart from the
// surface so that a form using the processor's 512-bit vectors can be compiled beside
// the portable one; both draw exactly the same pixels.
#pragma once

#include "winsys/Picture.h"

namespace qm {

// Where the sprite lands, as the surface placed it: its whole stretched box (X, Y,
// Width, Height; sizes at least 1) and the part of it on `dst` (X0, Y0) to (X1, Y1),
// which the caller has clipped and found not empty.
struct SpriteBox {
  int X, Y, Width, Height;
  int X0, Y0, X1, Y1;
};

// Draws the sprite into `dst`. Mask and image must have the same size and not be
// empty. The vector form is used where the processor has it and the sprite suits it.
void BlitMasked(Picture& dst, const PictureView& mask, const PictureView& image,
                const SpriteBox& at);

// Whether this build, on this processor, has the vector form.
bool WideVectorsAvailable();

// Tests turn the vector form off (and on again) to check that both draw the same.
void SetWideVectorsForTesting(bool allowed);

// A source pixel that leaves the destination unchanged: white in the mask and black
// in the picture (the top bytes do not count).
inline bool LeavesAlone(Pixel mask, Pixel image) {
  return (((mask ^ kRgbMask) | image) & kRgbMask) == 0;
}

// The vector form: false, with nothing drawn, where this build or processor lacks it or
// the sprite is stretched from a source more than 64 pixels wide.
bool BlitMaskedWide(Picture& dst, const PictureView& mask, const PictureView& image,
                    const SpriteBox& at);

}  // namespace qm
