// Drive letters other than C: become sibling folders of drive C's ("drive_d", ...).
//
// A component is looked up first as its UTF-8 form, then as the raw bytes (a host
// folder such as the program's may already be UTF-8), then case-insensitively; once a
// component is missing, the rest are kept as written, since nothing below it exists.
#include "winsys/DrivePath.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <vector>

#include "winsys/Cp1252.h"
#include "winsys/UserFolders.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

namespace qm {
namespace {

namespace fs = std::filesystem;

#ifndef _WIN32

bool IsSeparator(char c) {
  return c == '\\' || c == '/';
}

bool IsDriveLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool Exists(const fs::path& path) {
  std::error_code ec;
  return fs::exists(fs::symlink_status(path, ec));
}

// The spelling under which `component` (8-bit) exists in `folder`, or nothing.
std::optional<std::string> Resolve(const fs::path& folder, std::string_view component) {
  const std::string utf8 = Cp1252ToUtf8(component);
  if (Exists(folder / utf8)) return utf8;
  const std::string raw(component);
  if (raw != utf8 && Exists(folder / raw)) return raw;
  std::vector<std::string> matches;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (Cp1252EqualNoCase(Utf8ToCp1252(name), component)) matches.push_back(name);
  }
  if (matches.empty()) return std::nullopt;
  // Several spellings can coexist on Linux; take one the same way every time.
  return *std::min_element(matches.begin(), matches.end());
}

// How Windows reads a name it cannot find as written: the last name of a path (not
// followed by a separator) without its trailing dots and blanks ("a.bmp." and
// "a.bmp " open "a.bmp"), a folder's name without one trailing dot ("system." is
// "system"). Tried only where the name as written is missing, so a Linux file whose
// name really ends so is still found first. A name of nothing else stays as it is.
std::string_view AsWindowsReadsIt(std::string_view component, bool last) {
  if (!last) {
    const bool oneDot =
        component.size() >= 2 && component.back() == '.' && component[component.size() - 2] != '.';
    return oneDot ? component.substr(0, component.size() - 1) : component;
  }
  const size_t end = component.find_last_not_of(". ");
  return end == std::string_view::npos ? component : component.substr(0, end + 1);
}

#endif

}  // namespace

std::string DriveCRoot() {
  if (const char* root = std::getenv("QUILLMARK_DRIVE_C"); root && *root) return root;
  return (fs::path(XdgFolder("XDG_DATA_HOME", ".local/share")) / "quillmark" / "drive_c").string();
}

std::string HostPath(std::string_view windowsPath) {
#ifdef _WIN32
  return std::string(windowsPath);
#else
  std::string_view rest = windowsPath;
  fs::path base;
  std::string result;
  if (rest.size() >= 2 && IsDriveLetter(rest[0]) && rest[1] == ':') {
    const char letter = static_cast<char>(rest[0] | 0x20);
    const std::string cRoot = DriveCRoot();
    result = letter == 'c'
                 ? cRoot
                 : (fs::path(cRoot).parent_path() / (std::string("drive_") + letter)).string();
    // "c:name" has no current folder to be relative to here: it starts at the root.
    rest.remove_prefix(2);
    base = result;
  } else if (!rest.empty() && IsSeparator(rest.front())) {
    result.assign(1, '/');
    base = "/";
  } else {
    base = ".";
  }

  // On a drive, "." and ".." are worked out as Windows does, by the text alone: ".." at
  // the drive's root stays there, so no path leaves the folder that stands for it.
  const bool onDrive = !result.empty() && result != "/";
  const std::string root = result;
  std::vector<std::string> names;
  bool resolving = true;
  bool first = true;
  size_t pos = 0;
  while (pos < rest.size()) {
    while (pos < rest.size() && IsSeparator(rest[pos])) ++pos;
    if (pos >= rest.size()) break;
    size_t end = pos;
    while (end < rest.size() && !IsSeparator(rest[end])) ++end;
    const std::string_view component = rest.substr(pos, end - pos);
    pos = end;
    first = false;

    if (onDrive && (component == "." || component == "..")) {
      if (component == ".." && !names.empty()) {
        names.pop_back();
        base = base.parent_path();
        resolving = Exists(base);
      }
      continue;
    }
    std::string name = Cp1252ToUtf8(component);
    if (resolving && component != "." && component != "..") {
      if (auto found = Resolve(base, component)) {
        name = *found;
      } else if (auto bare = Resolve(base, AsWindowsReadsIt(component, pos >= rest.size()))) {
        name = *bare;
      } else {
        resolving = false;
      }
    }
    base /= name;
    names.push_back(name);
  }
  result = root;
  for (const std::string& name : names) {
    if (!result.empty() && result.back() != '/') result += '/';
    result += name;
  }
  if (!first && !rest.empty() && IsSeparator(rest.back())) result += '/';
  if (result.empty() && !windowsPath.empty()) result.assign(1, '.');
  return result;
#endif
}

std::filesystem::path HostFsPath(const std::string& hostPath) {
#ifdef _WIN32
  if (hostPath.empty()) return {};
  const int size = static_cast<int>(hostPath.size());
  const int wide = MultiByteToWideChar(CP_ACP, 0, hostPath.data(), size, nullptr, 0);
  if (wide <= 0) return hostPath;
  std::wstring text(static_cast<size_t>(wide), L'\0');
  MultiByteToWideChar(CP_ACP, 0, hostPath.data(), size, text.data(), wide);
  return text;
#else
  return hostPath;
#endif
}

}  // namespace qm
