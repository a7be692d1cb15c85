// The real registry behind the core's RegistryBackend: advapi32 with ANSI texts. Keys
// are opened with the access mask the settings store has always used (0x2003F); where
// that is refused for reading (HKEY_LOCAL_MACHINE for a user without administrator
// rights), reading falls back to read-only access so the user's settings still load.
// A write to HKEY_LOCAL_MACHINE\SOFTWARE that is refused goes to the user's copy under
// HKEY_CURRENT_USER\Software\Classes\VirtualStore\MACHINE\SOFTWARE, which reads look at
// first: what Windows itself does for a 32-bit program of the 1990s, and does not do
// for this 64-bit one. Other writes that the system refuses fail quietly, as every
// registry failure does.
#pragma once

#include "winsys/Registry.h"

namespace qm::win32 {

class RegistryWin32 final : public RegistryBackend {
 public:
  std::optional<RegValue> Query(Hive hive, std::string_view keyPath,
                                std::string_view valueName) override;
  bool KeyExists(Hive hive, std::string_view keyPath) override;
  bool Set(Hive hive, std::string_view keyPath, std::string_view valueName,
           const RegValue& value) override;
  bool Delete(Hive hive, std::string_view keyPath, std::string_view valueName) override;
};

}  // namespace qm::win32
