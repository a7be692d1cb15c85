// The banner picture loader: the four formats decode to the pixels they hold; cut,
// foreign, empty and oversized files are load errors found before the pixels are.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "../matchtable/TempFolders.h"
#include "TestPictures.h"
#include "winsys/PictureLoader.h"

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
  // the right, one pixel of colour 3, end of row. Then the end: the rest is colour 0.
  const std::string coded(
      "\x03\x01"
      "\x00\x03\x02\x03\x02\x00"
      "\x00\x00"
      "\x00\x02\x02\x00"
      "\x01\x03"
      "\x00\x00"
      "\x00\x01",
      20);
  const PictureLoad rle8 = FromBytes(RleBmp(5, 3, 8, {grey, red, green, blue}, coded));
  ASSERT_TRUE(rle8.Ok()) << rle8.Error;
  const std::vector<Pixel> expected = {grey, grey, grey, grey,  grey,  //
                                       grey, grey, blue, grey,  grey,  //
                                       red,  red,  red,  green, blue};
  EXPECT_EQ(std::vector<Pixel>(rle8.Picture->Pixels.begin(), rle8.Picture->Pixels.end()), expected);

  // Four bits a pixel: a run alternates the two nibbles; three literal pixels take two
  // bytes, a whole word already.
  const PictureLoad rle4 = FromBytes(
      RleBmp(6, 1, 4, {grey, red, green}, std::string("\x03\x12\x00\x03\x21\x20\x00\x01", 8)));
  ASSERT_TRUE(rle4.Ok()) << rle4.Error;
  EXPECT_EQ(std::vector<Pixel>(rle4.Picture->Pixels.begin(), rle4.Picture->Pixels.end()),
            (std::vector<Pixel>{red, green, red, green, red, green}));

  // Without its end-of-picture code the file is cut short.
  const PictureLoad cut = FromBytes(RleBmp(5, 3, 8, {grey, red, green, blue}, coded.substr(0, 18)));
  EXPECT_FALSE(cut.Ok());
  EXPECT_NE(cut.Error.find("cut short"), std::string::npos) << cut.Error;
}

TEST(PictureLoader, PngAndGifGiveTheirExactColours) {
  for (const char* name : {"two-by-two.png", "two-by-two.gif"}) {
    SCOPED_TRACE(name);
    const PictureLoad load = LoadPictureFile((kData / name).string());
    ASSERT_TRUE(load.Ok()) << load.Error;
    ASSERT_EQ(load.Picture->Width, 2);
    ASSERT_EQ(load.Picture->Height, 2);
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

// 50 % white over black is grey 127; a fully transparent red pixel is black.
TEST(PictureLoader, TransparencyIsLaidOverBlack) {
  const PictureLoad load = LoadPictureFile((kData / "alpha.png").string());
  ASSERT_TRUE(load.Ok()) << load.Error;
  ExpectNear(load.Picture->At(0, 0), Rgb(127, 127, 127), 1);
  EXPECT_EQ(load.Picture->At(1, 0), Pixel{0});
}

TEST(PictureLoader, EveryFormatCutShortIsAnError) {
  const std::string bmp = Bmp24(5, 4, [](int, int) { return Rgb(1, 2, 3); });
  ASSERT_TRUE(FromBytes(bmp).Ok());
  EXPECT_FALSE(FromBytes(bmp.substr(0, bmp.size() - 1)).Ok()) << "one byte short of the last row";
  EXPECT_FALSE(FromBytes(bmp.substr(0, 30)).Ok()) << "inside the header";
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

// A PNG that declares its size and ends at once: the size is all the loader may look at.
std::string PngHeaderOnly(uint32_t width, uint32_t height) {
  const auto be32 = [](std::string& out, uint32_t v) {
    for (int shift : {24, 16, 8, 0}) out += static_cast<char>((v >> shift) & 0xFF);
  };
  std::string png = "\x89PNG\r\n\x1A\n";
  be32(png, 13);
  png += "IHDR";
  be32(png, width);
  be32(png, height);
  png += std::string("\x08\x02\x00\x00\x00", 5);
  be32(png, 0);  // CRC, not checked
  be32(png, 0);
  png += "IEND";
  be32(png, 0);
  return png;
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
}

TEST(PictureLoader, AGifDeclaringAHugeScreenIsRefused) {
  std::string gif = "GIF89a";
  PutLe(gif, 9000, 2);
  PutLe(gif, 10, 2);
  gif += std::string("\x00\x00\x00", 3);  // no colour table
  gif += '\x2C';
  PutLe(gif, 0, 2);
  PutLe(gif, 0, 2);
  PutLe(gif, 9000, 2);
  PutLe(gif, 10, 2);
  gif += std::string("\x00\x02\x00\x3B", 4);  // flags, LZW size, end of data, trailer
  const PictureLoad load = FromBytes(gif);
  EXPECT_FALSE(load.Ok());
  EXPECT_NE(load.Error.find("larger than"), std::string::npos) << load.Error;
}

// The decoder trusts a JPEG's tables; the loader must refuse the bad ones.
TEST(PictureLoader, JpegWithBadTablesIsRefused) {
  const std::string whole = Fixture("solid.jpg");
  const size_t scan = whole.find("\xFF\xDA");
  const size_t table = whole.find("\xFF\xC4");
  ASSERT_NE(scan, std::string::npos);
  ASSERT_NE(table, std::string::npos);

  // FF DA, length (2), component count, then component id and its table selectors.
  std::string undefinedTable = whole;
  undefinedTable[scan + 6] = '\x33';  // DC and AC table 3: never defined in this file
  EXPECT_FALSE(FromBytes(undefinedTable).Ok());

  // FF C4, length (2), class and id, then sixteen code counts: 255 + 255 codes.
  std::string tooManyCodes = whole;
  tooManyCodes[table + 5] = '\xFF';
  tooManyCodes[table + 6] = '\xFF';
  EXPECT_FALSE(FromBytes(tooManyCodes).Ok());

  // FF DB, length (2), then precision and id: precision 1 means 16-bit entries.
  const size_t quant = whole.find("\xFF\xDB");
  ASSERT_NE(quant, std::string::npos);
  std::string wideQuant = whole;
  wideQuant[quant + 4] = static_cast<char>(0x10 | (whole[quant + 4] & 0x0F));
  EXPECT_FALSE(FromBytes(wideQuant).Ok());

  std::string badClass = whole;
  badClass[table + 4] = '\x25';  // class 2 does not exist
  EXPECT_FALSE(FromBytes(badClass).Ok());
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

// In scan data a fill byte may come before a stuffed zero: "FF FF 00" is the data byte
// FF, not a marker. Taken for a marker 00 with a length, it would have the loader skip
// what the decoder reads after the scan, here a Huffman table.
TEST(PictureLoader, AFillByteBeforeAStuffedZeroIsScanData) {
  // After the scan's first byte: FF FF 00, then 01 43. Taken as a segment's length,
  // these two would reach 323 bytes on from the 01.
  const std::string data("\x0F\xFF\xFF\x00\x01\x43", 6);
  // AC table 1, which the scan does not use: up to 255 codes of length 9, the rest of
  // length 10 (few enough for the lengths), their values all 0.
  const auto table = [](int codes) {
    const int length = 2 + 17 + codes;
    std::string t("\xFF\xC4", 2);
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
  // 323 bytes from the 01 are 2 for 01 43 and 321 for the table's segment, so a walk
  // that skipped them would come to the end marker without seeing the table.
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
