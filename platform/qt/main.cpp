// quillmark: the Linux program. Options that need no display are answered before Qt
// starts; everything else is the screen saver's command line.
#include <string>
#include <vector>

#include "headless/Cli.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (auto code = qm::headless::RunHeadlessOption(args)) return *code;
  return 0;
}
