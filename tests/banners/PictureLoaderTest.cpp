// The banner picture loader: the four formats decode to the pixels they hold; cut,
// foreign, empty and oversized files are load errors found before the pixels are.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "../app/MemoryCap.h"
#include "../matchtable/TempFolders.h"
#include "TestPictures.h"
#include "winsys/PictureLoader.h"

// The picture writer's deflate (compiled once, with the writer, in StbImpl.cpp).
extern "C" unsigned char* stbi_zlib_compress(unsigned char* data, int length, int* outLength,
                                             int quality);

namespace qm::testing {
namespace {

const std::filesystem::path kData = QM_TEST_DATA_DIR "/banners";

PictureLoad FromBytes(const std::string& bytes) {
  return LoadPictureFromMemory(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}
std::string Fixture(const char* name) {
  return TempFolders::Read(kData / name);
}
int Channel(Pixel p, int shift) {
  return static_cast<int>((p >> shift) & 0xFF);
}
void ExpectNear(Pixel actual, Pixel expected, int tolerance) {
  for (int shift : {16, 8, 0}) {
    EXPECT_NEAR(Channel(actual, shift), Channel(expected, shift), tolerance)
        << std::hex << "pixel " << actual << " expected " << expected;
  }
}

// The pixels of a loaded picture, row after row; none for a load error.
std::vector<Pixel> Row(const PictureLoad& load) {
  if (!load.Ok()) return {};
  return {load.Picture->Pixels.begin(), load.Picture->Pixels.end()};
}

TEST(PictureLoader, BmpRowsComeOutTopFirstWhicheverWayTheyAreStored) {
  // A colour per pixel that says where it is.
  const auto where = [](int x, int y) {
    return Rgb(static_cast<uint8_t>(10 * x), static_cast<uint8_t>(10 * y), 99);
  };
  for (bool topDown : {false, true}) {
    SCOPED_TRACE(topDown ? "top-down" : "bottom-up");
    const PictureLoad load = FromBytes(Bmp24(3, 2, where, topDown));
    ASSERT_TRUE(load.Ok()) << load.Error;
    ASSERT_EQ(load.Picture->Width, 3);
    ASSERT_EQ(load.Picture->Height, 2);
    EXPECT_EQ(load.Picture->At(0, 0), Rgb(0, 0, 99));
    EXPECT_EQ(load.Picture->At(2, 0), Rgb(20, 0, 99));
    EXPECT_EQ(load.Picture->At(1, 1), Rgb(10, 10, 99));
  }
}

// A run-length coded bitmap: palette colours, then the coded rows, bottom row first.
std::string RleBmp(int width, int height, int bits, const std::vector<Pixel>& palette,
                   const std::string& coded) {
  const auto offset = static_cast<uint32_t>(54 + 4 * palette.size());
  std::string out = "BM";
  PutLe(out, offset + static_cast<uint32_t>(coded.size()), 4);
  PutLe(out, 0, 4);
  PutLe(out, offset, 4);
  PutLe(out, 40, 4);
  PutLe(out, static_cast<uint32_t>(width), 4);
  PutLe(out, static_cast<uint32_t>(height), 4);
  PutLe(out, 1, 2);
  PutLe(out, static_cast<uint32_t>(bits), 2);
  PutLe(out, bits == 8 ? 1 : 2, 4);
  PutLe(out, static_cast<uint32_t>(coded.size()), 4);
  PutLe(out, 2835, 4);
  PutLe(out, 2835, 4);
  PutLe(out, static_cast<uint32_t>(palette.size()), 4);
  PutLe(out, 0, 4);
  for (const Pixel p : palette) PutLe(out, p & 0xFFFFFF, 4);  // blue, green, red, 0
  return out + coded;
}

TEST(PictureLoader, RunLengthBitmapsDecodeTheirRunsJumpsAndLiteralPixels) {
  const Pixel grey = Rgb(9, 9, 9), red = Rgb(255, 0, 0), green = Rgb(0, 255, 0),
              blue = Rgb(0, 0, 255);
  // Bottom row: three of colour 1, then the literal pixels 2 3 2 (padded to a word; the
  // last falls beyond the row and is dropped), end of row. Middle row: a jump two to
  // the right, four pixels of colour 3 (the last dropped, not wrapped onto the row
  // below), end of row. Then the end: the rest is colour 0.
  const std::string coded(
      "\x03\x01"
      "\x00\x03\x02\x03\x02\x00"
      "\x00\x00"
      "\x00\x02\x02\x00"
      "\x04\x03"
      "\x00\x00"
      "\x00\x01",
      20);
  const PictureLoad rle8 = FromBytes(RleBmp(5, 3, 8, {grey, red, green, blue}, coded));
  ASSERT_TRUE(rle8.Ok()) << rle8.Error;
  const std::vector<Pixel> expected = {grey, grey, grey, grey,  grey,  //
                                       grey, grey, blue, blue,  blue,  //
                                       red,  red,  red,  green, blue};
  EXPECT_EQ(std::vector<Pixel>(rle8.Picture->Pixels.begin(), rle8.Picture->Pixels.end()), expected);

  // Four bits a pixel: a run alternates the two nibbles; five literal pixels take three
  // bytes, padded to four, before the last run of one.
  const PictureLoad rle4 =
      FromBytes(RleBmp(9, 1, 4, {grey, red, green},
                       std::string("\x03\x12\x00\x05\x21\x21\x20\x00\x01\x12\x00\x01", 12)));
  ASSERT_TRUE(rle4.Ok()) << rle4.Error;
  EXPECT_EQ(std::vector<Pixel>(rle4.Picture->Pixels.begin(), rle4.Picture->Pixels.end()),
            (std::vector<Pixel>{red, green, red, green, red, green, red, green, red}));

  // No count of colours declared (0): all sixteen entries of the palette are in use.
  std::vector<Pixel> sixteen(16, grey);
  sixteen[1] = red;
  sixteen[15] = blue;
  std::string allColours = RleBmp(2, 1, 4, sixteen, std::string("\x02\x1F\x00\x01", 4));
  allColours.replace(46, 4, std::string(4, '\0'));
  EXPECT_EQ(Row(FromBytes(allColours)), (std::vector<Pixel>{red, blue}));

  // Without its end-of-picture code the file is cut short.
  const PictureLoad cut = FromBytes(RleBmp(5, 3, 8, {grey, red, green, blue}, coded.substr(0, 18)));
  EXPECT_FALSE(cut.Ok());
  EXPECT_NE(cut.Error.find("cut short"), std::string::npos) << cut.Error;

  // Headers that do not hold together: a coding for another pixel size (an 8-bit code
  // would index past a 16-colour palette), rows stored top-down, which runs cannot be,
  // and no columns.
  const std::string whole = RleBmp(5, 3, 8, {grey, red, green, blue}, coded);
  const auto patched = [](std::string bytes, size_t at, uint32_t value, int size) {
    std::string field;
    PutLe(field, value, size);
    return bytes.replace(at, field.size(), field);
  };
  for (const auto& [what, bytes] :
       {std::pair{"RLE8 of 4 bits", patched(whole, 28, 4, 2)},
        std::pair{"RLE4 of 8 bits",
                  patched(RleBmp(6, 1, 4, {grey}, std::string("\0\1", 2)), 28, 8, 2)},
        std::pair{"top-down", patched(whole, 22, static_cast<uint32_t>(-3), 4)},
        std::pair{"no columns", patched(whole, 18, 0, 4)}}) {
    EXPECT_FALSE(FromBytes(bytes).Ok()) << what;
  }
}

// An uncompressed bitmap of one row, in any of the layouts Windows reads: the header
// (12 bytes: OS/2, with three-byte palette entries; 40; 52 or 56, which hold the colour
// masks), masks after a 40-byte header, the palette, `gap` unused bytes, then the row
// as given (padded to a whole word).
struct BitmapParts {
  uint32_t headerSize = 40;
  int width = 1, bits = 24;
  uint32_t compression = 0, colorsUsed = 0;
  std::vector<uint32_t> masks = {};
  std::vector<Pixel> palette = {};
  size_t gap = 0;
  std::string row = {};
};
std::string Bitmap(const BitmapParts& b) {
  const bool os2 = b.headerSize == 12;
  std::string header;
  PutLe(header, b.headerSize, 4);
  PutLe(header, static_cast<uint32_t>(b.width), os2 ? 2 : 4);
  PutLe(header, 1, os2 ? 2 : 4);  // one row
  PutLe(header, 1, 2);
  PutLe(header, static_cast<uint32_t>(b.bits), 2);
  if (!os2) {
    PutLe(header, b.compression, 4);
    PutLe(header, 0, 4);
    PutLe(header, 2835, 4);
    PutLe(header, 2835, 4);
    PutLe(header, b.colorsUsed, 4);
    PutLe(header, 0, 4);
  }
  std::string tables;
  for (uint32_t m : b.masks) PutLe(b.headerSize > 40 ? header : tables, m, 4);
  for (Pixel p : b.palette) PutLe(tables, p & 0xFFFFFF, os2 ? 3 : 4);  // blue, green, red
  tables.append(b.gap, '\x55');
  std::string row = b.row;
  row.resize((row.size() + 3) / 4 * 4, '\0');
  const auto offset = static_cast<uint32_t>(14 + header.size() + tables.size());
  std::string out = "BM";
  PutLe(out, offset + static_cast<uint32_t>(row.size()), 4);
  PutLe(out, 0, 4);
  PutLe(out, offset, 4);
  return out + header + tables + row;
}

// Layouts that programs write and Windows shows, each a row of known colours.
TEST(PictureLoader, BitmapsOfEveryLayoutWindowsReadsShowTheirColours) {
  const Pixel red = Rgb(250, 20, 10), green = Rgb(10, 200, 30), navy = Rgb(20, 40, 200);
  const Pixel sun = Rgb(250, 220, 10);

  // OS/2 header, 256 three-byte entries: index i is (i, 255 - i, 7), the last four too.
  std::vector<Pixel> ramp;
  for (uint32_t i = 0; i < 256; ++i) ramp.push_back(Rgb(static_cast<uint8_t>(i), 255 - i, 7));
  const PictureLoad os2ramp = FromBytes(Bitmap({.headerSize = 12,
                                                .width = 4,
                                                .bits = 8,
                                                .palette = ramp,
                                                .row = std::string("\x00\x01\xFE\xFF", 4)}));
  EXPECT_EQ(Row(os2ramp),
            (std::vector<Pixel>{Rgb(0, 255, 7), Rgb(1, 254, 7), Rgb(254, 1, 7), Rgb(255, 0, 7)}))
      << os2ramp.Error;
  // OS/2 header, one bit a pixel: 1010 0000 over eight pixels.
  const PictureLoad os2mono = FromBytes(
      Bitmap({.headerSize = 12, .width = 8, .bits = 1, .palette = {navy, sun}, .row = "\xA0"}));
  EXPECT_EQ(Row(os2mono), (std::vector<Pixel>{sun, navy, sun, navy, navy, navy, navy, navy}))
      << os2mono.Error;
  // A palette of two colours in use: an index past them is black.
  const PictureLoad shortPalette = FromBytes(Bitmap({.width = 3,
                                                     .bits = 8,
                                                     .colorsUsed = 2,
                                                     .palette = {red, green},
                                                     .row = std::string("\x00\x01\x05", 3)}));
  EXPECT_EQ(Row(shortPalette), (std::vector<Pixel>{red, green, 0})) << shortPalette.Error;
  // No count declared: the palette still ends where the pixels begin.
  const PictureLoad undeclared = FromBytes(Bitmap(
      {.width = 3, .bits = 8, .palette = {red, green}, .row = std::string("\x00\x01\x02", 3)}));
  EXPECT_EQ(Row(undeclared), (std::vector<Pixel>{red, green, 0})) << undeclared.Error;
  // Unused bytes between the header and the pixels, with and without a palette.
  const PictureLoad gap24 =
      FromBytes(Bitmap({.width = 2, .gap = 2, .row = "\x0A\x14\xFA\x1E\xC8\x0A"}));
  EXPECT_EQ(Row(gap24), (std::vector<Pixel>{red, green})) << gap24.Error;
  const PictureLoad gapV3 = FromBytes(Bitmap({.headerSize = 56,  // room for four masks
                                              .width = 2,
                                              .masks = {0, 0, 0, 0},
                                              .gap = 2,
                                              .row = "\x0A\x14\xFA\x1E\xC8\x0A"}));
  EXPECT_EQ(Row(gapV3), (std::vector<Pixel>{red, green})) << gapV3.Error;
  const PictureLoad gap8 = FromBytes(Bitmap({.width = 2,
                                             .bits = 8,
                                             .palette = {red, green},
                                             .gap = 8,
                                             .row = std::string("\x01\x00", 2)}));
  EXPECT_EQ(Row(gap8), (std::vector<Pixel>{green, red})) << gap8.Error;
  // A 52-byte header holding the masks of 16-bit 5-6-5 pixels: full red, full green
  // and the blue of 16 (of 31): 16 * 255 / 31 rounds down to 131 in 8 bits or the
  // nearest, 132, so within one.
  const PictureLoad v2 = FromBytes(Bitmap({.headerSize = 52,
                                           .width = 3,
                                           .bits = 16,
                                           .compression = 3,
                                           .masks = {0xF800, 0x07E0, 0x001F},
                                           .row = std::string("\x00\xF8\xE0\x07\x10\x00", 6)}));
  ASSERT_EQ(Row(v2).size(), 3u) << v2.Error;
  EXPECT_EQ(v2.Picture->At(0, 0), Rgb(255, 0, 0));
  EXPECT_EQ(v2.Picture->At(1, 0), Rgb(0, 255, 0));
  ExpectNear(v2.Picture->At(2, 0), Rgb(0, 0, 132), 1);
}

// A 32-bit bitmap's fourth byte is reserved (or an alpha) that Windows does not show:
// every pixel keeps its colour, whatever that byte holds, and whether or not one holds
// something other than 0.
TEST(PictureLoader, BitmapsShowOpaqueWhateverTheirFourthByte) {
  const std::string pixels("\x0A\x14\xFA\x00\x1E\xC8\x0A\xFF\x0A\x14\xFA\x80", 12);
  const PictureLoad plain = FromBytes(Bitmap({.width = 3, .bits = 32, .row = pixels}));
  EXPECT_EQ(Row(plain), (std::vector<Pixel>{Rgb(250, 20, 10), Rgb(10, 200, 30), Rgb(250, 20, 10)}))
      << plain.Error;
  const PictureLoad masked = FromBytes(Bitmap({.width = 1,
                                               .bits = 32,
                                               .compression = 3,
                                               .masks = {0xFF0000, 0xFF00, 0xFF},
                                               .row = std::string("\x0A\x14\xFA\x00", 4)}));
  EXPECT_EQ(Row(masked), (std::vector<Pixel>{Rgb(250, 20, 10)})) << masked.Error;
}

TEST(PictureLoader, PngAndGifGiveTheirExactColours) {
  // The GIF again as the first GIF version writes it: that signature, and without the
  // later version's graphic control block (8 bytes after the 4-colour table).
  std::string gif87 = Fixture("two-by-two.gif");
  gif87.replace(0, 6, "GIF87a");
  gif87.erase(25, 8);
  for (const auto& [name, bytes] :
       {std::pair{"two-by-two.png", Fixture("two-by-two.png")},
        std::pair{"two-by-two.gif", Fixture("two-by-two.gif")}, std::pair{"GIF87a", gif87}}) {
    SCOPED_TRACE(name);
    const PictureLoad load = FromBytes(bytes);
    ASSERT_TRUE(load.Ok()) << load.Error;
    ASSERT_EQ(load.Picture->Width, 2);
    ASSERT_EQ(load.Picture->Height, 2);
    EXPECT_FALSE(load.Picture->HasAlpha);  // opaque: the top byte stays 0
    EXPECT_EQ(load.Picture->At(0, 0), Rgb(255, 0, 0));
    EXPECT_EQ(load.Picture->At(1, 0), Rgb(0, 255, 0));
    EXPECT_EQ(load.Picture->At(0, 1), Rgb(0, 0, 255));
    EXPECT_EQ(load.Picture->At(1, 1), Rgb(255, 255, 255));
  }
}

TEST(PictureLoader, AnimatedGifGivesItsFirstFrame) {
  const PictureLoad load = LoadPictureFile((kData / "animated.gif").string());
  ASSERT_TRUE(load.Ok()) << load.Error;
  EXPECT_EQ(load.Picture->At(0, 0), Rgb(255, 0, 0));
  EXPECT_EQ(load.Picture->At(3, 3), Rgb(255, 0, 0));
}

TEST(PictureLoader, JpegBaselineAndProgressiveDecodeCloseToTheirColour) {
  const PictureLoad solid = LoadPictureFile((kData / "solid.jpg").string());
  ASSERT_TRUE(solid.Ok()) << solid.Error;
  EXPECT_EQ(solid.Picture->Width, 16);
  ExpectNear(solid.Picture->At(8, 8), Rgb(200, 100, 50), 6);
  const PictureLoad progressive = LoadPictureFile((kData / "progressive.jpg").string());
  ASSERT_TRUE(progressive.Ok()) << progressive.Error;
  EXPECT_EQ(progressive.Picture->Height, 32);
  ExpectNear(progressive.Picture->At(31, 31), Rgb(40, 160, 220), 6);
}

// Transparent parts keep their opacity in the top byte, over colour multiplied by it:
// white at opacity 127 is 127 grey, a clear pixel is 0 whatever its colour. A GIF's
// transparent colour is clear, the rest opaque.
TEST(PictureLoader, TransparentPartsKeepTheirOpacity) {
  const PictureLoad png = LoadPictureFile((kData / "alpha.png").string());
  ASSERT_TRUE(png.Ok()) << png.Error;
  EXPECT_TRUE(png.Picture->HasAlpha);
  EXPECT_EQ(png.Picture->At(0, 0), 0x7F7F7F7Fu);
  EXPECT_EQ(png.Picture->At(1, 0), Pixel{0});

  const PictureLoad gif = LoadPictureFile((kData / "transparent.gif").string());
  ASSERT_TRUE(gif.Ok()) << gif.Error;
  EXPECT_TRUE(gif.Picture->HasAlpha);
  EXPECT_EQ(gif.Picture->At(0, 0), 0xFFFF0000u);
  EXPECT_EQ(gif.Picture->At(1, 0), Pixel{0});
  EXPECT_EQ(gif.Picture->At(2, 0), 0xFF0000FFu);
}

TEST(PictureLoader, EveryFormatCutShortIsAnError) {
  const auto dim = [](int, int) { return Rgb(1, 2, 3); };
  const std::string bmp = Bmp24(5, 4, dim);
  EXPECT_FALSE(FromBytes(bmp.substr(0, 30)).Ok()) << "inside the header";
  // An OS/2 header's bitmap of two rows: the second row added, the height made 2.
  std::string os2 = Bitmap({.headerSize = 12, .row = "\x11\x22\x33"}) + "\x44\x55\x66";
  os2 += '\0';
  os2[20] = 2;
  // One byte short of the last row, in each layout whose size its header fixes: rows
  // stored either way, pixels under colour masks, the widest side allowed, and the old
  // header's 16-bit sides.
  for (const auto& [what, whole] :
       {std::pair{"bottom-up", bmp}, std::pair{"top-down", Bmp24(5, 4, dim, true)},
        std::pair{"masked", Bitmap({.width = 2,
                            .bits = 32,
                            .compression = 3,
                            .masks = {0xFF0000, 0xFF00, 0xFF},
                            .row = std::string(8, '\x11')})},
        std::pair{"8192 wide", SolidBmp(8192, 1, Rgb(1, 2, 3))}, std::pair{"OS/2 header", os2}}) {
    ASSERT_TRUE(FromBytes(whole).Ok()) << what;
    EXPECT_FALSE(FromBytes(whole.substr(0, whole.size() - 1)).Ok()) << what;
  }
  // A JPEG that ends, with its end marker, before its scan: no pixel was coded at all.
  const std::string jpeg = Fixture("solid.jpg");
  EXPECT_FALSE(FromBytes(jpeg.substr(0, jpeg.find("\xFF\xDA")) + "\xFF\xD9").Ok());
  for (const char* name :
       {"two-by-two.png", "two-by-two.gif", "animated.gif", "solid.jpg", "progressive.jpg"}) {
    const std::string whole = Fixture(name);
    ASSERT_TRUE(FromBytes(whole).Ok()) << name;
    for (size_t keep : {whole.size() / 2, whole.size() - 2, size_t{8}}) {
      const PictureLoad cut = FromBytes(whole.substr(0, keep));
      EXPECT_FALSE(cut.Ok()) << name << " cut to " << keep << " bytes";
      EXPECT_FALSE(cut.Error.empty());
    }
  }
}

TEST(PictureLoader, ForeignEmptyAndMissingFilesAreErrors) {
  const PictureLoad text = LoadPictureFile((kData / "not-a-picture.txt").string());
  EXPECT_FALSE(text.Ok());
  EXPECT_NE(text.Error.find("not a BMP"), std::string::npos) << text.Error;
  EXPECT_FALSE(FromBytes("").Ok());
  EXPECT_FALSE(LoadPictureFromMemory(nullptr, 0).Ok());
  EXPECT_FALSE(LoadPictureFile((kData / "no-such-file.png").string()).Ok());
  EXPECT_FALSE(LoadPictureFile(kData.string()).Ok()) << "a folder";
  EXPECT_FALSE(FromBytes("BM").Ok());
  EXPECT_FALSE(FromBytes("GIF89a").Ok());
}

std::string Be32(uint32_t v) {
  std::string out;
  for (int shift : {24, 16, 8, 0}) out += static_cast<char>((v >> shift) & 0xFF);
  return out;
}

// A PNG chunk: its length, name and data, and their checksum (the CRC-32 of PNG and zip,
// worked one bit at a time, apart from the loader's table).
std::string PngChunk(const std::string& name, const std::string& data) {
  uint32_t crc = 0xFFFFFFFFu;
  for (unsigned char byte : name + data) {
    crc ^= byte;
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
  }
  return Be32(static_cast<uint32_t>(data.size())) + name + data + Be32(~crc);
}

// A PNG that declares its size (8-bit pixels of `colourType`) and ends at once: the
// size is all the loader may look at.
std::string PngHeaderOnly(uint32_t width, uint32_t height, char colourType = 2) {
  return "\x89PNG\r\n\x1A\n" +
         PngChunk("IHDR", Be32(width) + Be32(height) + std::string{'\x08', colourType, 0, 0, 0}) +
         PngChunk("IEND", "");
}

// A PNG of one pixel, grey unless `colourType` says otherwise, whose data are
// `unpacked` (a filter byte and the pixel, or more), compressed by the picture writer's
// own deflate.
std::string OnePixelPng(const std::string& unpacked, char colourType = 0) {
  int packedSize = 0;
  std::string copy = unpacked;
  unsigned char* packed = stbi_zlib_compress(reinterpret_cast<unsigned char*>(copy.data()),
                                             static_cast<int>(copy.size()), &packedSize, 9);
  const std::string data(reinterpret_cast<const char*>(packed), static_cast<size_t>(packedSize));
  std::free(packed);
  std::string png = PngHeaderOnly(1, 1, colourType);
  png.resize(png.size() - 12);  // the IEND goes after the data
  return png + PngChunk("IDAT", data) + PngChunk("IEND", "");
}

// A chunk the picture needs, damaged, fails its checksum: refused. A damaged chunk
// the picture does without (a text) is passed over, as PNG readers do.
TEST(PictureLoader, APngChunkThePictureNeedsMustMatchItsChecksum) {
  const std::string whole = Fixture("two-by-two.png");
  const size_t idat = whole.find("IDAT");
  ASSERT_NE(idat, std::string::npos);
  std::string damaged = whole;
  damaged[idat + 4 + 5] = static_cast<char>(damaged[idat + 4 + 5] ^ 0x10);
  const PictureLoad refused = FromBytes(damaged);
  EXPECT_FALSE(refused.Ok());
  EXPECT_NE(refused.Error.find("checksum"), std::string::npos) << refused.Error;

  std::string text = PngChunk("tEXt", std::string("Title\0Copa", 10));
  text[text.size() - 1] = static_cast<char>(text.back() ^ 1);
  std::string annotated = whole;
  annotated.insert(whole.size() - 12, text);  // before the IEND
  const PictureLoad shown = FromBytes(annotated);
  ASSERT_TRUE(shown.Ok()) << shown.Error;
  EXPECT_EQ(shown.Picture->At(0, 0), Rgb(255, 0, 0));
  EXPECT_EQ(shown.Picture->At(1, 1), Rgb(255, 255, 255));
}

// A PNG of under 128 KB whose data unpack to 8 MB for one pixel would have the decoder
// ask for all of it: refused, while the same pixel with its two bytes loads.
TEST(PictureLoader, APngWhoseDataUnpackBeyondItsSizeIsRefused) {
  const PictureLoad one = FromBytes(OnePixelPng(std::string("\0\x4D", 2)));
  EXPECT_EQ(Row(one), (std::vector<Pixel>{Rgb(77, 77, 77)})) << one.Error;
  const std::string bomb = OnePixelPng(std::string(8u << 20, '\0'));
  ASSERT_LT(bomb.size(), 128u * 1024u);
  const PictureLoad refused = FromBytes(bomb);
  EXPECT_FALSE(refused.Ok());
  EXPECT_NE(refused.Error.find("unpacks to more than its size"), std::string::npos)
      << refused.Error;
}

// One pixel short of opaque is enough to make the picture translucent: white at opacity
// 254 (a grey and alpha pixel) is 254 grey under a top byte of 254.
TEST(PictureLoader, APixelAlmostOpaqueMakesThePictureTranslucent) {
  const PictureLoad load = FromBytes(OnePixelPng(std::string("\0\xFF\xFE", 3), 4));
  ASSERT_TRUE(load.Ok()) << load.Error;
  EXPECT_TRUE(load.Picture->HasAlpha);
  EXPECT_EQ(load.Picture->At(0, 0), 0xFEFEFEFEu);
}

TEST(PictureLoader, DeclaredSizesBeyondTheLimitsAreRefusedBeforeDecoding) {
  const PictureLoad wide = FromBytes(PngHeaderOnly(8193, 10));
  EXPECT_FALSE(wide.Ok());
  EXPECT_NE(wide.Error.find("larger than"), std::string::npos) << wide.Error;
  const PictureLoad tall = FromBytes(PngHeaderOnly(1, 100000));
  EXPECT_NE(tall.Error.find("larger than"), std::string::npos) << tall.Error;
  const PictureLoad many = FromBytes(PngHeaderOnly(8001, 8000));  // 64 008 000 pixels
  EXPECT_NE(many.Error.find("larger than"), std::string::npos) << many.Error;
  // Exactly at the limits the size passes; this file then fails for want of pixel data.
  const PictureLoad atLimit = FromBytes(PngHeaderOnly(8000, 8000));
  EXPECT_FALSE(atLimit.Ok());
  EXPECT_EQ(atLimit.Error.find("larger than"), std::string::npos) << atLimit.Error;

  // A complete bitmap one pixel high: 8192 wide loads, 8193 wide does not.
  const PictureLoad widest = FromBytes(SolidBmp(8192, 1, Rgb(5, 6, 7)));
  ASSERT_TRUE(widest.Ok()) << widest.Error;
  EXPECT_EQ(widest.Picture->At(8191, 0), Rgb(5, 6, 7));
  EXPECT_FALSE(FromBytes(SolidBmp(8193, 1, Rgb(5, 6, 7))).Ok());
  // Sides of two thousand million pixels, whose byte count would not fit in 64 bits.
  std::string vast = SolidBmp(1, 1, Rgb(5, 6, 7));
  for (size_t at : {18, 22}) vast.replace(at, 4, "\xFF\xFF\xFF\x7F");
  vast[28] = 32;
  const PictureLoad refused = FromBytes(vast);
  EXPECT_NE(refused.Error.find("larger than"), std::string::npos) << refused.Error;

  // A run-length bitmap of one row that codes only its end: 8192 wide loads, 8193 not.
  for (const auto& [width, loads] : {std::pair{8192, true}, std::pair{8193, false}}) {
    const PictureLoad rle = FromBytes(RleBmp(width, 1, 8, {Rgb(5, 6, 7)}, std::string("\0\1", 2)));
    EXPECT_EQ(rle.Ok(), loads) << width << " " << rle.Error;
    if (rle.Ok()) {
      EXPECT_EQ(rle.Picture->At(width - 1, 0), Rgb(5, 6, 7));
    }
  }

  // A GIF whose screen and one image are 9000 wide.
  std::string gif = "GIF89a";
  PutLe(gif, 9000, 2);
  PutLe(gif, 10, 2);
  gif += std::string("\x00\x00\x00\x2C", 4);  // no colour table, then the image's place
  for (uint32_t v : {0, 0, 9000, 10}) PutLe(gif, v, 2);
  gif += std::string("\x00\x02\x00\x3B", 4);  // flags, LZW size, end of data, trailer
  const PictureLoad wideGif = FromBytes(gif);
  EXPECT_FALSE(wideGif.Ok());
  EXPECT_NE(wideGif.Error.find("larger than"), std::string::npos) << wideGif.Error;
}

// Within the limits a few bytes can still ask for hundreds of megabytes. Where they are
// not to be had the load fails, as a banner that cannot be loaded must, and the program
// goes on: run in a child whose address space is capped a little above what it holds
// (the address sanitizer reserves far more, so not there).
TEST(PictureLoader, WantOfMemoryForThePixelsIsALoadError) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the address sanitizer needs an unlimited address space";
#else
  // 0: refused for want of memory; 1: loaded; 2: refused for something else.
  const auto outcome = [](const std::string& bytes) {
    return ExitWithMemoryCap(64u << 20, [&] {
      const PictureLoad load = FromBytes(bytes);
      if (load.Ok()) return 1;
      return load.Error.find("memory") != std::string::npos ? 0 : 2;
    });
  };
  // 1 KB: a run-length bitmap of 8000 x 8000 coding only its end (256 MB of pixels).
  EXPECT_EQ(outcome(RleBmp(8000, 8000, 8, {Rgb(5, 6, 7)}, std::string("\0\1", 2))), 0);
  // 27 MB of bitmap made before the cap: the decoder's 36 MB copy of it fits under the
  // cap, the picture's own 36 MB beside it do not.
  EXPECT_EQ(outcome(SolidBmp(3000, 3000, Rgb(5, 6, 7))), 0);
  // Uncapped, both load.
  EXPECT_TRUE(FromBytes(RleBmp(8000, 8000, 8, {Rgb(5, 6, 7)}, std::string("\0\1", 2))).Ok());
  EXPECT_TRUE(FromBytes(SolidBmp(3000, 3000, Rgb(5, 6, 7))).Ok());
#endif
}

// The decoder trusts a JPEG's tables; the loader must refuse the bad ones itself, before
// the decoder sees them (the decoder refuses some of these too, but not with certainty,
// and an undefined table makes it read memory never written).
TEST(PictureLoader, JpegWithBadTablesIsRefused) {
  // solid.jpg: quantisation tables 0 and 1; a frame of three components using tables 0,
  // 1 and 1; four Huffman segments of one table each, DC 0 (first, two codes), AC 0, DC 1
  // and AC 1; a scan whose components use DC/AC tables 0/0, 1/1 and 1/1.
  const std::string whole = Fixture("solid.jpg");
  const size_t frame = whole.find("\xFF\xC0");
  const size_t table = whole.find("\xFF\xC4");
  const size_t quant = whole.find("\xFF\xDB");
  const size_t scan = whole.find("\xFF\xDA");
  ASSERT_NE(frame, std::string::npos);
  ASSERT_NE(table, std::string::npos);
  ASSERT_NE(quant, std::string::npos);
  ASSERT_NE(scan, std::string::npos);
  // Each file below breaks one rule and only that one, so that no other check of the
  // loader, nor the decoder's own, can stand in for the one it breaks.
  const auto changed = [&whole](size_t at, char to) {
    std::string out = whole;
    out[at] = to;
    return out;
  };
  std::vector<std::pair<const char*, std::string>> bad;
  // FF DA, length (2), component count, then each component's id and DC/AC selectors.
  bad.emplace_back("scan's DC table never defined", changed(scan + 6, '\x30'));
  bad.emplace_back("scan's AC table never defined", changed(scan + 6, '\x03'));
  // FF C0, length (2), precision, height (2), width (2), component count, then each
  // component's id, sampling and quantisation table.
  bad.emplace_back("frame's quantisation table never defined", changed(frame + 12, '\x02'));
  // FF DB, length (2), then precision and id: precision 1 means 16-bit entries.
  bad.emplace_back("16-bit quantisation table",
                   changed(quant + 4, static_cast<char>(0x10 | (whole[quant + 4] & 0x0F))));
  // The first table's code counts made 255 of length 15 and 2 of length 16 (257 codes),
  // with the values and the segment's length grown to match: 255 more after its two.
  std::string tooManyCodes = whole;
  for (size_t i = 5; i <= 18; ++i) tooManyCodes[table + i] = '\0';
  tooManyCodes[table + 19] = '\xFF';
  tooManyCodes[table + 20] = '\x02';
  tooManyCodes.insert(table + 23, 255, '\0');
  tooManyCodes[table + 2] = '\x01';  // 21 + 255 = 276 = 0x0114
  tooManyCodes[table + 3] = '\x14';
  bad.emplace_back("257 codes in one table", tooManyCodes);
  // A copy of the first Huffman segment (23 bytes) as class 2, which does not exist, put
  // before the scan; every table the scan uses is still defined.
  std::string badClass = whole;
  badClass.insert(scan, whole.substr(table, 23));
  badClass[scan + 4] = '\x20';
  bad.emplace_back("Huffman table of class 2", badClass);
  // Copies of the first quantisation segment (69 bytes) and Huffman segment as table 4,
  // which does not exist (ids run 0 to 3), put before the scan.
  for (const auto& [at, size] : {std::pair{quant, size_t{69}}, std::pair{table, size_t{23}}}) {
    std::string badId = whole;
    badId.insert(scan, whole.substr(at, size));
    badId[scan + 4] = '\x04';
    bad.emplace_back(size == 69 ? "quantisation table 4" : "Huffman table 4", badId);
  }

  for (const auto& [what, bytes] : bad)
    EXPECT_EQ(FromBytes(bytes).Error, "the picture file is cut short or damaged") << what;
}

// A progressive JPEG up to its one scan's data: 16 x 16, one component, quantisation
// steps all 1, and AC table 0 with one code of length 1, for end of band. The scan
// codes coefficients 1 to 63 of component 1 (Ah = Al = 0); a first data byte 0x0F
// gives its four blocks four 0 bits, an end of band each.
std::string ProgressiveUpToScanData() {
  std::string jpeg("\xFF\xD8", 2);
  jpeg += std::string("\xFF\xDB\x00\x43\x00", 5) + std::string(64, '\x01');
  // Progressive frame, 8-bit, 16 x 16, one component (id 1, 1 x 1, table 0).
  jpeg += std::string("\xFF\xC2\x00\x0B\x08\x00\x10\x00\x10\x01\x01\x11\x00", 13);
  jpeg += std::string("\xFF\xC4\x00\x14\x10\x01", 6) + std::string(16, '\0');
  jpeg += std::string("\xFF\xDA\x00\x08\x01\x01\x00\x01\x3F\x00", 10);
  return jpeg;
}

// That JPEG's one scan codes only AC coefficients, and of those none: no scan codes the
// DC values at all. What no scan coded is zero, so every block is flat at the level
// shift, grey 128. Blocks of the coefficients' size freed dirty just before must not
// show through.
TEST(PictureLoader, AProgressiveJpegsUncodedCoefficientsAreZero) {
  const std::string jpeg = ProgressiveUpToScanData() + std::string("\x0F\xFF\xD9", 3);
  for (int round = 0; round < 3; ++round) {
    for (const size_t size : {527u, 512u, 544u, 1024u}) {
      void* dirty = std::malloc(size);
      ASSERT_NE(dirty, nullptr);
      std::memset(dirty, 0x5A, size);
      std::free(dirty);
    }
    const PictureLoad load = FromBytes(jpeg);
    ASSERT_TRUE(load.Ok()) << load.Error;
    ASSERT_EQ(load.Picture->Width, 16);
    ASSERT_EQ(load.Picture->Height, 16);
    for (const Pixel p : load.Picture->Pixels) ASSERT_EQ(p, Rgb(128, 128, 128)) << std::hex << p;
  }
}

// In scan data fill bytes may come before a stuffed zero: "FF FF FF 00" is the data
// byte FF, not a marker. Taken for a marker 00 with a length, it would have the loader
// skip what the decoder reads after the scan, here a Huffman table. Fill bytes before a
// marker are passed over as well.
TEST(PictureLoader, FillBytesBeforeAStuffedZeroAreScanData) {
  // After the scan's first byte: FF FF FF 00, then 01 45. Taken as a segment's length,
  // these two would reach 325 bytes on from the 01.
  const std::string data("\x0F\xFF\xFF\xFF\x00\x01\x45", 7);
  // After two fill bytes, AC table 1, which the scan does not use: up to 255 codes of
  // length 9, the rest of length 10 (few enough for the lengths), their values all 0.
  const auto table = [](int codes) {
    const int length = 2 + 17 + codes;
    std::string t("\xFF\xFF\xFF\xC4", 4);
    t += static_cast<char>(length >> 8);
    t += static_cast<char>(length & 0xFF);
    t += '\x11';
    std::string counts(16, '\0');
    counts[8] = static_cast<char>(std::min(codes, 255));
    counts[9] = static_cast<char>(codes - std::min(codes, 255));
    return t + counts + std::string(static_cast<size_t>(codes), '\0');
  };
  const std::string end("\xFF\xD9", 2);

  const PictureLoad sound = FromBytes(ProgressiveUpToScanData() + data + table(1) + end);
  ASSERT_TRUE(sound.Ok()) << sound.Error;
  for (const Pixel p : sound.Picture->Pixels) ASSERT_EQ(p, Rgb(128, 128, 128)) << std::hex << p;

  // 300 codes, more than a table holds: the decoder would write past its arrays. The
  // 325 bytes from the 01 are 2 for 01 45, the 2 fill bytes and 321 for the table's
  // segment, so a walk that skipped them would come to the end marker without seeing
  // the table.
  const PictureLoad tooMany = FromBytes(ProgressiveUpToScanData() + data + table(300) + end);
  EXPECT_FALSE(tooMany.Ok());
  EXPECT_NE(tooMany.Error.find("damaged"), std::string::npos) << tooMany.Error;
}

TEST(PictureLoader, AFileBeyondTheSizeCapIsNotRead) {
  TempFolders folders;
  const std::filesystem::path big = folders.ProgramFolder() / "huge.bmp";
  TempFolders::Write(big, SolidBmp(2, 2, 0));
  std::filesystem::resize_file(big, kMaxPictureFileBytes + 1);  // sparse: costs no disk
  const PictureLoad load = LoadPictureFile(big.string());
  EXPECT_FALSE(load.Ok());
  EXPECT_NE(load.Error.find("too large"), std::string::npos) << load.Error;
}

// Every input the fuzzer ever found troublesome is kept and must load or fail quietly.
TEST(PictureLoader, FuzzRegressionInputsLoadOrFailCleanly) {
  const std::filesystem::path folder =
      std::filesystem::path(QM_SOURCE_DIR) / "fuzz" / "regressions" / "picture_loader";
  int seen = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (!entry.is_regular_file()) continue;
    const PictureLoad load = LoadPictureFile(entry.path().string());
    EXPECT_NE(load.Ok(), !load.Error.empty()) << entry.path();
    ++seen;
  }
  EXPECT_GT(seen, 0);
}

}  // namespace
}  // namespace qm::testing
