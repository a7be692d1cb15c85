#include "app/RegistryAccess.h"

#include <cstddef>
#include <cstdint>

namespace qm {
namespace {

// The buffer the value is read into; a longer value does not fit and the read fails.
constexpr size_t kReadLimit = 1024;

}  // namespace

bool RegReadValue(Hive hive, std::string_view keyPath, std::string_view valueName,
                  std::string& text) {
  const std::optional<RegValue> value = Registry().Query(hive, keyPath, valueName);
  if (!value || value->Data.size() > kReadLimit) {
    text.clear();
    return false;
  }
  switch (value->Type) {
    case kRegSz: {
      std::string_view data = value->Data;
      if (!data.empty() && data.back() == '\0') data.remove_suffix(1);
      text.assign(data);
      break;
    }
    case kRegDword: {
      // Read from a zero-filled buffer: shorter data count as their missing high bytes 0.
      uint32_t bits = 0;
      for (size_t i = 0; i < 4 && i < value->Data.size(); ++i) {
        bits |= static_cast<uint32_t>(static_cast<unsigned char>(value->Data[i])) << (8 * i);
      }
      text = std::to_string(static_cast<int32_t>(bits));
      break;
    }
    default:
      break;  // other types leave the caller's text as it was
  }
  return true;
}

bool RegWriteValue(Hive hive, std::string_view keyPath, std::string_view valueName,
                   std::string& text) {
  // An empty text is stored as one blank, and the caller's text becomes that blank too,
  // but only once the key is there: a key that cannot be created leaves it as it was.
  const std::string stored = text.empty() ? std::string(1, ' ') : text;
  const bool written = Registry().Set(hive, keyPath, valueName, RegValue{kRegSz, stored});
  if (written || Registry().KeyExists(hive, keyPath)) text = stored;
  return written;
}

}  // namespace qm
