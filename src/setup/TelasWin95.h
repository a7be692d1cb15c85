// The themed Windows start-up and shut-down screens: installs them after saving the
// active ones, or puts the saved ones back. Only whole files are copied; their format is
// never looked at.
//
//   slot                active                 themed source      saved copy
//   start-up            c:\logo.sys            W + logo.kzt       c:\logo.kz2
//   shutting down       W + logos.sys          W + logos.kzt      W + logos.kz2
//   safe to switch off  W + logow.sys          W + logow.kzt      W + logow.kz2
//
// W is WindowsFolder. Windows paths reach the host's files through HostPath; off Windows
// a path that starts with a single "\" names the root of drive C (there the current
// drive), so "\logos.sys" and "c:\logos.sys" are the same file.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qm {

// The Windows directory with a trailing "\"; "\" alone until the setup dialog reads it.
extern std::string WindowsFolder;

// Mode 1 installs the themed screens; any other mode restores the saved ones. Then, in
// both modes, "c:\logo.sys" is made hidden only (see HiddenAttribute.h). Every step that
// fails (missing source, no access, bad path) is skipped without a word. A destination is
// replaced only once its new contents are complete, so a failed copy leaves it as it was.
void TelasWin95(int16_t Mode);

// The host path of a Windows path as the installer resolves it (leading "\" -> drive C).
std::string InstallerHostPath(std::string_view windowsPath);

}  // namespace qm
