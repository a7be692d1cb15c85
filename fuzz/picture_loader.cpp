// libFuzzer target: the banner picture loader on arbitrary bytes. Besides not
// crashing, a load either gives a picture within the size limits whose pixel count
// matches its size, or an error text, never both and never neither.
#include <cstddef>
#include <cstdint>

#include "winsys/PictureLoader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const qm::PictureLoad load = qm::LoadPictureFromMemory(data, size);
  if (load.Ok() == !load.Error.empty()) __builtin_trap();
  if (load.Ok()) {
    const qm::Picture& p = *load.Picture;
    if (p.Width <= 0 || p.Height <= 0 || p.Width > qm::kMaxPictureSide ||
        p.Height > qm::kMaxPictureSide ||
        p.Pixels.size() != static_cast<size_t>(p.Width) * static_cast<size_t>(p.Height)) {
      __builtin_trap();
    }
  }
  return 0;
}
