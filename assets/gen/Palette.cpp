#include "Palette.h"

#include <libimagequant.h>

#include <cstdio>
#include <memory>
#include <vector>

namespace art {

namespace {

constexpr uint32_t kBlack = 0x000000, kWhite = 0xFFFFFF;

liq_color Liq(uint32_t rgb) {
  return {static_cast<unsigned char>(rgb >> 16), static_cast<unsigned char>(rgb >> 8),
          static_cast<unsigned char>(rgb), 255};
}

// Quantises `c` to at most `colours` colours, those of `fixed` among them, with error
// diffusion of strength `dither` (0 to 1).
bool Reduce(Canvas& c, int colours, const uint32_t* fixed, size_t fixedCount, float dither) {
  const std::vector<uint32_t> rgb = c.ToRgb();
  std::vector<liq_color> rgba(rgb.size());
  for (size_t i = 0; i < rgb.size(); ++i) rgba[i] = Liq(rgb[i]);

  const std::unique_ptr<liq_attr, void (*)(liq_attr*)> attr(liq_attr_create(), liq_attr_destroy);
  if (!attr || liq_set_max_colors(attr.get(), colours) != LIQ_OK ||
      liq_set_speed(attr.get(), 1) != LIQ_OK) {
    std::fprintf(stderr, "artgen: the colour quantiser refused its settings\n");
    return false;
  }
  const std::unique_ptr<liq_image, void (*)(liq_image*)> image(
      liq_image_create_rgba(attr.get(), rgba.data(), c.W(), c.H(), 0), liq_image_destroy);
  if (!image) {
    std::fprintf(stderr, "artgen: the colour quantiser refused a %dx%d picture\n", c.W(), c.H());
    return false;
  }
  for (size_t i = 0; i < fixedCount; ++i) liq_image_add_fixed_color(image.get(), Liq(fixed[i]));
  liq_result* raw = nullptr;
  if (liq_image_quantize(image.get(), attr.get(), &raw) != LIQ_OK) {
    std::fprintf(stderr, "artgen: no palette found for a %dx%d picture\n", c.W(), c.H());
    return false;
  }
  const std::unique_ptr<liq_result, void (*)(liq_result*)> result(raw, liq_result_destroy);
  liq_set_dithering_level(result.get(), dither);
  std::vector<unsigned char> index(rgb.size());
  if (liq_write_remapped_image(result.get(), image.get(), index.data(), index.size()) != LIQ_OK) {
    std::fprintf(stderr, "artgen: a %dx%d picture could not be remapped\n", c.W(), c.H());
    return false;
  }
  const liq_palette* palette = liq_get_palette(result.get());
  for (int y = 0; y < c.H(); ++y)
    for (int x = 0; x < c.W(); ++x) {
      const size_t i = static_cast<size_t>(y) * c.W() + x;
      if (rgb[i] == kBlack || rgb[i] == kWhite) continue;
      const liq_color& p = palette->entries[index[i]];
      c.At(x, y) = {p.r / 255.f, p.g / 255.f, p.b / 255.f};
    }
  return true;
}

}  // namespace

const std::array<uint32_t, 16>& Windows16() {
  static const std::array<uint32_t, 16> colours = {
      0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
      0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
  return colours;
}

bool ReduceColours(Canvas& c, int colours) {
  const uint32_t fixed[] = {kBlack, kWhite};
  return Reduce(c, colours, fixed, 2, 1.0f);
}

bool ReduceToWindows16(Canvas& c) {
  return Reduce(c, 16, Windows16().data(), Windows16().size(), 0.0f);
}

}  // namespace art
