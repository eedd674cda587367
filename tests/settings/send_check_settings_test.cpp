// The check before sending: on for a new store, off with a one-time offer for an older one,
// its limit and own domains kept in the settings file.
#include <gtest/gtest.h>

#include "platform/text_file.h"
#include "settings/app_settings.h"
#include "settings/profile_file.h"
#include "settings/send_check_settings.h"
#include "tests/support/temp_dir.h"

namespace plumex {
namespace {

TEST(SendCheckSettings, ANewStoreHasItOnAndKeepsItOn) {
  test::TempDir root;
  EXPECT_TRUE(SendCheckSettings::Load(root.path()).on);
  EXPECT_FALSE(SendCheckOfferDue(root.path()));  // new: nothing to offer, the decision is written
  AppSettings().Save(root.path());               // the window's own keys at exit
  const SendCheckSettings s = SendCheckSettings::Load(root.path());
  EXPECT_TRUE(s.decided);
  EXPECT_TRUE(s.on);
  EXPECT_EQ(s.external_limit, 5);
}

TEST(SendCheckSettings, AnOlderStoreHasItOffAndIsOfferedItOnce) {
  test::TempDir root;
  AppSettings().Save(root.path());  // a settings file from before the check
  EXPECT_FALSE(SendCheckSettings::Load(root.path()).on);
  EXPECT_TRUE(SendCheckOfferDue(root.path()));
  SettleSendCheck(root.path(), false);
  EXPECT_FALSE(SendCheckOfferDue(root.path()));
  EXPECT_FALSE(SendCheckSettings::Load(root.path()).on);
  SettleSendCheck(root.path(), true);  // "使う"
  EXPECT_TRUE(SendCheckSettings::Load(root.path()).on);
  EXPECT_EQ(AppSettings::Load(root.path()).form_width, AppSettings().form_width);  // the rest is kept
}

TEST(SendCheckSettings, LimitAndDomainsRoundTrip) {
  test::TempDir root;
  SendCheckSettings s;
  s.on = false;
  s.external_limit = 12;
  s.own_domains = SendCheckSettings::ParseDomains("@Group.Example; sub.example.co.jp,, .other.example  group.example");
  EXPECT_EQ(s.own_domains, (std::vector<std::string>{"group.example", "sub.example.co.jp", "other.example"}));
  s.Save(root.path());
  const SendCheckSettings back = SendCheckSettings::Load(root.path());
  EXPECT_FALSE(back.on);
  EXPECT_EQ(back.external_limit, 12);
  EXPECT_EQ(back.own_domains, s.own_domains);
  EXPECT_EQ(back.DomainsText(), "group.example, sub.example.co.jp, other.example");
}

}  // namespace
}  // namespace plumex
