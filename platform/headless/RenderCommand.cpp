#include <cstdio>

#include "headless/Cli.h"

namespace qm::headless {

int RenderCommand(const std::vector<std::string>&) {
  std::fputs("quillmark: --render is not available in this build yet\n", stderr);
  return 2;
}

}  // namespace qm::headless
