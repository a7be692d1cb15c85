// Lane helpers shared by the 512-bit forms. Include only where QM_HAS_WIDE_VECTORS is
// defined, from files whose functions are marked QM_WIDE.
#pragma once

#include <immintrin.h>

#include <cstddef>

#include "winsys/WideVectors.h"

namespace qm {

// The first n of sixteen lanes (all of them from 16 on): a row's tail, whose lanes past
// its end are neither read nor written.
QM_WIDE inline __mmask16 FirstLanes(size_t n) {
  return n >= 16 ? static_cast<__mmask16>(0xFFFF) : static_cast<__mmask16>((1u << n) - 1u);
}

}  // namespace qm
