// Label text: Windows-1252 captions drawn anti-aliased in the embedded Arial-metric
// fonts (Liberation Sans regular, bold, bold italic), sized in points at 96 DPI.
// Glyphs sit on whole pixels and advance by whole pixels without kerning, as the
// Windows text output the labels come from does. Every byte of the code page draws:
// 0x80-0x9F through the code page's own table, its five unassigned bytes and the
// control characters as the font's missing-glyph box.
//
// Rasterized glyphs are cached for the whole run (single UI thread; the cache is
// guarded all the same). Bad input (zero or negative sizes, empty boxes) draws nothing.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "winsys/Controls.h"
#include "winsys/Picture.h"
#include "winsys/Surface.h"

namespace qm {

// The Unicode code point of a Windows-1252 byte.
char32_t Cp1252CodePoint(unsigned char byte);

// The em size in pixels: points * 96 / 72, rounded half to even (8.25 pt -> 11 px).
// Sizes are kept between 1 and 400 pixels.
int FontPixelSize(const Font& font);

struct FontMetrics {
  int Ascent = 0;   // pixels above the baseline
  int Descent = 0;  // pixels below it
  int LineHeight() const { return Ascent + Descent; }
};
FontMetrics MeasureFont(const Font& font);

// Width in pixels of one line of text (the sum of the glyphs' whole-pixel advances).
int TextWidth(const Font& font, std::string_view text);

// Breaks a caption into the lines a label of `width` pixels shows: at line breaks
// (CR LF, LF or CR) and, where a line is too wide, at the blank before the word that
// does not fit; blanks at a break are dropped. A single word wider than the label stays
// whole on its line (and is clipped when drawn).
std::vector<std::string> WrapLines(const Font& font, std::string_view text, int width);

// Draws one line with the top of its ascent at y and its pen starting at x, blending
// `colour` by glyph coverage. Only pixels inside `clip` (and the picture) change.
void DrawTextLine(Picture& dst, const Rect& clip, int x, int y, const Font& font, Pixel colour,
                  std::string_view text);

// Draws a label's caption inside `box`: wrapped to the box width, lines stacked from
// the box's top, each aligned left, right or centred in the box; clipped to box and clip.
void DrawLabelText(Picture& dst, const Rect& clip, const Rect& box, const Font& font, Pixel colour,
                   Alignment align, std::string_view text);

}  // namespace qm
