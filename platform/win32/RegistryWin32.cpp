#include "RegistryWin32.h"

#include <windows.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace qm::win32 {
namespace {

constexpr REGSAM kSettingsAccess = 0x2003F;  // read, write, create, enumerate, notify
constexpr REGSAM kReadAccess = KEY_READ;

HKEY Root(Hive hive) {
  return hive == Hive::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
}

// Where Windows keeps a legacy program's machine-wide keys for one user when it may not
// write the real ones: the program is 64-bit and declares its execution level, so
// Windows does not redirect it and we do it ourselves, for keys under SOFTWARE only, as
// Windows does.
constexpr char kVirtualStore[] = "Software\\Classes\\VirtualStore\\MACHINE\\";

std::optional<std::string> VirtualPath(Hive hive, std::string_view keyPath) {
  constexpr std::string_view kSoftware = "SOFTWARE\\";
  if (hive != Hive::LocalMachine || keyPath.size() < kSoftware.size() ||
      CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, keyPath.data(),
                     static_cast<int>(kSoftware.size()), kSoftware.data(),
                     static_cast<int>(kSoftware.size())) != CSTR_EQUAL)
    return std::nullopt;
  return kVirtualStore + std::string(keyPath);
}

// Opens for reading; nullptr when the key is missing or refused.
HKEY OpenForReading(HKEY root, const std::string& path) {
  HKEY key = nullptr;
  LONG rc = RegOpenKeyExA(root, path.c_str(), 0, kSettingsAccess, &key);
  if (rc == ERROR_ACCESS_DENIED) rc = RegOpenKeyExA(root, path.c_str(), 0, kReadAccess, &key);
  return rc == ERROR_SUCCESS ? key : nullptr;
}

std::optional<RegValue> QueryIn(HKEY root, const std::string& path, const std::string& name) {
  HKEY key = OpenForReading(root, path);
  if (!key) return std::nullopt;
  // The store hands over the whole value; the 1024-byte rule of the readers is theirs.
  DWORD type = 0;
  std::vector<BYTE> data(1024);
  DWORD size = static_cast<DWORD>(data.size());
  LONG rc = RegQueryValueExA(key, name.c_str(), nullptr, &type, data.data(), &size);
  for (int attempt = 0; rc == ERROR_MORE_DATA && attempt < 3; ++attempt) {
    data.resize(size);
    rc = RegQueryValueExA(key, name.c_str(), nullptr, &type, data.data(), &size);
  }
  RegCloseKey(key);
  if (rc != ERROR_SUCCESS) return std::nullopt;
  RegValue value;
  value.Type = type;
  value.Data.assign(reinterpret_cast<const char*>(data.data()), size);
  return value;
}

// ERROR_SUCCESS, or why the key could not be created or the value not written.
LONG SetIn(HKEY root, const std::string& path, const std::string& name, const RegValue& value) {
  char keyClass[] = "1";
  SECURITY_ATTRIBUTES security{};
  security.nLength = sizeof security;
  security.lpSecurityDescriptor = nullptr;
  security.bInheritHandle = TRUE;
  HKEY key = nullptr;
  DWORD disposition = 0;
  const LONG created = RegCreateKeyExA(root, path.c_str(), 0, keyClass, REG_OPTION_NON_VOLATILE,
                                       kSettingsAccess, &security, &key, &disposition);
  if (created != ERROR_SUCCESS) return created;
  const LONG rc = RegSetValueExA(key, name.c_str(), 0, value.Type,
                                 reinterpret_cast<const BYTE*>(value.Data.data()),
                                 static_cast<DWORD>(value.Data.size()));
  RegCloseKey(key);
  return rc;
}

// ERROR_SUCCESS also when there was nothing to delete.
LONG DeleteIn(HKEY root, const std::string& path, const std::string& name) {
  HKEY key = nullptr;
  const LONG open = RegOpenKeyExA(root, path.c_str(), 0, kSettingsAccess, &key);
  if (open == ERROR_FILE_NOT_FOUND) return ERROR_SUCCESS;
  if (open != ERROR_SUCCESS) return open;
  const LONG rc = RegDeleteValueA(key, name.c_str());
  RegCloseKey(key);
  return rc == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : rc;
}

}  // namespace

std::optional<RegValue> RegistryWin32::Query(Hive hive, std::string_view keyPath,
                                             std::string_view valueName) {
  const std::string name(valueName);
  // The user's own copy, where there is one, comes first, as under Windows' redirection.
  if (const auto virtualPath = VirtualPath(hive, keyPath)) {
    if (auto value = QueryIn(HKEY_CURRENT_USER, *virtualPath, name)) return value;
  }
  return QueryIn(Root(hive), std::string(keyPath), name);
}

bool RegistryWin32::KeyExists(Hive hive, std::string_view keyPath) {
  for (const auto& [root, path] : {std::pair{Root(hive), std::optional<std::string>(keyPath)},
                                   std::pair{HKEY_CURRENT_USER, VirtualPath(hive, keyPath)}}) {
    if (!path) continue;
    if (HKEY key = OpenForReading(root, *path)) {
      RegCloseKey(key);
      return true;
    }
  }
  return false;
}

bool RegistryWin32::Set(Hive hive, std::string_view keyPath, std::string_view valueName,
                        const RegValue& value) {
  const std::string name(valueName);
  const LONG rc = SetIn(Root(hive), std::string(keyPath), name, value);
  if (rc == ERROR_SUCCESS) {
    // A copy of the user's left from a run without the right would hide this value.
    if (const auto virtualPath = VirtualPath(hive, keyPath))
      DeleteIn(HKEY_CURRENT_USER, *virtualPath, name);
    return true;
  }
  const auto virtualPath = VirtualPath(hive, keyPath);
  return rc == ERROR_ACCESS_DENIED && virtualPath &&
         SetIn(HKEY_CURRENT_USER, *virtualPath, name, value) == ERROR_SUCCESS;
}

bool RegistryWin32::Delete(Hive hive, std::string_view keyPath, std::string_view valueName) {
  const std::string name(valueName);
  if (const auto virtualPath = VirtualPath(hive, keyPath)) {
    if (DeleteIn(HKEY_CURRENT_USER, *virtualPath, name) != ERROR_SUCCESS) return false;
  }
  return DeleteIn(Root(hive), std::string(keyPath), name) == ERROR_SUCCESS;
}

}  // namespace qm::win32
