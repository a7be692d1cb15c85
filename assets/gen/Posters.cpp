// The fifteen tournament posters, 110 x 154 each: every one its own colours and motif,
// with the year and the host country lettered at the foot.
#include <cmath>

#include "Art.h"
#include "Figures.h"
#include "Font.h"

namespace art {

namespace {

const PosterInfo kPosters[15] = {
    {1930, "URUGUAY"},     {1934, "ITALIA"},      {1938, "FRANCE"},    {1950, "BRASIL"},
    {1954, "SWITZERLAND"}, {1958, "SVERIGE"},     {1962, "CHILE"},     {1966, "ENGLAND"},
    {1970, "MEXICO"},      {1974, "DEUTSCHLAND"}, {1978, "ARGENTINA"}, {1982, "ESPAÑA"},
    {1986, "MEXICO"},      {1990, "ITALIA"},      {1994, "USA"},
};

constexpr double W = 110, H = 154;

void Background(Canvas& c, Col top, Col bottom) {
  c.Fill(Path().Rect(0, 0, W, H), Vertical(top, bottom, 0, H));
}

// Year and country, centred at the foot; the country shrinks to fit.
void Lettering(Canvas& c, int index, Col year, Col country, bool italic = false, double yearY = 130,
               double countryY = 146) {
  const Fonts& f = TheFonts();
  const Font& face = italic ? f.boldItalic : f.bold;
  face.DrawCentred(c, std::to_string(kPosters[index].year), 22, W / 2, yearY, year);
  double size = 12;
  while (f.bold.Measure(kPosters[index].country, size) > W - 12) size -= 0.5;
  face.DrawCentred(c, kPosters[index].country, size, W / 2, countryY, country);
}

void Frame(Canvas& c, Col col, double inset = 3, double width = 1.2) {
  Path p;
  p.Rect(inset, inset, W - 2 * inset, H - 2 * inset);
  std::vector<Pt> pts = p.contours[0];
  pts.push_back(pts[0]);
  c.Stroke(pts, width, col);
}

void Rays(Canvas& c, double cx, double cy, int n, double len, Col col, float opacity,
          double phase = 0) {
  for (int i = 0; i < n; ++i) {
    const double a0 = 2 * M_PI * (i + phase) / n, a1 = a0 + M_PI / n;
    c.Fill(Path().Polygon({{cx, cy},
                           {cx + len * std::cos(a0), cy + len * std::sin(a0)},
                           {cx + len * std::cos(a1), cy + len * std::sin(a1)}}),
           col, opacity);
  }
}

void Globe(Canvas& c, double cx, double cy, double r, Col sea, Col land, Col line) {
  c.Fill(Path().Circle(cx, cy, r), [=](double x, double y) {
    const double d = std::hypot(x - cx + r * 0.3, y - cy + r * 0.3) / (r * 1.6);
    return Mix(Mix(sea, Col{1, 1, 1}, 0.25f), sea, static_cast<float>(std::min(1.0, d)));
  });
  Canvas g(c.W(), c.H());
  g.ClipTo(Path().Circle(cx, cy, r));
  g.Fill(Path()
             .MoveTo(cx - r * 0.7, cy - r * 0.6)
             .CubicTo(cx - r * 0.2, cy - r * 0.9, cx, cy - r * 0.3, cx - r * 0.3, cy)
             .CubicTo(cx - r * 0.1, cy + r * 0.4, cx - r * 0.2, cy + r * 0.9, cx - r * 0.45,
                      cy + r * 0.8)
             .CubicTo(cx - r * 0.6, cy + r * 0.3, cx - r * 0.9, cy - r * 0.1, cx - r * 0.7,
                      cy - r * 0.6),
         land);
  g.Fill(Path()
             .MoveTo(cx + r * 0.15, cy - r * 0.7)
             .CubicTo(cx + r * 0.6, cy - r * 0.8, cx + r * 0.8, cy - r * 0.3, cx + r * 0.5, cy)
             .CubicTo(cx + r * 0.5, cy + r * 0.4, cx + r * 0.3, cy + r * 0.6, cx + r * 0.25,
                      cy + r * 0.2)
             .CubicTo(cx + r * 0.05, cy - r * 0.1, cx + r * 0.2, cy - r * 0.4, cx + r * 0.15,
                      cy - r * 0.7),
         land);
  for (double k : {-0.5, 0.0, 0.5}) {
    std::vector<Pt> mer, par;
    for (int i = 0; i <= 24; ++i) {
      const double t = -M_PI / 2 + M_PI * i / 24;
      mer.push_back({cx + r * k * std::cos(t) * 1.0, cy + r * std::sin(t)});
      par.push_back({cx + r * std::cos(std::asin(k)) * std::sin(t), cy + r * k});
    }
    g.Stroke(mer, 0.6, line, 0.7f);
    g.Stroke(par, 0.6, line, 0.7f);
  }
  c.Draw(g, 0, 0, c.W(), c.H());
}

void Stripes(Canvas& c, double x, double y, double w, double h,
             std::initializer_list<uint32_t> cols, bool vertical) {
  const int n = static_cast<int>(cols.size());
  int i = 0;
  for (uint32_t col : cols) {
    if (vertical)
      c.Fill(Path().Rect(x + w * i / n, y, w / n, h), Hex(col));
    else
      c.Fill(Path().Rect(x, y + h * i / n, w, h / n), Hex(col));
    ++i;
  }
}

// ---- The posters, one drawing each ----

void P1930(Canvas& c) {  // art deco: sun rays, a keeper leaping for the ball
  Background(c, Hex(0xa9d4ef), Hex(0xf1e4c4));
  Rays(c, 95, 10, 24, 200, Hex(0xffffff), 0.25f);
  c.Fill(Path().Polygon({{0, 112}, {110, 84}, {110, 154}, {0, 154}}), Hex(0x1b2a4a));
  DrawPlayer(c, 40, 86, 26, {140, -35, -60, -15, -45, 135, 128, 150, 140},
             Silhouette(Hex(0x1b2a4a)));
  DrawBall(c, 80, 34, 11, 0.3);
  Lettering(c, 0, Hex(0xf1e4c4), Hex(0xa9d4ef), false, 134, 148);
}

void P1934(Canvas& c) {  // a striker in full stride on deep red over the tricolour
  Background(c, Hex(0xb3261e), Hex(0x4a100c));
  c.Fill(Path().Circle(70, 60, 36), Hex(0xd9482c), 0.6f);
  DrawPlayer(c, 56, 76, 26, {195, 72, 82, -5, 5, -120, -150, 110, 140},
             {Hex(0x1c3f94), Hex(0xf3eee0), Hex(0xf0c9a0), Hex(0x1c3f94)});
  DrawBall(c, 93, 86, 7, 1.1);
  Stripes(c, 0, 104, 110, 7, {0x119a48, 0xf3eee0, 0xce2b37}, true);
  Lettering(c, 1, Hex(0xf3e3c3), Hex(0xf3e3c3));
}

void P1938(Canvas& c) {  // a ball resting on the globe, under the night sky
  Background(c, Hex(0x0f1f4d), Hex(0x2f4f9a));
  for (int i = 0; i < 14; ++i)
    c.Fill(Star(8 + (i * 37) % 96, 6 + (i * 23) % 50, 1.6), Hex(0xf4f0d8), 0.8f);
  Globe(c, 55, 98, 40, Hex(0x3f7bd0), Hex(0x9fc87a), Hex(0xdfe8ff));
  c.Fill(Path().Rect(0, 108, 110, 46), Hex(0x0f1f4d), 0.0f);
  DrawBall(c, 55, 44, 16, 2.0);
  Stripes(c, 0, 112, 110, 6, {0x0055a4, 0xffffff, 0xef4135}, true);
  c.Fill(Path().Rect(0, 118, 110, 36), Hex(0x0f1f4d));
  Lettering(c, 2, Hex(0xffffff), Hex(0xf4a3a3), false, 136, 148);
}

void P1950(Canvas& c) {  // a yellow rhombus on green holding a blue disc with the ball
  Background(c, Hex(0x1f9a48), Hex(0x0d5e2a));
  c.Fill(Path().Polygon({{55, 10}, {104, 60}, {55, 110}, {6, 60}}), Hex(0xf6d219));
  c.Fill(Path().Circle(55, 60, 26), Hex(0x0d3d8c));
  c.Stroke({{30, 56}, {55, 52}, {80, 62}}, 3, Hex(0xffffff));
  DrawBall(c, 55, 66, 13, 0.7);
  Lettering(c, 3, Hex(0xffffff), Hex(0xf6d219));
}

void P1954(Canvas& c) {  // the white cross, the ball at its heart, snowy peaks below
  Background(c, Hex(0xd8261b), Hex(0x9c1a12));
  c.Fill(Path().Rect(41, 14, 28, 84), Hex(0xffffff));
  c.Fill(Path().Rect(13, 42, 84, 28), Hex(0xffffff));
  c.Fill(Path().Circle(55, 56, 19), Hex(0xd8261b));
  DrawBall(c, 55, 56, 15, 1.6);
  c.Fill(Path().Polygon({{0, 118},
                         {22, 96},
                         {34, 106},
                         {56, 84},
                         {76, 104},
                         {90, 94},
                         {110, 112},
                         {110, 120},
                         {0, 120}}),
         Hex(0xf4f4f4));
  c.Fill(
      Path().Polygon({{0, 120}, {26, 104}, {48, 116}, {70, 100}, {110, 118}, {110, 154}, {0, 154}}),
      Hex(0x7a1410));
  Lettering(c, 4, Hex(0xffffff), Hex(0xffffff));
}

void P1958(Canvas& c) {  // the yellow cross on blue, a header rising to the ball
  Background(c, Hex(0x1e66b4), Hex(0x0b3468));
  c.Fill(Path().Rect(30, 0, 16, 154), Hex(0xf7d417), 0.9f);
  c.Fill(Path().Rect(0, 46, 110, 16), Hex(0xf7d417), 0.9f);
  DrawPlayer(c, 70, 86, 24, {178, 20, -30, -15, -60, 125, 100, -115, -90},
             {Hex(0xf7d417), Hex(0x0b3468), Hex(0xe8c09a), Hex(0xf7d417)});
  DrawBall(c, 71, 36, 9, 0.2);
  c.Fill(Path().Rect(0, 112, 110, 42), Hex(0x0b3468));
  Lettering(c, 5, Hex(0xf7d417), Hex(0xf7d417));
}

void P1962(Canvas& c) {  // the lone star, a globe-sized ball over a red band
  Background(c, Hex(0xf0ead8), Hex(0xd8ceb6));
  c.Fill(Path().Rect(0, 0, 44, 44), Hex(0x0d2a6b));
  c.Fill(Star(22, 23, 14), Hex(0xffffff));
  c.Fill(Path().Rect(0, 88, 110, 66), Hex(0xc8102e));
  c.Fill(Path().Circle(66, 74, 31), Hex(0x000000), 0.2f);
  DrawBall(c, 64, 70, 30, 0.9);
  Lettering(c, 6, Hex(0xffffff), Hex(0xf0ead8));
}

void P1966(Canvas& c) {  // a red, white and blue roundel around the ball
  Background(c, Hex(0xf6f6f2), Hex(0xdcdcd4));
  c.Fill(Path().Circle(55, 58, 46), Hex(0x00247d));
  c.Fill(Path().Circle(55, 58, 36), Hex(0xffffff));
  c.Fill(Path().Circle(55, 58, 26), Hex(0xcf142b));
  DrawBall(c, 55, 58, 18, 2.4);
  TheFonts().bold.DrawCentred(c, "WORLD CUP", 9, 55, 116, Hex(0xcf142b));
  Lettering(c, 7, Hex(0x00247d), Hex(0xcf142b), false, 136, 149);
}

void P1970(Canvas& c) {  // a stepped pyramid under a ball for a sun
  Background(c, Hex(0xf9b233), Hex(0xe0457b));
  Rays(c, 55, 42, 18, 120, Hex(0xfff2a8), 0.35f, 0.25);
  DrawBall(c, 55, 42, 17, 0.5);
  const Col stone = Hex(0x4a1c6b);
  for (int i = 0; i < 5; ++i)
    c.Fill(Path().Rect(10 + i * 9, 110 - i * 9, 90 - i * 18, 10),
           Mix(stone, Hex(0x6d2e94), i * 0.2f));
  c.Fill(Path().Rect(0, 112, 110, 42), Hex(0x3a1060));
  Lettering(c, 8, Hex(0xf9b233), Hex(0xffffff), true, 134, 148);
}

void P1974(Canvas& c) {  // a kick in three ghosted phases over the tricolour floor
  Background(c, Hex(0x1c1c1c), Hex(0x3a3a3a));
  const Kit gold = Silhouette(Hex(0xffce00));
  DrawPlayer(c, 24, 82, 21, {185, 30, -10, -30, -60, -40, -20, 40, 60}, gold);
  Canvas ghost(c.W(), c.H());
  DrawPlayer(ghost, 46, 82, 21, {190, 60, 30, -10, 0, -100, -130, 100, 130}, gold);
  c.Draw(ghost, 0, 0, W, H, 0.55f);
  DrawPlayer(c, 68, 82, 21, {200, 95, 95, -5, 5, -120, -150, 120, 140}, Silhouette(Hex(0xfff0a0)));
  DrawBall(c, 98, 78, 6, 0.8);
  Stripes(c, 0, 108, 110, 12, {0x000000, 0xdd0000, 0xffce00}, false);
  Lettering(c, 9, Hex(0xffffff), Hex(0xffce00), false, 138, 150);
}

void P1978(Canvas& c) {  // sky-blue stripes, the May sun, the ball wrapped in a ribbon
  Stripes(c, 0, 0, 110, 154, {0x74acdf, 0xffffff, 0x74acdf, 0xffffff, 0x74acdf}, true);
  Rays(c, 55, 36, 16, 26, Hex(0xf6b40e), 1.0f);
  c.Fill(Path().Circle(55, 36, 12), Hex(0xf6b40e));
  c.Fill(Path().Circle(55, 36, 9), Hex(0xfcd116));
  DrawBall(c, 55, 82, 20, 1.3);
  c.Stroke({{26, 76}, {40, 96}, {55, 100}, {70, 96}, {84, 76}}, 5, Hex(0x74acdf));
  c.Stroke({{26, 76}, {40, 96}, {55, 100}, {70, 96}, {84, 76}}, 2, Hex(0xffffff));
  c.Fill(Path().Rect(0, 112, 110, 42), Hex(0x1a3f7a));
  Lettering(c, 10, Hex(0xffffff), Hex(0x74acdf));
}

void P1982(Canvas& c) {  // a painter's play of bold shapes, stars and a ball
  Background(c, Hex(0xf7f0dc), Hex(0xefe4c8));
  c.Fill(Path().Ellipse(32, 40, 22, 16), Hex(0xd4141e));
  c.Fill(Path().Circle(80, 28, 12), Hex(0xf6c400));
  c.Fill(Path().Ellipse(84, 86, 16, 20), Hex(0x1d4fb5));
  c.Fill(Star(28, 90, 12, 0.35), Hex(0x1a1a1a));
  c.Stroke({{8, 64}, {30, 58}, {54, 70}, {70, 56}, {100, 60}}, 3, Hex(0x1a1a1a));
  c.Stroke({{58, 16}, {64, 40}, {52, 100}}, 2.5, Hex(0x1a1a1a));
  c.Fill(Path().Circle(64, 104, 4), Hex(0x2e8b3a));
  DrawBall(c, 50, 66, 11, 2.1);
  Lettering(c, 11, Hex(0xd4141e), Hex(0x1a1a1a));
}

void P1986(Canvas& c) {  // the ball at the centre of a carved sun stone
  Background(c, Hex(0x0f6b45), Hex(0x073a24));
  const Col gold = Hex(0xe8b830), deep = Hex(0x8a5a10);
  c.Fill(Path().Circle(55, 62, 46), deep);
  c.Fill(Path().Circle(55, 62, 44), gold);
  c.Fill(Path().Circle(55, 62, 36), deep);
  c.Fill(Path().Circle(55, 62, 34), Hex(0xd29a22));
  for (int i = 0; i < 16; ++i) {
    const double a = 2 * M_PI * i / 16;
    c.Fill(Path().Polygon({{55 + 36 * std::cos(a - 0.08), 62 + 36 * std::sin(a - 0.08)},
                           {55 + 43 * std::cos(a), 62 + 43 * std::sin(a)},
                           {55 + 36 * std::cos(a + 0.08), 62 + 36 * std::sin(a + 0.08)}}),
           deep);
  }
  Rays(c, 55, 62, 8, 32, Hex(0xf6d26a), 0.8f, 0.25);
  DrawBall(c, 55, 62, 17, 2.7);
  Lettering(c, 12, Hex(0xf2c230), Hex(0xffffff));
}

void P1990(Canvas& c) {  // a row of stadium arches, the ball rising over them
  Background(c, Hex(0x1a7a3c), Hex(0x0e4a22));
  c.Fill(Path().Rect(0, 0, 110, 70), Vertical(Hex(0xffffff), Hex(0xe8efe8), 0, 70));
  const Col stone = Hex(0xc9b28a);
  c.Fill(Path().Rect(6, 62, 98, 44), stone);
  for (int i = 0; i < 5; ++i) {
    const double x = 10 + i * 19.2;
    c.Fill(Path().Rect(x, 78, 13, 28).Circle(x + 6.5, 78, 6.5), Hex(0x5a4a30));
    c.Fill(Path().Rect(x, 66, 13, 5), Hex(0x5a4a30), 0.5f);
  }
  c.Fill(Path().Rect(0, 104, 110, 8), Hex(0xd01c2a));
  DrawBall(c, 55, 34, 18, 1.9);
  Lettering(c, 13, Hex(0xffffff), Hex(0xffffff), true);
}

void P1994(Canvas& c) {  // a ball on a trail of stars over the stripes
  Background(c, Hex(0x0a2a6b), Hex(0x14408f));
  for (int i = 0; i < 7; ++i) c.Fill(Path().Rect(0, 78 + i * 6, 110, 3), Hex(0xd81e34));
  c.Fill(Path().Polygon({{6, 100}, {70, 44}, {84, 62}}), Hex(0xd81e34));
  c.Fill(Path().Polygon({{6, 100}, {68, 52}, {76, 62}}), Hex(0xffffff));
  for (int i = 0; i < 5; ++i) c.Fill(Star(14 + i * 12, 90 - i * 10, 3.5 + i * 0.6), Hex(0xffffff));
  DrawBall(c, 80, 46, 18, 0.15);
  c.Fill(Path().Rect(0, 116, 110, 38), Hex(0x0a2a6b));
  Lettering(c, 14, Hex(0xffffff), Hex(0xff5a6a));
}

}  // namespace

const PosterInfo& Poster(int index) {
  return kPosters[std::clamp(index, 0, 14)];
}

Canvas DrawPoster(int index) {
  index = std::clamp(index, 0, 14);
  Canvas c(110, 154, Col{});
  using Draw = void (*)(Canvas&);
  static const Draw kDraw[15] = {P1930, P1934, P1938, P1950, P1954, P1958, P1962, P1966,
                                 P1970, P1974, P1978, P1982, P1986, P1990, P1994};
  kDraw[index](c);
  Frame(c, Col{1, 1, 1}, 2.5, 1.0);
  Frame(c, Col{}, 0.5, 1.0);
  return c;
}

Canvas PosterSheet() {
  Canvas sheet(550, 462, Col{});
  for (int i = 0; i < 15; ++i) sheet.Draw(DrawPoster(i), (i % 5) * 110, (i / 5) * 154);
  return sheet;
}

}  // namespace art
