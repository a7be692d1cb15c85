#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "TempDir.h"
#include "app/Settings.h"
#include "headless/Cli.h"
#include "winsys/MemoryRegistry.h"

namespace qm {
namespace {

using testing::ScopedEnv;
using testing::TempDir;
using testing::WriteFile;

// What --settings prints for the store at `path`; the command must end well.
std::string SettingsOutput(const std::string& path) {
  ScopedEnv env("QUILLMARK_REGISTRY", path.c_str());
  ::testing::internal::CaptureStdout();
  EXPECT_EQ(headless::RunHeadlessOption({"--settings"}), 0);
  return ::testing::internal::GetCapturedStdout();
}

TEST(HelpCommand, ListsTheModesOnStdoutAndEndsWell) {
  ::testing::internal::CaptureStdout();
  EXPECT_EQ(headless::RunHeadlessOption({"--help"}), 0);
  const std::string out = ::testing::internal::GetCapturedStdout();
  for (const char* mode : {"usage: quillmark", "/c ", "/p WINDOW", "/a ", "--root", "--render"})
    EXPECT_NE(out.find(mode), std::string::npos) << mode;
  // Only the whole word: "--helpme" is a switch like any other.
  EXPECT_EQ(headless::RunHeadlessOption({"--helpme"}), std::nullopt);
}

TEST(SettingsCommand, WithNoRegistryFilePrintsTheDefaultsInTableOrder) {
  TempDir dir;
  const std::string path = dir / "none/registry.reg";
  const std::string out = SettingsOutput(path);
  EXPECT_EQ(out,
            "SpriteCount=8\nTracersOn=FALSE\nRefreshRate=100\nRateRandom=FALSE\n"
            "SpriteSize=25\nSizeRandom=TRUE\nSpriteSpeed=1\nSpeedRandom=FALSE\n"
            "Email=kzt@qv.example\nUrl=http://qv.example/\n"
            "Saver=1\nMouse=0\nTela=0\nSenha=1\nBolasNum=4\nBolasVel=6\nTrofeusNum=4\n"
            "TrofeusVel=5\nTrofeusTipo=2\nSS03Vel=1\nSS04Vel=3\nSS05Vel=4\n");
  EXPECT_FALSE(std::filesystem::exists(path));  // reading creates nothing
}

TEST(SettingsCommand, PrintsStoredValuesWithTextsInUtf8) {
  TempDir dir;
  const std::string path = dir / "registry.reg";
  WriteFile(path,
            "Windows Registry Editor Version 5.00\n\n"
            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Quorvana\\Quorvana Saver]\n"
            "\"SpriteCount\"=\"45\"\n"
            "\"SizeRandom\"=\"FALSE\"\n"
            "\"Email\"=\"jo\xC3\xA3o@example.org\"\n"
            "\"Saver\"=\"5\"\n");
  MemoryRegistry before;
  SetRegistry(&before);
  const std::string out = SettingsOutput(path);
  EXPECT_NE(out.find("SpriteCount=30\n"), std::string::npos);
  EXPECT_NE(out.find("SizeRandom=FALSE\n"), std::string::npos);
  EXPECT_NE(out.find("Email=jo\xC3\xA3o@example.org\n"), std::string::npos);
  EXPECT_NE(out.find("\nSaver=5\n"), std::string::npos);
  // In memory the text is 8-bit; the command leaves the process's registry as it was.
  EXPECT_EQ(Email, "jo\xE3o@example.org");
  EXPECT_EQ(&Registry(), &before);
  SetRegistry(nullptr);
}

TEST(SettingsCommand, KeepsEveryValueOnItsOwnLine) {
  TempDir dir;
  const std::string path = dir / "registry.reg";
  // "a", LF, "b", tab, '"', '\\' and a NUL, then the NUL that ends the text; and a URL
  // in quotes, which printed as it is would read as a quoted value.
  WriteFile(path,
            "Windows Registry Editor Version 5.00\n\n"
            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Quorvana\\Quorvana Saver]\n"
            "\"Email\"=hex(1):61,0a,62,09,22,5c,00,00\n"
            "\"Url\"=\"\\\"q\\\"\"\n");
  const std::string out = SettingsOutput(path);
  EXPECT_NE(out.find("\nEmail=\"a\\nb\\t\\\"\\\\\\x00\"\n"), std::string::npos) << out;
  EXPECT_NE(out.find("\nUrl=\"\\\"q\\\"\"\n"), std::string::npos) << out;
  EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 22) << out;
}

}  // namespace
}  // namespace qm
