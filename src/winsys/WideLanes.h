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

// How many pixels into its 64-byte cache line `p` lies. A store of sixteen pixels from
// anywhere else writes parts of two lines, which took this processor twice as long
// or more as one line: rows of a few groups are stored faster from the line's start,
// `LineOffset` columns early, with those lanes left out.
inline unsigned LineOffset(const Pixel* p) {
  return static_cast<unsigned>(reinterpret_cast<uintptr_t>(p) / sizeof(Pixel) % 16);
}

}  // namespace qm
