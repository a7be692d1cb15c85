#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include "SetupTestEnv.h"
#include "setup/TelasWin95.h"

namespace qm::testing {
namespace {

class TelasWin95Test : public SetupWorld {
 protected:
  void SetUp() override {
    SetupWorld::SetUp();
    WindowsFolder = std::string("C:\\WINDOWS\\");
  }
  void TearDown() override {
    // Whole-string assignments: GCC 12 raises a false -Wrestrict on assigning short
    // literals to this global at -O2.
    WindowsFolder = std::string("\\");
    SetupWorld::TearDown();
  }
  void ActiveScreens() {
    WriteFile("logo.sys", "boot-original");
    WriteFile("WINDOWS/logos.sys", "wait-original");
    WriteFile("WINDOWS/logow.sys", "off-original");
  }
  void ThemedScreens() {
    WriteFile("WINDOWS/logo.kzt", "boot-themed");
    WriteFile("WINDOWS/logos.kzt", "wait-themed");
    WriteFile("WINDOWS/logow.kzt", "off-themed");
  }
  void ActiveAndThemedScreens() {
    ActiveScreens();
    ThemedScreens();
  }
  // The stand-in for the hidden attribute, read the way Samba and Wine read it.
  std::optional<std::string> DosAttributes(const std::string& relative) {
    char buffer[32] = {};
    const auto path = (driveC / relative).string();
    const ssize_t n = getxattr(path.c_str(), "user.DOSATTRIB", buffer, sizeof buffer);
    if (n < 0) return std::nullopt;
    return std::string(buffer, static_cast<size_t>(n));
  }
  bool XattrsWork() {
    WriteFile("probe", "");
    const auto path = (driveC / "probe").string();
    const bool works = setxattr(path.c_str(), "user.probe", "1", 1, 0) == 0;
    std::filesystem::remove(driveC / "probe");
    return works;
  }
  // Runs `install` as an ordinary user: as root, in a child process of the "nobody"
  // user (who may not write what root owns, nor set attributes on files it may not
  // write); otherwise here. True when it ran.
  static bool AsAnOrdinaryUser(void (*install)()) {
    if (::geteuid() != 0) {
      install();
      return true;
    }
    const pid_t child = ::fork();
    if (child < 0) return false;
    if (child == 0) {
      const bool dropped = ::setgid(kNobody) == 0 && ::setuid(kNobody) == 0;
      if (dropped) install();
      ::_exit(dropped ? 0 : 2);
    }
    int status = 0;
    return ::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
  }
  static constexpr uid_t kNobody = 65534;
  bool Writable(const std::string& relative) {
    namespace fs = std::filesystem;
    return (fs::status(driveC / relative).permissions() & fs::perms::owner_write) !=
           fs::perms::none;
  }
  size_t FileCount() {
    size_t n = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(driveC)) {
      n += entry.is_regular_file() ? 1 : 0;
    }
    return n;
  }
};

TEST_F(TelasWin95Test, InstallSavesActiveScreensActivatesThemedOnesRestoreBringsThemBack) {
  ActiveAndThemedScreens();
  TelasWin95(1);
  EXPECT_EQ(ReadFile("logo.sys"), "boot-themed");
  EXPECT_EQ(ReadFile("WINDOWS/logos.sys"), "wait-themed");
  EXPECT_EQ(ReadFile("WINDOWS/logow.sys"), "off-themed");
  EXPECT_EQ(ReadFile("logo.kz2"), "boot-original");
  EXPECT_EQ(ReadFile("WINDOWS/logos.kz2"), "wait-original");
  EXPECT_EQ(ReadFile("WINDOWS/logow.kz2"), "off-original");
  EXPECT_EQ(ReadFile("WINDOWS/logo.kzt"), "boot-themed");  // sources stay
  EXPECT_EQ(FileCount(), 9u);                              // no stray temporaries

  // The restore returns the originals and hides the start-up screen.
  TelasWin95(0);
  EXPECT_EQ(ReadFile("logo.sys"), "boot-original");
  EXPECT_EQ(ReadFile("WINDOWS/logos.sys"), "wait-original");
  EXPECT_EQ(ReadFile("WINDOWS/logow.sys"), "off-original");
  EXPECT_TRUE(Writable("logo.sys"));
  if (!XattrsWork()) GTEST_SKIP() << "no user extended attributes on this file system";
  EXPECT_EQ(DosAttributes("logo.sys"), "0x2");
  EXPECT_FALSE(DosAttributes("WINDOWS/logos.sys").has_value());
}

TEST_F(TelasWin95Test, ReadOnlyThemeFilesStillInstallAndRestore) {
  ActiveAndThemedScreens();
  namespace fs = std::filesystem;
  for (const char* name : {"WINDOWS/logos.kzt", "WINDOWS/logow.kzt"}) {
    fs::permissions(driveC / name,
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
  }
  TelasWin95(1);
  EXPECT_EQ(ReadFile("WINDOWS/logos.sys"), "wait-themed");
  // What was copied can be replaced again: the restore brings the originals back, and
  // a second install the themed ones.
  EXPECT_TRUE(Writable("WINDOWS/logos.sys"));
  TelasWin95(0);
  EXPECT_EQ(ReadFile("WINDOWS/logos.sys"), "wait-original");
  EXPECT_EQ(ReadFile("WINDOWS/logow.sys"), "off-original");
  TelasWin95(1);
  EXPECT_EQ(ReadFile("WINDOWS/logow.sys"), "off-themed");
  EXPECT_EQ(FileCount(), 9u);  // no stray temporaries
}

// A copy cut short (power lost) can leave its read-only temporary behind, the copy of a
// read-only theme file; the next install still replaces the screen. Only an ordinary
// user is refused writing over such a file, so the install runs as one.
TEST_F(TelasWin95Test, ALeftoverTemporaryDoesNotBlockTheNextCopy) {
  namespace fs = std::filesystem;
  WriteFile("WINDOWS/logos.kzt", "wait-themed");
  WriteFile("WINDOWS/logos.sys.quillmark-copy", "wait-th");
  const auto leftover = driveC / "WINDOWS" / "logos.sys.quillmark-copy";
  fs::permissions(leftover, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  if (::geteuid() == 0) {
    ASSERT_EQ(::chown(leftover.c_str(), kNobody, kNobody), 0);
  }
  fs::permissions(driveC / "WINDOWS", fs::perms::all);
  ASSERT_TRUE(AsAnOrdinaryUser([] { TelasWin95(1); }));
  EXPECT_EQ(ReadFile("WINDOWS/logos.sys"), "wait-themed");
  EXPECT_FALSE(fs::exists(leftover));
}

TEST_F(TelasWin95Test, RestoreWithoutSavedCopiesOnlyHides) {
  ActiveScreens();
  std::filesystem::permissions(driveC / "logo.sys", std::filesystem::perms::owner_read);
  TelasWin95(0);
  EXPECT_EQ(ReadFile("logo.sys"), "boot-original");
  EXPECT_EQ(ReadFile("WINDOWS/logos.sys"), "wait-original");
  EXPECT_EQ(FileCount(), 3u);
  // Read-only cleared, whether or not the hidden attribute can be set.
  EXPECT_TRUE(Writable("logo.sys"));
  if (!XattrsWork()) GTEST_SKIP() << "no user extended attributes on this file system";
  EXPECT_EQ(DosAttributes("logo.sys"), "0x2");
}

// The same as an ordinary user, who (unlike root) may not set an attribute on a file
// without write permission. Run as root, the test does its part in a child process of
// the "nobody" user, who owns the file.
TEST_F(TelasWin95Test, AnOrdinaryUsersReadOnlyStartupScreenIsMadeHiddenAndWritable) {
  ActiveScreens();
  if (!XattrsWork()) GTEST_SKIP() << "no user extended attributes on this file system";
  const auto screen = driveC / "logo.sys";
  std::filesystem::permissions(screen, std::filesystem::perms::owner_read);
  if (::geteuid() == 0) {
    ASSERT_EQ(::chown(screen.c_str(), kNobody, kNobody), 0);
  }
  ASSERT_TRUE(AsAnOrdinaryUser([] { TelasWin95(0); }));
  EXPECT_EQ(DosAttributes("logo.sys"), "0x2");
  EXPECT_TRUE(Writable("logo.sys"));
  EXPECT_EQ(ReadFile("logo.sys"), "boot-original");
}

TEST_F(TelasWin95Test, InstallWithoutStartupScreenStillCopiesTheThemedOne) {
  ThemedScreens();
  TelasWin95(1);
  EXPECT_EQ(ReadFile("logo.sys"), "boot-themed");
  EXPECT_FALSE(ReadFile("logo.kz2").has_value());
  TelasWin95(0);  // nothing saved for the start-up slot: the themed screen stays
  EXPECT_EQ(ReadFile("logo.sys"), "boot-themed");
}

TEST_F(TelasWin95Test, AnyModeOtherThanOneRestores) {
  WriteFile("logo.sys", "now");
  WriteFile("logo.kz2", "saved");
  TelasWin95(2);
  EXPECT_EQ(ReadFile("logo.sys"), "saved");
  WriteFile("logo.sys", "now");
  TelasWin95(-1);
  EXPECT_EQ(ReadFile("logo.sys"), "saved");
}

TEST_F(TelasWin95Test, MissingWindowsFolderMeansTheRootOfDriveC) {
  WindowsFolder = "\\";
  WriteFile("logos.sys", "wait-original");
  WriteFile("logos.kzt", "wait-themed");
  TelasWin95(1);
  EXPECT_EQ(ReadFile("logos.sys"), "wait-themed");
  EXPECT_EQ(ReadFile("logos.kz2"), "wait-original");
  EXPECT_TRUE(std::filesystem::equivalent(InstallerHostPath("\\logos.sys"), driveC / "logos.sys"));
}

// A screen file nobody may write is not replaced, as a copy onto it fails on Windows;
// the steps around it go on.
TEST_F(TelasWin95Test, AWriteProtectedScreenIsNotReplaced) {
  ActiveAndThemedScreens();
  const auto protectedScreen = driveC / "WINDOWS" / "logos.sys";
  std::filesystem::permissions(protectedScreen, std::filesystem::perms::owner_read |
                                                    std::filesystem::perms::group_read |
                                                    std::filesystem::perms::others_read);
  TelasWin95(1);
  EXPECT_EQ(ReadFile("WINDOWS/logos.sys"), "wait-original");
  EXPECT_EQ(ReadFile("WINDOWS/logos.kz2"), "wait-original");  // saved all the same
  EXPECT_EQ(ReadFile("logo.sys"), "boot-themed");
  EXPECT_EQ(ReadFile("WINDOWS/logow.sys"), "off-themed");
  EXPECT_FALSE(ReadFile("WINDOWS/logos.sys.quillmark-copy").has_value());
}

// A screen the user may not write, in a folder the user may write, is not replaced
// either: renaming over it would get past its mode. As root, who may write anything,
// the install runs in a child process of the "nobody" user.
TEST_F(TelasWin95Test, AScreenTheUserMayNotWriteIsNotReplaced) {
  namespace fs = std::filesystem;
  ActiveAndThemedScreens();
  const auto screen = driveC / "WINDOWS" / "logos.sys";
  // Readable by all, writable by its group only: not by its owner, nor by anyone else.
  fs::permissions(screen, fs::perms::owner_read | fs::perms::group_read | fs::perms::group_write |
                              fs::perms::others_read);
  fs::permissions(driveC / "WINDOWS", fs::perms::all);  // the folder is anyone's
  ASSERT_TRUE(AsAnOrdinaryUser([] { TelasWin95(1); }));
  EXPECT_EQ(ReadFile("WINDOWS/logos.sys"), "wait-original");
  EXPECT_EQ(ReadFile("WINDOWS/logos.kz2"), "wait-original");  // saved all the same
  EXPECT_FALSE(ReadFile("WINDOWS/logos.sys.quillmark-copy").has_value());
}

TEST_F(TelasWin95Test, FailedStepIsSkippedAndTheRestGoOn) {
  ActiveAndThemedScreens();
  // A folder where the saved copy should go: that one copy cannot be made.
  std::filesystem::create_directories(driveC / "WINDOWS" / "logos.kz2");
  TelasWin95(1);
  EXPECT_TRUE(std::filesystem::is_directory(driveC / "WINDOWS" / "logos.kz2"));
  EXPECT_EQ(ReadFile("logo.kz2"), "boot-original");
  EXPECT_EQ(ReadFile("WINDOWS/logow.kz2"), "off-original");
  EXPECT_EQ(ReadFile("WINDOWS/logos.sys"), "wait-themed");
}

}  // namespace
}  // namespace qm::testing
