// Whether the drawing loops may use the processor's vectors: 512 bits wide where it has
// them, else 256. Their forms are built for x86-64 with GCC or Clang, where the
// compiler can target the instructions per function and the processor is asked at run
// time. Every vector form draws exactly what its portable form draws.
//
// On Windows the stack is aligned to 16 bytes only, and GCC spills these registers
// with moves that require 32 or 64: the Windows build has the assembler write every
// vector move in its unaligned form (see cmake/mingw-w64.cmake), which costs nothing
// on processors that have these vectors.
#pragma once

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define QM_HAS_WIDE_VECTORS 1
// Marks a function compiled for the 512-bit instructions; call it only where
// UseWideVectors() said yes.
#define QM_WIDE __attribute__((target("avx512f")))
// Marks a function compiled for the 256-bit ones; call it only where UseVectors256()
// said yes.
#define QM_V256 __attribute__((target("avx2")))
#endif

namespace qm {

// Whether this build, on this processor, has the 512-bit forms.
bool WideVectorsAvailable();
// Whether it has the 256-bit forms.
bool Vectors256Available();

// Whether to use them: available, and not turned off by a test.
bool UseWideVectors();
bool UseVectors256();

// Tests allow only the forms up to `bits` wide (0: the portable forms alone; 512 or
// more: all there are), to check that every form draws the same.
void LimitVectorsForTesting(int bits);

}  // namespace qm
