// The picture loader for banner files: BMP (run-length coded ones too), GIF (its first
// frame), JPEG and PNG, read from disk into a picture of the program's pixel format.
//
// Bad input is a load error, never a crash: the file is read with a size cap, its kind
// is told by its first bytes, its declared size is checked against the limits below
// before any pixel is decoded, a file cut short is rejected, and so is a PNG whose data
// unpack to more than its size holds or whose needed chunks fail their checksums. A
// small file may still declare a picture at the limits, hundreds of megabytes once
// decoded; where that memory is not to be had, the load fails like any other.
// A GIF or PNG with transparent or translucent parts gives a picture with `HasAlpha`
// (Picture.h), which the banner's image control lays over the scene below it; a BMP
// shows opaque, as on Windows, in any of the layouts Windows reads (PlainBitmap.h).
//
// One call at a time: the decoder keeps its last error text in a global, and the
// program loads pictures only on its user-interface thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "winsys/Picture.h"

namespace qm {

// A side longer than this, or more pixels than kMaxPicturePixels, is refused.
inline constexpr int kMaxPictureSide = 8192;
inline constexpr int64_t kMaxPicturePixels = 64'000'000;
// Files longer than this are refused without being read.
inline constexpr size_t kMaxPictureFileBytes = 64u * 1024u * 1024u;

// Either a picture (Error empty) or an error text in English for a message on stderr
// (Picture null). The error text names the problem, not the file.
struct PictureLoad {
  PicturePtr Picture;
  std::string Error;
  bool Ok() const { return Picture != nullptr; }
};

// `hostPath` is a host path (already mapped, see DrivePath.h).
PictureLoad LoadPictureFile(const std::string& hostPath);

// The same from bytes in memory; `data` may be null when `size` is 0.
PictureLoad LoadPictureFromMemory(const uint8_t* data, size_t size);

}  // namespace qm
