// Colour depth of the pictures the design gives a palette: the 8-bit sprite sheets, the
// panel sheet and the card hold at most 256 colours, the 4-bit icon the sixteen of the
// standard Windows palette. The drawings are made in full colour and reduced here: the
// 256-colour ones with error diffusion, so gradients do not band; the icon to the nearest
// colour, as such icons were drawn, flat shades rather than a speckle at 32 pixels.
//
// A pixel exactly black or exactly white keeps its colour, whatever the dithering does
// around it: sprite masks, and the black a sprite's picture must be outside its shape,
// stay exact. The canvas's coverage is left as it was.
#pragma once

#include <array>
#include <cstdint>

#include "Raster.h"

namespace art {

// Black, maroon, green, olive, navy, purple, teal, silver, grey, red, lime, yellow,
// blue, fuchsia, aqua, white.
const std::array<uint32_t, 16>& Windows16();

// At most `colours` colours (2 to 256), chosen for this picture. False, with a message on
// stderr and the canvas unchanged, when the quantiser fails.
bool ReduceColours(Canvas& c, int colours);
// Only the sixteen colours of Windows16(), each pixel the nearest. False as above.
bool ReduceToWindows16(Canvas& c);

}  // namespace art
