#include "Font.h"

#include <stb_truetype.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>

namespace art {

namespace {

std::vector<int> Codepoints(const std::string& s) {
  std::vector<int> out;
  for (size_t i = 0; i < s.size();) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    int cp = c, extra = 0;
    if (c >= 0xF0)
      cp = c & 7, extra = 3;
    else if (c >= 0xE0)
      cp = c & 15, extra = 2;
    else if (c >= 0xC0)
      cp = c & 31, extra = 1;
    ++i;
    for (int k = 0; k < extra && i < s.size(); ++k, ++i) cp = (cp << 6) | (s[i] & 0x3F);
    out.push_back(cp);
  }
  return out;
}

Fonts g_fonts;

}  // namespace

bool Font::Load(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "artgen: cannot open font %s\n", path.c_str());
    return false;
  }
  data_.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  info_.assign(sizeof(stbtt_fontinfo), 0);
  auto* info = reinterpret_cast<stbtt_fontinfo*>(info_.data());
  if (!stbtt_InitFont(info, data_.data(), stbtt_GetFontOffsetForIndex(data_.data(), 0))) {
    std::fprintf(stderr, "artgen: %s is not a TrueType font\n", path.c_str());
    return false;
  }
  return true;
}

double Font::Measure(const std::string& text, double size) const {
  const auto* info = reinterpret_cast<const stbtt_fontinfo*>(info_.data());
  const float scale = stbtt_ScaleForMappingEmToPixels(info, static_cast<float>(size));
  const auto cps = Codepoints(text);
  double x = 0;
  for (size_t i = 0; i < cps.size(); ++i) {
    int adv = 0, lsb = 0;
    stbtt_GetCodepointHMetrics(info, cps[i], &adv, &lsb);
    x += adv * scale;
    if (i + 1 < cps.size()) x += scale * stbtt_GetCodepointKernAdvance(info, cps[i], cps[i + 1]);
  }
  return x;
}

double Font::Ascent(double size) const {
  const auto* info = reinterpret_cast<const stbtt_fontinfo*>(info_.data());
  int asc = 0, desc = 0, gap = 0;
  stbtt_GetFontVMetrics(info, &asc, &desc, &gap);
  return asc * stbtt_ScaleForMappingEmToPixels(info, static_cast<float>(size));
}

void Font::Draw(Canvas& c, const std::string& text, double size, double x, double y,
                const Paint& paint, float opacity) const {
  const auto* info = reinterpret_cast<const stbtt_fontinfo*>(info_.data());
  const float scale = stbtt_ScaleForMappingEmToPixels(info, static_cast<float>(size));
  const auto cps = Codepoints(text);
  for (size_t i = 0; i < cps.size(); ++i) {
    const double fx = std::floor(x), fy = std::floor(y);
    const float shiftX = static_cast<float>(x - fx), shiftY = static_cast<float>(y - fy);
    int x0, y0, x1, y1;
    stbtt_GetCodepointBitmapBoxSubpixel(info, cps[i], scale, scale, shiftX, shiftY, &x0, &y0, &x1,
                                        &y1);
    const int gw = x1 - x0, gh = y1 - y0;
    if (gw > 0 && gh > 0) {
      std::vector<unsigned char> bmp(static_cast<size_t>(gw) * gh);
      stbtt_MakeCodepointBitmapSubpixel(info, bmp.data(), gw, gh, gw, scale, scale, shiftX, shiftY,
                                        cps[i]);
      for (int gy = 0; gy < gh; ++gy) {
        for (int gx = 0; gx < gw; ++gx) {
          const unsigned char v = bmp[static_cast<size_t>(gy) * gw + gx];
          if (!v) continue;
          const int px = static_cast<int>(fx) + x0 + gx, py = static_cast<int>(fy) + y0 + gy;
          c.BlendPixel(px, py, paint(px + 0.5, py + 0.5), v / 255.f * opacity);
        }
      }
    }
    int adv = 0, lsb = 0;
    stbtt_GetCodepointHMetrics(info, cps[i], &adv, &lsb);
    x += adv * scale;
    if (i + 1 < cps.size()) x += scale * stbtt_GetCodepointKernAdvance(info, cps[i], cps[i + 1]);
  }
}

void Font::Draw(Canvas& c, const std::string& text, double size, double x, double y, Col col,
                float opacity) const {
  Draw(
      c, text, size, x, y, [col](double, double) { return col; }, opacity);
}

void Font::DrawCentred(Canvas& c, const std::string& text, double size, double cx, double y,
                       Col col, float opacity) const {
  Draw(c, text, size, cx - Measure(text, size) / 2, y, col, opacity);
}

namespace {
bool LoadFonts(const std::string& dir, Fonts& out) {
  return out.sans.Load(dir + "/LiberationSans-Regular.ttf") &&
         out.bold.Load(dir + "/LiberationSans-Bold.ttf") &&
         out.boldItalic.Load(dir + "/LiberationSans-BoldItalic.ttf") &&
         out.italic.Load(dir + "/LiberationSans-Italic.ttf");
}

}  // namespace

bool InitFonts(const std::string& dir) {
  return LoadFonts(dir, g_fonts);
}
const Fonts& TheFonts() {
  return g_fonts;
}

}  // namespace art
