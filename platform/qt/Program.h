// The Linux program after the headless options: XScreenSaver's command line or the
// saver's own switches, each carried out with Qt on X11.
//   ""/"/s"     full screen over the root window, topmost, pointer hidden
//   "/p <id>"   embedded in X window <id> (decimal), following its size; ends with it
//   "/c"        the setup dialog
//   "/a [<id>]" the change-password dialog
//   --root / --window-id <id> / $XSCREENSAVER_WINDOW   an XScreenSaver display module
// Anything else ends at once, with no window and exit code 0. A preview or module
// window that does not exist ends the program with one line on stderr, exit code 1.
#pragma once

#include <string>
#include <vector>

namespace qm::qt {

int RunProgram(int argc, char** argv, const std::vector<std::string>& arguments);

}  // namespace qm::qt
