// Filling rows of pixels with one colour: the work of `Cls`, which clears the
// rectangles drawn on since the surface was last all background.
#pragma once

#include <cstddef>

#include "winsys/Picture.h"

namespace qm {

// Sets `width` pixels of each of `rows` rows to `colour`. The rows start at `first`,
// `stride` pixels apart, and must lie inside one picture's pixels; width and rows may
// be 0, which fills nothing.
void FillRows(Pixel* first, size_t stride, size_t width, size_t rows, Pixel colour);

// The vector form, for rows of at most 64 pixels: false, with nothing filled, where
// this build lacks it or the rows are wider. The caller has asked UseWideVectors().
bool FillRowsWide(Pixel* first, size_t stride, size_t width, size_t rows, Pixel colour);

// The 256-bit form, for rows of 4 to 64 pixels: false, with nothing filled, where this
// build lacks it or the rows are narrower or wider. The caller has asked UseVectors256().
bool FillRows256(Pixel* first, size_t stride, size_t width, size_t rows, Pixel colour);

}  // namespace qm
