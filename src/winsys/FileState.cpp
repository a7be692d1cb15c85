#include "winsys/FileState.h"

#if !defined(_WIN32)
#include <sys/stat.h>
#include <time.h>
#endif

#include <algorithm>
#include <system_error>

namespace qm {
namespace {

// The file system's clock now, in the nanoseconds of FileState's times.
#if defined(_WIN32)
int64_t FileClockNowNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::filesystem::file_time_type::clock::now().time_since_epoch())
      .count();
}

}  // namespace

std::optional<FileState> FileStateOf(const std::filesystem::path& path) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return std::nullopt;
  FileState state;
  state.Size = std::filesystem::file_size(path, ec);
  if (ec) return std::nullopt;
  const auto written = std::filesystem::last_write_time(path, ec);
  if (ec) return std::nullopt;
  state.WrittenNs =
      std::chrono::duration_cast<std::chrono::nanoseconds>(written.time_since_epoch()).count();
  return state;
}
#else
int64_t Ns(const timespec& t) {
  return static_cast<int64_t>(t.tv_sec) * 1000000000 + t.tv_nsec;
}

int64_t FileClockNowNs() {
  timespec now{};
  ::clock_gettime(CLOCK_REALTIME, &now);
  return Ns(now);
}

}  // namespace

std::optional<FileState> FileStateOf(const std::filesystem::path& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
  FileState state;
  state.Size = static_cast<uintmax_t>(info.st_size);
  state.WrittenNs = Ns(info.st_mtim);
  state.ChangedNs = Ns(info.st_ctim);
  state.Device = static_cast<uint64_t>(info.st_dev);
  state.Inode = static_cast<uint64_t>(info.st_ino);
  return state;
}
#endif

bool SettledFor(const FileState& state, std::chrono::nanoseconds settle) {
  return std::max(state.WrittenNs, state.ChangedNs) < FileClockNowNs() - settle.count();
}

}  // namespace qm
