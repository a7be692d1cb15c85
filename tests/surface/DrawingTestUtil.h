// Helpers shared by the tests of the surface and of frame composition.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "winsys/Surface.h"
#include "winsys/WideVectors.h"

namespace qm::testing {

// Pixels the rectangles cover, counted once per rectangle.
inline int64_t Area(const std::vector<Rect>& rects) {
  int64_t a = 0;
  for (const Rect& r : rects) a += int64_t{r.Width} * r.Height;
  return a;
}

inline bool Covers(const std::vector<Rect>& rects, int x, int y) {
  for (const Rect& r : rects)
    if (x >= r.X && x < r.X + r.Width && y >= r.Y && y < r.Y + r.Height) return true;
  return false;
}

// Runs `test` with the drawing loops in their portable form and in each vector form
// this processor has: all must draw the same pixels.
template <typename Test>
void InEveryForm(Test test) {
  for (const int bits : {0, 256, 512}) {
    if (bits == 256 && !Vectors256Available()) continue;
    if (bits == 512 && !WideVectorsAvailable()) continue;
    LimitVectorsForTesting(bits);
    SCOPED_TRACE(bits == 0 ? "portable form" : std::to_string(bits) + "-bit vectors");
    test();
  }
  LimitVectorsForTesting(512);
}

}  // namespace qm::testing
