// The configuration request ("/c"): the setup dialog, modeless and the process's only
// window, with the scene dialogs and the About box it opens modally. The logic is the
// core's (setup/SetupForm.h, SceneDialog.h, frmAbout.h); these are its Windows views.
#pragma once

#include <windows.h>

namespace qm::win32 {

class HostWin32;

// Shows the setup dialog and runs messages until it closes. Returns the exit code.
int RunSetupDialog(HINSTANCE instance, HostWin32& host);

}  // namespace qm::win32
