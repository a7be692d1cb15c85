// Lane helpers shared by the 512-bit forms. Include only where QM_HAS_WIDE_VECTORS is
// defined, from files whose functions are marked QM_WIDE.
#pragma once

#include <immintrin.h>

#include <cstddef>
#include <cstdint>

#include "winsys/Picture.h"
#include "winsys/WideVectors.h"

namespace qm {

// The first n of sixteen lanes (all of them from 16 on): a row's tail, whose lanes past
// its end are neither read nor written.
QM_WIDE inline __mmask16 FirstLanes(size_t n) {
  return n >= 16 ? static_cast<__mmask16>(0xFFFF) : static_cast<__mmask16>((1u << n) - 1u);
}

// Lanes `first` (below 16) to 15: a row's head, when its stores start early.
QM_WIDE inline __mmask16 LanesFrom(unsigned first) {
  return static_cast<__mmask16>(0xFFFFu << first);
}

// How many columns before `column` the stores of rows `stride` pixels apart from
// `rowStart` on may start, so that they start at a 64-byte cache line's start (the
// lanes in front left out): a store of sixteen pixels from anywhere else writes parts of
// two lines, which took the processors measured here twice as long as one line or more.
// 0 where the rows start at different places in their lines, or where the line starts
// before the row.
inline unsigned LineLead(const Pixel* rowStart, size_t column, size_t stride) {
  if (stride % 16 != 0) return 0;
  const auto lead =
      static_cast<unsigned>(reinterpret_cast<uintptr_t>(rowStart + column) / sizeof(Pixel) % 16);
  return lead <= column ? lead : 0;
}

}  // namespace qm
