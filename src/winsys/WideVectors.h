// Whether the drawing loops may use the processor's 512-bit vectors. Their forms are
// built for x86-64 with GCC or Clang outside Windows, where the compiler can target the
// instructions per function and the processor is asked at run time. (On Windows the
// stack is not aligned for the registers' spills, so it keeps the portable forms.)
// Every vector form draws exactly what its portable form draws.
#pragma once

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__)) && !defined(_WIN32)
#define QM_HAS_WIDE_VECTORS 1
// Marks a function compiled for the 512-bit instructions; call it only where
// UseWideVectors() said yes.
#define QM_WIDE __attribute__((target("avx512f")))
#endif

namespace qm {

// Whether this build, on this processor, has the vector forms.
bool WideVectorsAvailable();

// Whether to use them: available, and not turned off by a test.
bool UseWideVectors();

// Tests turn the vector forms off (and on again) to check that both forms draw the same.
void SetWideVectorsForTesting(bool allowed);

}  // namespace qm
