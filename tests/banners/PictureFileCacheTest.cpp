// Banner pictures kept while their files stay as they were: a file read again gives the
// very picture decoded before; a file changed in any way gives what it holds now.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "../app/TempDir.h"
#include "TestPictures.h"
#include "winsys/PictureFileCache.h"

namespace qm::testing {
namespace {

namespace fs = std::filesystem;
using std::chrono::nanoseconds;

Pixel ColourOf(const PictureLoad& load) {
  return load.Ok() ? load.Picture->At(0, 0) : Pixel{0};
}

class PictureFileCacheTest : public ::testing::Test {
 protected:
  TempDir dir;
  const std::string a = dir / "a.bmp";
  const std::string b = dir / "b.bmp";
};

TEST_F(PictureFileCacheTest, AFileAsItWasGivesThePictureDecodedBefore) {
  WriteFile(a, SolidBmp(4, 4, Rgb(200, 0, 0)));
  PictureFileCache cache(nanoseconds(0));
  const PictureLoad first = cache.Load(a);
  ASSERT_TRUE(first.Ok()) << first.Error;
  EXPECT_EQ(cache.Load(a).Picture, first.Picture);

  // Rewritten in place with as many bytes, then replaced by another file, then gone.
  WriteFile(a, SolidBmp(4, 4, Rgb(0, 200, 0)));
  EXPECT_EQ(ColourOf(cache.Load(a)), Rgb(0, 200, 0));
  WriteFile(b, SolidBmp(4, 4, Rgb(0, 0, 200)));
  fs::rename(b, a);
  EXPECT_EQ(ColourOf(cache.Load(a)), Rgb(0, 0, 200));
  fs::remove(a);
  EXPECT_FALSE(cache.Load(a).Ok());
  WriteFile(a, "not a picture");
  EXPECT_FALSE(cache.Load(a).Ok());
}

TEST_F(PictureFileCacheTest, AFileChangedInTheLastMomentsIsReadAgain) {
  WriteFile(a, SolidBmp(4, 4, Rgb(200, 0, 0)));
  PictureFileCache cache(std::chrono::hours(1));
  const PictureLoad first = cache.Load(a);
  const PictureLoad second = cache.Load(a);
  ASSERT_TRUE(second.Ok()) << second.Error;
  EXPECT_NE(second.Picture, first.Picture);
  EXPECT_EQ(ColourOf(second), Rgb(200, 0, 0));
}

// Kept within a count of pixels: a larger picture is not kept, and a new one pushes out
// the one used longest ago.
TEST_F(PictureFileCacheTest, PicturesAreKeptWithinTheirCountOfPixels) {
  WriteFile(a, SolidBmp(4, 4, Rgb(200, 0, 0)));  // 16 pixels
  WriteFile(b, SolidBmp(3, 3, Rgb(0, 200, 0)));  // 9
  const std::string big = dir / "big.bmp";
  WriteFile(big, SolidBmp(5, 5, Rgb(0, 0, 200)));  // 25
  PictureFileCache cache(nanoseconds(0), 20);
  const PicturePtr bigFirst = cache.Load(big).Picture;
  EXPECT_NE(cache.Load(big).Picture, bigFirst);
  const PicturePtr aFirst = cache.Load(a).Picture;
  EXPECT_EQ(cache.Load(a).Picture, aFirst);
  const PicturePtr bFirst = cache.Load(b).Picture;  // 16 + 9 > 20: a goes
  EXPECT_EQ(cache.Load(b).Picture, bFirst);
  EXPECT_NE(cache.Load(a).Picture, aFirst);
}

}  // namespace
}  // namespace qm::testing
