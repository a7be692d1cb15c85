// Every picture the program carries, drawn from scratch. Each function returns the
// finished picture at its real pixel size; sprite sheets already hold their masks.
#pragma once

#include <string>
#include <vector>

#include "Raster.h"

namespace art {

// ---- Motifs, reusable at any size ----

// A shaded football (black pentagons, white hexagons) centred at (cx, cy) with radius r,
// turned by `spin` radians about its tilted spin axis. A turn of 2*pi/5 brings the
// pattern back onto itself.
void DrawBall(Canvas& c, double cx, double cy, double r, double spin);

// The present trophy inside the box (x, y, w, h) of its 40 x 95 design (scaled to fit).
void DrawWorldCupTrophy(Canvas& c, double x, double y, double scale);
// The winged trophy; design box 35 x 96.
void DrawJulesRimetTrophy(Canvas& c, double x, double y, double scale);

// Poster number 0..14 (1930 .. 1994), drawn into a fresh 110 x 154 canvas.
Canvas DrawPoster(int index);
struct PosterInfo {
  int year;
  const char* country;
};
const PosterInfo& Poster(int index);

// ---- The sheets ----

Canvas BallSheet();              // 210 x 60
Canvas WorldCupTrophySheet();    // 40 x 191
Canvas JulesRimetTrophySheet();  // 35 x 193
Canvas PosterSheet();            // 550 x 462
Canvas ChampionSheet();          // 638 x 400
Canvas PanelSheet();             // 1000 x 250
Canvas TableCard();              // 50 x 62
Canvas Icon();                   // 32 x 32, black where transparent
Canvas IconMask();               // 32 x 32, black where the icon is opaque, white elsewhere
// Setup previews by their control index (0 to 4, 21, 22).
Canvas Preview(int index);

// Puts a hardened sprite above its mask in a sheet of `rows` of cells: the picture cell
// at (x, y) and the mask at (x, y + maskOffset).
void PlaceSprite(Canvas& sheet, const Canvas& sprite, int x, int y, int maskOffset);

struct NamedPicture {
  std::string file;   // e.g. "ball.png"
  std::string label;  // caption on the contact sheet
  Canvas picture;
  bool small;  // also shown at 3x on the contact sheet
};
std::vector<NamedPicture> AllPictures();
Canvas ContactSheet(const std::vector<NamedPicture>& pictures);
// The icon ("icon.png" of `pictures`) as an RGBA PNG, transparent where its mask
// ("icon_mask.png") is white. False, with a message on stderr, when either is missing or
// the file cannot be written.
bool WriteDesktopIcon(const std::string& path, const std::vector<NamedPicture>& pictures);

}  // namespace art
