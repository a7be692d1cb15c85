// The configuration dialog the program shows for "/c".
#pragma once

namespace qm::qt {

// Creates the setup dialog without an owner, centred on the screen, shows it modelessly
// and runs the application's event loop until it closes (it is the process's only
// window); returns the exit code, 0. Needs a QApplication.
int RunSetupDialog();

}  // namespace qm::qt
