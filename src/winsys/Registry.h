// The registry the program stores its settings in, seen through one narrow backend so
// that each platform supplies its own: a text file per user on Linux (RegistryFile.h),
// advapi32 on Windows, an in-memory one in tests. Texts are 8-bit Windows-1252 bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qm {

enum class Hive : uint32_t {
  CurrentUser = 0x80000001u,
  LocalMachine = 0x80000002u,
};

inline constexpr uint32_t kRegSz = 1;
inline constexpr uint32_t kRegDword = 4;

struct RegValue {
  uint32_t Type = kRegSz;
  std::string
      Data;  // raw bytes as stored (REG_SZ without a terminating NUL unless written with one)
};

class RegistryBackend {
 public:
  virtual ~RegistryBackend() = default;
  // Key paths match case-insensitively; value names too. Missing key or value, or a
  // store that cannot be read: std::nullopt.
  virtual std::optional<RegValue> Query(Hive hive, std::string_view keyPath,
                                        std::string_view valueName) = 0;
  virtual bool KeyExists(Hive hive, std::string_view keyPath) = 0;
  // Creates the key path when missing. False when nothing could be written; the store
  // is then unchanged.
  virtual bool Set(Hive hive, std::string_view keyPath, std::string_view valueName,
                   const RegValue& value) = 0;
  // True when the value is gone afterwards (also when it never existed).
  virtual bool Delete(Hive hive, std::string_view keyPath, std::string_view valueName) = 0;
  // While held (holds nest), reads may all answer from one reading of the store, made
  // at the first of them: a run of reads then costs one reading and sees one state of
  // the store. A change made through this backend meanwhile shows in the reads after
  // it; one made by another process shows once the hold ends. A store read in place
  // ignores it.
  virtual void HoldReads(bool) {}
  // While held (holds nest), changes may be kept back and made together when the hold
  // ends, as one change of the store: another process then sees all of them or none,
  // and a store that is written whole is written once. A change kept back answers true
  // (one the store would refuse outright, such as a bad key path, still answers false),
  // and the reads of this backend see it meanwhile; where the store cannot be written
  // when the hold ends, none of them is made, and the store says so as it does for any
  // change that fails. A store changed in place ignores it.
  virtual void HoldWrites(bool) {}
};

// The process's registry. Hosts install theirs at start-up; until then (and in unit
// tests that install nothing) an empty in-memory registry serves. Not owned.
RegistryBackend& Registry();
void SetRegistry(RegistryBackend* backend);

// Holds the reads (RegistryBackend::HoldReads) or the changes (HoldWrites) of the
// process's registry while it lives.
template <void (RegistryBackend::*Hold)(bool)>
class HeldRegistry {
 public:
  HeldRegistry() : backend_(Registry()) { (backend_.*Hold)(true); }
  ~HeldRegistry() { (backend_.*Hold)(false); }
  HeldRegistry(const HeldRegistry&) = delete;
  HeldRegistry& operator=(const HeldRegistry&) = delete;

 private:
  RegistryBackend& backend_;  // the one held, whatever is installed meanwhile
};
using HeldRegistryReads = HeldRegistry<&RegistryBackend::HoldReads>;
using HeldRegistryWrites = HeldRegistry<&RegistryBackend::HoldWrites>;

}  // namespace qm
