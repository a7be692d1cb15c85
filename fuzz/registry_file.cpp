// The registry file parser on arbitrary bytes: it must never crash, and whatever it
// accepts, or salvages from a text it refuses, must write out to a text that reads back
// to the same text again (a damaged file is replaced by what was salvaged from it).
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "winsys/RegistryText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  qm::RegistryTree tree;
  qm::RegistryParseError error;
  if (!qm::ParseRegistryText(text, tree, error)) {
    tree = qm::RegistryTree();
    qm::SalvageRegistryText(text, tree);
  }
  const std::string written = qm::FormatRegistryText(tree);
  qm::RegistryTree again;
  if (!qm::ParseRegistryText(written, again, error)) __builtin_trap();
  if (qm::FormatRegistryText(again) != written) __builtin_trap();
  return 0;
}
