// libFuzzer target: the banner picture loader on arbitrary bytes. Besides not
// crashing, a load either gives a picture within the size limits whose pixel count
// matches its size, or an error text, never both and never neither. An opaque picture
// keeps every top byte 0; one with transparent parts has no colour bits above its
// opacity, which the banner's blending relies on to stay within a byte.
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
    for (const qm::Pixel pixel : p.Pixels) {
      const uint32_t alpha = pixel >> 24;
      if (!p.HasAlpha && alpha != 0) __builtin_trap();
      if (p.HasAlpha &&
          ((pixel >> 16 & 0xFF) > alpha || (pixel >> 8 & 0xFF) > alpha || (pixel & 0xFF) > alpha)) {
        __builtin_trap();
      }
    }
  }
  return 0;
}
