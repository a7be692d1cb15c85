// Pictures: 32-bit pixels in one format shared by every host (0x00RRGGBB in a
// uint32_t, the layout of Qt's Format_RGB32 and of a 32-bit Windows DIB), and
// non-owning views of rectangles of them (a picture-grid cell is such a view).
#pragma once

#include <cstdint>
#include <memory>
#include <memory_resource>
#include <vector>

namespace qm {

using Pixel = uint32_t;

// The colour bits of a pixel. The top byte is unused (0) but in a picture with
// `HasAlpha` set: what the surface draws leaves it 0 whatever a source picture holds
// there.
inline constexpr Pixel kRgbMask = 0x00FFFFFFu;

inline constexpr Pixel Rgb(uint8_t r, uint8_t g, uint8_t b) {
  return (Pixel{r} << 16) | (Pixel{g} << 8) | Pixel{b};
}

// The pixels come from a memory resource so that a host can hand out memory its
// display reads directly (the saver's surface); a copy takes the default resource.
struct Picture {
  int Width = 0;
  int Height = 0;
  std::pmr::vector<Pixel> Pixels;  // row by row, Width * Height
  // Set only by the picture loader, for a picture with transparent parts: each pixel's
  // top byte is then its opacity (0 clear, 255 opaque) and its colour bits are already
  // multiplied by it, so that what they alone show is the picture laid over black.
  // An image control lays such a picture over what lies below it; everything else,
  // the surface's drawing included, uses the colour bits only.
  bool HasAlpha = false;

  Picture() = default;
  Picture(int width, int height, Pixel fill = 0,
          std::pmr::memory_resource* memory = std::pmr::get_default_resource())
      : Width(width), Height(height), Pixels(static_cast<size_t>(width) * height, fill, memory) {}
  Pixel At(int x, int y) const { return Pixels[static_cast<size_t>(y) * Width + x]; }
};

// A rectangle of a picture; valid while the picture lives.
struct PictureView {
  const Pixel* Data = nullptr;  // first pixel of the rectangle
  int Stride = 0;               // pixels from one row to the next
  int Width = 0;
  int Height = 0;

  PictureView() = default;
  explicit PictureView(const Picture& p)
      : Data(p.Pixels.data()), Stride(p.Width), Width(p.Width), Height(p.Height) {}
  bool Empty() const { return Data == nullptr || Width <= 0 || Height <= 0; }
  Pixel At(int x, int y) const { return Data[static_cast<size_t>(y) * Stride + x]; }
};

using PicturePtr = std::shared_ptr<const Picture>;

}  // namespace qm
