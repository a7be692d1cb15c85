// The profile-file reader on arbitrary bytes, searched afresh and through the answers
// kept for an unchanged file. The first two bytes give the lengths of the section and
// key names that follow them; the rest is the file.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "winsys/ProfileFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const size_t sectionLength = data[0] % 16;
  const size_t keyLength = data[1] % 16;
  if (size < 2 + sectionLength + keyLength) return 0;
  const char* bytes = reinterpret_cast<const char*>(data);
  const std::string section(bytes + 2, sectionLength);
  const std::string key(bytes + 2 + sectionLength, keyLength);
  std::istringstream file(
      std::string(bytes + 2 + sectionLength + keyLength, size - 2 - sectionLength - keyLength));
  const auto value = qm::FindProfileValue(file, section, key);
  if (value && value->size() > qm::kMaxProfileLine) __builtin_trap();
  // The answers kept for an unchanged file must be the ones a fresh search gives.
  file.clear();
  file.seekg(0);
  if (const auto answers = qm::ProfileAnswers::Read(file)) {
    if (answers->Find(section, key) != value) __builtin_trap();
  }
  return 0;
}
