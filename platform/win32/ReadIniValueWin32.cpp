// The profile-file reader on Windows is the system's own: whatever GetPrivateProfileStringA
// decides about case, blanks, quotes and code pages is by definition the right answer,
// and the portable reader of the other hosts is measured against it (see test.sh).
#include <windows.h>

#include <string>

#include "matchtable/Module2.h"

namespace qm {

std::string ReadIniValue(std::string_view section, std::string_view key,
                         std::string_view defaultText, std::string_view path) {
  // The API wants NUL-terminated texts; string_views need not be.
  const std::string sectionZ(section);
  const std::string keyZ(key);
  const std::string defaultZ(defaultText);
  const std::string pathZ(path);
  char buffer[255] = {};
  const DWORD count = GetPrivateProfileStringA(sectionZ.c_str(), keyZ.c_str(), defaultZ.c_str(),
                                               buffer, sizeof buffer, pathZ.c_str());
  // The count excludes the terminating zero and never exceeds the buffer less one; a
  // defensive clamp keeps a misbehaving implementation from reading past the buffer.
  if (count == 0) return {};
  return std::string(buffer, count < sizeof buffer ? count : sizeof buffer - 1);
}

}  // namespace qm
