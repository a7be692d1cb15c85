#include "setup/HiddenAttribute.h"

#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/xattr.h>
#endif

namespace qm {

#ifdef _WIN32

bool SetHiddenOnly(const std::string& hostPath) {
  return SetFileAttributesA(hostPath.c_str(), FILE_ATTRIBUTE_HIDDEN) != 0;
}

bool IsHiddenOnly(const std::string& hostPath) {
  const DWORD attributes = GetFileAttributesA(hostPath.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && attributes == FILE_ATTRIBUTE_HIDDEN;
}

#else

namespace {
constexpr const char* kAttributeName = "user.DOSATTRIB";
constexpr char kHiddenOnly[] = "0x2";  // FILE_ATTRIBUTE_HIDDEN, nothing else
}  // namespace

bool SetHiddenOnly(const std::string& hostPath) {
  namespace fs = std::filesystem;
  std::error_code error;
  if (!fs::is_regular_file(hostPath, error)) return false;
  // Read-only is cleared first: the system lets only root set an attribute on a file
  // without write permission. It stays cleared where the attribute then fails.
  fs::permissions(hostPath, fs::perms::owner_write, fs::perm_options::add, error);
  const bool hidden =
      setxattr(hostPath.c_str(), kAttributeName, kHiddenOnly, sizeof kHiddenOnly - 1, 0) == 0;
  return hidden && !error;
}

bool IsHiddenOnly(const std::string& hostPath) {
  char buffer[16] = {};
  const ssize_t length = getxattr(hostPath.c_str(), kAttributeName, buffer, sizeof buffer);
  return length == static_cast<ssize_t>(sizeof kHiddenOnly - 1) &&
         std::string(buffer, static_cast<size_t>(length)) == kHiddenOnly;
}

#endif

}  // namespace qm
