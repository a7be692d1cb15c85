#include "SetupTestEnv.h"
#include "setup/GetKeyValue.h"

namespace qm::testing {
namespace {

constexpr const char* kKey = "SOFTWARE\\Test\\Values";

class GetKeyValueTest : public SetupWorld {
 protected:
  std::string Read(const std::string& name, bool* ok, std::string initial = "") {
    std::string value = std::move(initial);
    *ok = GetKeyValue(Hive::LocalMachine, kKey, name, value);
    return value;
  }
};

TEST_F(GetKeyValueTest, DwordReadsAsSignedDecimal) {
  registry.Set(Hive::LocalMachine, kKey, "Small",
               RegValue{kRegDword, std::string("\x02\x01\0\0", 4)});
  registry.Set(Hive::LocalMachine, kKey, "Minus", RegValue{kRegDword, "\xFE\xFF\xFF\xFF"});
  registry.Set(Hive::LocalMachine, kKey, "Zero", RegValue{kRegDword, std::string(4, '\0')});
  bool ok = false;
  EXPECT_EQ(Read("Small", &ok, "junk"), "258");
  EXPECT_TRUE(ok);
  EXPECT_EQ(Read("Minus", &ok), "-2");
  EXPECT_TRUE(ok);
  EXPECT_EQ(Read("Zero", &ok), "0");
  EXPECT_TRUE(ok);
}

TEST_F(GetKeyValueTest, TextLosesOnlyOneTerminatingNul) {
  registry.Set(Hive::LocalMachine, kKey, "WithNul", RegValue{kRegSz, std::string("C:\\WIN\0", 7)});
  registry.Set(Hive::LocalMachine, kKey, "Plain", RegValue{kRegSz, "C:\\WIN"});
  registry.Set(Hive::LocalMachine, kKey, "Empty", RegValue{kRegSz, ""});
  bool ok = false;
  EXPECT_EQ(Read("WithNul", &ok), "C:\\WIN");
  EXPECT_TRUE(ok);
  EXPECT_EQ(Read("Plain", &ok), "C:\\WIN");
  EXPECT_EQ(Read("Empty", &ok, "old"), "");
  EXPECT_TRUE(ok);
}

TEST_F(GetKeyValueTest, MissingKeyOrValueClearsTheOutput) {
  bool ok = true;
  EXPECT_EQ(Read("Anything", &ok, "caller's"), "");
  EXPECT_FALSE(ok);
  registry.Set(Hive::LocalMachine, kKey, "Other", RegValue{kRegSz, "x"});
  EXPECT_EQ(Read("Missing", &ok, "caller's"), "");
  EXPECT_FALSE(ok);
  std::string value = "caller's";
  EXPECT_FALSE(GetKeyValue(Hive::CurrentUser, kKey, "Other", value));
  EXPECT_EQ(value, "");
}

TEST_F(GetKeyValueTest, UnknownTypeKeepsWhatTheCallerPassed) {
  registry.Set(Hive::LocalMachine, kKey, "Binary", RegValue{3, "\x01\x02"});
  bool ok = false;
  EXPECT_EQ(Read("Binary", &ok, "kept"), "kept");
  EXPECT_TRUE(ok);
}

TEST_F(GetKeyValueTest, ValuesBeyondTheBufferCannotBeRead) {
  registry.Set(Hive::LocalMachine, kKey, "Fits", RegValue{kRegSz, std::string(1024, 'a')});
  registry.Set(Hive::LocalMachine, kKey, "TooLong", RegValue{kRegSz, std::string(1025, 'a')});
  bool ok = false;
  EXPECT_EQ(Read("Fits", &ok).size(), 1024u);
  EXPECT_TRUE(ok);
  EXPECT_EQ(Read("TooLong", &ok, "x"), "");
  EXPECT_FALSE(ok);
}

}  // namespace
}  // namespace qm::testing
