#include "setup/TelasWin95.h"

#include <filesystem>
#include <system_error>

#include "setup/HiddenAttribute.h"
#include "winsys/DrivePath.h"
#include "winsys/WriteProtected.h"

namespace qm {

std::string WindowsFolder = "\\";

namespace {

constexpr const char* kStartupScreen = "c:\\logo.sys";
constexpr const char* kStartupSaved = "c:\\logo.kz2";

// Whole-file copy that replaces the destination. The bytes go to a sibling temporary file
// first and are renamed over the destination, so a copy that fails half-way (disk full)
// leaves the old screen intact rather than a truncated one.
void CopyStep(const std::string& fromWindows, const std::string& toWindows) {
  namespace fs = std::filesystem;
  const fs::path from = HostFsPath(InstallerHostPath(fromWindows));
  const fs::path to = HostFsPath(InstallerHostPath(toWindows));
  std::error_code error;
  if (!fs::is_regular_file(from, error)) return;
  if (fs::is_directory(to, error)) return;
  // A destination locked against writing refuses the copy, as it does on Windows.
  if (WriteProtected(to)) return;
  fs::path temporary = to;
  temporary += ".quillmark-copy";
  // The copy takes its source's mode: from a read-only theme file (one copied off a CD)
  // it would be read-only, and Windows neither renames over nor deletes such a file, so
  // a later restore would fail and the temporary could stay behind for good.
  const auto writable = [&] {
    fs::permissions(temporary, fs::perms::owner_write, fs::perm_options::add, error);
  };
  const auto discard = [&] {
    writable();
    fs::remove(temporary, error);
  };
  if (fs::exists(temporary, error)) discard();
  if (!fs::copy_file(from, temporary, fs::copy_options::overwrite_existing, error)) {
    discard();
    return;
  }
  writable();
  fs::rename(temporary, to, error);
  if (error) discard();
}

}  // namespace

std::string InstallerHostPath(std::string_view windowsPath) {
#ifndef _WIN32
  // HostPath takes a leading "\" as the host's own root; here it is the current drive's
  // root, which is drive C.
  const bool rootOfCurrentDrive = !windowsPath.empty() && windowsPath[0] == '\\' &&
                                  (windowsPath.size() == 1 || windowsPath[1] != '\\');
  if (rootOfCurrentDrive) return HostPath("c:" + std::string(windowsPath));
#endif
  return HostPath(windowsPath);
}

void TelasWin95(int16_t Mode) {
  const std::string& w = WindowsFolder;
  if (Mode == 1) {
    CopyStep(kStartupScreen, kStartupSaved);
    CopyStep(w + "logos.sys", w + "logos.kz2");
    CopyStep(w + "logow.sys", w + "logow.kz2");
    CopyStep(w + "logo.kzt", kStartupScreen);
    CopyStep(w + "logos.kzt", w + "logos.sys");
    CopyStep(w + "logow.kzt", w + "logow.sys");
  } else {
    CopyStep(kStartupSaved, kStartupScreen);
    CopyStep(w + "logos.kz2", w + "logos.sys");
    CopyStep(w + "logow.kz2", w + "logow.sys");
  }
  SetHiddenOnly(InstallerHostPath(kStartupScreen));
}

}  // namespace qm
