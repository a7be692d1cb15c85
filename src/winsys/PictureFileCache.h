// Banner pictures decoded before, kept while their files stay as they were. The banner
// rotation reads its picture file afresh at every banner: a picture of megapixels (a
// photograph named as a banner) took a tenth of a second or more to decode each time,
// and the scenes stood still meanwhile. A file changed, replaced, removed or made
// unreadable is read again, and one changed in the last moments is not kept
// (FileState.h), so what shows is always what the file holds.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "winsys/FileState.h"
#include "winsys/PictureLoader.h"

namespace qm {

inline constexpr std::chrono::seconds kPictureFileSettle{2};
// At most this many pictures, of at most this many pixels in all, are kept.
inline constexpr size_t kMaxKeptPictures = 4;
inline constexpr int64_t kMaxKeptPixels = 32'000'000;

class PictureFileCache {
 public:
  explicit PictureFileCache(std::chrono::nanoseconds settle = kPictureFileSettle,
                            int64_t maxPixels = kMaxKeptPixels);
  // What LoadPictureFile(hostPath) gives; a picture kept from before where its file is
  // as it was then.
  PictureLoad Load(const std::string& hostPath);

 private:
  struct Kept {
    std::string HostPath;
    FileState State;
    PicturePtr Picture;
  };
  std::vector<Kept> kept_;  // the most recently used last
  std::chrono::nanoseconds settle_;
  int64_t maxPixels_;
};

}  // namespace qm
