#include "winsys/RegistryFile.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <thread>
#include <utility>
#include <vector>

#include "winsys/Cp1252.h"
#include "winsys/RegistryText.h"
#include "winsys/RegistryTree.h"
#include "winsys/UserFolders.h"
#include "winsys/WriteProtected.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace qm {
namespace {

namespace fs = std::filesystem;

// A registry of this size is no longer ours; it is treated as damaged rather than
// read into memory.
constexpr size_t kMaxFileSize = size_t{16} << 20;

enum class ReadStatus { Ok, Missing, Unreadable, TooLarge };

void Report(const std::string& message) {
  std::fprintf(stderr, "quillmark: %s\n", message.c_str());
}

// A store is asked for many values in a row; one message says what each of them would.
void ReportOnce(bool& reported, const std::string& message) {
  if (!reported) Report(message);
  reported = true;
}

// How a damaged file is read meanwhile.
std::string WhatServes(const RegistryTree& salvaged) {
  return salvaged.Keys().empty() ? "the defaults serve" : "what can be read of it serves";
}

std::string Where(const RegistryParseError& error) {
  return (error.Line > 0 ? "line " + std::to_string(error.Line) + ": " : "") + error.Reason;
}

std::string TempPrefix(const std::string& path) {
  return path + ".tmp-";
}

// Where a write lands: a store that is a symbolic link (to a file kept in a dotfiles
// folder, say) is replaced where the link points, so that the link survives.
std::string WriteTarget(const std::string& path) {
  fs::path target = path;
  std::error_code ec;
  for (int hops = 0; hops < 40 && fs::is_symlink(fs::symlink_status(target, ec)); ++hops) {
    const fs::path next = fs::read_symlink(target, ec);
    if (ec) break;
    target = next.is_absolute() ? next : target.parent_path() / next;
  }
  return target.string();
}

#ifndef _WIN32

std::string ErrnoText() {
  return std::strerror(errno);
}

ReadStatus ReadWholeFile(const std::string& path, std::string& out, std::string& why) {
  // O_NONBLOCK: a FIFO in the file's place must not hang the saver.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    if (errno == ENOENT) return ReadStatus::Missing;
    why = ErrnoText();
    return ReadStatus::Unreadable;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    why = "not a regular file";
    ::close(fd);
    return ReadStatus::Unreadable;
  }
  if (static_cast<unsigned long long>(st.st_size) > kMaxFileSize) {
    ::close(fd);
    return ReadStatus::TooLarge;
  }
  out.clear();
  char buffer[65536];
  while (true) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      why = ErrnoText();
      ::close(fd);
      return ReadStatus::Unreadable;
    }
    if (n == 0) break;
    out.append(buffer, static_cast<size_t>(n));
    if (out.size() > kMaxFileSize) {
      ::close(fd);
      return ReadStatus::TooLarge;
    }
  }
  ::close(fd);
  return ReadStatus::Ok;
}

// Holds the store's advisory lock for its lifetime. The lock lives on a file of its
// own so that renaming the store over itself never invalidates it. Our writers hold it
// for a moment; one that holds it longer than `wait` (stopped, or not ours) is given
// up on rather than waited for without end, as the saver's input waits meanwhile.
class StoreLock {
 public:
  StoreLock(const std::string& path, std::chrono::milliseconds wait) {
    fd_ = ::open((path + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd_ < 0) {
      why_ = ErrnoText();
      return;
    }
    const auto deadline = std::chrono::steady_clock::now() + wait;
    while (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
      if (errno == EINTR) continue;
      if (errno == EWOULDBLOCK && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        continue;
      }
      busy_ = errno == EWOULDBLOCK;
      why_ = busy_ ? "another process holds its lock" : ErrnoText();
      ::close(fd_);
      fd_ = -1;
      return;
    }
  }
  ~StoreLock() {
    if (fd_ >= 0) ::close(fd_);  // closing releases the lock
  }
  StoreLock(const StoreLock&) = delete;
  StoreLock& operator=(const StoreLock&) = delete;

  bool Held() const { return fd_ >= 0; }
  // Not held because another process held it throughout.
  bool Busy() const { return busy_; }
  const std::string& Why() const { return why_; }

 private:
  int fd_ = -1;
  bool busy_ = false;
  std::string why_;
};

bool WriteAll(int fd, const std::string& text) {
  size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

void SyncFolder(const std::string& path) {
  const fs::path folder = fs::path(path).parent_path();
  const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

bool WriteAtomically(const std::string& path, const std::string& text, std::string& why) {
  // A file without write permission was locked on purpose (chmod a-w, or another
  // user's).
  if (WriteProtected(path)) {
    why = "the file is write-protected";
    return false;
  }
  std::string name = TempPrefix(path) + "XXXXXX";
  std::vector<char> templ(name.begin(), name.end());
  templ.push_back('\0');
  const int fd = ::mkstemp(templ.data());
  if (fd < 0) {
    why = ErrnoText();
    return false;
  }
  const std::string temp(templ.data());
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0) ::fchmod(fd, st.st_mode & 07777);
  const bool written = WriteAll(fd, text) && ::fsync(fd) == 0;
  if (!written) why = ErrnoText();
  if (::close(fd) != 0 && written) why = ErrnoText();
  if (!written || ::rename(temp.c_str(), path.c_str()) != 0) {
    if (why.empty()) why = ErrnoText();
    ::unlink(temp.c_str());
    return false;
  }
  SyncFolder(path);
  return true;
}

#else  // Windows keeps its settings in the real registry; this store only has to work.

ReadStatus ReadWholeFile(const std::string& path, std::string& out, std::string& why) {
  std::error_code ec;
  if (!fs::exists(path, ec)) return ReadStatus::Missing;
  if (!fs::is_regular_file(path, ec)) {
    why = "not a regular file";
    return ReadStatus::Unreadable;
  }
  if (fs::file_size(path, ec) > kMaxFileSize) return ReadStatus::TooLarge;
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    why = "cannot open";
    return ReadStatus::Unreadable;
  }
  out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return ReadStatus::Ok;
}

class StoreLock {
 public:
  StoreLock(const std::string&, std::chrono::milliseconds) {}
  bool Held() const { return true; }
  bool Busy() const { return false; }
  const std::string& Why() const { return why_; }

 private:
  std::string why_;
};

bool WriteAtomically(const std::string& path, const std::string& text, std::string& why) {
  const std::string temp = TempPrefix(path) + "w";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    out << text;
    out.flush();
    if (!out) {
      why = "cannot write " + temp;
      return false;
    }
  }
  std::error_code ec;
  fs::rename(temp, path, ec);
  if (ec) {
    why = ec.message();
    fs::remove(temp, ec);
    return false;
  }
  return true;
}

#endif

// Writers killed between creating their temporary file and renaming it leave it
// behind; under the lock no other writer can be using one.
void RemoveStaleTemps(const std::string& path) {
  const fs::path file(path);
  const fs::path folder = file.parent_path().empty() ? fs::path(".") : file.parent_path();
  const std::string prefix = file.filename().string() + ".tmp-";
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    if (it->path().filename().string().rfind(prefix, 0) == 0) {
      std::error_code ignored;
      fs::remove(it->path(), ignored);
    }
  }
}

std::string UtcStamp() {
  const std::time_t now = std::time(nullptr);
  std::tm utc{};
#ifdef _WIN32
  gmtime_s(&utc, &now);
#else
  gmtime_r(&now, &utc);
#endif
  char text[32];
  std::strftime(text, sizeof text, "%Y%m%dT%H%M%SZ", &utc);
  return text;
}

// Renames the damaged file to a name no other file has; returns that name, or the
// empty text when it could not be moved. A store that is a link keeps its link: the
// file it points to is the one moved, beside itself, and the next write lands there.
// `copy`: a copy is made instead, and the file stays where it is.
std::string SetAside(const std::string& linkOrFile, std::string& why, bool copy = false) {
  const std::string path = WriteTarget(linkOrFile);
  const std::string base = path + ".corrupt-" + UtcStamp();
  std::string target = base;
  std::error_code ec;
  for (int n = 2; fs::exists(target, ec); ++n) target = base + "-" + std::to_string(n);
  if (copy) {
    fs::copy_file(path, target, fs::copy_options::none, ec);
  } else {
    fs::rename(path, target, ec);
  }
  if (ec) {
    why = ec.message();
    return {};
  }
  return target;
}

bool HasLineBreakOrNul(std::string_view text) {
  return text.find_first_of(std::string_view("\0\r\n", 3)) != std::string_view::npos;
}

}  // namespace

RegistryFile::RegistryFile(std::string path) : path_(std::move(path)) {}

std::chrono::milliseconds RegistryFile::LockWait() const {
  // Once another process has kept the lock past the wait, later calls (the saver reads
  // and saves a score of settings in a row) try once without waiting, until one gets it.
  return lockBusy_ ? std::chrono::milliseconds(0) : lockWait_;
}

RegistryFile::Outcome RegistryFile::Read(RegistryTree& tree, RegistryParseError& error) {
  tree = RegistryTree();
  std::string text;
  std::string why;
  switch (ReadWholeFile(path_, text, why)) {
    case ReadStatus::Missing:
      return Outcome::Ok;
    case ReadStatus::Unreadable:
      if (!reportedUnreadable_) Report("cannot read the registry file " + path_ + ": " + why);
      reportedUnreadable_ = true;
      return Outcome::Unreadable;
    case ReadStatus::TooLarge:
      error = {0, "larger than any registry of ours"};
      return Outcome::Damaged;
    case ReadStatus::Ok:
      break;
  }
  if (ParseRegistryText(text, tree, error)) return Outcome::Ok;
  // A slip in one line must not cost the rest: the password above all, which the
  // defaults would turn off.
  tree = RegistryTree();
  SalvageRegistryText(text, tree);
  return Outcome::Damaged;
}

bool RegistryFile::Load(RegistryTree& tree, bool locked) {
  RegistryParseError error;
  Outcome outcome = Read(tree, error);
  if (outcome != Outcome::Damaged) return outcome == Outcome::Ok;
  // Once it could not be set aside, it is not tried again at every read.
  if (leftDamaged_) return false;
  if (!locked) {
    // Move the file only while no writer can be replacing it, and only if it is still
    // the damaged one.
    StoreLock lock(path_, LockWait());
    lockBusy_ = lock.Busy();
    if (!lock.Held()) {
      ReportOnce(reportedDamaged_, Damaged(error) +
                                       " and cannot be moved aside (cannot lock it: " + lock.Why() +
                                       "); it is left untouched, and " + WhatServes(tree));
      return false;
    }
    outcome = Read(tree, error);
    if (outcome != Outcome::Damaged) return outcome == Outcome::Ok;
    return SetAsideDamaged(error, tree);
  }
  return SetAsideDamaged(error, tree);
}

std::string RegistryFile::Damaged(const RegistryParseError& error) const {
  return "the registry file " + path_ + " is damaged (" + Where(error) + ")";
}

bool RegistryFile::SetAsideDamaged(const RegistryParseError& error, const RegistryTree& salvaged) {
  std::string why;
  // With something to keep, the damaged file is copied aside and replaced as any change
  // replaces it: a write-protected file stays as it is, a replaced one keeps its mode,
  // and where the write fails the damaged file is still there to read.
  const bool keep = !salvaged.Keys().empty();
  const std::string aside = SetAside(path_, why, keep);
  leftDamaged_ = aside.empty();
  if (aside.empty()) {
    ReportOnce(reportedDamaged_, Damaged(error) + " and could not be " +
                                     (keep ? "copied" : "moved") + " aside (" + why +
                                     "); it is left untouched, and " + WhatServes(salvaged));
    return false;
  }
  if (!keep) {
    Report(Damaged(error) + "; kept as " + aside + ", starting from the defaults");
    return true;
  }
  // The lines that could be read go in place of the damaged file, so that every later
  // reader (the next process too) finds them.
  if (!WriteAtomically(WriteTarget(path_), FormatRegistryText(salvaged), why)) {
    std::error_code ignored;
    fs::remove(aside, ignored);  // the file itself is still there
    leftDamaged_ = true;
    ReportOnce(reportedDamaged_, Damaged(error) + " and cannot be replaced (" + why +
                                     "); it is left untouched, and " + WhatServes(salvaged));
    return false;
  }
  Report(Damaged(error) + "; kept as " + aside +
         ", and the lines that could be read are kept in its place");
  return true;
}

bool RegistryFile::Modify(const Change& change) {
  // Whatever comes of it, the reads after it read the file again.
  held_.reset();
  std::error_code ec;
  const fs::path folder = fs::path(path_).parent_path();
  if (!folder.empty()) fs::create_directories(folder, ec);
  if (ec) {
    ReportOnce(reportedUnwritable_, "cannot create the folder " + folder.string() + ": " +
                                        ec.message() + "; settings are not saved");
    return false;
  }
  StoreLock lock(path_, LockWait());
  lockBusy_ = lock.Busy();
  if (!lock.Held()) {
    ReportOnce(reportedLock_, "cannot lock the registry file " + path_ + ": " + lock.Why() +
                                  "; settings are not saved");
    return false;
  }
  RegistryTree tree;
  if (!Load(tree, true)) {
    // Why was said when the file was read; that nothing is saved is said here.
    ReportOnce(reportedNotSaved_, "the registry file " + path_ +
                                      " cannot be read or replaced; settings are not saved");
    return false;
  }
  if (!change(tree)) return true;
  const std::string target = WriteTarget(path_);
  RemoveStaleTemps(target);
  std::string why;
  if (!WriteAtomically(target, FormatRegistryText(tree), why)) {
    ReportOnce(reportedUnwritable_,
               "cannot write the registry file " + path_ + ": " + why + "; settings are not saved");
    return false;
  }
  return true;
}

std::optional<RegValue> RegistryFile::Query(Hive hive, std::string_view keyPath,
                                            std::string_view valueName) {
  if (!IsValidKeyPath(keyPath)) return std::nullopt;
  RegistryTree scratch;
  const RegValue* value = ReadTree(scratch).Find(FullKeyPath(hive, keyPath), valueName);
  if (!value) return std::nullopt;
  // The program reads a character the code page lacks as '?', as Windows' 8-bit reads
  // do; the store keeps it whole for writing back.
  if (value->Type == kRegSz)
    return RegValue{value->Type, Utf8ToCp1252(Cp1252KeepingToUtf8(value->Data))};
  return *value;
}

bool RegistryFile::KeyExists(Hive hive, std::string_view keyPath) {
  if (!IsValidKeyPath(keyPath)) return false;
  RegistryTree scratch;
  return ReadTree(scratch).HasKey(FullKeyPath(hive, keyPath));
}

bool RegistryFile::ModifyOrKeep(Change change) {
  if (writeHolds_ == 0) return Modify(change);
  kept_.push_back(std::move(change));
  held_.reset();
  return true;
}

bool RegistryFile::ApplyKept(RegistryTree& tree) const {
  bool changed = false;
  for (const Change& change : kept_) changed = change(tree) || changed;
  return changed;
}

void RegistryFile::HoldWrites(bool hold) {
  if (hold) {
    ++writeHolds_;
    return;
  }
  if (writeHolds_ == 0 || --writeHolds_ > 0 || kept_.empty()) return;
  Modify([this](RegistryTree& tree) { return ApplyKept(tree); });
  kept_.clear();
}

void RegistryFile::HoldReads(bool hold) {
  if (hold) {
    ++holds_;
  } else if (holds_ > 0 && --holds_ == 0) {
    held_.reset();
  }
}

const RegistryTree& RegistryFile::ReadTree(RegistryTree& scratch) {
  if (holds_ == 0) {
    Load(scratch, false);
    ApplyKept(scratch);
    return scratch;
  }
  if (!held_) {
    Load(held_.emplace(), false);
    ApplyKept(*held_);
  }
  return *held_;
}

bool RegistryFile::Set(Hive hive, std::string_view keyPath, std::string_view valueName,
                       const RegValue& value) {
  if (!IsValidKeyPath(keyPath) || HasLineBreakOrNul(valueName)) return false;
  return ModifyOrKeep([fullPath = FullKeyPath(hive, keyPath), name = std::string(valueName),
                       value](RegistryTree& tree) {
    const RegValue* old = tree.Find(fullPath, name);
    if (old && old->Type == value.Type && old->Data == value.Data) return false;
    // Saving back a text as it was read, with '?' for the characters the code page
    // lacks, must not replace those characters in the file by '?'.
    if (old && old->Type == kRegSz && value.Type == kRegSz &&
        Utf8ToCp1252(Cp1252KeepingToUtf8(old->Data)) == value.Data)
      return false;
    tree.Set(fullPath, name, value);
    return true;
  });
}

bool RegistryFile::Delete(Hive hive, std::string_view keyPath, std::string_view valueName) {
  if (!IsValidKeyPath(keyPath)) return true;  // such a key cannot hold the value
  std::string fullPath = FullKeyPath(hive, keyPath);
  if (writeHolds_ == 0) {
    // Nothing to delete needs no lock and no folder.
    RegistryTree tree;
    if (Load(tree, false) && !tree.Find(fullPath, valueName)) return true;
  }
  return ModifyOrKeep([fullPath = std::move(fullPath), name = std::string(valueName)](
                          RegistryTree& tree) { return tree.Remove(fullPath, name); });
}

std::string DefaultRegistryPath() {
  if (const char* path = std::getenv("QUILLMARK_REGISTRY"); path && *path) return path;
  return (fs::path(XdgFolder("XDG_CONFIG_HOME", ".config")) / "quillmark" / "registry.reg")
      .string();
}

}  // namespace qm
