#include "RegistryWin32.h"

#include <windows.h>

#include <string>
#include <vector>

namespace qm::win32 {
namespace {

constexpr REGSAM kSettingsAccess = 0x2003F;  // read, write, create, enumerate, notify
constexpr REGSAM kReadAccess = KEY_READ;

HKEY Root(Hive hive) {
  return hive == Hive::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
}

// Opens for reading; nullptr when the key is missing or refused.
HKEY OpenForReading(Hive hive, std::string_view keyPath) {
  const std::string path(keyPath);
  HKEY key = nullptr;
  LONG rc = RegOpenKeyExA(Root(hive), path.c_str(), 0, kSettingsAccess, &key);
  if (rc == ERROR_ACCESS_DENIED) rc = RegOpenKeyExA(Root(hive), path.c_str(), 0, kReadAccess, &key);
  return rc == ERROR_SUCCESS ? key : nullptr;
}

}  // namespace

std::optional<RegValue> RegistryWin32::Query(Hive hive, std::string_view keyPath,
                                             std::string_view valueName) {
  HKEY key = OpenForReading(hive, keyPath);
  if (!key) return std::nullopt;
  const std::string name(valueName);
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

bool RegistryWin32::KeyExists(Hive hive, std::string_view keyPath) {
  HKEY key = OpenForReading(hive, keyPath);
  if (!key) return false;
  RegCloseKey(key);
  return true;
}

bool RegistryWin32::Set(Hive hive, std::string_view keyPath, std::string_view valueName,
                        const RegValue& value) {
  const std::string path(keyPath);
  const std::string name(valueName);
  char keyClass[] = "1";
  SECURITY_ATTRIBUTES security{};
  security.nLength = sizeof security;
  security.lpSecurityDescriptor = nullptr;
  security.bInheritHandle = TRUE;
  HKEY key = nullptr;
  DWORD disposition = 0;
  if (RegCreateKeyExA(Root(hive), path.c_str(), 0, keyClass, REG_OPTION_NON_VOLATILE,
                      kSettingsAccess, &security, &key, &disposition) != ERROR_SUCCESS)
    return false;
  const LONG rc = RegSetValueExA(key, name.c_str(), 0, value.Type,
                                 reinterpret_cast<const BYTE*>(value.Data.data()),
                                 static_cast<DWORD>(value.Data.size()));
  RegCloseKey(key);
  return rc == ERROR_SUCCESS;
}

bool RegistryWin32::Delete(Hive hive, std::string_view keyPath, std::string_view valueName) {
  const std::string path(keyPath);
  const std::string name(valueName);
  HKEY key = nullptr;
  const LONG open = RegOpenKeyExA(Root(hive), path.c_str(), 0, kSettingsAccess, &key);
  if (open == ERROR_FILE_NOT_FOUND) return true;
  if (open != ERROR_SUCCESS) return false;
  const LONG rc = RegDeleteValueA(key, name.c_str());
  RegCloseKey(key);
  return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
}

}  // namespace qm::win32
