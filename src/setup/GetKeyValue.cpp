#include "setup/GetKeyValue.h"

#include "app/RegistryAccess.h"

namespace qm {

// The About box's reader follows the same rules as the settings' own, down to the
// buffer's size; one reader keeps them from drifting apart.
bool GetKeyValue(Hive hive, std::string_view keyPath, std::string_view valueName,
                 std::string& value) {
  return RegReadValue(hive, keyPath, valueName, value);
}

}  // namespace qm
