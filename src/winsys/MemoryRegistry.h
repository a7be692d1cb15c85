// A registry that lives only as long as the object: the process's registry until a
// host installs another, and a fresh, private one for each test.
#pragma once

#include "winsys/Registry.h"
#include "winsys/RegistryTree.h"

namespace qm {

class MemoryRegistry final : public RegistryBackend {
 public:
  std::optional<RegValue> Query(Hive hive, std::string_view keyPath,
                                std::string_view valueName) override;
  bool KeyExists(Hive hive, std::string_view keyPath) override;
  // False, changing nothing, for a key path Windows would refuse (see IsValidKeyPath).
  bool Set(Hive hive, std::string_view keyPath, std::string_view valueName,
           const RegValue& value) override;
  bool Delete(Hive hive, std::string_view keyPath, std::string_view valueName) override;

  const RegistryTree& Tree() const { return tree_; }

 private:
  RegistryTree tree_;
};

}  // namespace qm
