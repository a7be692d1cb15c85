#include "winsys/WideVectors.h"

#include <atomic>

namespace qm {
namespace {

std::atomic<int> widest{512};

}  // namespace

bool WideVectorsAvailable() {
#ifdef QM_HAS_WIDE_VECTORS
  static const bool has = __builtin_cpu_supports("avx512f");
  return has;
#else
  return false;
#endif
}

bool Vectors256Available() {
#ifdef QM_HAS_WIDE_VECTORS
  static const bool has = __builtin_cpu_supports("avx2");
  return has;
#else
  return false;
#endif
}

bool UseWideVectors() {
  return widest.load(std::memory_order_relaxed) >= 512 && WideVectorsAvailable();
}

bool UseVectors256() {
  return widest.load(std::memory_order_relaxed) >= 256 && Vectors256Available();
}

void LimitVectorsForTesting(int bits) {
  widest.store(bits, std::memory_order_relaxed);
}

}  // namespace qm
