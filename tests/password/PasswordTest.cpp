// The saver password: hashing, checking, and the change request against a registry
// held in memory, so the test sees exactly what would reach the user's store.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <tuple>

#include "../app/MemoryCap.h"
#include "app/Password.h"
#include "winsys/Registry.h"

namespace qm {
namespace {

class FakeStore final : public RegistryBackend {
 public:
  using Key = std::tuple<uint32_t, std::string, std::string>;
  std::optional<RegValue> Query(Hive hive, std::string_view key, std::string_view name) override {
    const auto it = values.find(MakeKey(hive, key, name));
    if (it == values.end()) return std::nullopt;
    return it->second;
  }
  bool KeyExists(Hive, std::string_view) override { return true; }
  bool Set(Hive hive, std::string_view key, std::string_view name, const RegValue& v) override {
    if (readOnly) return false;
    values[MakeKey(hive, key, name)] = v;
    return true;
  }
  bool Delete(Hive hive, std::string_view key, std::string_view name) override {
    if (readOnly) return false;
    values.erase(MakeKey(hive, key, name));
    return true;
  }
  static Key MakeKey(Hive hive, std::string_view key, std::string_view name) {
    return {static_cast<uint32_t>(hive), std::string(key), std::string(name)};
  }
  bool Has(std::string_view name) const {
    return values.count(MakeKey(Hive::CurrentUser, kDesktopKey, name)) > 0;
  }
  std::string Text(std::string_view name) const {
    const auto it = values.find(MakeKey(Hive::CurrentUser, kDesktopKey, name));
    return it == values.end() ? std::string() : it->second.Data;
  }

  std::map<Key, RegValue> values;
  bool readOnly = false;
};

class PasswordStore : public ::testing::Test {
 protected:
  void SetUp() override { SetRegistry(&store); }
  void TearDown() override { SetRegistry(nullptr); }
  FakeStore store;
};

TEST(PasswordHash, IsSaltedYescryptAndChecksOnlyTheRightPassword) {
  const std::string first = HashPassword("correct horse");
  const std::string second = HashPassword("correct horse");
  ASSERT_EQ(first.rfind("$y$", 0), 0u) << first;
  EXPECT_NE(first, second) << "two hashes of one password must differ by their salt";
  EXPECT_EQ(first.find("correct horse"), std::string::npos);
  EXPECT_TRUE(PasswordMatches("correct horse", first));
  EXPECT_TRUE(PasswordMatches("correct horse", second));
  EXPECT_FALSE(PasswordMatches("correct hors", first));
  EXPECT_FALSE(PasswordMatches("Correct horse", first));
  EXPECT_FALSE(PasswordMatches("", first));
  // The whole hash must agree, every letter and its length: one letter changed in the
  // middle of the checksum, one letter more or one less, and the right password fails.
  std::string changed = first;
  char& middle = changed[changed.size() - 20];
  middle = middle == '.' ? '/' : '.';
  for (const std::string& hash : {changed, first + ".", first.substr(0, first.size() - 1)}) {
    EXPECT_FALSE(PasswordMatches("correct horse", hash)) << hash;
  }
}

TEST(PasswordHash, MalformedHashesMatchNothing) {
  EXPECT_FALSE(PasswordMatches("", ""));
  EXPECT_FALSE(PasswordMatches("x", "not a hash"));
  EXPECT_FALSE(PasswordMatches("x", "$y$"));
  EXPECT_EQ(HashPassword(std::string_view("a\0b", 3)), "");
}

TEST_F(PasswordStore, SettingStoresOnlyTheHashAndTheFlag) {
  EXPECT_FALSE(ScreenSavePasswordIsSet());
  EXPECT_TRUE(CheckScreenSavePassword("")) << "no password: the empty one passes";
  EXPECT_FALSE(CheckScreenSavePassword("anything"));

  ASSERT_EQ(ChangeScreenSavePassword("", "s3cret!", "s3cret!"), PasswordChange::Set);
  EXPECT_TRUE(ScreenSavePasswordIsSet());
  EXPECT_TRUE(store.Has(kUsePasswordValue));
  EXPECT_EQ(store.Text(kPasswordHashValue).rfind("$y$", 0), 0u);
  for (const auto& [key, value] : store.values) {
    EXPECT_EQ(value.Data.find("s3cret"), std::string::npos) << std::get<2>(key);
  }
  EXPECT_TRUE(CheckScreenSavePassword("s3cret!"));
  EXPECT_FALSE(CheckScreenSavePassword("s3cret"));
  EXPECT_FALSE(CheckScreenSavePassword(""));
}

TEST_F(PasswordStore, ChangingNeedsTheOldPasswordAndAMatchingConfirmation) {
  // With no password set yet, whatever the old-password field holds is not looked at.
  ASSERT_EQ(ChangeScreenSavePassword("stale", "one", "one"), PasswordChange::Set);
  ASSERT_EQ(ChangeScreenSavePassword("one", "", ""), PasswordChange::Cleared);
  ASSERT_EQ(ChangeScreenSavePassword("", "one", "one"), PasswordChange::Set);
  const std::string hashBefore = store.Text(kPasswordHashValue);

  EXPECT_EQ(ChangeScreenSavePassword("wrong", "two", "two"), PasswordChange::WrongOldPassword);
  EXPECT_EQ(ChangeScreenSavePassword("one", "two", "tw0"), PasswordChange::ConfirmationDiffers);
  EXPECT_EQ(store.Text(kPasswordHashValue), hashBefore) << "a refused change keeps the hash";

  EXPECT_EQ(ChangeScreenSavePassword("one", "two", "two"), PasswordChange::Set);
  EXPECT_TRUE(CheckScreenSavePassword("two"));
  EXPECT_FALSE(CheckScreenSavePassword("one"));
}

TEST_F(PasswordStore, ANewPasswordLongerThanCryptTakesIsRefusedWhole) {
  // 511 bytes are stored and checked whole; 512 are refused rather than cut.
  const std::string longest(511, 'a');
  ASSERT_EQ(ChangeScreenSavePassword("", longest, longest), PasswordChange::Set);
  EXPECT_TRUE(CheckScreenSavePassword(longest));
  EXPECT_FALSE(CheckScreenSavePassword(longest.substr(0, 510)));
  const std::string over = longest + "b";
  EXPECT_EQ(ChangeScreenSavePassword(longest, over, over), PasswordChange::TooLong);
  EXPECT_TRUE(CheckScreenSavePassword(longest));
}

TEST_F(PasswordStore, AnEmptyNewPasswordClearsHashAndFlag) {
  ASSERT_EQ(ChangeScreenSavePassword("", "one", "one"), PasswordChange::Set);
  EXPECT_EQ(ChangeScreenSavePassword("one", "", ""), PasswordChange::Cleared);
  EXPECT_FALSE(store.Has(kUsePasswordValue));
  EXPECT_FALSE(store.Has(kPasswordHashValue));
  EXPECT_FALSE(ScreenSavePasswordIsSet());
  EXPECT_TRUE(CheckScreenSavePassword(""));
}

TEST_F(PasswordStore, ARefusingStoreKeepsTheOldPassword) {
  ASSERT_EQ(ChangeScreenSavePassword("", "one", "one"), PasswordChange::Set);
  store.readOnly = true;
  EXPECT_EQ(ChangeScreenSavePassword("one", "two", "two"), PasswordChange::NotStored);
  EXPECT_EQ(ChangeScreenSavePassword("one", "", ""), PasswordChange::NotStored);
  EXPECT_TRUE(CheckScreenSavePassword("one"));
  EXPECT_TRUE(store.Has(kUsePasswordValue));
}

// A stored hash that cannot be read counts as no password. The last has parameters no
// yescrypt writes ("k" for "j"), which crypt refuses just as it refuses for want of
// memory.
TEST_F(PasswordStore, AnUnreadableStoredHashFallsBackToTheEmptyPassword) {
  store.values[FakeStore::MakeKey(Hive::CurrentUser, kDesktopKey, kUsePasswordValue)] =
      RegValue{kRegSz, "1"};
  for (const char* hash :
       {"garbage", "$zz$nothing-we-know", "$y$", "$y$j9T", "$y$j9T$abc$",
        "$y$j9T$F5Jx5fExrKuPp53xLKQ..1$X3DX6M94c7o",
        "$y$j9T$F5Jx5fExrKuPp53xLKQ..1$X3DX6M94c7o.9agCG9G317fhZg9SqC.5i5rd.RhAtQ7A",
        "$y$k9T$F5Jx5fExrKuPp53xLKQ..1$X3DX6M94c7o.9agCG9G317fhZg9SqC.5i5rd.RhAtQ7"}) {
    store.values[FakeStore::MakeKey(Hive::CurrentUser, kDesktopKey, kPasswordHashValue)] =
        RegValue{kRegSz, hash};
    EXPECT_TRUE(CheckScreenSavePassword("")) << hash;
    EXPECT_FALSE(CheckScreenSavePassword("x")) << hash;
    EXPECT_FALSE(CheckScreenSavePassword(hash)) << hash;
  }
  // And the user can set a real one without knowing any old one.
  EXPECT_EQ(ChangeScreenSavePassword("", "new", "new"), PasswordChange::Set);
  EXPECT_TRUE(CheckScreenSavePassword("new"));
}

// yescrypt needs 16 MiB for every check: without it the check fails, and the empty
// password must not open the lock then. Run in a child whose address space is capped
// just above what it already uses (the sanitizers reserve far more, so not there).
TEST_F(PasswordStore, ACheckThatRunsOutOfMemoryIsAWrongPassword) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the address sanitizer needs an unlimited address space";
#else
  ASSERT_EQ(ChangeScreenSavePassword("", "secret", "secret"), PasswordChange::Set);
  // 0: the empty password was refused, as it must be; 1: it opened the lock.
  EXPECT_EQ(
      testing::ExitWithMemoryCap(4u << 20, [] { return CheckScreenSavePassword("") ? 1 : 0; }), 0);
  // But a checksum one letter too long is no hash yescrypt writes: unreadable, as it is
  // with memory enough, and not a lock that nothing opens.
  store.values[FakeStore::MakeKey(Hive::CurrentUser, kDesktopKey, kPasswordHashValue)] = RegValue{
      kRegSz, "$y$j9T$F5Jx5fExrKuPp53xLKQ..1$X3DX6M94c7o.9agCG9G317fhZg9SqC.5i5rd.RhAtQ7A"};
  EXPECT_EQ(
      testing::ExitWithMemoryCap(4u << 20, [] { return CheckScreenSavePassword("") ? 1 : 0; }), 1);
  // yescrypt hashes with an empty salt too (this is "secret" so, as libxcrypt writes it):
  // a hand-written hash of that form is a lock like any other, with memory or without.
  store.values[FakeStore::MakeKey(Hive::CurrentUser, kDesktopKey, kPasswordHashValue)] =
      RegValue{kRegSz, "$y$j9T$$kqN0Js9nF7eERE.51024UC4tcxd3UwTViEvi9nw9G41"};
  EXPECT_TRUE(CheckScreenSavePassword("secret"));
  EXPECT_FALSE(CheckScreenSavePassword(""));
  EXPECT_EQ(
      testing::ExitWithMemoryCap(4u << 20, [] { return CheckScreenSavePassword("") ? 1 : 0; }), 0);
#endif
}

}  // namespace
}  // namespace qm
