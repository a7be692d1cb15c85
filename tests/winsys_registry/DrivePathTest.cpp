#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "../app/TempDir.h"
#include "winsys/DrivePath.h"

namespace qm {
namespace {

namespace fs = std::filesystem;
using testing::ScopedEnv;
using testing::TempDir;
using testing::WriteFile;

// Drive C is the test's own folder, unless a test says otherwise.
class DrivePathTest : public ::testing::Test {
 protected:
  void SetUp() override { fs::create_directories(root_); }
  TempDir dir_;
  const std::string root_ = (dir_.Path() / "drive_c").string();
  ScopedEnv drive_{"QUILLMARK_DRIVE_C", root_.c_str()};
};

TEST_F(DrivePathTest, DriveCIsRootedAtTheConfiguredFolder) {
  EXPECT_EQ(DriveCRoot(), root_);
  EXPECT_EQ(HostPath("c:\\"), root_);
  EXPECT_EQ(HostPath("C:\\logo.sys"), root_ + "/logo.sys");
  EXPECT_EQ(HostPath("c:logo.sys"), root_ + "/logo.sys");
}

TEST_F(DrivePathTest, DriveCDefaultsToTheUsersDataFolder) {
  ScopedEnv drive("QUILLMARK_DRIVE_C", nullptr);
  ScopedEnv home("HOME", "/home/someone");
  {
    ScopedEnv data("XDG_DATA_HOME", "/data");
    EXPECT_EQ(DriveCRoot(), "/data/quillmark/drive_c");
  }
  ScopedEnv data("XDG_DATA_HOME", nullptr);
  EXPECT_EQ(DriveCRoot(), "/home/someone/.local/share/quillmark/drive_c");
}

TEST_F(DrivePathTest, ComponentsResolveToTheExistingSpellingInAnyCase) {
  WriteFile(root_ + "/Windows/SYSTEM/Kzt.INI", "");
  EXPECT_EQ(HostPath("c:\\windows\\system\\kzt.ini"), root_ + "/Windows/SYSTEM/Kzt.INI");
  EXPECT_EQ(HostPath("c:\\windows\\system\\"), root_ + "/Windows/SYSTEM/");
  EXPECT_EQ(HostPath("c:/WINDOWS//system/KZT.ini"), root_ + "/Windows/SYSTEM/Kzt.INI");
}

TEST_F(DrivePathTest, MissingComponentsAreKeptAsWritten) {
  fs::create_directories(root_ + "/Windows");
  EXPECT_EQ(HostPath("c:\\windows\\System\\kzt.ini"), root_ + "/Windows/System/kzt.ini");
  EXPECT_EQ(HostPath("c:\\Nope\\x"), root_ + "/Nope/x");
}

TEST_F(DrivePathTest, TrailingDotsAndBlanksAreDroppedAsWindowsReadsANameThatIsMissing) {
  WriteFile(root_ + "/Windows/System/a.bmp", "");
  WriteFile(root_ + "/Windows/System/b.bmp.", "");  // a Linux name that really ends so
  const std::string folder = root_ + "/Windows/System/";
  EXPECT_EQ(HostPath("c:\\windows\\system\\a.bmp."), folder + "a.bmp");
  EXPECT_EQ(HostPath("c:\\windows\\system\\A.BMP . ."), folder + "a.bmp");
  EXPECT_EQ(HostPath("c:\\windows\\system.\\a.bmp"), folder + "a.bmp");  // a folder's one dot
  // Only the last name loses its blanks, and a folder only one dot.
  EXPECT_EQ(HostPath("c:\\windows \\system\\a.bmp"), root_ + "/windows /system/a.bmp");
  EXPECT_EQ(HostPath("c:\\windows\\system..\\a.bmp"), root_ + "/Windows/system../a.bmp");
  EXPECT_EQ(HostPath("c:\\windows\\system\\b.bmp."), folder + "b.bmp.");
  // Nothing to fall back on: kept as written.
  EXPECT_EQ(HostPath("c:\\windows\\system\\c.bmp."), folder + "c.bmp.");
  EXPECT_EQ(HostPath("c:\\windows\\system\\..."), folder + "...");
}

TEST_F(DrivePathTest, DotsOnADriveNeverClimbAboveItsRoot) {
  WriteFile(root_ + "/Windows/System/kzt.ini", "");
  EXPECT_EQ(HostPath("c:\\windows\\system\\..\\..\\..\\..\\etc\\passwd"), root_ + "/etc/passwd");
  EXPECT_EQ(HostPath("c:\\..\\tmp\\x"), root_ + "/tmp/x");
  EXPECT_EQ(HostPath("c:\\windows\\.\\nope\\..\\system\\KZT.INI"),
            root_ + "/Windows/System/kzt.ini");
  EXPECT_EQ(HostPath("c:\\windows\\.."), root_);
}

TEST_F(DrivePathTest, Windows1252NamesBecomeUtf8AndMatchAccentedLettersInAnyCase) {
  fs::create_directories(root_ + "/3\xC2\xBA Lugar/S\xC3\x83O");  // "3º Lugar/SÃO"
  EXPECT_EQ(HostPath("c:\\3\xBA lugar\\s\xE3o"), root_ + "/3\xC2\xBA Lugar/S\xC3\x83O");
  EXPECT_EQ(HostPath("c:\\caf\xE9"), root_ + "/caf\xC3\xA9");
}

TEST_F(DrivePathTest, OtherDrivesAreSiblingsOfDriveC) {
  EXPECT_EQ(HostPath("D:\\setup\\a.txt"), (dir_.Path() / "drive_d").string() + "/setup/a.txt");
}

TEST_F(DrivePathTest, OtherPathsTurnBackslashesIntoSeparators) {
  const std::string base = dir_.Path().string();
  WriteFile(base + "/Program/Tabela.ini", "");
  fs::create_directories(base + "/jo\xC3\xA3o");  // a folder already named in UTF-8
  EXPECT_EQ(HostPath(base + "\\program\\TABELA.INI"), base + "/Program/Tabela.ini");
  EXPECT_EQ(HostPath(base + "/Program\\tabela.ini"), base + "/Program/Tabela.ini");
  EXPECT_EQ(HostPath(base + "/jo\xC3\xA3o\\x"), base + "/jo\xC3\xA3o/x");
  EXPECT_EQ(HostPath("relative\\file.ini"), "relative/file.ini");
  EXPECT_EQ(HostPath(""), "");
}

}  // namespace
}  // namespace qm
