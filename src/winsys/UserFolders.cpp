#include "winsys/UserFolders.h"

#include <cstdlib>
#include <filesystem>

#ifndef _WIN32
#include <pwd.h>
#include <unistd.h>
#endif

namespace qm {

std::string HomeFolder() {
#ifdef _WIN32
  if (const char* home = std::getenv("USERPROFILE"); home && *home) return home;
#else
  if (const char* home = std::getenv("HOME"); home && *home) return home;
  if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir && *pw->pw_dir) {
    return pw->pw_dir;
  }
#endif
  return ".";
}

std::string XdgFolder(const char* variable, const char* fallbackBelowHome) {
  // The XDG rules ignore relative values.
  if (const char* value = std::getenv(variable);
      value && std::filesystem::path(value).is_absolute()) {
    return value;
  }
  return (std::filesystem::path(HomeFolder()) / fallbackBelowHome).string();
}

}  // namespace qm
