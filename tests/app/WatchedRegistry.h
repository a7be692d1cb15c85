// A registry for tests that notes whether its reads and its changes came while held
// (RegistryBackend::HoldReads and HoldWrites), over an in-memory registry of its own.
#pragma once

#include <optional>
#include <string_view>

#include "winsys/MemoryRegistry.h"
#include "winsys/Registry.h"

namespace qm::testing {

class WatchedRegistry final : public RegistryBackend {
 public:
  std::optional<RegValue> Query(Hive hive, std::string_view keyPath,
                                std::string_view valueName) override {
    (holds_ > 0 ? held : unheld)++;
    return inner_.Query(hive, keyPath, valueName);
  }
  bool KeyExists(Hive hive, std::string_view keyPath) override {
    return inner_.KeyExists(hive, keyPath);
  }
  bool Set(Hive hive, std::string_view keyPath, std::string_view valueName,
           const RegValue& value) override {
    (writeHolds_ > 0 ? heldSets : unheldSets)++;
    return inner_.Set(hive, keyPath, valueName, value);
  }
  bool Delete(Hive hive, std::string_view keyPath, std::string_view valueName) override {
    return inner_.Delete(hive, keyPath, valueName);
  }
  void HoldReads(bool hold) override { holds_ += hold ? 1 : -1; }
  void HoldWrites(bool hold) override { writeHolds_ += hold ? 1 : -1; }

  int held = 0, unheld = 0;
  int heldSets = 0, unheldSets = 0;
  int Holds() const { return holds_ + writeHolds_; }

 private:
  MemoryRegistry inner_;
  int holds_ = 0, writeHolds_ = 0;
};

}  // namespace qm::testing
