// Run-length compressed bitmaps (BI_RLE8 and BI_RLE4), which Windows' picture loader
// reads and the general decoder does not: what old paint programs saved banners as.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "winsys/Picture.h"

namespace qm {

// Whether `data` is a BMP file whose info header declares RLE8 or RLE4 compression.
bool IsRleBitmap(const uint8_t* data, size_t size);

// Decodes such a file, bottom row first as it is stored. Pixels the runs skip (by a
// jump or an early end of row or of picture) take palette colour 0; an index the
// palette lacks is black; pixels a run puts beyond the row's end or above the top are
// dropped. A side beyond `maxSide` or more pixels than `maxPixels` is refused before
// anything is allocated. A file that ends before its end-of-picture code, or whose
// header, palette or coding does not hold together, gives an error text instead of a
// picture; nothing is read outside `data`.
struct RleDecode {
  PicturePtr Picture;
  std::string Error;
};
RleDecode DecodeRleBitmap(const uint8_t* data, size_t size, int maxSide, int64_t maxPixels);

}  // namespace qm
