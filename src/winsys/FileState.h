// The state of a file on disk, to tell whether it changed since it was last read: what
// was read of a file (a profile file's answers, a banner's decoded picture) is kept
// only while its file stays as it was.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>

namespace qm {

// What tells one state of a file from another: a write changes its size or its time.
// Where the system tells them (POSIX), the file's identity and the time of its last
// change of any kind count too: no program can set that time back, so another file
// copied in with the same size and time of writing (cp -p, an archive) is seen, and so
// is a file that was made unreadable.
struct FileState {
  uintmax_t Size = 0;
  int64_t WrittenNs = 0;
  int64_t ChangedNs = 0;
  uint64_t Device = 0;
  uint64_t Inode = 0;
  bool operator==(const FileState&) const = default;
};

// nullopt unless `path` names a regular file.
std::optional<FileState> FileStateOf(const std::filesystem::path& path);

// True when the file's last change lies more than `settle` in the past. A file changed
// in the last moments may change again within the same tick of the file system's clock,
// unseen by its times: what was read of it must not be kept.
bool SettledFor(const FileState& state, std::chrono::nanoseconds settle);

}  // namespace qm
