// quillmark: the Linux program. Options that need no display are answered before Qt
// starts; everything else is the screen saver's command line (qt/Program.h).
#include <string>
#include <vector>

#include "headless/Cli.h"
#include "qt/Program.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (auto code = qm::headless::RunHeadlessOption(args)) return *code;
  return qm::qt::RunProgram(argc, argv, args);
}
