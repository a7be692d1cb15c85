#include "qt/ConfigureMode.h"

namespace qm::qt {

// Transitional: until the setup dialog lands, "/c" ends quietly, as an unknown switch
// does. The configuration work replaces this body with the dialog.
int ShowSetupDialog() {
  return 0;
}

}  // namespace qm::qt
