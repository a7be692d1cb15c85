#include "winsys/RegistryTree.h"

#include <cstddef>
#include <iterator>
#include <list>
#include <string>
#include <utility>

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

// The folded paths of the keys below one whose folded path is `folded` start so. A
// backslash is never part of a kept character, so it parts the same components folded.
std::string BelowPrefix(std::string folded) {
  folded.push_back('\\');
  return folded;
}

// Notes handed on, in order, then `own`.
RegistryNotes Joined(std::list<RegistryNotes>& handedOn, RegistryNotes& own) {
  if (handedOn.empty()) return std::move(own);
  RegistryNotes joined;
  for (RegistryNotes& part : handedOn)
    joined.insert(joined.end(), std::make_move_iterator(part.begin()),
                  std::make_move_iterator(part.end()));
  joined.insert(joined.end(), std::make_move_iterator(own.begin()),
                std::make_move_iterator(own.end()));
  handedOn.clear();
  return joined;
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
  std::string folded = Folded(fullPath);
  if (keyIndex_.count(folded) != 0) return true;
  const std::string below = BelowPrefix(std::move(folded));
  const auto next = keyIndex_.lower_bound(below);
  return next != keyIndex_.end() && next->first.starts_with(below);
}

RegistryKey& RegistryTree::AddKey(std::string_view fullPath) {
  if (RegistryKey* key = FindKey(fullPath)) return *key;
  keyIndex_.emplace(Folded(fullPath), keys_.size());
  keys_.push_back({std::string(fullPath), {}, {}, {}, {}});
  books_.emplace_back();
  ++entries_;
  return keys_.back();
}

void RegistryTree::Append(size_t k, std::string_view valueName, const RegValue& value) {
  RegistryKey& key = keys_[k];
  Book& book = books_[k];
  const size_t at = key.Values.size();
  valueIndex_.emplace(ValueIndexKey(k, valueName), at);
  key.Values.emplace_back(std::string(valueName), value);
  key.ValueNotes.emplace_back();
  Slot& slot = book.Slots.emplace_back();
  slot.Prev = book.Last;
  if (book.Last != kNone) book.Slots[book.Last].Next = at;
  book.Last = at;
  ++entries_;
}

void RegistryTree::Set(std::string_view fullPath, std::string_view valueName,
                       const RegValue& value) {
  RegistryKey& key = AddKey(fullPath);
  const size_t k = static_cast<size_t>(&key - keys_.data());
  if (const size_t* at = FindValue(k, valueName)) {
    key.Values[*at].second = value;
    return;
  }
  Append(k, valueName, value);
}

bool RegistryTree::Remove(std::string_view fullPath, std::string_view valueName) {
  RegistryKey* key = FindKey(fullPath);
  if (key == nullptr) return false;
  const size_t k = static_cast<size_t>(key - keys_.data());
  const auto found = valueIndex_.find(ValueIndexKey(k, valueName));
  if (found == valueIndex_.end()) return false;
  const size_t at = found->second;
  valueIndex_.erase(found);
  Book& book = books_[k];
  Slot& slot = book.Slots[at];
  // Its notes, after those it was handed, go in front of whatever follows it.
  slot.Inherited.push_back(std::move(key->ValueNotes[at]));
  key->ValueNotes[at].clear();
  std::list<RegistryNotes>& heir =
      slot.Next != kNone ? book.Slots[slot.Next].Inherited : book.BelowInherited;
  heir.splice(heir.begin(), slot.Inherited);
  if (slot.Prev != kNone) book.Slots[slot.Prev].Next = slot.Next;
  if (slot.Next != kNone) book.Slots[slot.Next].Prev = slot.Prev;
  if (book.Last == at) book.Last = slot.Prev;
  slot.Removed = true;
  book.Changed = true;
  Marked(1);
  return true;
}

void RegistryTree::RemoveKey(std::string_view fullPath) {
  // The key's values stay in the value index until the removals are carried out: only
  // the key index leads there, and it no longer does.
  std::string folded = Folded(fullPath);
  if (const auto self = keyIndex_.find(folded); self != keyIndex_.end()) {
    const size_t marks = Mark(self->second);
    keyIndex_.erase(self);
    Marked(marks);
  }
  const std::string below = BelowPrefix(std::move(folded));
  auto next = keyIndex_.lower_bound(below);
  size_t marks = 0;
  while (next != keyIndex_.end() && next->first.starts_with(below)) {
    marks += Mark(next->second);
    next = keyIndex_.erase(next);
  }
  Marked(marks);
}

size_t RegistryTree::Mark(size_t k) {
  books_[k].Removed = true;
  return 1 + books_[k].Slots.size();
}

void RegistryTree::Marked(size_t marks) {
  marks_ += marks;
  // A tree that is changed for long without being looked at (an in-memory registry)
  // would otherwise keep all it ever held. Carried out once the marks come to half of
  // what it holds, the removals still cost in proportion to their number.
  if (marks_ > 1024 && 2 * marks_ > entries_) Settle();
}

const std::vector<RegistryKey>& RegistryTree::Keys() const {
  if (marks_ > 0) Settle();
  return keys_;
}

void RegistryTree::Settle() const {
  std::vector<RegistryKey> kept;
  kept.reserve(keys_.size());
  for (size_t k = 0; k < keys_.size(); ++k) {
    Book& book = books_[k];
    if (book.Removed) continue;
    RegistryKey& key = keys_[k];
    if (book.Changed) {
      decltype(key.Values) values;
      std::vector<RegistryNotes> notes;
      for (size_t v = 0; v < key.Values.size(); ++v) {
        if (book.Slots[v].Removed) continue;
        values.push_back(std::move(key.Values[v]));
        notes.push_back(Joined(book.Slots[v].Inherited, key.ValueNotes[v]));
      }
      key.Values = std::move(values);
      key.ValueNotes = std::move(notes);
      key.Below = Joined(book.BelowInherited, key.Below);
    }
    kept.push_back(std::move(key));
  }
  keys_ = std::move(kept);
  books_.assign(keys_.size(), Book{});
  for (size_t k = 0; k < keys_.size(); ++k) {
    Book& book = books_[k];
    const size_t count = keys_[k].Values.size();
    book.Slots.resize(count);
    for (size_t v = 0; v < count; ++v) {
      book.Slots[v].Prev = v == 0 ? kNone : v - 1;
      book.Slots[v].Next = v + 1 == count ? kNone : v + 1;
    }
    book.Last = count == 0 ? kNone : count - 1;
  }
  Reindex();
  marks_ = 0;
  entries_ = keys_.size();
  for (const RegistryKey& key : keys_) entries_ += key.Values.size();
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

void RegistryTree::Reindex() const {
  keyIndex_.clear();
  valueIndex_.clear();
  for (size_t k = 0; k < keys_.size(); ++k) {
    keyIndex_.emplace(Folded(keys_[k].Path), k);
    for (size_t v = 0; v < keys_[k].Values.size(); ++v)
      valueIndex_.emplace(ValueIndexKey(k, keys_[k].Values[v].first), v);
  }
}

}  // namespace qm
