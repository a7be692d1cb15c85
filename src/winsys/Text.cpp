#include "winsys/Text.h"

#include <stb_truetype.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <tuple>

#include "winsys/Fonts.h"

namespace qm {
namespace {

// Code points of the bytes 0x80..0x9F; the five bytes the code page leaves unassigned
// keep their own value (C1 controls), as Windows' conversion does.
constexpr std::array<char32_t, 32> kHighHalf = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

enum Face { kRegular, kBold, kBoldItalic, kFaceCount };

struct FaceData {
  stbtt_fontinfo info{};
  bool ok = false;
};

struct Glyph {
  int advance = 0;  // whole pixels
  int left = 0;     // bitmap offset from the pen
  int top = 0;      // bitmap offset from the baseline (negative: above)
  int width = 0;
  int height = 0;
  std::vector<uint8_t> coverage;
};

// The italic-only style has no face of its own among the embedded fonts; it draws
// upright rather than bold, which keeps its metrics.
Face FaceOf(const Font& font) {
  if (font.Bold) return font.Italic ? kBoldItalic : kBold;
  return kRegular;
}

class FontCache {
 public:
  static FontCache& Get() {
    static FontCache cache;
    return cache;
  }

  std::mutex mutex;

  const FaceData& FaceFor(Face face) {
    FaceData& f = faces_[face];
    if (!loaded_[face]) {
      loaded_[face] = true;
      const unsigned char* data = face == kBold         ? fonts::SansBold
                                  : face == kBoldItalic ? fonts::SansBoldItalic
                                                        : fonts::SansRegular;
      const int offset = stbtt_GetFontOffsetForIndex(data, 0);
      f.ok = offset >= 0 && stbtt_InitFont(&f.info, data, offset) != 0;
    }
    return f;
  }

  const Glyph& GlyphFor(Face face, int px, char32_t cp) {
    const auto key = std::make_tuple(static_cast<int>(face), px, cp);
    auto it = glyphs_.find(key);
    if (it != glyphs_.end()) return it->second;
    Glyph g;
    const FaceData& f = FaceFor(face);
    if (f.ok) {
      const float scale = stbtt_ScaleForMappingEmToPixels(&f.info, static_cast<float>(px));
      const int index = stbtt_FindGlyphIndex(&f.info, static_cast<int>(cp));
      int advance = 0, bearing = 0;
      stbtt_GetGlyphHMetrics(&f.info, index, &advance, &bearing);
      g.advance = static_cast<int>(std::lround(advance * scale));
      int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
      stbtt_GetGlyphBitmapBox(&f.info, index, scale, scale, &x0, &y0, &x1, &y1);
      g.left = x0;
      g.top = y0;
      g.width = std::max(x1 - x0, 0);
      g.height = std::max(y1 - y0, 0);
      if (g.width > 0 && g.height > 0) {
        g.coverage.resize(static_cast<size_t>(g.width) * g.height);
        stbtt_MakeGlyphBitmap(&f.info, g.coverage.data(), g.width, g.height, g.width, scale, scale,
                              index);
      }
    }
    return glyphs_.emplace(key, std::move(g)).first->second;
  }

  FontMetrics Metrics(Face face, int px) {
    const FaceData& f = FaceFor(face);
    FontMetrics m;
    if (!f.ok) return m;
    const float scale = stbtt_ScaleForMappingEmToPixels(&f.info, static_cast<float>(px));
    int ascent = 0, descent = 0, gap = 0;
    stbtt_GetFontVMetrics(&f.info, &ascent, &descent, &gap);
    m.Ascent = static_cast<int>(std::lround(ascent * scale));
    m.Descent = static_cast<int>(std::lround(-descent * scale));
    return m;
  }

 private:
  std::array<FaceData, kFaceCount> faces_{};
  std::array<bool, kFaceCount> loaded_{};
  std::map<std::tuple<int, int, char32_t>, Glyph> glyphs_;
};

Rect Intersect(const Rect& a, const Rect& b) {
  const int x0 = std::max(a.X, b.X), y0 = std::max(a.Y, b.Y);
  const int x1 = std::min(a.X + a.Width, b.X + b.Width);
  const int y1 = std::min(a.Y + a.Height, b.Y + b.Height);
  return {x0, y0, std::max(x1 - x0, 0), std::max(y1 - y0, 0)};
}

uint32_t Blend(uint32_t d, uint32_t c, uint32_t a) {
  return (d * (255 - a) + c * a + 127) / 255;
}

Pixel BlendPixel(Pixel dst, Pixel colour, uint32_t a) {
  if (a == 255) return colour & 0x00FFFFFFu;
  const uint32_t r = Blend((dst >> 16) & 0xFF, (colour >> 16) & 0xFF, a);
  const uint32_t g = Blend((dst >> 8) & 0xFF, (colour >> 8) & 0xFF, a);
  const uint32_t b = Blend(dst & 0xFF, colour & 0xFF, a);
  return (r << 16) | (g << 8) | b;
}

int TextWidthLocked(FontCache& cache, Face face, int px, std::string_view text) {
  int w = 0;
  for (char c : text)
    w += cache.GlyphFor(face, px, Cp1252CodePoint(static_cast<unsigned char>(c))).advance;
  return w;
}

}  // namespace

char32_t Cp1252CodePoint(unsigned char byte) {
  if (byte >= 0x80 && byte < 0xA0) return kHighHalf[byte - 0x80];
  return byte;
}

int FontPixelSize(const Font& font) {
  const double px = std::nearbyint(static_cast<double>(font.SizePt) * 96.0 / 72.0);
  if (!std::isfinite(px)) return 1;
  return static_cast<int>(std::clamp(px, 1.0, 400.0));
}

FontMetrics MeasureFont(const Font& font) {
  FontCache& cache = FontCache::Get();
  std::lock_guard lock(cache.mutex);
  return cache.Metrics(FaceOf(font), FontPixelSize(font));
}

int TextWidth(const Font& font, std::string_view text) {
  FontCache& cache = FontCache::Get();
  std::lock_guard lock(cache.mutex);
  return TextWidthLocked(cache, FaceOf(font), FontPixelSize(font), text);
}

std::vector<std::string> WrapLines(const Font& font, std::string_view text, int width) {
  FontCache& cache = FontCache::Get();
  std::lock_guard lock(cache.mutex);
  const Face face = FaceOf(font);
  const int px = FontPixelSize(font);
  std::vector<std::string> lines;
  size_t start = 0;
  while (true) {
    size_t end = text.find_first_of("\r\n", start);
    const std::string_view para =
        text.substr(start, end == std::string_view::npos ? end : end - start);
    // Greedy fill: words go on the line while they fit; a word that does not fit starts
    // the next line, the blanks before it are dropped.
    std::string line;
    size_t i = 0;
    while (i < para.size()) {
      size_t blanksEnd = para.find_first_not_of(' ', i);
      if (blanksEnd == std::string_view::npos) blanksEnd = para.size();
      size_t wordEnd = para.find(' ', blanksEnd);
      if (wordEnd == std::string_view::npos) wordEnd = para.size();
      const std::string_view blanks = para.substr(i, blanksEnd - i);
      const std::string_view word = para.substr(blanksEnd, wordEnd - blanksEnd);
      const std::string candidate = line + std::string(blanks) + std::string(word);
      if (!line.empty() && !word.empty() && TextWidthLocked(cache, face, px, candidate) > width) {
        lines.push_back(line);
        line = std::string(word);
      } else {
        line = candidate;
      }
      i = wordEnd;
    }
    lines.push_back(line);
    if (end == std::string_view::npos) break;
    if (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ++end;
    start = end + 1;
  }
  return lines;
}

void DrawTextLine(Picture& dst, const Rect& clip, int x, int y, const Font& font, Pixel colour,
                  std::string_view text) {
  const Rect area = Intersect(clip, Rect{0, 0, dst.Width, dst.Height});
  if (area.Empty()) return;
  FontCache& cache = FontCache::Get();
  std::lock_guard lock(cache.mutex);
  const Face face = FaceOf(font);
  const int px = FontPixelSize(font);
  const FontMetrics m = cache.Metrics(face, px);
  const int baseline = y + m.Ascent;
  int pen = x;
  for (char c : text) {
    const Glyph& g = cache.GlyphFor(face, px, Cp1252CodePoint(static_cast<unsigned char>(c)));
    const Rect box{pen + g.left, baseline + g.top, g.width, g.height};
    const Rect vis = Intersect(box, area);
    for (int yy = vis.Y; yy < vis.Y + vis.Height; ++yy) {
      const uint8_t* cov = g.coverage.data() + static_cast<size_t>(yy - box.Y) * g.width;
      Pixel* row = dst.Pixels.data() + static_cast<size_t>(yy) * dst.Width;
      for (int xx = vis.X; xx < vis.X + vis.Width; ++xx) {
        const uint32_t a = cov[xx - box.X];
        if (a != 0) row[xx] = BlendPixel(row[xx], colour, a);
      }
    }
    pen += g.advance;
    if (pen > area.X + area.Width + px) break;  // the rest lies beyond the clip
  }
  if (font.Underline) {
    const int uy = baseline + std::max(1, px / 10);
    const int thick = std::max(1, (px + 7) / 14);
    const Rect bar = Intersect(Rect{x, uy, pen - x, thick}, area);
    for (int yy = bar.Y; yy < bar.Y + bar.Height; ++yy)
      for (int xx = bar.X; xx < bar.X + bar.Width; ++xx)
        dst.Pixels[static_cast<size_t>(yy) * dst.Width + xx] = colour & 0x00FFFFFFu;
  }
}

void DrawLabelText(Picture& dst, const Rect& clip, const Rect& box, const Font& font, Pixel colour,
                   Alignment align, std::string_view text) {
  const Rect area = Intersect(clip, box);
  if (area.Empty() || text.empty()) return;
  const std::vector<std::string> lines = WrapLines(font, text, box.Width);
  const int lineHeight = std::max(MeasureFont(font).LineHeight(), 1);
  int y = box.Y;
  // A glyph may reach beyond its line's height (a descender below it, an accent above
  // it), so a line is left out only when it would miss the area by a whole line more.
  for (const std::string& line : lines) {
    if (y - lineHeight >= area.Y + area.Height) break;
    if (y + 2 * lineHeight > area.Y) {
      int x = box.X;
      if (align != Alignment::Left) {
        const int slack = box.Width - TextWidth(font, line);
        // Centring rounds towards the left when the slack is odd (or negative).
        x += align == Alignment::Right ? slack : (slack >= 0 ? slack / 2 : -((-slack + 1) / 2));
      }
      DrawTextLine(dst, area, x, y, font, colour, line);
    }
    y += lineHeight;
  }
}

}  // namespace qm
