// Windows' GetPrivateProfileStringA fills a 255-byte buffer: at most 254 characters and
// a terminating zero, and like it, a default text loses its trailing blanks. A value
// holding a zero byte ends there, as it would in that buffer.
#include "matchtable/Module2.h"

#include <optional>
#include <utility>

#include "winsys/DrivePath.h"
#include "winsys/ProfileFile.h"

namespace qm {
namespace {

constexpr size_t kBufferSize = 255;

}  // namespace

std::string ReadIniValue(std::string_view section, std::string_view key,
                         std::string_view defaultText, std::string_view path) {
  std::optional<std::string> found = FindProfileValueInFile(HostPath(path), section, key);
  std::string text;
  if (found) {
    text = std::move(*found);
  } else {
    while (!defaultText.empty() && (defaultText.back() == ' ' || defaultText.back() == '\t')) {
      defaultText.remove_suffix(1);
    }
    text = defaultText;
  }
  const size_t zero = text.find('\0');
  if (zero != std::string::npos) text.resize(zero);
  if (text.size() > kBufferSize - 1) text.resize(kBufferSize - 1);
  return text;
}

}  // namespace qm
