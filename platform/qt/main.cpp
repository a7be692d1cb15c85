// quillmark: the Linux program. Options that need no display are answered before Qt
// starts; everything else is the screen saver's command line (qt/Program.h).
#include <QLocale>
#include <csignal>
#include <string>
#include <vector>

#include "app/NumericText.h"
#include "headless/Cli.h"
#include "qt/Program.h"

int main(int argc, char** argv) {
  // Past a file-size limit a write must fail like a full disk, taking the paths that
  // keep the settings file whole and say so, rather than kill a dialog with the user's
  // changes in it.
  std::signal(SIGXFSZ, SIG_IGN);
  // The user's decimal separator, for the frames --render writes as for the saver (Qt
  // reads the locale from the environment, without an application object). A separator
  // outside Latin-1 cannot occur in the 8-bit settings texts: '.' stays.
  if (const char point = QLocale().decimalPoint().at(0).toLatin1(); point != '\0')
    qm::SetLocaleDecimalSeparator(point);
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (auto code = qm::headless::RunHeadlessOption(args)) return *code;
  return qm::qt::RunProgram(argc, argv, args);
}
