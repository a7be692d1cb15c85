// The user's home folder, the base of the per-user folders the Linux stand-ins use.
#pragma once

#include <string>

namespace qm {

// $HOME when set and not empty, else the account's home folder from the password
// database, else "." (on Windows: %USERPROFILE%, else ".").
std::string HomeFolder();

// `variable` when it holds an absolute path, else the home folder followed by
// `fallbackBelowHome` (XDG_CONFIG_HOME -> ".config", XDG_DATA_HOME -> ".local/share").
std::string XdgFolder(const char* variable, const char* fallbackBelowHome);

}  // namespace qm
