// The fifteen tournament posters, 110 x 154 each: every one its own colours and motif,
// with the year and the host country lettered at the foot.
#include <cmath>

#include "Art.h"
#include "Font.h"

namespace art {

namespace {

const PosterInfo kPosters[15] = {
    {1930, "URUGUAY"},     {1934, "ITALIA"},      {1938, "FRANCE"},    {1950, "BRASIL"},
    {1954, "SWITZERLAND"}, {1958, "SVERIGE"},     {1962, "CHILE"},     {1966, "ENGLAND"},
    {1970, "MEXICO"},      {1974, "DEUTSCHLAND"}, {1978, "ARGENTINA"}, {1982, "ESPAÑA"},
    {1986, "MEXICO"},      {1990, "ITALIA"},      {1994, "USA"},
};

struct Style {
  uint32_t bg, bg2, ink, text;
};
const Style kStyles[15] = {
    {0x8fc4e8, 0xf2e6c8, 0x1b2a4a, 0x1b2a4a}, {0xb0281e, 0x5a1410, 0xf3e3c3, 0xf3e3c3},
    {0x13285c, 0x2f4f9a, 0xe8e2d0, 0xffffff}, {0x1c8a3e, 0xf4d21c, 0x0d3d8c, 0xffffff},
    {0xd52b1e, 0xa51d14, 0xffffff, 0xffffff}, {0x1b5fa8, 0x0c3a70, 0xf7d417, 0xf7d417},
    {0xeae4d6, 0xd8cfbb, 0xc8102e, 0x0d2a6b}, {0xf4f4f0, 0xdadad4, 0xcf142b, 0x00247d},
    {0xf7a21b, 0xe0457b, 0x3a1060, 0x3a1060}, {0x1a1a1a, 0x3a3a3a, 0xffce00, 0xffffff},
    {0x74acdf, 0xffffff, 0x1a3f7a, 0x1a3f7a}, {0xf7f0dc, 0xf7f0dc, 0xd4141e, 0x1a1a1a},
    {0x0f6b45, 0x0a4a30, 0xf2c230, 0xffffff}, {0x1a7a3c, 0xffffff, 0xd01c2a, 0x0d3b20},
    {0x0a2a6b, 0x14408f, 0xd81e34, 0xffffff},
};

Paint Vertical(Col top, Col bottom, double y0, double h) {
  return [=](double, double y) {
    return Mix(top, bottom, static_cast<float>(std::clamp((y - y0) / h, 0.0, 1.0)));
  };
}

}  // namespace

const PosterInfo& Poster(int index) {
  return kPosters[std::clamp(index, 0, 14)];
}

Canvas DrawPoster(int index) {
  index = std::clamp(index, 0, 14);
  const Style& s = kStyles[index];
  const PosterInfo& info = kPosters[index];
  Canvas c(110, 154, Hex(s.bg));
  c.Fill(Path().Rect(0, 0, 110, 154), Vertical(Hex(s.bg), Hex(s.bg2), 0, 154));
  DrawBall(c, 55, 62, 24, index * 0.4);
  const Fonts& f = TheFonts();
  f.bold.DrawCentred(c, std::to_string(info.year), 22, 55, 124, Hex(s.text));
  double size = 12;
  while (f.bold.Measure(info.country, size) > 100) size -= 0.5;
  f.bold.DrawCentred(c, info.country, size, 55, 142, Hex(s.ink));
  return c;
}

Canvas PosterSheet() {
  Canvas sheet(550, 462, Col{});
  for (int i = 0; i < 15; ++i) sheet.Draw(DrawPoster(i), (i % 5) * 110, (i / 5) * 154);
  return sheet;
}

}  // namespace art
