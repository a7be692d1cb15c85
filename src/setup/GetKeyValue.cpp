#include "setup/GetKeyValue.h"

#include <cstdint>
#include <optional>

namespace qm {
namespace {

// The reader's buffer: a larger value makes the query fail, as it did with a fixed
// buffer on the original system.
constexpr size_t kBufferBytes = 1024;

int32_t LittleEndianInt32(const std::string& data) {
  uint32_t bits = 0;
  for (size_t i = 0; i < 4 && i < data.size(); ++i) {
    bits |= static_cast<uint32_t>(static_cast<unsigned char>(data[i])) << (8 * i);
  }
  return static_cast<int32_t>(bits);
}

}  // namespace

bool GetKeyValue(Hive hive, std::string_view keyPath, std::string_view valueName,
                 std::string& value) {
  RegistryBackend& registry = Registry();
  if (!registry.KeyExists(hive, keyPath)) {
    value.clear();
    return false;
  }
  const std::optional<RegValue> found = registry.Query(hive, keyPath, valueName);
  if (!found || found->Data.size() > kBufferBytes) {
    value.clear();
    return false;
  }
  if (found->Type == kRegSz) {
    std::string text = found->Data;
    if (!text.empty() && text.back() == '\0') text.pop_back();
    value = std::move(text);
  } else if (found->Type == kRegDword) {
    value = std::to_string(LittleEndianInt32(found->Data));
  }
  return true;
}

}  // namespace qm
