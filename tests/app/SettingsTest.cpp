#include <gtest/gtest.h>

#include <string>

#include "WatchedRegistry.h"
#include "app/Settings.h"
#include "winsys/MemoryRegistry.h"

namespace qm {
namespace {

class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override { SetRegistry(&registry_); }
  void TearDown() override { SetRegistry(nullptr); }

  void Store(const char* name, const std::string& text) {
    ASSERT_TRUE(registry_.Set(Hive::LocalMachine, SettingsKey, name, RegValue{kRegSz, text}));
  }
  std::optional<RegValue> Stored(const char* name) {
    return registry_.Query(Hive::LocalMachine, SettingsKey, name);
  }
  // Loads with only `name` stored as `text`.
  void LoadWith(const char* name, const std::string& text) {
    registry_ = MemoryRegistry();
    Store(name, text);
    LoadSettings();
  }

  MemoryRegistry registry_;
};

void ExpectDefaults() {
  EXPECT_EQ(SpriteCount, 8);
  EXPECT_FALSE(TracersOn);
  EXPECT_EQ(RefreshRate, 100);
  EXPECT_FALSE(RateRandom);
  EXPECT_EQ(SpriteSize, 25);
  EXPECT_TRUE(SizeRandom);
  EXPECT_EQ(SpriteSpeed, 1);
  EXPECT_FALSE(SpeedRandom);
  EXPECT_EQ(Email, "kzt@qv.example");
  EXPECT_EQ(Url, "http://qv.example/");
  EXPECT_EQ(Saver, "1");
  EXPECT_EQ(Mouse, "0");
  EXPECT_EQ(Tela, "0");
  EXPECT_EQ(Senha, "1");
  EXPECT_EQ(BolasNum, "4");
  EXPECT_EQ(BolasVel, "6");
  EXPECT_EQ(TrofeusNum, "4");
  EXPECT_EQ(TrofeusVel, "5");
  EXPECT_EQ(TrofeusTipo, "2");
  EXPECT_EQ(SS03Vel, "1");
  EXPECT_EQ(SS04Vel, "3");
  EXPECT_EQ(SS05Vel, "4");
}

TEST_F(SettingsTest, WithNoKeyEverySettingTakesItsDefault) {
  Saver = "junk from before";
  SpriteCount = -7;
  LoadSettings();
  ExpectDefaults();
}

TEST_F(SettingsTest, OnlyTheMachineHiveCounts) {
  ASSERT_TRUE(registry_.Set(Hive::CurrentUser, SettingsKey, "Saver", RegValue{kRegSz, "3"}));
  LoadSettings();
  EXPECT_EQ(Saver, "1");
}

TEST_F(SettingsTest, TheKeyPathAndValueNamesMatchInAnyLetterCase) {
  ASSERT_TRUE(registry_.Set(Hive::LocalMachine, "software\\QUORVANA\\quorvana saver", "saVER",
                            RegValue{kRegSz, "5"}));
  LoadSettings();
  EXPECT_EQ(Saver, "5");
}

TEST_F(SettingsTest, SpriteCountIsRoundedThenBoundedToOneToThirty) {
  const std::pair<const char*, int32_t> cases[] = {
      {"0", 8},   {"45", 30}, {"12.5", 12}, {"13.5", 14}, {"-5", 8},  {"1", 1},     {"30", 30},
      {"31", 30}, {"0.5", 8}, {"0.51", 1},  {"abc", 8},   {" 7x", 7}, {"30.5", 30}, {"1e1", 10}};
  for (const auto& [text, expected] : cases) {
    LoadWith("SpriteCount", text);
    EXPECT_EQ(SpriteCount, expected) << '"' << text << '"';
  }
}

TEST_F(SettingsTest, RefreshRateBelowOneOrAboveHundredBecomesHundred) {
  const std::pair<const char*, int32_t> cases[] = {{"0", 100},   {"101", 100}, {"50", 50}, {"1", 1},
                                                   {"0.5", 100}, {"1.5", 2},   {"-1", 100}};
  for (const auto& [text, expected] : cases) {
    LoadWith("RefreshRate", text);
    EXPECT_EQ(RefreshRate, expected) << '"' << text << '"';
  }
}

TEST_F(SettingsTest, SpriteSizeIsBoundedToTwentyFiveToHundredFifty) {
  const std::pair<const char*, int32_t> cases[] = {{"10", 25},   {"200", 150},  {"100", 100},
                                                   {"25", 25},   {"24.5", 25},  {"150.5", 150},
                                                   {"151", 150}, {"149.5", 150}};
  for (const auto& [text, expected] : cases) {
    LoadWith("SpriteSize", text);
    EXPECT_EQ(SpriteSize, expected) << '"' << text << '"';
  }
}

TEST_F(SettingsTest, SpriteSpeedIsBoundedToOneToFifty) {
  const std::pair<const char*, int32_t> cases[] = {
      {"0", 1}, {"51", 50}, {"50", 50}, {"17", 17}, {"-3", 1}};
  for (const auto& [text, expected] : cases) {
    LoadWith("SpriteSpeed", text);
    EXPECT_EQ(SpriteSpeed, expected) << '"' << text << '"';
  }
}

TEST_F(SettingsTest, BooleansAreTrueOnlyForTheExactTextTRUE) {
  const std::pair<const char*, bool*> booleans[] = {{"TracersOn", &TracersOn},
                                                    {"RateRandom", &RateRandom},
                                                    {"SizeRandom", &SizeRandom},
                                                    {"SpeedRandom", &SpeedRandom}};
  for (const auto& [name, variable] : booleans) {
    LoadWith(name, "TRUE");
    EXPECT_TRUE(*variable) << name;
    for (const char* text : {"True", "true", " TRUE", "TRUE ", "FALSE", "1", " "}) {
      LoadWith(name, text);
      EXPECT_FALSE(*variable) << name << " \"" << text << '"';
    }
  }
}

TEST_F(SettingsTest, SizeRandomIsTrueWhenItsTextIsEmpty) {
  LoadWith("SizeRandom", "");
  EXPECT_TRUE(SizeRandom);
  LoadWith("TracersOn", "");
  EXPECT_FALSE(TracersOn);
}

TEST_F(SettingsTest, TextsTakeTheirDefaultOnlyWhenEmptyAndAreNotTrimmed) {
  LoadWith("Saver", "3");
  EXPECT_EQ(Saver, "3");
  LoadWith("Saver", " ");
  EXPECT_EQ(Saver, " ");
  LoadWith("Saver", "");
  EXPECT_EQ(Saver, "1");
  LoadWith("BolasVel", " 9 ");
  EXPECT_EQ(BolasVel, " 9 ");
  LoadWith("Email", "");
  EXPECT_EQ(Email, "kzt@qv.example");
  LoadWith("Url", "x");
  EXPECT_EQ(Url, "x");
}

TEST_F(SettingsTest, AValueTooLongToReadFallsBackToItsDefault) {
  LoadWith("TrofeusTipo", std::string(1025, '3'));
  EXPECT_EQ(TrofeusTipo, "2");
  LoadWith("TrofeusTipo", std::string(1024, '3'));
  EXPECT_EQ(TrofeusTipo, std::string(1024, '3'));
}

TEST_F(SettingsTest, SavingWritesEveryValueAsTextAndCreatesTheKey) {
  ASSERT_FALSE(registry_.KeyExists(Hive::LocalMachine, SettingsKey));
  LoadSettings();
  SpriteCount = 12;
  TracersOn = true;
  RefreshRate = -5;
  SizeRandom = false;
  Saver = "4";
  SS05Vel = "\xE7";  // 8-bit text passes as it is
  SaveSettings();

  ASSERT_TRUE(registry_.KeyExists(Hive::LocalMachine, SettingsKey));
  const std::pair<const char*, std::string> expected[] = {{"SpriteCount", "12"},
                                                          {"TracersOn", "TRUE"},
                                                          {"RefreshRate", "-5"},
                                                          {"RateRandom", "FALSE"},
                                                          {"SpriteSize", "25"},
                                                          {"SizeRandom", "FALSE"},
                                                          {"SpriteSpeed", "1"},
                                                          {"SpeedRandom", "FALSE"},
                                                          {"Email", "kzt@qv.example"},
                                                          {"Url", "http://qv.example/"},
                                                          {"Saver", "4"},
                                                          {"Mouse", "0"},
                                                          {"Tela", "0"},
                                                          {"Senha", "1"},
                                                          {"BolasNum", "4"},
                                                          {"BolasVel", "6"},
                                                          {"TrofeusNum", "4"},
                                                          {"TrofeusVel", "5"},
                                                          {"TrofeusTipo", "2"},
                                                          {"SS03Vel", "1"},
                                                          {"SS04Vel", "3"},
                                                          {"SS05Vel", "\xE7"}};
  for (const auto& [name, text] : expected) {
    const auto value = Stored(name);
    ASSERT_TRUE(value.has_value()) << name;
    EXPECT_EQ(value->Type, kRegSz) << name;
    EXPECT_EQ(value->Data, text) << name;  // no terminating NUL
  }
  EXPECT_EQ(registry_.Tree().Keys().size(), 1u);
  EXPECT_EQ(registry_.Tree().Keys()[0].Values.size(), 22u);
}

TEST_F(SettingsTest, AnEmptyTextIsSavedAsOneBlankAndReadsBackAsTheBlank) {
  LoadSettings();
  Email.clear();
  Tela.clear();
  SaveSettings();
  EXPECT_EQ(Email, " ");  // the variable itself changed too
  EXPECT_EQ(Tela, " ");
  EXPECT_EQ(Stored("Email")->Data, " ");
  LoadSettings();
  EXPECT_EQ(Email, " ");
  EXPECT_EQ(Tela, " ");
}

// The settings are loaded from one reading of the store and saved in one change of it,
// not one for each of them.
TEST(SettingsStore, LoadingReadsAndSavingWritesEverySettingWithinOneHold) {
  testing::WatchedRegistry registry;
  SetRegistry(&registry);
  LoadSettings();
  EXPECT_EQ(registry.held, 22);
  EXPECT_EQ(registry.unheld, 0);
  EXPECT_EQ(registry.Holds(), 0);
  SaveSettings();
  SetRegistry(nullptr);
  EXPECT_EQ(registry.heldSets, 22);
  EXPECT_EQ(registry.unheldSets, 0);
  EXPECT_EQ(registry.Holds(), 0);
}

}  // namespace
}  // namespace qm
