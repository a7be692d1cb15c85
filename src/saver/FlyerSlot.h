// One flying object of the ball and trophy scenes.
#pragma once

#include <cstdint>

namespace qm {

struct FlyerSlot {
  float X = 0;          // left edge of the drawn picture, pixels
  float Y = 0;          // top edge, pixels, downwards
  float Step = 0;       // distance per step along each moving axis; a multiple of 10
  float Direction = 0;  // whole number 1 to 12
  float Size = 0;       // drawn width, pixels
  int16_t Frame = 0;    // spin frame 0 to 6 (balls only)
};

}  // namespace qm
