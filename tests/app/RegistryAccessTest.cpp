#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "app/RegistryAccess.h"
#include "winsys/MemoryRegistry.h"

namespace qm {
namespace {

constexpr const char* kKey = "Control Panel\\Desktop";

class RegistryAccessTest : public ::testing::Test {
 protected:
  void SetUp() override { SetRegistry(&registry_); }
  void TearDown() override { SetRegistry(nullptr); }

  void Put(uint32_t type, const std::string& data) {
    ASSERT_TRUE(registry_.Set(Hive::CurrentUser, kKey, "V", RegValue{type, data}));
  }
  bool Read(std::string& text) { return RegReadValue(Hive::CurrentUser, kKey, "V", text); }
  // Stores each data in turn as a value of `type`, which must read as the text paired.
  void ExpectReads(uint32_t type, const std::vector<std::pair<std::string, std::string>>& cases) {
    for (const auto& [data, expected] : cases) {
      Put(type, data);
      std::string text = "before";  // what is read replaces it, even when empty
      EXPECT_TRUE(Read(text));
      EXPECT_EQ(text, expected);
    }
  }

  MemoryRegistry registry_;
};

TEST_F(RegistryAccessTest, DwordValuesReadAsSignedDecimalText) {
  ExpectReads(kRegDword, {{std::string("\x01\0\0\0", 4), "1"},
                          {std::string("\0\0\0\0", 4), "0"},
                          {std::string("\0\x01\0\0", 4), "256"},  // a zero last byte kept
                          {std::string("\xFE\xFF\xFF\xFF", 4), "-2"},
                          {std::string("\0\0\0\x80", 4), "-2147483648"},
                          {std::string("\xFF\xFF\xFF\x7F", 4), "2147483647"}});
}

TEST_F(RegistryAccessTest, TextsLoseOneTrailingNulAndNothingElse) {
  ExpectReads(kRegSz, {{std::string("abc\0", 4), "abc"},
                       {std::string("abc\0\0", 5), std::string("abc\0", 4)},
                       {" x ", " x "},
                       {"", ""}});
}

TEST_F(RegistryAccessTest, ValuesOfOtherTypesLeaveTheTextAsPassed) {
  Put(3, "\x01\x02");
  std::string text = "as passed";
  EXPECT_TRUE(Read(text));
  EXPECT_EQ(text, "as passed");
}

TEST_F(RegistryAccessTest, ReadsUpToOneKilobyteAndFailsBeyond) {
  std::string text;
  Put(kRegSz, std::string(1024, 'x'));
  EXPECT_TRUE(Read(text));
  EXPECT_EQ(text.size(), 1024u);
  // 1023 characters and their NUL fit as well.
  Put(kRegSz, std::string(1023, 'y') + '\0');
  EXPECT_TRUE(Read(text));
  EXPECT_EQ(text, std::string(1023, 'y'));
  Put(kRegSz, std::string(1025, 'x'));
  text = "before";
  EXPECT_FALSE(Read(text));
  EXPECT_EQ(text, "");
}

TEST_F(RegistryAccessTest, AMissingKeyOrValueFailsWithAnEmptyText) {
  std::string text = "before";
  EXPECT_FALSE(Read(text));
  EXPECT_EQ(text, "");
  Put(kRegSz, "x");
  text = "before";
  EXPECT_FALSE(RegReadValue(Hive::CurrentUser, kKey, "Other", text));
  EXPECT_EQ(text, "");
  text = "before";
  EXPECT_FALSE(RegReadValue(Hive::LocalMachine, kKey, "V", text));
  EXPECT_EQ(text, "");
}

TEST_F(RegistryAccessTest, WritingStoresTheTextWithoutNulAndCreatesTheKey) {
  std::string text = "Caf\xE9";
  EXPECT_TRUE(RegWriteValue(Hive::LocalMachine, "SOFTWARE\\A\\B", "Name", text));
  EXPECT_TRUE(registry_.KeyExists(Hive::LocalMachine, "SOFTWARE\\A\\B"));
  EXPECT_TRUE(registry_.KeyExists(Hive::LocalMachine, "software\\a"));
  const auto value = registry_.Query(Hive::LocalMachine, "SOFTWARE\\A\\B", "Name");
  ASSERT_TRUE(value.has_value());
  EXPECT_EQ(value->Type, kRegSz);
  EXPECT_EQ(value->Data, "Caf\xE9");
  EXPECT_EQ(text, "Caf\xE9");
}

TEST_F(RegistryAccessTest, AnEmptyTextIsWrittenAsOneBlankInTheCallersVariableToo) {
  std::string text;
  EXPECT_TRUE(RegWriteValue(Hive::LocalMachine, "SOFTWARE\\A", "E", text));
  EXPECT_EQ(text, " ");
  EXPECT_EQ(registry_.Query(Hive::LocalMachine, "SOFTWARE\\A", "E")->Data, " ");
  std::string back;
  EXPECT_TRUE(RegReadValue(Hive::LocalMachine, "SOFTWARE\\A", "E", back));
  EXPECT_EQ(back, " ");
}

TEST_F(RegistryAccessTest, AKeyPathWindowsWouldRefuseIsNotWritten) {
  std::string text = "x";
  EXPECT_FALSE(RegWriteValue(Hive::LocalMachine, "SOFTWARE\\\\A", "E", text));
  EXPECT_FALSE(RegWriteValue(Hive::LocalMachine, "\\SOFTWARE", "E", text));
  // An empty text is only turned into its blank once the key could be opened.
  std::string empty;
  EXPECT_FALSE(RegWriteValue(Hive::LocalMachine, "\\SOFTWARE", "E", empty));
  EXPECT_EQ(empty, "");
  EXPECT_TRUE(registry_.Tree().Keys().empty());
}

// A key that opens but a value that cannot be stored (a read-only or full disk): the
// blank replaces the empty text before the write, so the caller holds it all the same.
class RefusingRegistry final : public RegistryBackend {
 public:
  std::optional<RegValue> Query(Hive, std::string_view, std::string_view) override { return {}; }
  bool KeyExists(Hive, std::string_view) override { return true; }
  bool Set(Hive, std::string_view, std::string_view, const RegValue&) override { return false; }
  bool Delete(Hive, std::string_view, std::string_view) override { return false; }
};

TEST_F(RegistryAccessTest, AnEmptyTextBecomesTheBlankOnceTheKeyOpensWhateverTheWrite) {
  RefusingRegistry refusing;
  SetRegistry(&refusing);
  std::string empty;
  EXPECT_FALSE(RegWriteValue(Hive::LocalMachine, "SOFTWARE\\A", "E", empty));
  EXPECT_EQ(empty, " ");
}

}  // namespace
}  // namespace qm
