#include "winsys/RegistryTree.h"

#include <algorithm>
#include <cstddef>

#include "winsys/Cp1252.h"

namespace qm {
namespace {

// Windows-1252 letters fold to upper case; a character kept from another script
// (Cp1252.h) is left whole, so that its UTF-8 bytes are never taken for letters. A mark
// that starts no kept character is followed by a NUL, which no name holds: the letters
// after it cannot fold into what reads as a kept character.
std::string Folded(std::string_view text) {
  std::string folded;
  folded.reserve(text.size());
  for (size_t pos = 0; pos < text.size();) {
    if (const size_t kept = KeptForeignLength(text, pos)) {
      folded.append(text.substr(pos, kept));
      pos += kept;
    } else if (static_cast<unsigned char>(text[pos]) == kKeptMark) {
      folded.append(std::string_view("\x81\0", 2));
      ++pos;
    } else {
      folded.push_back(Cp1252Upper(text[pos++]));
    }
  }
  return folded;
}

// Folded(a) == Folded(b), without making either where no kept character is involved
// (looking for a key compares it with every key of the store).
bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t pos = 0; pos < a.size(); ++pos) {
    if (static_cast<unsigned char>(a[pos]) == kKeptMark ||
        static_cast<unsigned char>(b[pos]) == kKeptMark) {
      return Folded(a.substr(pos)) == Folded(b.substr(pos));
    }
    if (Cp1252Upper(a[pos]) != Cp1252Upper(b[pos])) return false;
  }
  return true;
}

// True when `path` is `parent` itself or lies below it.
bool IsAtOrBelow(std::string_view path, std::string_view parent) {
  if (path.size() < parent.size()) return false;
  if (path.size() > parent.size() && path[parent.size()] != '\\') return false;
  return SameName(path.substr(0, parent.size()), parent);
}

// The key's place in the tree, then the folded name: a key's path is not repeated for
// each of its values, so a store of long paths and many values stays small.
std::string ValueIndexKey(size_t k, std::string_view valueName) {
  std::string key(sizeof k, '\0');
  for (size_t i = 0; i < sizeof k; ++i) key[i] = static_cast<char>((k >> (8 * i)) & 0xFF);
  return key + Folded(valueName);
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
  const auto found = keyIndex_.find(Folded(fullPath));
  return found == keyIndex_.end() ? nullptr : &keys_[found->second];
}

const RegistryKey* RegistryTree::FindKey(std::string_view fullPath) const {
  const auto found = keyIndex_.find(Folded(fullPath));
  return found == keyIndex_.end() ? nullptr : &keys_[found->second];
}

const size_t* RegistryTree::FindValue(size_t k, std::string_view valueName) const {
  const auto found = valueIndex_.find(ValueIndexKey(k, valueName));
  return found == valueIndex_.end() ? nullptr : &found->second;
}

const RegValue* RegistryTree::Find(std::string_view fullPath, std::string_view valueName) const {
  const RegistryKey* key = FindKey(fullPath);
  if (key == nullptr) return nullptr;
  const size_t* at = FindValue(static_cast<size_t>(key - keys_.data()), valueName);
  return at ? &key->Values[*at].second : nullptr;
}

bool RegistryTree::HasKey(std::string_view fullPath) const {
  return std::any_of(keys_.begin(), keys_.end(),
                     [&](const RegistryKey& key) { return IsAtOrBelow(key.Path, fullPath); });
}

RegistryKey& RegistryTree::AddKey(std::string_view fullPath) {
  if (RegistryKey* key = FindKey(fullPath)) return *key;
  keyIndex_.emplace(Folded(fullPath), keys_.size());
  keys_.push_back({std::string(fullPath), {}, {}, {}, {}});
  return keys_.back();
}

void RegistryTree::Set(std::string_view fullPath, std::string_view valueName,
                       const RegValue& value) {
  RegistryKey& key = AddKey(fullPath);
  const size_t k = static_cast<size_t>(&key - keys_.data());
  if (const size_t* at = FindValue(k, valueName)) {
    key.Values[*at].second = value;
    return;
  }
  valueIndex_.emplace(ValueIndexKey(k, valueName), key.Values.size());
  key.Values.emplace_back(std::string(valueName), value);
  key.ValueNotes.emplace_back();
}

bool RegistryTree::Remove(std::string_view fullPath, std::string_view valueName) {
  RegistryKey* key = FindKey(fullPath);
  if (key == nullptr) return false;
  const size_t k = static_cast<size_t>(key - keys_.data());
  const size_t* found = FindValue(k, valueName);
  if (!found) return false;
  const size_t at = *found;
  RegistryNotes& heir = at + 1 < key->Values.size() ? key->ValueNotes[at + 1] : key->Below;
  heir.insert(heir.begin(), key->ValueNotes[at].begin(), key->ValueNotes[at].end());
  const auto gap = static_cast<std::ptrdiff_t>(at);
  key->ValueNotes.erase(key->ValueNotes.begin() + gap);
  // Only this key's values move up: only their entries are made again.
  for (const auto& entry : key->Values) valueIndex_.erase(ValueIndexKey(k, entry.first));
  key->Values.erase(key->Values.begin() + gap);
  for (size_t v = 0; v < key->Values.size(); ++v)
    valueIndex_.emplace(ValueIndexKey(k, key->Values[v].first), v);
  return true;
}

void RegistryTree::RemoveKey(std::string_view fullPath) {
  // Removing nothing (a deletion line for a key the file never had) costs no new index.
  if (std::erase_if(keys_, [&](const RegistryKey& key) { return IsAtOrBelow(key.Path, fullPath); }))
    Reindex();
}

void RegistryTree::AddNotes(std::string_view fullPath, NotePlace place, std::string_view valueName,
                            const RegistryNotes& lines) {
  RegistryKey* key = FindKey(fullPath);
  if (key == nullptr) return;
  RegistryNotes* notes = &key->Above;
  if (place == NotePlace::BelowKey) notes = &key->Below;
  if (place == NotePlace::AboveValue) {
    const size_t* at = FindValue(static_cast<size_t>(key - keys_.data()), valueName);
    if (at == nullptr) return;
    notes = &key->ValueNotes[*at];
  }
  notes->insert(notes->end(), lines.begin(), lines.end());
}

void RegistryTree::AddPreamble(const RegistryNotes& lines) {
  preamble_.insert(preamble_.end(), lines.begin(), lines.end());
}

void RegistryTree::Reindex() {
  keyIndex_.clear();
  valueIndex_.clear();
  for (size_t k = 0; k < keys_.size(); ++k) {
    keyIndex_.emplace(Folded(keys_[k].Path), k);
    for (size_t v = 0; v < keys_[k].Values.size(); ++v)
      valueIndex_.emplace(ValueIndexKey(k, keys_[k].Values[v].first), v);
  }
}

}  // namespace qm
