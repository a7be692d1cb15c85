// The championship panels, the match-table backgrounds, the table card and the icon.
#include <cmath>

#include "Art.h"
#include "Font.h"

namespace art {

namespace {

struct Title {
  const char* host;
  int year;
  int poster;   // index into the poster sheet
  bool winged;  // the winged trophy was the prize until 1970
};
const Title kTitles[4] = {{"SWEDEN", 1958, 5, true},
                          {"CHILE", 1962, 6, true},
                          {"MEXICO", 1970, 8, true},
                          {"USA", 1994, 14, false}};

}  // namespace

Canvas ChampionSheet() {
  Canvas sheet(638, 400, Col{});
  for (int i = 0; i < 4; ++i) {
    const Title& t = kTitles[i];
    Canvas p(319, 200, Hex(0x0d4a24));
    p.Fill(Path().Rect(0, 0, 319, 200), Hex(0x0d4a24));
    TheFonts().boldItalic.Draw(p, std::string(t.host) + " " + std::to_string(t.year), 22, 12, 30,
                               Hex(0xf7d417));
    p.Draw(DrawPoster(t.poster), 10, 44, 66, 92.4);
    p.Fill(Path().Rect(88, 44, 160, 110), Hex(0x2a7a3a));
    if (t.winged)
      DrawJulesRimetTrophy(p, 258, 50, 1.3);
    else
      DrawWorldCupTrophy(p, 256, 50, 1.3);
    sheet.Draw(p, (i % 2) * 319, (i / 2) * 200);
  }
  return sheet;
}

Canvas PanelSheet() {
  const uint32_t colours[5] = {0x1f4fb8, 0xe8b800, 0x1c8c3c, 0xc81e1e, 0xc81e1e};
  Canvas sheet(1000, 250, Col{});
  for (int i = 0; i < 5; ++i) {
    Canvas p(200, 250, Hex(colours[i]));
    if (i < 4)
      DrawBall(p, 176, 24, 15, 0.3 * i);
    else
      DrawWorldCupTrophy(p, 90, 4, 0.5);
    sheet.Draw(p, i * 200, 0);
  }
  return sheet;
}

Canvas TableCard() {
  Canvas c(50, 62, Hex(0x1c8c3c));
  const Fonts& f = TheFonts();
  f.bold.DrawCentred(c, "Tabela", 11, 25, 22, Col{1, 1, 1});
  f.bold.DrawCentred(c, "da", 11, 25, 35, Col{1, 1, 1});
  f.bold.DrawCentred(c, "Copa", 11, 25, 48, Col{1, 1, 1});
  return c;
}

Canvas Icon() {
  Canvas c(32, 32);
  Path ring;
  ring.Circle(16, 16, 14.5);
  ring.contours.push_back({});
  for (int k = 0; k < 64; ++k) {  // inner edge the other way round makes the hole
    const double a = -2 * M_PI * k / 64;
    ring.contours.back().push_back({16 + 8 * std::cos(a), 16 + 8 * std::sin(a)});
  }
  c.Fill(ring, Hex(0xd01010));
  c.Harden();
  return c;
}

Canvas IconMask() {
  const Canvas icon = Icon();
  Canvas m(32, 32, Col{1, 1, 1});
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x)
      if (icon.Alpha(x, y) >= 0.5f) m.At(x, y) = Col{};
  return m;
}

Canvas Preview(int index) {
  Canvas c(100, index == 2 ? 221 : 220, Col{});
  switch (index) {
    case 0:
      DrawBall(c, 50, 110, 20, 0);
      break;
    case 1:
      DrawWorldCupTrophy(c, 10, 60, 0.8);
      DrawJulesRimetTrophy(c, 60, 80, 0.8);
      break;
    case 2:
      c.Draw(DrawPoster(0), 20, 40, 55, 77);
      break;
    case 3:
      c.Draw(ChampionSheet(), 0, 80, 200, 125);
      break;
    case 4:
      c.Draw(PanelSheet(), 5, 50, 450, 112.5);
      break;
    case 21:
      DrawJulesRimetTrophy(c, 30, 60, 1.0);
      break;
    default:
      DrawWorldCupTrophy(c, 30, 60, 1.0);
      break;
  }
  return c;
}

}  // namespace art
