#include "SetupTestEnv.h"
#include "app/Settings.h"
#include "setup/frmAbout.h"

namespace qm::testing {
namespace {

constexpr Pixel kBlue = 0x0000FF;
constexpr Pixel kRed = 0xFF0000;

class AboutTest : public SetupWorld {
 protected:
  void SetUp() override {
    SetupWorld::SetUp();
    Store("Email", "fan@example.org");
    Store("Url", "http://example.org/cup");
    about.Form_Load();
  }
  frmAbout about;  // opened on the contacts above
};

TEST_F(AboutTest, OpeningShowsContactsAndVersion) {
  EXPECT_EQ(about.Text1, "fan@example.org");
  EXPECT_EQ(about.Text2, "http://example.org/cup");
  EXPECT_EQ(about.ContactCaption(2), "Email: fan@example.org");
  EXPECT_EQ(about.ContactCaption(3), "WWW: http://example.org/cup");
  EXPECT_EQ(about.lblVersion, "Version 1.2.0");
  EXPECT_EQ(about.ContactColor(2), kBlue);
  EXPECT_EQ(about.ContactColor(3), kBlue);
}

TEST_F(AboutTest, HoverTurnsOneLineRedAtATime) {
  about.lblDescription_MouseMove(2);
  EXPECT_EQ(about.ContactColor(2), kRed);
  EXPECT_EQ(about.ContactColor(3), kBlue);
  about.lblDescription_MouseMove(3);  // straight from one line onto the other
  EXPECT_EQ(about.ContactColor(3), kRed);
  EXPECT_EQ(about.ContactColor(2), kBlue);
  about.lblDescription2_MouseMove(2);
  EXPECT_EQ(about.ContactColor(3), kBlue);
  about.lblDescription_MouseMove(2);
  about.Form_MouseMove();
  EXPECT_EQ(about.ContactColor(2), kBlue);
}

TEST_F(AboutTest, ClickingAContactAsksTheShellWithTheStoredValue) {
  about.lblDescription_Click(2);
  ASSERT_EQ(host.shellOpened.size(), 1u);
  EXPECT_EQ(host.shellOpened[0].first, "mailto:fan@example.org");
  EXPECT_EQ(host.shellOpened[0].second, "c:\\");

  Store("Url", "http://example.org/new");  // stored after opening: the click reloads
  about.lblDescription_Click(3);
  ASSERT_EQ(host.shellOpened.size(), 2u);
  EXPECT_EQ(host.shellOpened[1].first, "http://example.org/new");
  EXPECT_EQ(host.shellOpened[1].second, "c:\\");
  EXPECT_EQ(about.ContactCaption(3), "WWW: http://example.org/cup");
}

TEST_F(AboutTest, OkStoresEverySettingAsLoadedTheCloseBoxNothing) {
  Store("Saver", "3");
  frmAbout closed;
  closed.Form_Load();
  closed.Text1 = "other@example.org";
  closed.Unload();
  EXPECT_TRUE(closed.IsClosed());
  EXPECT_EQ(Stored("Email"), "fan@example.org");
  EXPECT_FALSE(Stored("BolasVel").has_value());

  frmAbout ok;
  ok.Form_Load();
  ok.Text1 = "other@example.org";
  ok.cmdOK_Click();
  EXPECT_TRUE(ok.IsClosed());
  EXPECT_EQ(Stored("Email"), "other@example.org");
  EXPECT_EQ(Stored("Url"), "http://example.org/cup");
  EXPECT_EQ(Stored("Saver"), "3");
  EXPECT_EQ(Stored("BolasVel"), "6");
}

TEST_F(AboutTest, SystemInfoUnavailableLeavesTheBoxOpen) {
  about.cmdSysInfo_Click();
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].first, "System Information Is Unavailable At This Time");
  EXPECT_FALSE(about.IsClosed());
}

}  // namespace
}  // namespace qm::testing
