#include "winsys/RegistryTree.h"

#include <algorithm>

#include "winsys/Cp1252.h"

namespace qm {
namespace {

// True when `path` is `parent` itself or lies below it.
bool IsAtOrBelow(std::string_view path, std::string_view parent) {
  if (path.size() < parent.size()) return false;
  if (!Cp1252EqualNoCase(path.substr(0, parent.size()), parent)) return false;
  return path.size() == parent.size() || path[parent.size()] == '\\';
}

}  // namespace

std::string_view HiveName(Hive hive) {
  return hive == Hive::LocalMachine ? "HKEY_LOCAL_MACHINE" : "HKEY_CURRENT_USER";
}

bool IsValidKeyPath(std::string_view keyPath) {
  if (keyPath.empty()) return true;
  if (keyPath.find_first_of(std::string_view("\0\r\n", 3)) != std::string_view::npos) return false;
  if (keyPath.front() == '\\' || keyPath.back() == '\\') return false;
  return keyPath.find("\\\\") == std::string_view::npos;
}

std::string FullKeyPath(Hive hive, std::string_view keyPath) {
  std::string path(HiveName(hive));
  if (!keyPath.empty()) {
    path += '\\';
    path += keyPath;
  }
  return path;
}

RegistryKey* RegistryTree::FindKey(std::string_view fullPath) {
  for (auto& key : keys_) {
    if (Cp1252EqualNoCase(key.Path, fullPath)) return &key;
  }
  return nullptr;
}

const RegistryKey* RegistryTree::FindKey(std::string_view fullPath) const {
  for (const auto& key : keys_) {
    if (Cp1252EqualNoCase(key.Path, fullPath)) return &key;
  }
  return nullptr;
}

const RegValue* RegistryTree::Find(std::string_view fullPath, std::string_view valueName) const {
  const RegistryKey* key = FindKey(fullPath);
  if (key == nullptr) return nullptr;
  for (const auto& [name, value] : key->Values) {
    if (Cp1252EqualNoCase(name, valueName)) return &value;
  }
  return nullptr;
}

bool RegistryTree::HasKey(std::string_view fullPath) const {
  return std::any_of(keys_.begin(), keys_.end(),
                     [&](const RegistryKey& key) { return IsAtOrBelow(key.Path, fullPath); });
}

RegistryKey& RegistryTree::AddKey(std::string_view fullPath) {
  if (RegistryKey* key = FindKey(fullPath)) return *key;
  keys_.push_back({std::string(fullPath), {}});
  return keys_.back();
}

void RegistryTree::Set(std::string_view fullPath, std::string_view valueName,
                       const RegValue& value) {
  RegistryKey& key = AddKey(fullPath);
  for (auto& [name, existing] : key.Values) {
    if (Cp1252EqualNoCase(name, valueName)) {
      existing = value;
      return;
    }
  }
  key.Values.emplace_back(std::string(valueName), value);
}

bool RegistryTree::Remove(std::string_view fullPath, std::string_view valueName) {
  RegistryKey* key = FindKey(fullPath);
  if (key == nullptr) return false;
  const auto before = key->Values.size();
  std::erase_if(key->Values,
                [&](const auto& entry) { return Cp1252EqualNoCase(entry.first, valueName); });
  return key->Values.size() != before;
}

void RegistryTree::RemoveKey(std::string_view fullPath) {
  std::erase_if(keys_, [&](const RegistryKey& key) { return IsAtOrBelow(key.Path, fullPath); });
}

}  // namespace qm
