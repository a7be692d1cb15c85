#include <gtest/gtest.h>
#include <stb_image.h>
#include <stb_image_write.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "../app/MemoryCap.h"
#include "../app/TempDir.h"
#include "app/Settings.h"
#include "headless/Cli.h"
#include "saver/Artwork.h"
#include "winsys/RegistryFile.h"

namespace qm::headless {
namespace {

namespace fs = std::filesystem;

class RenderCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(temp_.Path().empty());
    dir_ = temp_.Path();
    registry_ = (dir_ / "registry.reg").string();
    registryEnv_.emplace("QUILLMARK_REGISTRY", registry_.c_str());
  }
  // Runs the render with `args` in a child with an alarm, so that a render that waits
  // fails the test rather than hanging it; `prepare` runs in the child first. Its
  // stderr goes to a file, whose first line `Said` gives. The child's exit code, or
  // minus the signal that ended it.
  int RenderInChild(const std::vector<std::string>& args, void (*prepare)() = nullptr) {
    const pid_t child = ::fork();
    if (child == 0) {
      ::alarm(20);
      if (prepare) prepare();
      if (!std::freopen(Err().c_str(), "w", stderr)) ::_exit(3);
      const int rendered = RenderCommand(args);
      std::fflush(stderr);  // the reopened stream is buffered, and the child ends by _exit
      ::_exit(rendered);
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
  }
  std::string Said() const {
    std::ifstream in(Err());
    std::string line;
    std::getline(in, line);
    return line;
  }
  fs::path Err() const { return dir_ / "stderr.txt"; }
  qm::testing::TempDir temp_;  // a folder of this test's own, whoever else runs it
  fs::path dir_;
  std::string registry_;
  std::optional<qm::testing::ScopedEnv> registryEnv_;
};

TEST_F(RenderCommandTest, BadArgumentsExitWithTwoSayWhatIsWrongAndWriteNothing) {
  const std::string out = (dir_ / "frames").string();
  const struct {
    std::vector<std::string> args;
    const char* problem;
  } bad[] = {
      {{}, "--render needs a scene, 1 to 5"},
      {{"6", "--size", "80x60", "--steps", "1", "--out", out}, "the scene is 1 to 5, not \"6\""},
      {{"0", "--size", "80x60", "--steps", "1", "--out", out}, "the scene is 1 to 5, not \"0\""},
      {{"1", "--size", "80", "--steps", "1", "--out", out},
       "--size is WxH, each 1 to 16384, not \"80\""},
      {{"1", "--size", "0x60", "--steps", "1", "--out", out},
       "--size is WxH, each 1 to 16384, not \"0x60\""},
      {{"1", "--size", "80x16385", "--steps", "1", "--out", out},
       "--size is WxH, each 1 to 16384, not \"80x16385\""},
      {{"1", "--size", "80x60", "--steps", "-3", "--out", out},
       "--steps is a whole number from 1 to 1000000, not \"-3\""},
      {{"1", "--size", "80x60", "--steps", "1000001"},  // no --out: nothing renders
       "--steps is a whole number from 1 to 1000000, not \"1000001\""},
      {{"1", "--size", "80x60", "--steps", "2x", "--out", out},
       "--steps is a whole number from 1 to 1000000, not \"2x\""},
      {{"1", "--size", "80x60", "--out", out}, "--steps is missing"},
      {{"1", "--size", "80x60", "--steps", "1"}, "--out is missing"},
      {{"1", "--size", "80x60", "--steps", "1", "--out"}, "--out needs a value"},
      {{"1", "--size", "80x60", "--steps", "1", "--out", ""}, "--out needs a folder"},
      {{"1", "--size", "80x60", "--steps", "1", "--steps", "2", "--out", out},
       "--steps is given twice"},
      {{"1", "--size", "80x60", "--steps", "1", "--out", out, "--frobnicate"},
       "unknown option \"--frobnicate\""},
  };
  for (const auto& c : bad) {
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(RenderCommand(c.args), 2) << ::testing::PrintToString(c.args);
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(err.substr(0, err.find('\n')), std::string("quillmark: ") + c.problem);
    EXPECT_NE(err.find("\nusage:"), std::string::npos) << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 2) << err;
  }
  EXPECT_FALSE(fs::exists(out));
}

TEST_F(RenderCommandTest, WritesOneFrameOfTheAskedSizePerStepAndSavesNothing) {
  const fs::path out = dir_ / "frames";
  // An older, longer file in a frame's place is replaced, not written over in part.
  fs::create_directories(out);
  std::ofstream(out / "step-0001.png") << std::string(200000, 'x');
  ASSERT_EQ(
      RenderCommand({"4", "--size", "160x120", "--steps", "3", "--out", out.string(), "--preview"}),
      0);
  for (const char* name : {"step-0001.png", "step-0002.png", "step-0003.png"}) {
    int w = 0, h = 0, n = 0;
    unsigned char* rgb = stbi_load((out / name).string().c_str(), &w, &h, &n, 3);
    ASSERT_NE(rgb, nullptr) << name;
    EXPECT_EQ(w, 160);
    EXPECT_EQ(h, 120);
    // Scene 4 in the preview: one 50 x 31 thumbnail per step on a cleared screen.
    long lit = 0;
    for (int i = 0; i < w * h; ++i) lit += (rgb[3 * i] | rgb[3 * i + 1] | rgb[3 * i + 2]) != 0;
    stbi_image_free(rgb);
    EXPECT_GT(lit, 0) << name;
    EXPECT_LE(lit, 50 * 31) << name;
    std::ifstream in(out / name, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), {}};
    const std::string iend("\0\0\0\0IEND\xAE\x42\x60\x82", 12);  // a PNG's last chunk
    EXPECT_EQ(bytes.substr(bytes.size() - 12), iend) << name;
  }
  EXPECT_FALSE(fs::exists(out / "step-0004.png"));
  // The scene chosen for the render is not stored.
  EXPECT_FALSE(fs::exists(registry_));
}

TEST_F(RenderCommandTest, TheChosenSceneDrawsAndTheStoredOneStays) {
  {
    RegistryFile store(registry_);
    ASSERT_TRUE(store.Set(Hive::LocalMachine, SettingsKey, "Saver", RegValue{kRegSz, "3"}));
  }
  const fs::path out = dir_ / "champions";
  ASSERT_EQ(RenderCommand({"4", "--size", "640x480", "--steps", "1", "--out", out.string()}), 0);
  int w = 0, h = 0, n = 0;
  unsigned char* rgb = stbi_load((out / "step-0001.png").string().c_str(), &w, &h, &n, 3);
  ASSERT_NE(rgb, nullptr);
  ASSERT_EQ(w * h, 640 * 480);
  // Scene 4 full screen: the first championship picture, cell 0 of the sheet, copied
  // colour for colour at its own size, at X from 70 to 70 + 250 (640 - 319 - 70 - 1)
  // and Y from 70 to 70 + 209 (480 - 200 - 70 - 1).
  const PicturePtr sheet = LoadArt(ArtId::ChampionSheet);
  const auto shownAt = [&](int left, int top) {
    for (int y = 0; y < 200; ++y)
      for (int x = 0; x < 319; ++x) {
        const Pixel p = sheet->At(x, y);
        const unsigned char* q = rgb + 3 * ((top + y) * w + left + x);
        if (q[0] != ((p >> 16) & 0xFF) || q[1] != ((p >> 8) & 0xFF) || q[2] != (p & 0xFF))
          return false;
      }
    return true;
  };
  bool shown = false;
  for (int top = 70; top <= 279 && !shown; ++top)
    for (int left = 70; left <= 320 && !shown; ++left) shown = shownAt(left, top);
  stbi_image_free(rgb);
  EXPECT_TRUE(shown);

  RegistryFile store(registry_);
  const auto saver = store.Query(Hive::LocalMachine, SettingsKey, "Saver");
  ASSERT_TRUE(saver);
  EXPECT_EQ(saver->Data, "3");
}

// A named pipe where a frame goes would hold the render until something read it: it is
// refused instead, with a message, and the frames before it stay.
TEST_F(RenderCommandTest, WhatStandsWhereAFrameOrTheFolderGoesIsReportedNotWaitedOn) {
  const fs::path out = dir_ / "frames";
  fs::create_directories(out);
  ASSERT_EQ(::mkfifo((out / "step-0002.png").c_str(), 0600), 0);
  const auto run = [&](const fs::path& folder) {
    return RenderInChild({"1", "--size", "32x24", "--steps", "3", "--out", folder.string()});
  };

  EXPECT_EQ(run(out), 1);
  EXPECT_EQ(Said(),
            "quillmark: cannot write " + (out / "step-0002.png").string() + ": not a regular file");
  EXPECT_TRUE(fs::is_regular_file(out / "step-0001.png"));
  EXPECT_TRUE(fs::is_fifo(out / "step-0002.png"));
  EXPECT_FALSE(fs::exists(out / "step-0003.png"));

  // Nor is a device a frame, even behind a symbolic link.
  const fs::path device = dir_ / "device";
  fs::create_directories(device);
  fs::create_symlink("/dev/null", device / "step-0001.png");
  EXPECT_EQ(run(device), 1);
  EXPECT_EQ(Said(), "quillmark: cannot write " + (device / "step-0001.png").string() +
                        ": not a regular file");

  // A file where the folder should be: the message says so, and why.
  std::ofstream(dir_ / "taken") << "a file";
  EXPECT_EQ(run(dir_ / "taken"), 1);
  const std::string said = Said();
  const std::string start = "quillmark: cannot make the folder " + (dir_ / "taken").string() + ": ";
  EXPECT_EQ(said.rfind(start, 0), 0u) << said;
  EXPECT_GT(said.size(), start.size()) << said;
}

// A write that fails part way (here the file size limit, as a full disk would) ends the
// render with a message and leaves no frame cut short: not in the folder, and not where
// a symbolic link in the frame's place points, whose file the frame went into.
TEST_F(RenderCommandTest, AFrameThatCouldNotBeWrittenWholeIsRemovedWhereItWasWritten) {
  const fs::path out = dir_ / "frames";
  const fs::path elsewhere = dir_ / "elsewhere.png";
  fs::create_directories(out);
  std::ofstream(elsewhere) << "an older picture";
  fs::create_symlink(elsewhere, out / "step-0001.png");
  const auto run = [&](const fs::path& folder) {
    // The posters' first step does not compress to 4096 bytes at this size.
    return RenderInChild({"3", "--size", "200x150", "--steps", "1", "--out", folder.string()}, [] {
      std::signal(SIGXFSZ, SIG_IGN);  // the write then fails with EFBIG
      const rlimit cap{4096, 4096};   // room for the message
      if (::setrlimit(RLIMIT_FSIZE, &cap) != 0) ::_exit(4);
    });
  };
  const std::string tooLarge = std::strerror(EFBIG);

  EXPECT_EQ(run(out), 1);
  EXPECT_EQ(Said(),
            "quillmark: cannot write " + (out / "step-0001.png").string() + ": " + tooLarge);
  EXPECT_FALSE(fs::exists(elsewhere));
  EXPECT_TRUE(fs::is_symlink(out / "step-0001.png"));

  const fs::path plain = dir_ / "plain";
  EXPECT_EQ(run(plain), 1);
  EXPECT_EQ(Said(),
            "quillmark: cannot write " + (plain / "step-0001.png").string() + ": " + tooLarge);
  EXPECT_FALSE(fs::exists(plain / "step-0001.png"));
  EXPECT_TRUE(fs::is_directory(plain));
}

// The largest size it accepts takes gigabytes: where they are not to be had, the render
// ends with exit code 1 and says so, and leaves no frame behind. Run in a child whose
// address space is capped a little above what it already uses (the sanitizers reserve
// far more, so not there).
TEST_F(RenderCommandTest, WantOfMemoryEndsTheRenderWithAMessage) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the address sanitizer needs an unlimited address space";
#else
  const fs::path out = dir_ / "large";
  const int code = qm::testing::ExitWithMemoryCap(256u << 20, [&] {
    if (!std::freopen(Err().c_str(), "w", stderr)) return 3;
    const int rendered =
        RenderCommand({"3", "--size", "16384x16384", "--steps", "1", "--out", out.string()});
    std::fflush(stderr);  // the reopened stream is buffered, and the child ends by _exit
    return rendered;
  });
  EXPECT_EQ(code, 1);
  const std::string line = Said();
  EXPECT_EQ(line.rfind("quillmark: not enough memory to ", 0), 0u) << line;
  EXPECT_FALSE(fs::exists(out / "step-0001.png"));
#endif
}

// The PNG writer's buffers grow as it compresses; when one cannot, the write ends with
// std::bad_alloc (reported by the render as want of memory) rather than going on past
// the end of the smaller block. A child with its address space capped a little above
// what it holds encodes a frame that does not compress.
TEST(PngWriter, RunningOutOfMemoryThrowsInsteadOfWritingPastItsBuffers) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the address sanitizer needs an unlimited address space";
#else
  // Noise, which does not compress, made before the cap.
  constexpr int kSide = 4096;
  std::vector<unsigned char> noise(static_cast<size_t>(kSide) * kSide * 3);
  uint32_t seed = 1998;
  for (unsigned char& byte : noise)
    byte = static_cast<unsigned char>((seed = seed * 1664525u + 1013904223u) >> 24);
  const int code = qm::testing::ExitWithMemoryCap(64u << 20, [&] {
    try {
      const auto discard = [](void*, void*, int) {};
      stbi_write_png_to_func(discard, nullptr, kSide, kSide, 3, noise.data(), kSide * 3);
    } catch (const std::bad_alloc&) {
      return 0;
    }
    return 1;  // it claimed to have written a frame it had no room for
  });
  EXPECT_EQ(code, 0) << "a negative code is the signal that ended it";
#endif
}

}  // namespace
}  // namespace qm::headless
