#include "winsys/WriteProtected.h"

#include <system_error>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace qm {

bool WriteProtected(const std::filesystem::path& path) {
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::file_status status = fs::status(path, error);
  if (error || !fs::exists(status)) return false;
  constexpr auto kAnyWrite =
      fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
  if ((status.permissions() & kAnyWrite) == fs::perms::none) return true;
#ifndef _WIN32
  if (::access(path.c_str(), W_OK) != 0) return true;
#endif
  return false;
}

}  // namespace qm
