// The championship panels, the match-table backgrounds, the table card and the icon.
#include <cmath>

#include "Art.h"
#include "Figures.h"
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

namespace {

// A team photograph: back row standing, front row crouching, in the side's yellow shirts
// and blue shorts on a pitch before the stands. Old titles come out in sepia.
Canvas SquadPhoto(int w, int h, int seed, bool sepia) {
  Canvas p(w, h, Hex(0x2c3440));
  // Stands full of people, then the pitch.
  p.Fill(Path().Rect(0, 0, w, h * 0.42), Vertical(Hex(0x3a4656), Hex(0x59606a), 0, h * 0.42));
  uint32_t rng = 12345u + static_cast<uint32_t>(seed) * 7919u;  // fixed crowd per picture
  auto next = [&rng]() {
    rng = rng * 1664525u + 1013904223u;
    return (rng >> 8) / 16777216.0;
  };
  for (int i = 0; i < w * 3; ++i) {
    const double x = next() * w, y = next() * h * 0.4;
    const double tone = next();
    p.Fill(Path().Circle(x, y, 0.8 + tone * 0.5),
           tone < 0.3 ? Hex(0xe8e0d0) : (tone < 0.6 ? Hex(0xb09878) : Hex(0xd04040)), 0.45f);
  }
  p.Fill(Path().Rect(0, h * 0.42, w, h * 0.58),
         Vertical(Hex(0x3f9a48), Hex(0x2a7a34), h * 0.42, h * 0.58));
  for (int k = 0; k < 4; ++k)
    p.Fill(Path().Rect(0, h * (0.5 + k * 0.12), w, h * 0.05), Hex(0x4fae58), 0.5f);
  const Col skins[] = {Hex(0x8d5a3a), Hex(0xe0b48c), Hex(0x5e3a24),
                       Hex(0xc8916a), Hex(0xa06a44), Hex(0xf0c8a0)};
  const Kit kit{Hex(0xf7d417), Hex(0x1d4fb5), {}, Hex(0xf4f4f4)};
  const double ph = h * 0.62;  // standing height
  for (int i = 0; i < 6; ++i) {
    Kit k = kit;
    k.skin = skins[(i + seed) % 6];
    if (i == 0) k.shirt = Hex(0x5a5a5a), k.shorts = Hex(0x2a2a2a);  // the goalkeeper
    DrawTeamPlayer(p, w * (0.1 + i * 0.16), h * 0.15, ph, false, k, Hex(0x1a1410));
  }
  for (int i = 0; i < 5; ++i) {
    Kit k = kit;
    k.skin = skins[(i + seed + 3) % 6];
    DrawTeamPlayer(p, w * (0.18 + i * 0.16), h * 0.42, ph, true, k, Hex(0x1a1410));
  }
  DrawBall(p, w * 0.5, h * 0.9, h * 0.07, seed * 0.3);
  if (sepia) {
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const Col c = p.At(x, y);
        const float l = 0.3f * c.r + 0.59f * c.g + 0.11f * c.b;
        p.At(x, y) = Mix(Hex(0x2a1c10), Hex(0xf4e2c0), std::min(1.f, l * 1.15f));
      }
  }
  return p;
}

// A picture on the panel: white border, soft shadow.
void Mounted(Canvas& c, const Canvas& pic, double x, double y, double w, double h) {
  c.Fill(Path().Rect(x + 2, y + 3, w + 4, h + 4), Col{}, 0.45f);
  c.Fill(Path().Rect(x - 2, y - 2, w + 4, h + 4), Hex(0xf8f8f0));
  c.Draw(pic, x, y, w, h);
}

}  // namespace

Canvas ChampionSheet() {
  Canvas sheet(638, 400, Col{});
  const uint32_t tints[4] = {0x0c3f6e, 0x6e1420, 0x0d5a2c, 0x1a2a6e};  // a colour of each host
  for (int i = 0; i < 4; ++i) {
    const Title& t = kTitles[i];
    const Col tint = Hex(tints[i]);
    Canvas p(319, 200, tint);
    p.Fill(Path().Rect(0, 0, 319, 200), [&](double x, double y) {
      const double d = std::hypot((x - 180) / 260, (y - 90) / 160);
      return Mix(Mix(tint, Col{1, 1, 1}, 0.12f), Mix(tint, Col{}, 0.7f),
                 static_cast<float>(std::min(1.0, d)));
    });
    // Caption band.
    p.Fill(Path().Rect(0, 6, 319, 30), Vertical(Hex(0x178a3a), Hex(0x0c5424), 6, 30));
    p.Fill(Path().Rect(0, 6, 319, 1.5), Hex(0xf7d417));
    p.Fill(Path().Rect(0, 34.5, 319, 1.5), Hex(0xf7d417));
    const std::string caption = std::string(t.host) + " " + std::to_string(t.year);
    TheFonts().boldItalic.Draw(p, caption, 21, 12, 29, Col{}, 0.5f);
    TheFonts().boldItalic.Draw(p, caption, 21, 11, 28, Hex(0xf7d417));
    Mounted(p, DrawPoster(t.poster), 12, 48, 66, 92.4);
    Mounted(p, SquadPhoto(320, 224, i, t.year < 1970), 92, 48, 152, 106);
    // The trophy on a lit plinth.
    p.Fill(Path().Ellipse(281, 176, 30, 6), Hex(0xfff2b0), 0.25f);
    if (t.winged)
      DrawJulesRimetTrophy(p, 281 - 17.5 * 1.35, 46, 1.35);
    else
      DrawWorldCupTrophy(p, 281 - 20 * 1.3, 52, 1.3);
    TheFonts().bold.DrawCentred(p, "WORLD CHAMPIONS", 11, 168, 178, Hex(0xffffff));
    // Stars for the titles won so far.
    for (int k = 0; k <= i; ++k) p.Fill(Star(168 - i * 7 + k * 14, 190, 5), Hex(0xf7d417));
    p.Fill(Path().Rect(0, 0, 319, 1), Col{}, 0.6f);
    p.Fill(Path().Rect(0, 199, 319, 1), Col{}, 0.6f);
    p.Fill(Path().Rect(0, 0, 1, 200), Col{}, 0.6f);
    p.Fill(Path().Rect(318, 0, 1, 200), Col{}, 0.6f);
    sheet.Draw(p, (i % 2) * 319, (i / 2) * 200);
  }
  return sheet;
}

namespace {

// A raised panel: light catches the top and left bevel, the bottom and right fall in shade.
void Bevel(Canvas& c, double w, double h, double b, Col base) {
  const Col light = Mix(base, Col{1, 1, 1}, 0.45f), lighter = Mix(base, Col{1, 1, 1}, 0.3f);
  const Col dark = Mix(base, Col{}, 0.45f), darker = Mix(base, Col{}, 0.3f);
  c.Fill(Path().Polygon({{0, 0}, {w, 0}, {w - b, b}, {b, b}}), light);
  c.Fill(Path().Polygon({{0, 0}, {b, b}, {b, h - b}, {0, h}}), lighter);
  c.Fill(Path().Polygon({{0, h}, {b, h - b}, {w - b, h - b}, {w, h}}), dark);
  c.Fill(Path().Polygon({{w, 0}, {w, h}, {w - b, h - b}, {w - b, b}}), darker);
  c.Fill(Path().Rect(0, 0, w, 1), Mix(base, Col{1, 1, 1}, 0.7f));
  c.Fill(Path().Rect(0, h - 1, w, 1), Mix(base, Col{}, 0.7f));
}

// The ball flying in from the left along the top edge, its white streak behind it from
// `tail` on. The streak starts right of the longest title its panel carries, so the
// title stays readable; a short one fades in over less of its length.
void BallWithStreak(Canvas& c, double spin, double tail) {
  const double bx = 174, by = 27, r = 16;
  const double length = bx - 4 - tail;
  const double fade = length >= 48 ? 40 : length * 0.4;
  Canvas streak(c.W(), c.H());
  streak.Fill(Path().Polygon(
                  {{tail, by - 1.5}, {bx - 4, by - r + 2}, {bx - 4, by + r - 2}, {tail, by + 1.5}}),
              Col{1, 1, 1});
  // Fade in from the tail.
  Canvas faded(c.W(), c.H());
  for (int y = 0; y < c.H(); ++y)
    for (int x = 0; x < c.W(); ++x) {
      const float a = streak.Alpha(x, y);
      if (a > 0)
        faded.BlendPixel(x, y, Col{1, 1, 1},
                         a * static_cast<float>(std::clamp((x - tail) / fade, 0.0, 1.0)) * 0.9f);
    }
  c.Draw(faded, 0, 0, c.W(), c.H());
  c.Line(tail + length * 10 / 48, by - r + 3, bx - 8, by - r + 3.5, 1.4, Col{1, 1, 1}, 0.55f);
  c.Line(tail + length * 16 / 48, by + r - 3, bx - 8, by + r - 3.5, 1.4, Col{1, 1, 1}, 0.55f);
  // Soft shadow under the ball, then the ball.
  c.Fill(Path().Circle(bx + 1.5, by + 2, r), Col{}, 0.3f);
  DrawBall(c, bx, by, r, spin);
}

}  // namespace

Canvas PanelSheet() {
  // The yellow is a deep gold: the white 6.75 pt rows need the contrast.
  const uint32_t colours[5] = {0x1d4fb5, 0xc08e00, 0x178a3a, 0xc41c1c, 0xc41c1c};
  Canvas sheet(1000, 250, Col{});
  for (int i = 0; i < 5; ++i) {
    const Col base = Hex(colours[i]);
    Canvas p(200, 250, base);
    // Gently lighter at the top, a faint diagonal sheen across the middle.
    p.Fill(Path().Rect(0, 0, 200, 250), [&](double x, double y) {
      const double t = y / 250;
      Col col = Mix(Mix(base, Col{1, 1, 1}, 0.12f), Mix(base, Col{}, 0.18f), static_cast<float>(t));
      const double sheen = std::exp(-std::pow((x + y * 0.6 - 150) / 60, 2));
      return Mix(col, Col{1, 1, 1}, static_cast<float>(0.05 * sheen));
    });
    if (i < 4) {
      // The green panel carries "Semifinais", the longest title.
      BallWithStreak(p, 0.4 * i, i == 2 ? 146 : 122);
    } else {
      // A glow behind the trophy at the top centre.
      for (int y = 0; y < 60; ++y)
        for (int x = 50; x < 150; ++x) {
          const double t = std::max(0.0, 1 - std::hypot((x + 0.5 - 100) / 40, (y + 0.5 - 28) / 30));
          p.BlendPixel(x, y, Hex(0xffb080), static_cast<float>(t * t * (3 - 2 * t) * 0.45));
        }
      DrawWorldCupTrophy(p, 100 - 20 * 0.5, 5, 0.5);
    }
    Bevel(p, 200, 250, 4, base);
    sheet.Draw(p, i * 200, 0);
  }
  return sheet;
}

Canvas TableCard() {
  Canvas c(50, 62, Col{});
  c.Fill(Path().RoundRect(0.5, 0.5, 49, 61, 5), Hex(0xe8d080));
  c.Fill(Path().RoundRect(2, 2, 46, 58, 4), Vertical(Hex(0x2aa04a), Hex(0x0e5a26), 2, 58));
  c.Fill(Path().RoundRect(2, 2, 46, 14, 4), Col{1, 1, 1}, 0.12f);
  DrawBall(c, 25, 12, 6.5, 0.6);
  const Fonts& f = TheFonts();
  f.bold.DrawCentred(c, "Tabela", 11, 25, 31, Hex(0xffffff));
  f.bold.DrawCentred(c, "da", 9, 25, 42, Hex(0xf7d417));
  f.bold.DrawCentred(c, "Copa", 11, 25, 54, Hex(0xffffff));
  return c;
}

Canvas Icon() {
  Canvas c(32, 32);
  Path ring;
  ring.Circle(16, 16, 15);
  ring.contours.push_back({});
  for (int k = 0; k < 64; ++k) {  // inner edge the other way round makes the hole
    const double a = -2 * M_PI * k / 64;
    ring.contours.back().push_back({16 + 8 * std::cos(a), 16 + 8 * std::sin(a)});
  }
  // A tube lit from the upper left: bright on the outer top-left and inner bottom-right.
  // The shades straddle the middle of red and maroon, so that in the icon's sixteen
  // colours the ring is red with a maroon shadow.
  c.Fill(ring, [](double x, double y) {
    const double dx = x - 16, dy = y - 16, d = std::hypot(dx, dy);
    const double across = (d - 11.5) / 3.5;  // -1 inner edge .. 1 outer edge
    const double facing = -(dx + dy) / (d * 1.414 + 1e-9);
    const double lit = 0.55 + 0.45 * facing * across;
    return Mix(Hex(0x800000), Hex(0xff2020), static_cast<float>(std::clamp(lit, 0.0, 1.0)));
  });
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

namespace {

// A page of the match table as the saver shows it: group A over the blue panel.
Canvas TablePage() {
  Canvas p(200, 250, Col{});
  p.Draw(PanelSheet(), 0, 0, 1000, 250);
  const Fonts& f = TheFonts();
  f.boldItalic.Draw(p, "A", 27, 12, 36, Col{1, 1, 1});
  // The first page of the shipped tabela.ini, as the scene itself would show it.
  const char* matches[6] = {"Zelvaro 2 x 1 Escócia", "Marrocos 2 x 2 Noruega",
                            "Escócia 1 x 1 Noruega", "Zelvaro 3 x 0 Marrocos",
                            "Zelvaro 1 x 2 Noruega", "Escócia 0 x 3 Marrocos"};
  const char* days[6] = {"10/06 17:30 - Saint-Denis", "10/06 21:00 - Montpellier",
                         "16/06 17:30 - Bordeaux",    "16/06 21:00 - Nantes",
                         "23/06 21:00 - Marseille",   "23/06 21:00 - Saint-Étienne"};
  for (int k = 0; k < 6; ++k) {
    f.sans.DrawCentred(p, days[k], 9, 100, 56 + k * 30 + 8, Col{1, 1, 1});
    f.bold.DrawCentred(p, matches[k], 11, 100, 68 + k * 30 + 10, Col{1, 1, 1});
    if (k < 5) p.Fill(Path().Rect(16, 84 + k * 30, 170, 1), Col{1, 1, 1});
  }
  return p;
}

// Balls or trophies flying out of the centre, growing as they come nearer.
struct Flyer {
  double x, y, size;
};
const Flyer kFlyers[] = {{50, 110, 6},  {38, 96, 9},   {66, 124, 11}, {58, 80, 14},
                         {30, 140, 18}, {74, 166, 24}, {22, 50, 26},  {70, 34, 30}};

}  // namespace

Canvas Preview(int index) {
  Canvas c(100, index == 2 ? 221 : 220, Col{});
  switch (index) {
    case 0:
      for (const Flyer& f : kFlyers) {
        const double dx = f.x - 50, dy = f.y - 110, d = std::hypot(dx, dy);
        if (d > 1) {
          // A tapering trail back towards the centre, fading as it goes.
          const double ux = dx / d, uy = dy / d, len = f.size * 1.6, half = f.size * 0.42;
          for (int k = 0; k < 5; ++k) {
            const double t0 = k / 5.0, t1 = (k + 1) / 5.0;
            const double w0 = half * t0, w1 = half * t1;
            const double x0 = f.x - ux * len * (1 - t0), y0 = f.y - uy * len * (1 - t0);
            const double x1 = f.x - ux * len * (1 - t1), y1 = f.y - uy * len * (1 - t1);
            c.Fill(Path().Polygon({{x0 - uy * w0, y0 + ux * w0},
                                   {x1 - uy * w1, y1 + ux * w1},
                                   {x1 + uy * w1, y1 - ux * w1},
                                   {x0 + uy * w0, y0 - ux * w0}}),
                   Col{1, 1, 1}, 0.05f * (k + 1));
          }
        }
        DrawBall(c, f.x, f.y, f.size / 2, f.x * 0.1);
      }
      break;
    case 1:
    case 21:
    case 22: {
      int k = 0;
      for (const Flyer& f : kFlyers) {
        const bool winged = index == 21 || (index == 1 && k % 2 == 1);
        const double s = f.size / 40.0;
        if (winged)
          DrawJulesRimetTrophy(c, f.x - 17.5 * s, f.y - 48 * s, s);
        else
          DrawWorldCupTrophy(c, f.x - 20 * s, f.y - 47.5 * s, s);
        ++k;
      }
      break;
    }
    case 2: {
      const double spots[][2] = {{4, 6},   {48, 20},  {14, 62}, {52, 86},
                                 {2, 122}, {46, 150}, {18, 176}};
      const int posters[] = {0, 7, 3, 11, 8, 14, 5};
      for (int k = 0; k < 7; ++k)
        c.Draw(DrawPoster(posters[k]), spots[k][0], spots[k][1], 48, 67.2);
      break;
    }
    case 3: {
      Canvas sheet = ChampionSheet();
      Canvas panel(319, 200);
      panel.Draw(sheet, 0, 0, 638, 400);
      c.Draw(panel, 2, 30, 96, 60.2);
      Canvas second(319, 200);
      second.Draw(sheet, -319, -200, 638, 400);
      c.Draw(second, 8, 128, 84, 52.7);
      break;
    }
    case 4:
      c.Draw(TablePage(), 6, 52, 88, 110);
      break;
    default:
      break;
  }
  return c;
}

}  // namespace art
