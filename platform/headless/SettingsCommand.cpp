#include <cstdio>

#include "headless/Cli.h"

namespace qm::headless {

int PrintSettingsCommand() {
  std::fputs("quillmark: --settings is not available in this build yet\n", stderr);
  return 2;
}

}  // namespace qm::headless
