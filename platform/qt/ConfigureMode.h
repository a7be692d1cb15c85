// "/c": the configuration dialog. The Qt dialogs are built by the configuration work;
// this is the one call the start-up makes into them.
#pragma once

namespace qm::qt {

// Shows the setup dialog without an owner and runs until it closes; returns the
// process's exit code. Needs a QApplication.
int ShowSetupDialog();

}  // namespace qm::qt
