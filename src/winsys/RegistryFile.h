// The registry on Linux: one text file per user (format in RegistryText.h).
//
// Every call reads the file afresh, so several processes (the saver, its settings
// dialog, a second dialog) share one store. Changes happen under an exclusive advisory
// lock (flock on "<file>.lock"): the file is re-read under the lock, changed, written
// to a temporary file in the same folder, flushed to disk and renamed over the old one,
// so a reader sees the old or the new file whole, never a torn one, and every key and
// value the program does not own survives. The folder is created when missing. A file
// that is a symbolic link is written where the link points; the link stays. A lock
// another process keeps for over 3 seconds is given up on: the change fails, and the
// next calls of this object try once without waiting until they get the lock.
//
// A file that cannot be parsed is kept whole as "<file>.corrupt-<UTC time>" (beside
// the file a link points to, the link staying), with a message on stderr. Where some of
// its lines can be read (SalvageRegistryText), it is copied there and replaced by those
// lines as a change would replace it, so that a slip in one line costs that line, not
// the password; where that cannot be done (a write-protected file, a read-only folder,
// the lock not to be had, a failed write) it is left as it is and what can be read of it
// serves. A file with nothing to read is renamed there instead, and the store starts
// empty (the program then sees its defaults). A file that
// exists but cannot be read (no permission, a folder) is left alone: queries find
// nothing and changes fail. A file without write permission (for us, or for anyone:
// root included) is not replaced either: changes fail. Each such problem is reported
// once per object on stderr.
#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "winsys/Registry.h"
#include "winsys/RegistryText.h"
#include "winsys/RegistryTree.h"

namespace qm {

class RegistryFile final : public RegistryBackend {
 public:
  explicit RegistryFile(std::string path);

  // A text's characters that Windows-1252 lacks come back as '?' (the file keeps them).
  std::optional<RegValue> Query(Hive hive, std::string_view keyPath,
                                std::string_view valueName) override;
  bool KeyExists(Hive hive, std::string_view keyPath) override;
  // False, with the file unchanged, for a key path Windows would refuse (see
  // IsValidKeyPath), a value name holding NUL, CR or LF, or any failure to write.
  // Setting a text to what Query gave for it changes nothing, so a value with
  // characters Windows-1252 lacks survives being saved back as it was read.
  bool Set(Hive hive, std::string_view keyPath, std::string_view valueName,
           const RegValue& value) override;
  bool Delete(Hive hive, std::string_view keyPath, std::string_view valueName) override;
  // Loading the settings reads the file once instead of once for each of them.
  void HoldReads(bool hold) override;
  // Saving them writes it once: the changes kept back are made on the file as it is
  // when the hold ends, under the lock, in the order they were asked for.
  void HoldWrites(bool hold) override;

  const std::string& Path() const { return path_; }
  // How long a change (or the setting aside of a damaged file) waits for another
  // process's lock before it gives up; 3 seconds unless a test says otherwise.
  void SetLockWaitForTesting(std::chrono::milliseconds wait) { lockWait_ = wait; }

 private:
  enum class Outcome { Ok, Unreadable, Damaged };
  Outcome Read(RegistryTree& tree, RegistryParseError& error);
  // Fills `tree` (empty when the file is missing or unreadable; what can be read of it
  // when damaged); true when the file may be replaced by a changed `tree`. `locked`: the caller
  // holds the lock.
  bool Load(RegistryTree& tree, bool locked);
  // What a read answers from: `scratch`, loaded afresh, or while reads are held the
  // tree loaded at the first of them.
  const RegistryTree& ReadTree(RegistryTree& scratch);
  // Keeps the damaged file aside and writes `salvaged`, what could be read of it, in its
  // place (nothing where it is empty); true when the file may then be replaced.
  bool SetAsideDamaged(const RegistryParseError& error, const RegistryTree& salvaged);
  // How every message about a damaged file begins: its name and where it is damaged.
  std::string Damaged(const RegistryParseError& error) const;
  // A change of a tree: true when it changed anything.
  using Change = std::function<bool(RegistryTree&)>;
  // Runs `change` on the freshly read tree under the lock; writes when it returns true.
  bool Modify(const Change& change);
  // Modify, or while writes are held, keeps the change back for the hold's end.
  bool ModifyOrKeep(Change change);
  // The changes kept back, made on `tree`; true when any changed it.
  bool ApplyKept(RegistryTree& tree) const;

  std::string path_;
  bool reportedUnreadable_ = false;
  bool reportedDamaged_ = false;  // and left in place
  bool leftDamaged_ = false;      // could not be set aside: what can be read of it serves
  bool reportedLock_ = false;
  bool reportedNotSaved_ = false;
  bool reportedUnwritable_ = false;  // the folder or the file cannot be written
  std::chrono::milliseconds LockWait() const;
  std::chrono::milliseconds lockWait_{3000};
  bool lockBusy_ = false;  // the last try found the lock held by another process
  int holds_ = 0;
  // Loaded at the first read of a hold (with the changes kept back made on it); reset
  // by every change.
  std::optional<RegistryTree> held_;
  int writeHolds_ = 0;
  std::vector<Change> kept_;
};

// $QUILLMARK_REGISTRY when set and not empty, else
// $XDG_CONFIG_HOME/quillmark/registry.reg (an unset or relative XDG_CONFIG_HOME means
// ~/.config).
std::string DefaultRegistryPath();

}  // namespace qm
