#include "winsys/WideVectors.h"

#include <atomic>

namespace qm {
namespace {

std::atomic<bool> allowed{true};

}  // namespace

bool WideVectorsAvailable() {
#ifdef QM_HAS_WIDE_VECTORS
  static const bool has = __builtin_cpu_supports("avx512f");
  return has;
#else
  return false;
#endif
}

bool UseWideVectors() {
  return allowed.load(std::memory_order_relaxed) && WideVectorsAvailable();
}

void SetWideVectorsForTesting(bool allowedNow) {
  allowed.store(allowedNow, std::memory_order_relaxed);
}

}  // namespace qm
