// Small picture files built byte by byte, so a test knows every pixel it expects.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "winsys/Picture.h"

namespace qm::testing {

inline void PutLe(std::string& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// An uncompressed 24-bit BMP; rows are stored bottom-up unless `topDown`.
inline std::string Bmp24(int width, int height, const std::function<Pixel(int, int)>& pixel,
                         bool topDown = false) {
  const uint32_t rowBytes = (static_cast<uint32_t>(width) * 3 + 3) / 4 * 4;
  const uint32_t imageBytes = rowBytes * static_cast<uint32_t>(height);
  std::string out = "BM";
  PutLe(out, 54 + imageBytes, 4);
  PutLe(out, 0, 4);
  PutLe(out, 54, 4);
  PutLe(out, 40, 4);
  PutLe(out, static_cast<uint32_t>(width), 4);
  PutLe(out, static_cast<uint32_t>(topDown ? -height : height), 4);
  PutLe(out, 1, 2);
  PutLe(out, 24, 2);
  PutLe(out, 0, 4);
  PutLe(out, imageBytes, 4);
  PutLe(out, 2835, 4);
  PutLe(out, 2835, 4);
  PutLe(out, 0, 4);
  PutLe(out, 0, 4);
  for (int stored = 0; stored < height; ++stored) {
    const int y = topDown ? stored : height - 1 - stored;
    std::string row;
    for (int x = 0; x < width; ++x) {
      const Pixel p = pixel(x, y);
      row += static_cast<char>(p & 0xFF);
      row += static_cast<char>((p >> 8) & 0xFF);
      row += static_cast<char>((p >> 16) & 0xFF);
    }
    row.resize(rowBytes, '\0');
    out += row;
  }
  return out;
}

inline std::string SolidBmp(int width, int height, Pixel colour) {
  return Bmp24(width, height, [colour](int, int) { return colour; });
}

}  // namespace qm::testing
