// "/a": the change-password dialog. Asks for the old password when one is set and
// for the new one twice; an empty new password removes the password. Stores only a
// salted hash (app/Password.h). The dialog stays open on a wrong old password or a
// confirmation that differs, and says why.
#pragma once

#include <cstdint>

namespace qm::qt {

// Runs the dialog to its end; `parent` is an X window the dialog stays above (0, or
// a window that does not exist, gives a dialog of its own). Returns the process's
// exit code: 0 also when the user cancels.
int RunPasswordChange(uint64_t parent);

}  // namespace qm::qt
