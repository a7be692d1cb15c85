#include "qt/StartupTrace.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace qm::qt {

void TraceStartup(const char* phase) {
  static const bool enabled = std::getenv("QUILLMARK_REPORT_FIRST_FRAME") != nullptr;
  if (!enabled) return;
  const auto now = std::chrono::system_clock::now().time_since_epoch();
  std::fprintf(
      stderr, "quillmark: %s at %lld ms\n", phase,
      static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count()));
}

}  // namespace qm::qt
