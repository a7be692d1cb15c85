#include "SetupTestEnv.h"
#include "setup/SysInfo.h"

namespace qm::testing {
namespace {

constexpr const char* kMsInfo = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
constexpr const char* kLocation = "SOFTWARE\\Microsoft\\Shared Tools Location";
constexpr const char* kUnavailable = "System Information Is Unavailable At This Time";
constexpr const char* kTitle = "SCRNSAVE:Quillmark Screen Save";

using SysInfoTest = SetupWorld;

TEST_F(SysInfoTest, NoEntryShowsTheMessageOnce) {
  StartSysInfo();
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].first, kUnavailable);
  EXPECT_EQ(host.messages[0].second, kTitle);
  EXPECT_TRUE(host.started.empty());
}

TEST_F(SysInfoTest, ToolPathIsStartedWithoutAMessage) {
  WriteFile("Tools/msinfo32.exe", "MZ");
  registry.Set(Hive::LocalMachine, kMsInfo, "PATH", RegValue{kRegSz, "c:\\Tools\\msinfo32.exe"});
  StartSysInfo();
  ASSERT_EQ(host.started.size(), 1u);
  EXPECT_TRUE(std::filesystem::equivalent(host.started[0], driveC / "Tools" / "msinfo32.exe"));
  EXPECT_TRUE(host.messages.empty());
}

// Whichever entry names the tool: first the one found through its folder, then the
// tool path, which takes precedence.
TEST_F(SysInfoTest, FailedStartShowsTheMessage) {
  host.startSucceeds = false;
  WriteFile("MSINFO/MSINFO32.EXE", "MZ");
  registry.Set(Hive::LocalMachine, kLocation, "MSINFO", RegValue{kRegSz, "c:\\MSINFO"});
  StartSysInfo();
  registry.Set(Hive::LocalMachine, kMsInfo, "PATH", RegValue{kRegSz, "c:\\nowhere.exe"});
  StartSysInfo();
  EXPECT_EQ(host.started.size(), 2u);
  ASSERT_EQ(host.messages.size(), 2u);
  EXPECT_EQ(host.messages[0].first, kUnavailable);
  EXPECT_EQ(host.messages[1].first, kUnavailable);
}

TEST_F(SysInfoTest, LocationEntryNeedsTheProgramInThatFolder) {
  registry.Set(Hive::LocalMachine, kLocation, "MSINFO", RegValue{kRegSz, "c:\\MSINFO"});
  StartSysInfo();
  EXPECT_TRUE(host.started.empty());
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].first, kUnavailable);

  host.messages.clear();
  WriteFile("MSINFO/MSINFO32.EXE", "MZ");
  StartSysInfo();
  ASSERT_EQ(host.started.size(), 1u);
  EXPECT_TRUE(std::filesystem::equivalent(host.started[0], driveC / "MSINFO" / "MSINFO32.EXE"));
  EXPECT_TRUE(host.messages.empty());
}

}  // namespace
}  // namespace qm::testing
