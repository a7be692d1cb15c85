#include "winsys/PlainBitmap.h"

#include <algorithm>
#include <cstdlib>

#include "winsys/ByteOrder.h"

namespace qm {
namespace {

void Put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

// The info headers whose first 40 bytes are laid out alike: Windows' own, its later
// versions (52 and 56 bytes add colour masks, 108 and 124 colour spaces).
bool InfoHeader(uint32_t size) {
  return size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
}

constexpr uint32_t kRgb = 0, kBitFields = 3, kAlphaBitFields = 6;

}  // namespace

std::optional<std::vector<uint8_t>> PlainBitmap(const uint8_t* data, size_t size) {
  if (size < 26 || data[0] != 'B' || data[1] != 'M') return std::nullopt;
  const uint32_t pixelOffset = Le32(data + 10);
  const uint32_t headerSize = Le32(data + 14);
  const bool os2 = headerSize == 12;  // 16-bit sides, palette entries of three bytes
  if (!os2 && !InfoHeader(headerSize)) return std::nullopt;
  if (size - 14 < headerSize) return std::nullopt;
  int64_t width = 0, height = 0;
  uint32_t bits = 0, compression = kRgb;
  if (os2) {
    width = Le16(data + 18);
    height = Le16(data + 20);
    bits = Le16(data + 24);
  } else {
    width = static_cast<int32_t>(Le32(data + 18));
    height = static_cast<int32_t>(Le32(data + 22));
    bits = Le16(data + 28);
    compression = Le32(data + 30);
  }
  const bool masked = compression == kBitFields || compression == kAlphaBitFields;
  if (compression != kRgb && !masked) return std::nullopt;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
    return std::nullopt;
  if (masked && bits != 16 && bits != 32) return std::nullopt;
  // Sides far beyond any picture's are left to the decoder's size rule; within these,
  // the pixels' byte count cannot overflow.
  constexpr int64_t kSideLimit = int64_t{1} << 24;
  if (width <= 0 || height == 0 || width > kSideLimit || std::abs(height) > kSideLimit)
    return std::nullopt;
  const int64_t rowBytes = (width * bits + 31) / 32 * 4;
  const int64_t pixelBytes = rowBytes * std::abs(height);
  if (pixelOffset > size || pixelBytes > static_cast<int64_t>(size - pixelOffset))
    return std::nullopt;

  // A 40-byte header has its masks after it (three, or four with alpha); the longer
  // ones hold them. Alpha is left out: Windows shows a bitmap's pixels opaque.
  size_t tableStart = 14 + headerSize;
  std::vector<uint32_t> masks;
  if (masked) {
    const size_t at = headerSize == 40 ? tableStart : 14 + 40;
    if (size - at < 12) return std::nullopt;
    masks = {Le32(data + at), Le32(data + at + 4), Le32(data + at + 8)};
    if (headerSize == 40) tableStart += compression == kAlphaBitFields ? 16 : 12;
  }
  std::vector<uint32_t> palette;
  if (bits <= 8) {
    const size_t full = size_t{1} << bits;
    const size_t entry = os2 ? 3 : 4;
    const uint32_t declared = os2 ? 0 : Le32(data + 46);
    size_t count = declared == 0 || declared > full ? full : declared;
    // The entries end where the pixels begin, whatever the header declares.
    const size_t room = pixelOffset > tableStart ? (pixelOffset - tableStart) / entry : 0;
    count = std::min(count, room);
    palette.assign(full, 0);  // an index the file's palette lacks is black
    for (size_t i = 0; i < count; ++i) {
      const uint8_t* e = data + tableStart + i * entry;
      palette[i] = e[0] | (uint32_t{e[1]} << 8) | (uint32_t{e[2]} << 16);
    }
  }

  const auto offset = static_cast<uint32_t>(14 + 40 + 4 * (masks.size() + palette.size()));
  std::vector<uint8_t> out;
  out.reserve(offset + static_cast<size_t>(pixelBytes));
  out.push_back('B');
  out.push_back('M');
  Put32(out, offset + static_cast<uint32_t>(pixelBytes));
  Put32(out, 0);
  Put32(out, offset);
  Put32(out, 40);
  Put32(out, static_cast<uint32_t>(width));
  Put32(out, static_cast<uint32_t>(static_cast<int32_t>(height)));  // negative: top row first
  Put16(out, 1);
  Put16(out, bits);
  Put32(out, masked ? kBitFields : kRgb);
  Put32(out, static_cast<uint32_t>(pixelBytes));
  Put32(out, 2835);  // 72 dots an inch, as anything
  Put32(out, 2835);
  Put32(out, static_cast<uint32_t>(palette.size()));
  Put32(out, 0);
  for (uint32_t m : masks) Put32(out, m);
  for (uint32_t colour : palette) Put32(out, colour);  // blue, green, red, 0
  out.insert(out.end(), data + pixelOffset, data + pixelOffset + pixelBytes);
  return out;
}

}  // namespace qm
