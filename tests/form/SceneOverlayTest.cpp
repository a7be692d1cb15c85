// A scene chosen on the command line (--render, XScreenSaver's --scene) is loaded as if
// it were the stored one: its own banner switch and interval included, with the store
// left as it was.
#include <gtest/gtest.h>

#include <string>

#include "../app/TempDir.h"
#include "../app/WatchedRegistry.h"
#include "app/Settings.h"
#include "headless/Runner.h"
#include "headless/SceneOverlay.h"
#include "winsys/MemoryRegistry.h"

namespace qm::headless {
namespace {

class SceneOverlayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Banners off in scene 1, every 1.5 s in scene 3.
    testing::WriteFile(folder_ / "kzt.ini",
                       "[1]\r\nLIGADO=0\r\nTEMPO=800\r\n[3]\r\nLIGADO=1\r\nTEMPO=1500\r\n");
    previous_ = &Registry();
  }
  void TearDown() override {
    SetRegistry(previous_);
    // A whole-string assignment: GCC 12 raises a false -Wrestrict on assigning a short
    // literal to this global at -O2.
    Saver = std::string("1");
  }
  void Store(const std::string& name, const std::string& value) {
    ASSERT_TRUE(store_.Set(Hive::LocalMachine, SettingsKey, name, RegValue{kRegSz, value}));
  }
  // Loads a saver window over `registry`; the window's timers as they stand after Load.
  struct Loaded {
    std::string scene;
    bool bannersOn;
    int interval;
  };
  Loaded LoadWith(RegistryBackend& registry) {
    SetRegistry(&registry);
    Runner r({.width = 640, .height = 480});
    r.Host().programFolder = folder_.Path().string();
    r.Load();
    return {Saver, r.Form().Timer2.Enabled, r.Form().Timer2.Interval};
  }

  // A folder of this test's own: ctest runs the tests of this file side by side.
  testing::TempDir folder_;
  MemoryRegistry store_;
  RegistryBackend* previous_ = nullptr;
};

TEST_F(SceneOverlayTest, TheChosenScenesBannerSettingsApply) {
  Store("Saver", "1");
  SceneOverlay three(store_, "3");
  const Loaded a = LoadWith(three);
  EXPECT_EQ(a.scene, "3");
  EXPECT_TRUE(a.bannersOn);
  EXPECT_EQ(a.interval, 1500);

  Store("Saver", "3");
  SceneOverlay one(store_, "1");
  const Loaded b = LoadWith(one);
  EXPECT_EQ(b.scene, "1");
  EXPECT_FALSE(b.bannersOn);
}

TEST_F(SceneOverlayTest, OtherSettingsReadThroughAndNothingIsWritten) {
  Store("Saver", "2");
  Store("BolasNum", "7");
  SceneOverlay overlay(store_, "4");
  const auto balls = overlay.Query(Hive::LocalMachine, SettingsKey, "BolasNum");
  ASSERT_TRUE(balls);
  EXPECT_EQ(balls->Data, "7");
  // Names match whatever their case, as the registry's do.
  const auto scene =
      overlay.Query(Hive::LocalMachine, "software\\quorvana\\QUORVANA SAVER", "saver");
  ASSERT_TRUE(scene);
  EXPECT_EQ(scene->Data, "4");
  // Another hive's value of the same name is not the scene.
  EXPECT_FALSE(overlay.Query(Hive::CurrentUser, SettingsKey, "Saver"));

  EXPECT_FALSE(overlay.Set(Hive::LocalMachine, SettingsKey, "BolasNum", RegValue{kRegSz, "9"}));
  EXPECT_FALSE(overlay.Delete(Hive::LocalMachine, SettingsKey, "Saver"));
  EXPECT_EQ(store_.Query(Hive::LocalMachine, SettingsKey, "BolasNum")->Data, "7");
  EXPECT_EQ(store_.Query(Hive::LocalMachine, SettingsKey, "Saver")->Data, "2");
}

// The settings are read through the overlay from one reading of the store, as without
// it: 21 reads reach the store, all held (the scene is the overlay's own answer).
TEST_F(SceneOverlayTest, SettingsAreReadThroughItWithinOneHoldOfTheStore) {
  testing::WatchedRegistry store;
  SceneOverlay overlay(store, "2");
  SetRegistry(&overlay);
  LoadSettings();
  EXPECT_EQ(Saver, "2");
  EXPECT_EQ(store.held, 21);
  EXPECT_EQ(store.unheld, 0);
  EXPECT_EQ(store.Holds(), 0);
}

}  // namespace
}  // namespace qm::headless
