#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "../app/TempDir.h"
#include "winsys/RegistryFile.h"
#include "winsys/RegistryText.h"

namespace qm {
namespace {

namespace fs = std::filesystem;
using testing::ReadFile;
using testing::ScopedEnv;
using testing::TempDir;
using testing::WriteFile;

constexpr const char* kKey = "SOFTWARE\\Quorvana\\Quorvana Saver";
const std::string kHeader = "Windows Registry Editor Version 5.00\n";

RegValue Sz(const std::string& text) {
  return RegValue{kRegSz, text};
}

std::string Text(RegistryBackend& store, const char* name, const char* key = kKey) {
  const auto value = store.Query(Hive::LocalMachine, key, name);
  return value ? value->Data : "<missing>";
}

// The files in `dir` whose names start with `prefix`.
std::vector<fs::path> FilesStartingWith(const fs::path& dir, const std::string& prefix) {
  std::vector<fs::path> found;
  for (const auto& entry : fs::directory_iterator(dir)) {
    if (entry.path().filename().string().rfind(prefix, 0) == 0) found.push_back(entry.path());
  }
  return found;
}

bool Parses(const std::string& text, RegistryTree& tree) {
  RegistryParseError error;
  return ParseRegistryText(text, tree, error);
}

// A store file in a folder of its own.
class RegistryFileTest : public ::testing::Test {
 protected:
  // The damaged files moved aside beside `path`.
  std::vector<fs::path> Aside() const {
    return FilesStartingWith(dir.Path(), "registry.reg.corrupt-");
  }

  TempDir dir;
  const std::string path = dir / "registry.reg";
};

// Reads held together answer from one reading of the file: what another program writes
// meanwhile shows once the hold ends, and what the store itself writes shows at once.
TEST_F(RegistryFileTest, ReadsHeldTogetherSeeOneReadingOfTheFile) {
  const auto withSaver = [](const char* saver) {
    return kHeader + "[HKEY_LOCAL_MACHINE\\" + kKey + "]\n\"Saver\"=\"" + saver + "\"\n";
  };
  WriteFile(path, withSaver("2"));
  RegistryFile store(path);
  store.HoldReads(true);
  EXPECT_EQ(Text(store, "Saver"), "2");
  WriteFile(path, withSaver("3"));
  EXPECT_EQ(Text(store, "Saver"), "2");
  EXPECT_TRUE(store.KeyExists(Hive::LocalMachine, kKey));
  store.HoldReads(true);  // holds nest
  store.HoldReads(false);
  EXPECT_EQ(Text(store, "Saver"), "2");
  ASSERT_TRUE(store.Set(Hive::LocalMachine, kKey, "Mouse", Sz("1")));
  EXPECT_EQ(Text(store, "Saver"), "3");
  EXPECT_EQ(Text(store, "Mouse"), "1");
  WriteFile(path, withSaver("4"));
  EXPECT_EQ(Text(store, "Saver"), "3");
  store.HoldReads(false);
  EXPECT_EQ(Text(store, "Saver"), "4");
  store.HoldReads(false);  // one release too many changes nothing
  WriteFile(path, withSaver("5"));
  EXPECT_EQ(Text(store, "Saver"), "5");
}

// Changes held together are one change of the file, made on the file as it is when the
// hold ends; until then the file is as it was and the store's own reads see them.
TEST_F(RegistryFileTest, WritesHeldTogetherAreOneChangeOfTheFile) {
  const std::string key = kHeader + "[HKEY_LOCAL_MACHINE\\" + kKey + "]\n";
  WriteFile(path, key + "\"Saver\"=\"2\"\n\"Tela\"=\"1\"\n");
  RegistryFile store(path);
  store.HoldWrites(true);
  EXPECT_TRUE(store.Set(Hive::LocalMachine, kKey, "Mouse", Sz("1")));
  store.HoldWrites(true);  // holds nest
  EXPECT_TRUE(store.Set(Hive::LocalMachine, kKey, "Saver", Sz("4")));
  EXPECT_TRUE(store.Delete(Hive::LocalMachine, kKey, "Tela"));
  EXPECT_TRUE(store.Set(Hive::LocalMachine, kKey, "Url", Sz("x")));
  EXPECT_TRUE(store.Delete(Hive::LocalMachine, kKey, "Url"));  // in the order asked
  EXPECT_TRUE(store.Set(Hive::LocalMachine, "SOFTWARE\\Other", "A", Sz("b")));
  EXPECT_FALSE(store.Set(Hive::LocalMachine, "SOFTWARE\\\\Other", "A", Sz("b")));
  store.HoldWrites(false);
  EXPECT_EQ(*ReadFile(path), key + "\"Saver\"=\"2\"\n\"Tela\"=\"1\"\n");
  EXPECT_EQ(Text(store, "Mouse"), "1");
  EXPECT_EQ(Text(store, "Saver"), "4");
  EXPECT_EQ(Text(store, "Tela"), "<missing>");
  EXPECT_EQ(Text(store, "Url"), "<missing>");
  EXPECT_TRUE(store.KeyExists(Hive::LocalMachine, "SOFTWARE\\Other"));
  store.HoldReads(true);
  EXPECT_EQ(Text(store, "Saver"), "4");
  store.HoldReads(false);

  // Another program writes meanwhile: what it wrote stays where no held change meets it.
  WriteFile(path, key + "\"Saver\"=\"3\"\n\"Tela\"=\"1\"\n\"Email\"=\"a@b\"\n");
  store.HoldWrites(false);
  RegistryFile reader(path);
  EXPECT_EQ(Text(reader, "Mouse"), "1");
  EXPECT_EQ(Text(reader, "Saver"), "4");
  EXPECT_EQ(Text(reader, "Tela"), "<missing>");
  EXPECT_EQ(Text(reader, "Url"), "<missing>");
  EXPECT_EQ(Text(reader, "Email"), "a@b");
  EXPECT_EQ(Text(reader, "A", "SOFTWARE\\Other"), "b");
  EXPECT_TRUE(FilesStartingWith(dir.Path(), "registry.reg.tmp").empty());

  // A release too many writes nothing again, and the changes after it are made at once.
  store.HoldWrites(false);
  EXPECT_TRUE(store.Set(Hive::LocalMachine, kKey, "Saver", Sz("5")));
  EXPECT_EQ(Text(reader, "Saver"), "5");
}

// Where the file cannot be written when the hold ends, none of the held changes is made,
// and the store's reads no longer see them.
TEST_F(RegistryFileTest, WritesHeldTogetherOnAWriteProtectedFileAreAllLost) {
  const std::string before = kHeader + "[HKEY_LOCAL_MACHINE\\" + kKey + "]\n\"Saver\"=\"2\"\n";
  WriteFile(path, before);
  fs::permissions(path, fs::perms(0444));
  RegistryFile store(path);
  ::testing::internal::CaptureStderr();
  store.HoldWrites(true);
  EXPECT_TRUE(store.Set(Hive::LocalMachine, kKey, "Saver", Sz("5")));
  EXPECT_TRUE(store.Set(Hive::LocalMachine, kKey, "Mouse", Sz("1")));
  EXPECT_EQ(Text(store, "Saver"), "5");
  store.HoldWrites(false);
  const std::string message = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(message.find("write-protected"), std::string::npos) << message;
  EXPECT_EQ(*ReadFile(path), before);
  EXPECT_EQ(Text(store, "Saver"), "2");
  EXPECT_EQ(Text(store, "Mouse"), "<missing>");
}

TEST_F(RegistryFileTest, AMissingFileIsAnEmptyRegistryAndReadingCreatesNothing) {
  RegistryFile store(dir / "sub/registry.reg");
  EXPECT_EQ(store.Query(Hive::LocalMachine, kKey, "Saver"), std::nullopt);
  EXPECT_FALSE(store.KeyExists(Hive::LocalMachine, kKey));
  EXPECT_TRUE(store.Delete(Hive::LocalMachine, kKey, "Saver"));
  EXPECT_FALSE(fs::exists(dir.Path() / "sub"));
}

TEST_F(RegistryFileTest, WritingCreatesTheFolderAndAnotherReaderSeesTheValue) {
  const std::string nested = dir / "a/b/registry.reg";
  RegistryFile writer(nested);
  ASSERT_TRUE(writer.Set(Hive::LocalMachine, kKey, "Saver", Sz("4")));
  ASSERT_TRUE(writer.Set(Hive::CurrentUser, "Control Panel\\Desktop", "ScreenSaveUsePassword",
                         RegValue{kRegDword, std::string("\x01\0\0\0", 4)}));
  RegistryFile reader(nested);
  EXPECT_EQ(Text(reader, "Saver"), "4");
  EXPECT_EQ(Text(reader, "saver", "software\\QUORVANA\\quorvana saver"), "4");
  EXPECT_TRUE(reader.KeyExists(Hive::LocalMachine, "SOFTWARE\\Quorvana"));
  EXPECT_FALSE(reader.KeyExists(Hive::CurrentUser, kKey));
  const auto flag =
      reader.Query(Hive::CurrentUser, "Control Panel\\Desktop", "ScreenSaveUsePassword");
  ASSERT_TRUE(flag.has_value());
  EXPECT_EQ(flag->Type, kRegDword);

  const std::string text = *ReadFile(nested);
  EXPECT_EQ(text.rfind(kHeader, 0), 0u);
  EXPECT_NE(
      text.find("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Quorvana\\Quorvana Saver]\n\"Saver\"=\"4\"\n"),
      std::string::npos);
  EXPECT_NE(text.find("\"ScreenSaveUsePassword\"=dword:00000001"), std::string::npos);
  EXPECT_TRUE(FilesStartingWith(dir.Path() / "a/b", "registry.reg.tmp").empty());
}

TEST_F(RegistryFileTest, ChangesAndDeletionsKeepEverythingTheProgramDoesNotOwn) {
  WriteFile(path, kHeader +
                      "\n[HKEY_CLASSES_ROOT\\.qm]\n@=\"Quillmark\"\n"
                      "\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Quorvana\\Quorvana Saver]\n"
                      "\"Saver\"=\"2\"\n; mine\n\"Unknown\"=hex(7):61,00,00,00\n"
                      "\n[HKEY_CURRENT_USER\\Other]\n\"N\"=dword:ffffffff\n"
                      "\n[HKEY_CURRENT_USER\\\xE6\x97\xA5]\n\"\xE5\x90\x8D\"=\"\xE2\x9C\x93\"\n");
  RegistryFile store(path);
  ASSERT_TRUE(store.Set(Hive::LocalMachine, kKey, "Saver", Sz("5")));
  ASSERT_TRUE(store.Set(Hive::LocalMachine, kKey, "Mouse", Sz("1")));

  RegistryTree tree;
  ASSERT_TRUE(Parses(*ReadFile(path), tree));
  const std::string saverKey = std::string("HKEY_LOCAL_MACHINE\\") + kKey;
  EXPECT_EQ(tree.Find("HKEY_CLASSES_ROOT\\.qm", "")->Data, "Quillmark");
  EXPECT_EQ(tree.Find(saverKey, "Unknown")->Type, 7u);
  EXPECT_EQ(tree.Find(saverKey, "Unknown")->Data, std::string("a\0\0\0", 4));
  EXPECT_EQ(tree.Find("HKEY_CURRENT_USER\\Other", "N")->Data, "\xFF\xFF\xFF\xFF");
  EXPECT_EQ(tree.Find(saverKey, "Saver")->Data, "5");
  EXPECT_EQ(tree.Find(saverKey, "Mouse")->Data, "1");
  EXPECT_EQ(tree.Keys().size(), 4u);
  // Text in a script Windows-1252 lacks is written back as it was, and read as '?'.
  const auto kept = store.Query(Hive::CurrentUser, "\x81\xE6\x97\xA5", "\x81\xE5\x90\x8D");
  ASSERT_TRUE(kept.has_value());
  EXPECT_EQ(kept->Data, "?");
  EXPECT_NE(
      ReadFile(path)->find("[HKEY_CURRENT_USER\\\xE6\x97\xA5]\n\"\xE5\x90\x8D\"=\"\xE2\x9C\x93\""),
      std::string::npos);

  // So are the comments of whoever edited the file by hand.
  EXPECT_NE(ReadFile(path)->find("\"Saver\"=\"5\"\n; mine\n\"Unknown\"=hex(7)"), std::string::npos);

  // Deleting one value (named in any case) leaves the others of its key.
  EXPECT_TRUE(store.Delete(Hive::LocalMachine, kKey, "mouse"));
  EXPECT_EQ(Text(store, "Mouse"), "<missing>");
  EXPECT_EQ(Text(store, "Saver"), "5");
}

TEST_F(RegistryFileTest, NamesThatCannotBeStoredAreRefusedAndChangeNothing) {
  RegistryFile store(path);
  ASSERT_TRUE(store.Set(Hive::LocalMachine, kKey, "A", Sz("1")));
  const std::string before = *ReadFile(path);
  EXPECT_FALSE(store.Set(Hive::LocalMachine, kKey, "Two\nLines", Sz("x")));
  EXPECT_FALSE(store.Set(Hive::LocalMachine, "SOFTWARE\\\\Q", "A", Sz("x")));
  EXPECT_FALSE(store.Set(Hive::LocalMachine, "SOFTWARE\\Q\\", "A", Sz("x")));
  EXPECT_FALSE(store.Set(Hive::LocalMachine, "\\SOFTWARE\\Q", "A", Sz("x")));
  EXPECT_FALSE(store.Set(Hive::LocalMachine, "SOFTWARE\r\\Q", "A", Sz("x")));
  EXPECT_EQ(*ReadFile(path), before);
}

TEST_F(RegistryFileTest, ADamagedFileThatCannotBeMovedIsReportedOnceAsDamaged) {
  WriteFile(path, "this is not\na registry\n");
  fs::create_directories(path + ".lock");  // no lock can be taken, as in a read-only folder
  RegistryFile store(path);
  ::testing::internal::CaptureStderr();
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(store.Query(Hive::LocalMachine, kKey, "Saver"), std::nullopt);
  const std::string message = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(message.find("damaged (line 1"), std::string::npos) << message;
  EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1) << message;
  EXPECT_EQ(*ReadFile(path), "this is not\na registry\n");

  // Left in place, what can be read of it still serves.
  const std::string slip = kHeader + "[HKEY_LOCAL_MACHINE\\" + kKey + "]\n\"Saver\"=\"2\"\nslip\n";
  WriteFile(path, slip);
  RegistryFile again(path);
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(Text(again, "Saver"), "2");
  const std::string said = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(said.find("what can be read of it serves"), std::string::npos) << said;
  EXPECT_EQ(*ReadFile(path), slip);
}

// A damaged file frozen on purpose (chmod a-w) stays as it is, and what can be read of
// it serves: nothing is copied or left beside it, and changes fail as for any frozen file.
TEST_F(RegistryFileTest, AWriteProtectedDamagedFileIsReadAsFarAsItCanBeAndLeftAlone) {
  const std::string slip = kHeader + "[HKEY_LOCAL_MACHINE\\" + kKey + "]\n\"Saver\"=\"2\"\nslip\n";
  WriteFile(path, slip);
  fs::permissions(path, fs::perms(0444));
  RegistryFile store(path);
  ::testing::internal::CaptureStderr();
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Text(store, "Saver"), "2");
  EXPECT_FALSE(store.Set(Hive::LocalMachine, kKey, "Saver", Sz("3")));
  const std::string message = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(message.find("cannot be replaced (the file is write-protected)"), std::string::npos)
      << message;
  EXPECT_NE(message.find("what can be read of it serves"), std::string::npos) << message;
  EXPECT_EQ(message.find("damaged", message.find("damaged") + 1), std::string::npos) << message;
  EXPECT_EQ(*ReadFile(path), slip);
  EXPECT_EQ(fs::status(path).permissions(), fs::perms(0444));
  EXPECT_TRUE(Aside().empty());
}

TEST_F(RegistryFileTest, ADamagedFileIsKeptAsideAndNeverOverwritten) {
  const std::string damaged = "this is not\na registry\n";
  WriteFile(path, damaged);
  RegistryFile store(path);
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(store.Query(Hive::LocalMachine, kKey, "Saver"), std::nullopt);
  const std::string message = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(message.find(path), std::string::npos) << message;
  EXPECT_NE(message.find("damaged"), std::string::npos) << message;

  const auto aside = Aside();
  ASSERT_EQ(aside.size(), 1u);
  EXPECT_EQ(*ReadFile(aside[0].string()), damaged);
  EXPECT_FALSE(fs::exists(path));

  // The store starts afresh; the damaged copy stays as it was.
  ASSERT_TRUE(store.Set(Hive::LocalMachine, kKey, "Saver", Sz("3")));
  EXPECT_EQ(Text(store, "Saver"), "3");
  EXPECT_EQ(*ReadFile(aside[0].string()), damaged);

  // Damaged twice more within moments, most likely within the same second: each
  // damaged file is kept under a name of its own.
  for (const char* again : {"junk 2\n", "junk 3\n"}) {
    WriteFile(path, again);
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(store.Query(Hive::LocalMachine, kKey, "Saver"), std::nullopt);
    ::testing::internal::GetCapturedStderr();
  }
  std::vector<std::string> kept;
  for (const fs::path& file : Aside()) kept.push_back(*ReadFile(file.string()));
  std::sort(kept.begin(), kept.end());
  EXPECT_EQ(kept, (std::vector<std::string>{"junk 2\n", "junk 3\n", damaged}));
}

// A file past 16 MiB is no registry of ours (ours hold a few kilobytes): it is not read
// into memory but kept aside whole, and the defaults serve. One of 16 MiB is read.
TEST_F(RegistryFileTest, AFileOverSixteenMebibytesIsKeptAsideUnread) {
  const std::string lines = kHeader + "[HKEY_LOCAL_MACHINE\\" + kKey + "]\n\"Saver\"=\"2\"\n;";
  const size_t limit = size_t{16} << 20;
  std::string full = lines + std::string(limit - lines.size() - 1, 'x') + "\n";
  ASSERT_EQ(full.size(), limit);
  WriteFile(path, full);
  {
    RegistryFile store(path);
    EXPECT_EQ(Text(store, "Saver"), "2");
    EXPECT_TRUE(Aside().empty());
  }

  full.insert(full.size() - 1, "x");
  WriteFile(path, full);
  RegistryFile store(path);
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(Text(store, "Saver"), "<missing>");
  const std::string message = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(message.find("larger than any registry of ours"), std::string::npos) << message;
  const std::vector<fs::path> aside = Aside();
  ASSERT_EQ(aside.size(), 1u);
  EXPECT_EQ(fs::file_size(aside[0]), limit + 1);
  EXPECT_FALSE(fs::exists(path));
}

// A slip in one hand-edited line costs that line: the password and the other settings
// stay, in a file that reads cleanly from then on, and the damaged one is kept as it was.
TEST_F(RegistryFileTest, TheReadableLinesOfADamagedFileAreKeptInItsPlace) {
  const std::string damaged = kHeader +
                              "[HKEY_CURRENT_USER\\Control Panel\\Desktop]\n"
                              "\"ScreenSaveUsePassword\"=dword:00000001\n"
                              "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Quorvana\\Quorvana Saver]\n"
                              "\"Saver\"=\"4\n"
                              "\"Mouse\"=\"1\"\n";
  WriteFile(path, damaged);
  fs::permissions(path, fs::perms(0640));
  RegistryFile store(path);
  ::testing::internal::CaptureStderr();
  const auto flag =
      store.Query(Hive::CurrentUser, "Control Panel\\Desktop", "ScreenSaveUsePassword");
  const std::string message = ::testing::internal::GetCapturedStderr();
  ASSERT_TRUE(flag.has_value()) << message;
  EXPECT_EQ(flag->Data, std::string("\x01\0\0\0", 4));
  EXPECT_NE(message.find("damaged (line 5"), std::string::npos) << message;
  EXPECT_NE(message.find("the lines that could be read are kept in its place"), std::string::npos)
      << message;
  EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1) << message;
  EXPECT_EQ(fs::status(path).permissions(), fs::perms(0640));

  const auto aside = Aside();
  ASSERT_EQ(aside.size(), 1u);
  EXPECT_EQ(*ReadFile(aside[0].string()), damaged);
  RegistryTree rewritten;
  EXPECT_TRUE(Parses(*ReadFile(path), rewritten));
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(Text(store, "Mouse"), "1");
  EXPECT_EQ(store.Query(Hive::LocalMachine, kKey, "Saver"), std::nullopt);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(Aside().size(), 1u);
}

TEST_F(RegistryFileTest, ADamagedFileBehindALinkIsKeptAsideWhereItIsAndTheLinkStays) {
  fs::create_directories(dir / "dotfiles");
  const std::string damaged = "junk\n";
  WriteFile(dir / "dotfiles/registry.reg", damaged);
  fs::create_symlink("dotfiles/registry.reg", dir / "registry.reg");
  RegistryFile store(dir / "registry.reg");
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(store.Query(Hive::LocalMachine, kKey, "Saver"), std::nullopt);
  const std::string message = ::testing::internal::GetCapturedStderr();
  const auto aside = FilesStartingWith(dir / "dotfiles", "registry.reg.corrupt-");
  ASSERT_EQ(aside.size(), 1u) << message;
  EXPECT_EQ(*ReadFile(aside[0].string()), damaged);
  EXPECT_NE(message.find(aside[0].string()), std::string::npos) << message;
  EXPECT_TRUE(Aside().empty());
  ASSERT_TRUE(store.Set(Hive::LocalMachine, kKey, "Saver", Sz("3")));
  EXPECT_TRUE(fs::is_symlink(dir / "registry.reg"));
  RegistryFile real(dir / "dotfiles/registry.reg");
  EXPECT_EQ(Text(real, "Saver"), "3");
}

TEST_F(RegistryFileTest, WritingOverADamagedFileMovesItAsideFirst) {
  const std::string damaged = kHeader + "[HKEY_CURRENT_USER\\A]\n\"V\"=\"unterminated\n";
  WriteFile(path, damaged);
  WriteFile(path + ".corrupt-taken", "another file");
  RegistryFile store(path);
  ::testing::internal::CaptureStderr();
  ASSERT_TRUE(store.Set(Hive::LocalMachine, kKey, "Saver", Sz("3")));
  const std::string message = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(message.find("line 3"), std::string::npos) << message;

  auto aside = Aside();
  ASSERT_EQ(aside.size(), 2u);
  std::erase(aside, fs::path(path + ".corrupt-taken"));
  ASSERT_EQ(aside.size(), 1u);
  EXPECT_EQ(*ReadFile(aside[0].string()), damaged);
  EXPECT_EQ(*ReadFile(path + ".corrupt-taken"), "another file");
  EXPECT_EQ(Text(store, "Saver"), "3");
  EXPECT_EQ(store.Query(Hive::CurrentUser, "A", "V"), std::nullopt);
}

TEST_F(RegistryFileTest, AFileThatCannotBeReadIsLeftAloneAndNotWritten) {
  fs::create_directory(path);  // a folder where the file should be
  RegistryFile store(path);
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(store.Query(Hive::LocalMachine, kKey, "Saver"), std::nullopt);
  EXPECT_FALSE(store.Set(Hive::LocalMachine, kKey, "Saver", Sz("3")));
  EXPECT_FALSE(store.Set(Hive::LocalMachine, kKey, "Saver", Sz("4")));
  const std::string message = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(message.find("cannot read"), std::string::npos) << message;
  // The failed save says so, once however many follow.
  const size_t notSaved = message.find("settings are not saved");
  EXPECT_NE(notSaved, std::string::npos) << message;
  EXPECT_EQ(message.find("settings are not saved", notSaved + 1), std::string::npos) << message;
  EXPECT_TRUE(fs::is_directory(path));
  EXPECT_TRUE(Aside().empty());
}

TEST_F(RegistryFileTest, AWriteProtectedFileIsNotReplacedNorItsLinkTarget) {
  const std::string before =
      kHeader + "\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Quorvana\\Quorvana Saver]\n\"Saver\"=\"2\"\n";
  WriteFile(path, before);
  fs::permissions(path, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  fs::create_symlink(path, dir / "link.reg");
  RegistryFile store(path);
  RegistryFile viaLink(dir / "link.reg");
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(store.Set(Hive::LocalMachine, kKey, "Saver", Sz("5")));
  EXPECT_FALSE(store.Set(Hive::LocalMachine, kKey, "Mouse", Sz("1")));
  EXPECT_FALSE(viaLink.Set(Hive::LocalMachine, kKey, "Saver", Sz("5")));
  EXPECT_FALSE(store.Delete(Hive::LocalMachine, kKey, "Saver"));
  // Saving what is there already writes nothing, so it is no failure.
  EXPECT_TRUE(store.Set(Hive::LocalMachine, kKey, "Saver", Sz("2")));
  const std::string message = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(message.find("write-protected"), std::string::npos) << message;
  EXPECT_EQ(*ReadFile(path), before);
  EXPECT_EQ(Text(store, "Saver"), "2");
  EXPECT_TRUE(FilesStartingWith(dir.Path(), "registry.reg.tmp").empty());
  EXPECT_TRUE(Aside().empty());

  fs::permissions(path, fs::perms::owner_write, fs::perm_options::add);
  EXPECT_TRUE(store.Set(Hive::LocalMachine, kKey, "Saver", Sz("5")));
  EXPECT_EQ(Text(viaLink, "Saver"), "5");
}

TEST_F(RegistryFileTest, ATextSavedBackAsItWasReadKeepsCharactersTheCodePageLacks) {
  // "Łukasz" and a check mark: neither is in Windows-1252, "é" is.
  WriteFile(path, kHeader +
                      "\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Quorvana\\Quorvana Saver]\n"
                      "\"Email\"=\"\xC5\x81ukasz@ex.pl\"\n\"Url\"=\"caf\xC3\xA9 \xE2\x9C\x93\"\n"
                      "\"Saver\"=hex:33\n");
  RegistryFile store(path);
  EXPECT_EQ(Text(store, "Email"), "?ukasz@ex.pl");
  EXPECT_EQ(Text(store, "Url"), "caf\xE9 ?");
  ASSERT_TRUE(store.Set(Hive::LocalMachine, kKey, "Email", Sz("?ukasz@ex.pl")));
  ASSERT_TRUE(store.Set(Hive::LocalMachine, kKey, "Url", Sz("caf\xE9 ?")));
  const std::string kept = *ReadFile(path);
  EXPECT_NE(kept.find("\"Email\"=\"\xC5\x81ukasz@ex.pl\""), std::string::npos) << kept;
  EXPECT_NE(kept.find("\"Url\"=\"caf\xC3\xA9 \xE2\x9C\x93\""), std::string::npos) << kept;

  // Any other text replaces it, a '?' in another place included.
  ASSERT_TRUE(store.Set(Hive::LocalMachine, kKey, "Email", Sz("?ukasz@ex.p?")));
  ASSERT_TRUE(store.Set(Hive::LocalMachine, kKey, "Url", Sz("caf\xE9")));
  const std::string changed = *ReadFile(path);
  EXPECT_NE(changed.find("\"Email\"=\"?ukasz@ex.p?\""), std::string::npos) << changed;
  EXPECT_NE(changed.find("\"Url\"=\"caf\xC3\xA9\"\n"), std::string::npos) << changed;

  // The same bytes as a value of another kind are no text: the text replaces them, or
  // the setting would read as missing for ever.
  ASSERT_TRUE(store.Set(Hive::LocalMachine, kKey, "Saver", Sz("3")));
  const auto saver = store.Query(Hive::LocalMachine, kKey, "Saver");
  ASSERT_TRUE(saver.has_value());
  EXPECT_EQ(saver->Type, kRegSz);
  EXPECT_EQ(saver->Data, "3");
}

// Another process that keeps the lock (stopped in a debugger, or not one of ours) must
// not hold the saver up without end: the wait is given up, the change fails, a damaged
// file stays where it is, and a score of calls in a row give up at once after the
// first. Once the lock is free, everything works again.
TEST_F(RegistryFileTest, ALockHeldElsewhereIsGivenUpOnAndTheFileLeftAsItIs) {
  WriteFile(path, "not a registry file\n");
  const int other = ::open((path + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  ASSERT_GE(other, 0);
  ASSERT_EQ(::flock(other, LOCK_EX), 0);  // a lock of its own open file: another holder

  RegistryFile store(path);
  store.SetLockWaitForTesting(std::chrono::milliseconds(100));
  ::testing::internal::CaptureStderr();
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < 22; ++i) {
    EXPECT_EQ(store.Query(Hive::LocalMachine, kKey, "Saver"), std::nullopt);
    EXPECT_FALSE(store.Set(Hive::LocalMachine, kKey, "Saver", Sz("3")));
  }
  // One wait of 0.1 s, then none: 44 calls that each waited would take 4.4 s.
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
  const std::string message = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(message.find("another process holds its lock"), std::string::npos) << message;
  EXPECT_LE(std::count(message.begin(), message.end(), '\n'), 3) << message;
  EXPECT_EQ(*ReadFile(path), "not a registry file\n");
  EXPECT_TRUE(Aside().empty());

  ::close(other);
  ::testing::internal::CaptureStderr();
  EXPECT_TRUE(store.Set(Hive::LocalMachine, kKey, "Saver", Sz("3")));
  ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(Text(store, "Saver"), "3");
  EXPECT_EQ(Aside().size(), 1u);
}

TEST_F(RegistryFileTest, AFolderThatCannotBeMadeIsReportedOnceHoweverManySettingsAreSaved) {
  WriteFile(dir / "blocker", "a file where the folder should be");
  RegistryFile store(dir / "blocker/registry.reg");
  ::testing::internal::CaptureStderr();
  for (int i = 0; i < 22; ++i)
    EXPECT_FALSE(store.Set(Hive::LocalMachine, kKey, "Saver", Sz(std::to_string(i))));
  const std::string message = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(message.find("settings are not saved"), std::string::npos) << message;
  EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1) << message;
  EXPECT_EQ(*ReadFile(dir / "blocker"), "a file where the folder should be");
}

TEST_F(RegistryFileTest, LeftoversOfAKilledWriterAreRemovedByTheNextWrite) {
  WriteFile(path + ".tmp-AbC123", "half a fi");
  RegistryFile store(path);
  ASSERT_TRUE(store.Set(Hive::LocalMachine, kKey, "Saver", Sz("3")));
  EXPECT_FALSE(fs::exists(path + ".tmp-AbC123"));
}

// A child process rewrites the store as fast as it can and is killed at a random
// moment; whatever it was doing, the file must be the old or a new one, whole.
TEST_F(RegistryFileTest, AWriterKilledMidSaveLeavesAWholeFile) {
  const std::string longA(3000, 'a');
  const std::string longB(5000, 'b');
  {
    RegistryFile store(path);
    ASSERT_TRUE(store.Set(Hive::LocalMachine, kKey, "Saver", Sz("old")));
  }
  for (int round = 0; round < 6; ++round) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      RegistryFile store(path);
      for (unsigned i = 0;; ++i) {
        store.Set(Hive::LocalMachine, kKey, "Saver", Sz(i % 2 ? longA : longB));
        store.Set(Hive::LocalMachine, kKey, "Counter", Sz(std::to_string(i)));
      }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(30 + 37 * round));
    ASSERT_EQ(::kill(child, SIGKILL), 0);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));

    RegistryTree tree;
    const std::string text = *ReadFile(path);
    ASSERT_TRUE(Parses(text, tree)) << "round " << round;
    const RegValue* saver = tree.Find(std::string("HKEY_LOCAL_MACHINE\\") + kKey, "Saver");
    ASSERT_NE(saver, nullptr);
    EXPECT_TRUE(saver->Data == "old" || saver->Data == longA || saver->Data == longB);
    EXPECT_EQ(text, FormatRegistryText(tree));  // exactly what a writer writes
  }
  RegistryFile store(path);
  ASSERT_TRUE(store.Set(Hive::LocalMachine, kKey, "After", Sz("1")));
  EXPECT_TRUE(FilesStartingWith(dir.Path(), "registry.reg.tmp-").empty());
  EXPECT_TRUE(Aside().empty());
}

// Two writers change different values at the same time while a reader reads: no
// update is lost (each re-reads under the lock) and the reader never sees a torn file
// (it would have moved it aside).
TEST_F(RegistryFileTest, ConcurrentWritersLoseNothingAndReadersNeverSeeATornFile) {
  constexpr int kWrites = 40;
  std::vector<pid_t> children;
  for (const char* name : {"A", "B"}) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      RegistryFile store(path);
      bool ok = true;
      for (int i = 1; i <= kWrites; ++i) {
        ok = store.Set(Hive::LocalMachine, kKey, name, Sz(std::string(i * 50, *name))) && ok;
      }
      ::_exit(ok ? 0 : 1);
    }
    children.push_back(child);
  }
  RegistryFile reader(path);
  for (size_t running = children.size(); running > 0;) {
    reader.Query(Hive::LocalMachine, kKey, "A");
    for (pid_t& child : children) {
      int status = 0;
      if (child > 0 && ::waitpid(child, &status, WNOHANG) == child) {
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        child = 0;
        --running;
      }
    }
  }
  EXPECT_EQ(Text(reader, "A"), std::string(kWrites * 50, 'A'));
  EXPECT_EQ(Text(reader, "B"), std::string(kWrites * 50, 'B'));
  EXPECT_TRUE(Aside().empty());
}

TEST(DefaultRegistryPath, FollowsTheEnvironment) {
  {
    ScopedEnv registry("QUILLMARK_REGISTRY", "/tmp/x.reg");
    EXPECT_EQ(DefaultRegistryPath(), "/tmp/x.reg");
  }
  ScopedEnv registry("QUILLMARK_REGISTRY", "");
  ScopedEnv home("HOME", "/home/someone");
  {
    ScopedEnv config("XDG_CONFIG_HOME", "/cfg");
    EXPECT_EQ(DefaultRegistryPath(), "/cfg/quillmark/registry.reg");
  }
  {
    ScopedEnv config("XDG_CONFIG_HOME", "relative/cfg");
    EXPECT_EQ(DefaultRegistryPath(), "/home/someone/.config/quillmark/registry.reg");
  }
  ScopedEnv config("XDG_CONFIG_HOME", nullptr);
  EXPECT_EQ(DefaultRegistryPath(), "/home/someone/.config/quillmark/registry.reg");
}

}  // namespace
}  // namespace qm
