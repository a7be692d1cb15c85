#include "winsys/PictureFileCache.h"

#include <algorithm>
#include <fstream>
#include <optional>
#include <utility>

#include "winsys/DrivePath.h"

namespace qm {
namespace {

int64_t PixelsOf(const Picture& picture) {
  return int64_t{picture.Width} * picture.Height;
}

}  // namespace

PictureFileCache::PictureFileCache(std::chrono::nanoseconds settle, int64_t maxPixels)
    : settle_(settle), maxPixels_(maxPixels) {}

PictureLoad PictureFileCache::Load(const std::string& hostPath) {
  const auto found = std::find_if(kept_.begin(), kept_.end(),
                                  [&](const Kept& k) { return k.HostPath == hostPath; });
  std::optional<Kept> previous;
  if (found != kept_.end()) {
    previous = std::move(*found);
    kept_.erase(found);
  }
  const std::filesystem::path path = HostFsPath(hostPath);
  const std::optional<FileState> before = FileStateOf(path);
  // Opened every time, as a fresh read would be: a file made unreadable loads nothing.
  if (previous && before && previous->State == *before && std::ifstream(path, std::ios::binary)) {
    kept_.push_back(std::move(*previous));
    return PictureLoad{kept_.back().Picture, {}};
  }

  PictureLoad load = LoadPictureFile(hostPath);
  if (!load.Ok() || !before || FileStateOf(path) != before || !SettledFor(*before, settle_))
    return load;
  const int64_t pixels = PixelsOf(*load.Picture);
  if (pixels > maxPixels_) return load;
  int64_t total = pixels;
  for (const Kept& k : kept_) total += PixelsOf(*k.Picture);
  while (!kept_.empty() && (kept_.size() >= kMaxKeptPictures || total > maxPixels_)) {
    total -= PixelsOf(*kept_.front().Picture);
    kept_.erase(kept_.begin());
  }
  kept_.push_back(Kept{hostPath, *before, load.Picture});
  return load;
}

}  // namespace qm
