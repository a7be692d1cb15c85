#include "winsys/RleBitmap.h"

#include <memory>
#include <vector>

#include "winsys/ByteOrder.h"

namespace qm {
namespace {

constexpr uint32_t kRle8 = 1;
constexpr uint32_t kRle4 = 2;

RleDecode Error(std::string text) {
  return RleDecode{nullptr, std::move(text)};
}

// The compression a BMP's info header declares, or 0 where it has none to tell.
uint32_t CompressionOf(const uint8_t* data, size_t size) {
  if (size < 34 || data[0] != 'B' || data[1] != 'M') return 0;
  if (Le32(data + 14) < 40) return 0;  // the old core header knows no compression
  return Le32(data + 30);
}

}  // namespace

bool IsRleBitmap(const uint8_t* data, size_t size) {
  const uint32_t compression = CompressionOf(data, size);
  return compression == kRle8 || compression == kRle4;
}

RleDecode DecodeRleBitmap(const uint8_t* data, size_t size, int maxSide, int64_t maxPixels) {
  if (!IsRleBitmap(data, size) || size < 50) return Error("not a run-length bitmap");
  const uint32_t pixelOffset = Le32(data + 10);
  const uint32_t headerSize = Le32(data + 14);
  const auto width = static_cast<int32_t>(Le32(data + 18));
  const auto height = static_cast<int32_t>(Le32(data + 22));
  const uint32_t bits = Le16(data + 28);
  const uint32_t compression = Le32(data + 30);
  if ((compression == kRle8 && bits != 8) || (compression == kRle4 && bits != 4)) {
    return Error("its run-length coding does not match its bits per pixel");
  }
  // Runs are stored bottom row first; a top-down bitmap cannot be run-length coded.
  if (width <= 0 || height <= 0) return Error("the picture has no pixels");
  if (width > maxSide || height > maxSide || int64_t{width} * height > maxPixels) {
    return Error("the picture is larger than 8192 pixels a side or 64 megapixels");
  }

  const uint32_t entries = 1u << bits;
  const uint32_t used = Le32(data + 46);
  const uint32_t colours = used == 0 || used > entries ? entries : used;
  const uint64_t paletteAt = 14 + uint64_t{headerSize};
  if (paletteAt + 4 * uint64_t{colours} > size || pixelOffset >= size) {
    return Error("the picture file is cut short or damaged");
  }
  std::vector<Pixel> palette(entries, 0);
  for (uint32_t i = 0; i < colours; ++i) {
    const uint8_t* e = data + paletteAt + 4 * i;
    palette[i] = Rgb(e[2], e[1], e[0]);
  }

  auto picture = std::make_shared<Picture>(width, height, palette[0]);
  int64_t x = 0;
  int64_t y = 0;  // counted from the bottom row
  // Pixels beyond the row's end or above the top are dropped, as Windows draws them.
  const auto put = [&](uint32_t index) {
    if (x < width && y < height) {
      picture->Pixels[static_cast<size_t>(height - 1 - y) * static_cast<size_t>(width) +
                      static_cast<size_t>(x)] = palette[index];
    }
    ++x;
  };
  size_t pos = pixelOffset;
  while (true) {
    if (size - pos < 2) return Error("the picture file is cut short or damaged");
    const uint32_t count = data[pos];
    const uint32_t code = data[pos + 1];
    pos += 2;
    if (count > 0) {  // `count` pixels of one index, or of two alternating ones
      for (uint32_t i = 0; i < count; ++i) put(bits == 8 ? code : (i % 2 ? code & 15 : code >> 4));
      continue;
    }
    if (code == 0) {  // end of the row
      x = 0;
      ++y;
    } else if (code == 1) {  // end of the picture
      break;
    } else if (code == 2) {  // a jump right and up
      if (size - pos < 2) return Error("the picture file is cut short or damaged");
      x += data[pos];
      y += data[pos + 1];
      pos += 2;
    } else {  // `code` pixels given one by one, padded to a whole 16-bit word
      const size_t bytes = bits == 8 ? code : (code + 1) / 2;
      const size_t padded = bytes + bytes % 2;
      if (size - pos < padded) return Error("the picture file is cut short or damaged");
      for (uint32_t i = 0; i < code; ++i) {
        const uint8_t byte = data[pos + (bits == 8 ? i : i / 2)];
        put(bits == 8 ? byte : (i % 2 ? byte & 15 : byte >> 4));
      }
      pos += padded;
    }
  }
  return RleDecode{std::move(picture), {}};
}

}  // namespace qm
