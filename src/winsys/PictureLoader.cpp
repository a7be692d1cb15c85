#include "winsys/PictureLoader.h"

#include <stb_image.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <new>
#include <optional>
#include <system_error>
#include <vector>

#include "winsys/ByteOrder.h"
#include "winsys/DrivePath.h"
#include "winsys/PlainBitmap.h"
#include "winsys/RleBitmap.h"

namespace qm {

namespace {

enum class PictureKind { Bmp, Gif, Jpeg, Png };

class Bytes {
 public:
  Bytes(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  size_t Size() const { return size_; }
  bool Has(size_t pos, size_t count) const { return pos <= size_ && count <= size_ - pos; }
  uint8_t At(size_t pos) const { return data_[pos]; }
  uint32_t Le16(size_t pos) const { return qm::Le16(data_ + pos); }
  uint32_t Le32(size_t pos) const { return qm::Le32(data_ + pos); }
  const uint8_t* Data(size_t pos) const { return data_ + pos; }
  uint32_t Be16(size_t pos) const { return (uint32_t{data_[pos]} << 8) | data_[pos + 1]; }
  uint32_t Be32(size_t pos) const {
    return (uint32_t{data_[pos]} << 24) | (uint32_t{data_[pos + 1]} << 16) |
           (uint32_t{data_[pos + 2]} << 8) | data_[pos + 3];
  }
  bool Matches(size_t pos, const char* text) const {
    const size_t n = std::strlen(text);
    return Has(pos, n) && std::memcmp(data_ + pos, text, n) == 0;
  }

 private:
  const uint8_t* data_;
  size_t size_;
};

std::optional<PictureKind> KindOf(const Bytes& b) {
  if (b.Matches(0, "BM")) return PictureKind::Bmp;
  if (b.Matches(0, "GIF87a") || b.Matches(0, "GIF89a")) return PictureKind::Gif;
  if (b.Has(0, 3) && b.At(0) == 0xFF && b.At(1) == 0xD8 && b.At(2) == 0xFF) {
    return PictureKind::Jpeg;
  }
  if (b.Matches(0, "\x89PNG\r\n\x1A\n")) return PictureKind::Png;
  return std::nullopt;
}

// The decoder would fill a short file's missing rows with zeros; an uncompressed bitmap
// must hold all the rows its header declares.
bool BmpComplete(const Bytes& b) {
  if (!b.Has(0, 18)) return false;
  const uint32_t pixelOffset = b.Le32(10);
  const uint32_t headerSize = b.Le32(14);
  int64_t width = 0;
  int64_t height = 0;
  uint32_t bitsPerPixel = 0;
  uint32_t compression = 0;
  if (headerSize == 12) {
    if (!b.Has(14, 12)) return false;
    width = b.Le16(18);
    height = b.Le16(20);
    bitsPerPixel = b.Le16(24);
  } else {
    if (!b.Has(14, 20)) return false;
    width = static_cast<int32_t>(b.Le32(18));
    height = static_cast<int32_t>(b.Le32(22));
    bitsPerPixel = b.Le16(28);
    compression = b.Le32(30);
  }
  if (width <= 0 || height == 0 || bitsPerPixel == 0) return false;
  if (height < 0) height = -height;
  // Too large either way: the size rule refuses it with its own message.
  if (width > kMaxPictureSide || height > kMaxPictureSide) return true;
  // Only the uncompressed layouts have a size that follows from the header; the
  // run-length ones are decoded elsewhere (RleBitmap.h).
  if (compression != 0 && compression != 3 && compression != 6) return true;
  const int64_t rowBytes = (width * bitsPerPixel + 31) / 32 * 4;
  return static_cast<int64_t>(pixelOffset) + rowBytes * height <= static_cast<int64_t>(b.Size());
}

// Skips a chain of GIF data sub-blocks; false when the file ends inside it.
bool SkipGifSubBlocks(const Bytes& b, size_t& pos) {
  for (;;) {
    if (!b.Has(pos, 1)) return false;
    const size_t length = b.At(pos++);
    if (length == 0) return true;
    if (!b.Has(pos, length)) return false;
    pos += length;
  }
}

// Walks every block to the trailer: only the first frame is shown, but a file whose
// later frames are cut off is as damaged as any other cut file.
bool GifComplete(const Bytes& b) {
  if (!b.Has(0, 13)) return false;
  size_t pos = 13;
  const uint8_t screenFlags = b.At(10);
  if (screenFlags & 0x80) pos += 3u * (1u << ((screenFlags & 7) + 1));
  bool sawImage = false;
  for (;;) {
    if (!b.Has(pos, 1)) return false;
    const uint8_t introducer = b.At(pos++);
    if (introducer == 0x21) {  // extension: label, then sub-blocks
      if (!b.Has(pos, 1)) return false;
      ++pos;
      if (!SkipGifSubBlocks(b, pos)) return false;
    } else if (introducer == 0x2C) {  // image descriptor
      if (!b.Has(pos, 9)) return false;
      const uint8_t imageFlags = b.At(pos + 8);
      pos += 9;
      if (imageFlags & 0x80) pos += 3u * (1u << ((imageFlags & 7) + 1));
      if (!b.Has(pos, 1)) return false;
      ++pos;  // LZW minimum code size
      if (!SkipGifSubBlocks(b, pos)) return false;
      sawImage = true;
    } else if (introducer == 0x3B) {
      return sawImage;
    } else {
      return false;
    }
  }
}

// Walks the JPEG's segments to its end marker. Besides finding a cut file (the decoder
// pads a cut scan with zeros), this refuses what the decoder does not check itself: a
// Huffman table with more than 256 codes, a 16-bit quantisation table, and a scan that
// uses a Huffman or quantisation table never defined (the decoder would read
// uninitialised memory and index out of its tables).
bool JpegSound(const Bytes& b) {
  bool defined[2][4] = {};  // [DC, AC][table]
  bool quantDefined[4] = {};
  std::vector<uint8_t> frameQuant;  // the quantisation table of each frame component
  bool progressive = false;
  bool sawScan = false;
  size_t pos = 2;
  for (;;) {
    if (!b.Has(pos, 2) || b.At(pos) != 0xFF) return false;
    while (b.At(pos + 1) == 0xFF) {  // fill bytes before a marker
      ++pos;
      if (!b.Has(pos, 2)) return false;
    }
    const uint8_t marker = b.At(pos + 1);
    pos += 2;
    if (marker == 0xD9) return sawScan;
    if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) continue;  // no length
    if (marker == 0xD8 || !b.Has(pos, 2)) return false;
    const size_t length = b.Be16(pos);
    if (length < 2 || !b.Has(pos, length)) return false;
    const size_t end = pos + length;
    size_t p = pos + 2;
    if (marker == 0xC0 || marker == 0xC1 || marker == 0xC2) {  // frame header
      if (length < 8) return false;
      const size_t components = b.At(p + 5);
      if (length != 8 + 3 * components) return false;
      frameQuant.clear();
      for (size_t c = 0; c < components; ++c) frameQuant.push_back(b.At(p + 8 + 3 * c));
      progressive = marker == 0xC2;
    }
    if (marker == 0xDB) {  // quantisation tables
      // 8-bit entries only: the decoder multiplies 16-bit ones into int overflow, and
      // 8-bit pictures, all it reads, have no use for them.
      while (p < end) {
        if (b.At(p) >> 4 != 0 || (b.At(p) & 15) > 3 || end - p < 65) return false;
        quantDefined[b.At(p) & 15] = true;
        p += 65;
      }
    } else if (marker == 0xC4) {  // Huffman tables
      while (p < end) {
        if (end - p < 17) return false;
        const uint8_t kind = b.At(p) >> 4;
        const uint8_t id = b.At(p) & 15;
        if (kind > 1 || id > 3) return false;
        size_t codes = 0;
        for (size_t i = 1; i <= 16; ++i) codes += b.At(p + i);
        if (codes > 256 || end - p - 17 < codes) return false;
        defined[kind][id] = true;
        p += 17 + codes;
      }
    } else if (marker == 0xDA) {  // scan header, then its entropy-coded data
      if (length < 3) return false;
      for (uint8_t table : frameQuant) {
        if (table > 3 || !quantDefined[table]) return false;
      }
      const size_t components = b.At(p);
      if (length != 6 + 2 * components) return false;
      const uint8_t spectralStart = b.At(p + 1 + 2 * components);
      const uint8_t spectralEnd = b.At(p + 2 + 2 * components);
      for (size_t c = 0; c < components; ++c) {
        const uint8_t tables = b.At(p + 2 + 2 * c);
        const uint8_t dc = tables >> 4;
        const uint8_t ac = tables & 15;
        if (spectralStart == 0 && (dc > 3 || !defined[0][dc])) return false;
        // A sequential scan always codes all 64 coefficients, whatever it declares.
        const bool usesAc = !progressive || spectralEnd > 0;
        if (usesAc && (ac > 3 || !defined[1][ac])) return false;
      }
      sawScan = true;
      pos = end;
      // Inside scan data 0xFF is followed by a stuffed zero or a restart marker, with
      // or without fill bytes 0xFF between; any other marker ends the scan. The walk
      // must end the scan exactly where the decoder does: "FF FF 00" is a data byte to
      // it, and a walk that took it for a marker would skip, as that marker's segment,
      // tables the decoder goes on to read.
      for (;;) {
        if (!b.Has(pos, 2)) return false;
        if (b.At(pos) != 0xFF) {
          ++pos;
          continue;
        }
        size_t code = pos + 1;
        while (b.Has(code, 1) && b.At(code) == 0xFF) ++code;
        if (!b.Has(code, 1)) return false;
        const uint8_t next = b.At(code);
        if (next != 0x00 && !(next >= 0xD0 && next <= 0xD7)) break;
        pos = code + 1;
      }
      continue;
    }
    pos = end;
  }
}

// Calls `chunk(pos, length)` for each whole chunk of a PNG, its name at pos + 4 and its
// data at pos + 8, up to and with the IEND. True when the IEND was reached.
template <typename Chunk>
bool ForEachPngChunk(const Bytes& b, Chunk&& chunk) {
  for (size_t pos = 8; b.Has(pos, 8);) {
    const uint32_t length = b.Be32(pos);
    if (length > 0x7FFFFFFFu || !b.Has(pos, 12 + size_t{length})) return false;
    chunk(pos, size_t{length});
    if (b.Matches(pos + 4, "IEND")) return true;
    pos += 12 + size_t{length};
  }
  return false;
}

bool PngComplete(const Bytes& b) {
  return ForEachPngChunk(b, [](size_t, size_t) {});
}

// The decoder grows its buffer for as much as a PNG's compressed data unpacks to: a
// small file could ask for gigabytes, again at every banner shown. The data is first
// unpacked into a buffer of the size the header implies, with room for what a sloppy
// encoder adds, and the file is refused where it does not fit. True for a file too
// damaged to say: the decoder refuses it then.
bool PngUnpacksWithinItsSize(const Bytes& b) {
  if (!b.Has(8, 25) || !b.Matches(12, "IHDR")) return true;
  const int64_t width = b.Be32(16), height = b.Be32(20);
  const int depth = b.At(24), colour = b.At(25), interlace = b.At(28);
  int channels = 0;
  switch (colour) {
    case 0:
    case 3:
      channels = 1;
      break;
    case 2:
      channels = 3;
      break;
    case 4:
      channels = 2;
      break;
    case 6:
      channels = 4;
      break;
    default:
      return true;
  }
  // Too large either way: the size rule refuses it with its own message.
  if (width <= 0 || height <= 0 || width > kMaxPictureSide || height > kMaxPictureSide ||
      width * height > kMaxPicturePixels)
    return true;
  const int64_t bitsPerPixel = int64_t{channels} * depth;
  const auto rowsBytes = [&](int64_t w, int64_t h) {
    return w > 0 && h > 0 ? h * (1 + (w * bitsPerPixel + 7) / 8) : 0;
  };
  int64_t raw = 0;
  if (interlace == 1) {
    // The seven passes of Adam7: first column and row, and the steps between.
    constexpr int kPass[7][4] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                                 {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
    for (const auto& p : kPass)
      raw += rowsBytes((width - p[0] + p[2] - 1) / p[2], (height - p[1] + p[3] - 1) / p[3]);
  } else {
    raw = rowsBytes(width, height);
  }
  std::vector<char> packed;
  ForEachPngChunk(b, [&](size_t pos, size_t length) {
    if (b.Matches(pos + 4, "IDAT"))
      packed.insert(packed.end(), b.Data(pos + 8), b.Data(pos + 8 + length));
  });
  if (packed.empty()) return true;
  const int64_t room = raw + raw / 16 + 65536;
  if (room > INT_MAX || packed.size() > INT_MAX) return false;
  // Only the pages the data reaches are touched.
  const auto unpacked = std::make_unique_for_overwrite<char[]>(static_cast<size_t>(room));
  return stbi_zlib_decode_buffer(unpacked.get(), static_cast<int>(room), packed.data(),
                                 static_cast<int>(packed.size())) >= 0;
}

// The CRC-32 of PNG chunks (and zip files): reflected, polynomial 0xEDB88320.
uint32_t Crc32(const Bytes& b, size_t pos, size_t count) {
  static const std::array<uint32_t, 256> kTable = [] {
    std::array<uint32_t, 256> table{};
    for (uint32_t i = 0; i < 256; ++i) {
      uint32_t c = i;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      table[i] = c;
    }
    return table;
  }();
  uint32_t c = 0xFFFFFFFFu;
  for (size_t i = pos; i < pos + count; ++i) c = kTable[(c ^ b.At(i)) & 0xFF] ^ (c >> 8);
  return c ^ 0xFFFFFFFFu;
}

// The decoder does not check a PNG's checksums, and shows a damaged file's pixels as
// they come out. A chunk the picture needs (a critical one: its name starts with a
// capital) must match its checksum, as PNG readers require; an ancillary chunk, which
// the picture does without, may not.
bool PngChecksumsMatch(const Bytes& b) {
  bool match = true;
  ForEachPngChunk(b, [&](size_t pos, size_t length) {
    const bool critical = (b.At(pos + 4) & 0x20) == 0;
    if (critical && Crc32(b, pos + 4, 4 + length) != b.Be32(pos + 8 + length)) match = false;
  });
  return match;
}

bool Complete(PictureKind kind, const Bytes& b) {
  switch (kind) {
    case PictureKind::Bmp:
      return BmpComplete(b);
    case PictureKind::Gif:
      return GifComplete(b);
    case PictureKind::Jpeg:
      return JpegSound(b);
    case PictureKind::Png:
      return PngComplete(b);
  }
  return false;
}

PictureLoad Failure(std::string text) {
  return PictureLoad{nullptr, std::move(text)};
}

std::string DecoderReason() {
  const char* reason = stbi_failure_reason();
  return reason ? reason : "unknown error";
}

}  // namespace

namespace {

PictureLoad Decode(const uint8_t* data, size_t size) {
  if (data == nullptr || size == 0) return Failure("the file is empty");
  if (size > kMaxPictureFileBytes) return Failure("the file is too large for a picture");
  const Bytes bytes(data, size);
  const std::optional<PictureKind> kind = KindOf(bytes);
  if (!kind) return Failure("not a BMP, GIF, JPEG or PNG picture");
  if (*kind == PictureKind::Bmp && IsRleBitmap(data, size)) {
    RleDecode rle = DecodeRleBitmap(data, size, kMaxPictureSide, kMaxPicturePixels);
    return PictureLoad{std::move(rle.Picture), std::move(rle.Error)};
  }
  if (!Complete(*kind, bytes)) return Failure("the picture file is cut short or damaged");
  if (*kind == PictureKind::Png && !PngUnpacksWithinItsSize(bytes))
    return Failure("the picture's data unpacks to more than its size or is damaged");
  // A bitmap is read in the one layout the decoder reads right, and shown opaque, as
  // Windows shows it: its fourth byte is reserved, or an alpha Windows ignores.
  std::optional<std::vector<uint8_t>> plain;
  const bool bitmap = *kind == PictureKind::Bmp;
  if (bitmap && (plain = PlainBitmap(data, size))) {
    data = plain->data();
    size = plain->size();
  }

  const int length = static_cast<int>(size);
  int width = 0;
  int height = 0;
  int channels = 0;
  if (!stbi_info_from_memory(data, length, &width, &height, &channels)) {
    return Failure("the picture cannot be read: " + DecoderReason());
  }
  // A bitmap stored top-down declares a negative height; its size is the magnitude.
  if (*kind == PictureKind::Bmp && height < 0 && height != INT_MIN) height = -height;
  if (width <= 0 || height <= 0) return Failure("the picture has no pixels");
  if (width > kMaxPictureSide || height > kMaxPictureSide ||
      int64_t{width} * height > kMaxPicturePixels) {
    return Failure("the picture is larger than 8192 pixels a side or 64 megapixels");
  }

  if (*kind == PictureKind::Png && !PngChecksumsMatch(bytes))
    return Failure("the picture file is damaged: a checksum does not match");

  int decodedWidth = 0;
  int decodedHeight = 0;
  std::unique_ptr<stbi_uc, void (*)(void*)> rgba(
      stbi_load_from_memory(data, length, &decodedWidth, &decodedHeight, &channels, 4),
      stbi_image_free);
  if (!rgba) return Failure("the picture cannot be decoded: " + DecoderReason());
  if (decodedWidth != width || decodedHeight != height) {
    return Failure("the picture's size changed while it was decoded");
  }

  auto picture = std::make_shared<Picture>(width, height);
  const stbi_uc* p = rgba.get();
  uint32_t leastAlpha = 255;
  for (Pixel& out : picture->Pixels) {
    const uint32_t alpha = bitmap ? 255 : p[3];
    leastAlpha = std::min(leastAlpha, alpha);
    out = (alpha << 24) |
          Rgb(static_cast<uint8_t>(p[0] * alpha / 255), static_cast<uint8_t>(p[1] * alpha / 255),
              static_cast<uint8_t>(p[2] * alpha / 255));
    p += 4;
  }
  // An opaque picture keeps the top byte 0, as every other picture does.
  if (leastAlpha == 255) {
    for (Pixel& out : picture->Pixels) out &= kRgbMask;
  } else {
    picture->HasAlpha = true;
  }
  return PictureLoad{std::move(picture), {}};
}

}  // namespace

PictureLoad LoadPictureFromMemory(const uint8_t* data, size_t size) {
  // A few bytes may declare a picture of the largest size allowed, whose pixels (and
  // the decoder's copy of them) take hundreds of megabytes: where they are not to be
  // had, that is this picture's failure, not the program's.
  try {
    return Decode(data, size);
  } catch (const std::bad_alloc&) {
    return Failure("not enough memory for the picture");
  }
}

PictureLoad LoadPictureFile(const std::string& hostPath) {
  const std::filesystem::path path = HostFsPath(hostPath);
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return Failure("no such picture file");
  const uintmax_t fileSize = std::filesystem::file_size(path, ec);
  if (ec) return Failure("the picture file cannot be read");
  if (fileSize > kMaxPictureFileBytes) return Failure("the file is too large for a picture");

  std::ifstream in(path, std::ios::binary);
  if (!in) return Failure("the picture file cannot be opened");
  // Read up to one byte past the cap so a file that grew since it was measured is caught.
  std::vector<uint8_t> data;
  try {
    data.resize(static_cast<size_t>(fileSize) + 1);
  } catch (const std::bad_alloc&) {
    return Failure("not enough memory to read the picture file");
  }
  in.read(reinterpret_cast<char*>(data.data()), static_cast<std::streamsize>(data.size()));
  const auto got = static_cast<size_t>(in.gcount());
  if (in.bad()) return Failure("the picture file cannot be read");
  if (got > kMaxPictureFileBytes) return Failure("the file is too large for a picture");
  return LoadPictureFromMemory(data.data(), got);
}

}  // namespace qm
