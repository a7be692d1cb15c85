// quillmark: the Linux program. Options that need no display are answered before Qt
// starts; everything else is the screen saver's command line (qt/Program.h).
#include <csignal>
#include <string>
#include <vector>

#include "headless/Cli.h"
#include "qt/Program.h"

int main(int argc, char** argv) {
  // Past a file-size limit a write must fail like a full disk, taking the paths that
  // keep the settings file whole and say so, rather than kill a dialog with the user's
  // changes in it.
  std::signal(SIGXFSZ, SIG_IGN);
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (auto code = qm::headless::RunHeadlessOption(args)) return *code;
  return qm::qt::RunProgram(argc, argv, args);
}
