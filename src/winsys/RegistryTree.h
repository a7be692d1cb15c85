// The contents of a registry as plain data: keys in the order they were first seen,
// each with its values in order. Shared by the in-memory registry and the file store,
// which loads a tree, changes it and writes it back whole.
#pragma once

#include <cstddef>
#include <functional>
#include <list>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "winsys/Registry.h"

namespace qm {

// "HKEY_LOCAL_MACHINE" and "HKEY_CURRENT_USER".
std::string_view HiveName(Hive hive);

// True when `keyPath` (below a hive) can name a key: the empty path (the hive itself) or
// components separated by single backslashes, none empty and none holding a NUL, CR or
// LF. Windows refuses the others too.
bool IsValidKeyPath(std::string_view keyPath);

// The hive's name, and the key path after a backslash when there is one.
std::string FullKeyPath(Hive hive, std::string_view keyPath);

// Comment lines of the file, each as it stood (';' and all, without the blanks around
// it); an empty line stands for a blank line between two of them. They mean nothing to
// the program and are kept only so that a save does not lose what a person wrote.
using RegistryNotes = std::vector<std::string>;

struct RegistryKey {
  std::string Path;  // full path, hive name first, 8-bit text as written
  std::vector<std::pair<std::string, RegValue>> Values;
  RegistryNotes Above;                    // just above the key line
  std::vector<RegistryNotes> ValueNotes;  // above each value, in step with Values
  RegistryNotes Below;                    // after the key's last value
};

enum class NotePlace { AboveKey, AboveValue, BelowKey };

// Full paths and value names compare case-insensitively (Windows-1252 folding). The
// tree keeps whatever it is given; validating names is the caller's business. Keys and
// values are found through indexes, and a removal only marks what it removes until the
// keys are next looked at whole (Keys()), so that a store of many thousands of values
// and deletion lines loads in linear time. Not for two threads at once, reads included.
class RegistryTree {
 public:
  // The value, or nothing; the pointer lasts until the tree next changes or its keys are
  // looked at.
  const RegValue* Find(std::string_view fullPath, std::string_view valueName) const;
  // The key itself, or any key below it (creating a key creates its parents).
  bool HasKey(std::string_view fullPath) const;
  // Adds the key when missing; adds or replaces the value (a replaced value keeps its
  // place, its notes and the name's first spelling).
  void Set(std::string_view fullPath, std::string_view valueName, const RegValue& value);
  // Adds the key when missing, with no values. The reference lasts until the tree next
  // changes or its keys are looked at.
  RegistryKey& AddKey(std::string_view fullPath);
  // True when a value was removed. Its notes stay where they stood: above the value
  // that followed it, or at the end of the key.
  bool Remove(std::string_view fullPath, std::string_view valueName);
  // Removes the key and every key below it, notes and all.
  void RemoveKey(std::string_view fullPath);

  // Appends `lines` to the notes of an existing key, or of one of its values
  // (`valueName` is read for AboveValue only); nothing happens when there is no such key
  // or value.
  void AddNotes(std::string_view fullPath, NotePlace place, std::string_view valueName,
                const RegistryNotes& lines);
  // Notes after the header line that belong to no key.
  void AddPreamble(const RegistryNotes& lines);

  // The keys as they stand, the removals made since last time carried out first.
  const std::vector<RegistryKey>& Keys() const;
  const RegistryNotes& Preamble() const { return preamble_; }

 private:
  static constexpr size_t kNone = static_cast<size_t>(-1);
  // A value's place while removals are outstanding. The values still there are linked
  // in order, so that a removed one finds the value that follows it at once; the notes
  // it hands on wait, whole, in front of that value's own (or the key's last ones),
  // where one splice of a list puts them whatever their number.
  struct Slot {
    size_t Prev = kNone, Next = kNone;
    bool Removed = false;
    std::list<RegistryNotes> Inherited;
  };
  struct Book {  // in step with keys_
    bool Removed = false;
    bool Changed = false;  // a value was removed
    std::vector<Slot> Slots;
    size_t Last = kNone;  // the last value still there
    std::list<RegistryNotes> BelowInherited;
  };

  RegistryKey* FindKey(std::string_view fullPath);
  const RegistryKey* FindKey(std::string_view fullPath) const;
  // Where `valueName` sits in keys_[k].Values, or nothing.
  const size_t* FindValue(size_t k, std::string_view valueName) const;
  void Append(size_t k, std::string_view valueName, const RegValue& value);
  // Marks key k removed; how many keys and values that takes, at most.
  size_t Mark(size_t k);
  // Counts marks just made, and carries them all out when they come to half the tree.
  void Marked(size_t marks);
  // Carries out the removals: keys_ and the indexes then hold what is there, in order.
  void Settle() const;
  void Reindex() const;

  // Settled by Keys(), which is const to its callers: these change only in how they
  // hold the same contents.
  mutable std::vector<RegistryKey> keys_;
  mutable std::vector<Book> books_;
  // Removals marked since the last settling (a value removed with its key counts twice),
  // and keys and values added, removed or not.
  mutable size_t marks_ = 0;
  mutable size_t entries_ = 0;
  RegistryNotes preamble_;
  // Folded full path -> index in keys_, in order, so that the keys below one are a
  // range of it; the key's index and folded name -> value index.
  mutable std::map<std::string, size_t, std::less<>> keyIndex_;
  mutable std::unordered_map<std::string, size_t> valueIndex_;
};

}  // namespace qm
