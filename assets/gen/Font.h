// Text for the artwork, drawn with a TrueType face through stb_truetype.
#pragma once

#include <string>
#include <vector>

#include "Raster.h"

namespace art {

class Font {
 public:
  // Reads the face from a .ttf file; false with a message on stderr when it cannot.
  bool Load(const std::string& path);

  // Sizes are the em height in pixels. Width of the text's advance.
  double Measure(const std::string& text, double size) const;
  double Ascent(double size) const;
  // Draws UTF-8 text with its baseline starting at (x, y).
  void Draw(Canvas& c, const std::string& text, double size, double x, double y, const Paint& paint,
            float opacity = 1) const;
  void Draw(Canvas& c, const std::string& text, double size, double x, double y, Col col,
            float opacity = 1) const;
  // Centred horizontally on cx.
  void DrawCentred(Canvas& c, const std::string& text, double size, double cx, double y, Col col,
                   float opacity = 1) const;

 private:
  std::vector<unsigned char> data_;
  std::vector<unsigned char> info_;  // holds an stbtt_fontinfo
};

// The faces the generator uses, loaded once from the folder given at start.
struct Fonts {
  Font sans, bold, boldItalic, italic;
};
bool InitFonts(const std::string& dir);  // false with a message when a face is missing
const Fonts& TheFonts();

}  // namespace art
