#include "winsys/Registry.h"

#include "winsys/MemoryRegistry.h"

namespace qm {

std::optional<RegValue> MemoryRegistry::Query(Hive hive, std::string_view keyPath,
                                              std::string_view valueName) {
  if (const RegValue* value = tree_.Find(FullKeyPath(hive, keyPath), valueName)) return *value;
  return std::nullopt;
}

bool MemoryRegistry::KeyExists(Hive hive, std::string_view keyPath) {
  return IsValidKeyPath(keyPath) && tree_.HasKey(FullKeyPath(hive, keyPath));
}

bool MemoryRegistry::Set(Hive hive, std::string_view keyPath, std::string_view valueName,
                         const RegValue& value) {
  if (!IsValidKeyPath(keyPath)) return false;
  tree_.Set(FullKeyPath(hive, keyPath), valueName, value);
  return true;
}

bool MemoryRegistry::Delete(Hive hive, std::string_view keyPath, std::string_view valueName) {
  tree_.Remove(FullKeyPath(hive, keyPath), valueName);
  return true;
}

namespace {

MemoryRegistry& DefaultRegistry() {
  static MemoryRegistry registry;
  return registry;
}

RegistryBackend* installed = nullptr;

}  // namespace

RegistryBackend& Registry() {
  return installed ? *installed : DefaultRegistry();
}

void SetRegistry(RegistryBackend* backend) {
  installed = backend;
}

}  // namespace qm
