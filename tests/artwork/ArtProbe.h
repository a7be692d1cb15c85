// Colour probes shared by the artwork tests.
#pragma once

#include <algorithm>
#include <cstdint>

#include "winsys/Picture.h"

namespace qm::test {

struct Channels {
  int r, g, b;
};
inline Channels Split(Pixel p) {
  return {static_cast<int>((p >> 16) & 255), static_cast<int>((p >> 8) & 255),
          static_cast<int>(p & 255)};
}
// Near-white and colourless: ball hexagons, motion streaks, white text.
inline bool NeutralWhite(Pixel p) {
  const Channels c = Split(p);
  return std::min({c.r, c.g, c.b}) > 200 &&
         std::max({c.r, c.g, c.b}) - std::min({c.r, c.g, c.b}) < 24;
}
// Gold: strong red, less green, clearly less blue.
inline bool Gold(Pixel p) {
  const Channels c = Split(p);
  return c.r > 120 && c.g > 70 && c.r > c.g && c.g > c.b + 30;
}

}  // namespace qm::test
