// What is in force where an administrator's policy and the PC's own settings
// meet: the policy's value wherever one exists, its password only as a hash.
#include <gtest/gtest.h>

#include "platform/sim/SimRegistry.h"
#include "store/ItemLists.h"
#include "store/PasswordCheck.h"
#include "store/PolicySettings.h"
#include "store/RegistryModule.h"
#include "store/SettingsCatalogue.h"
#include "store/StoreTestSupport.h"

namespace pm::tests {
namespace {

using store::kPolicySettingsKey;
using store::kSettingsKey;
using store::Switch;

constexpr std::uint32_t kFewRounds = 1000;

class PolicySettingsTest : public ::testing::Test {
 protected:
  sim::SimRegistry registry_;
};

TEST_F(PolicySettingsTest, APolicySwitchWinsEitherWayAndOnlyWhereItExists) {
  StoreText(registry_, kSettingsKey, "BlankScreen", "0");
  StoreText(registry_, kSettingsKey, "LockZip", "1");
  StoreText(registry_, kSettingsKey, "HideMenu", "1");
  StoreText(registry_, kPolicySettingsKey, "BlankScreen", "1");
  StoreText(registry_, kPolicySettingsKey, "LockZip", "0");
  // A value of another type is no policy, as it is no setting of the PC.
  EXPECT_TRUE(store::RegistryModule::WriteValue(registry_, store::kRootKey, kPolicySettingsKey,
                                                "HideMenu", std::int32_t{0}));
  EXPECT_TRUE(store::ReadSwitch(registry_, Switch::BlankScreen));
  EXPECT_FALSE(store::ReadSwitch(registry_, Switch::LockZip));
  EXPECT_TRUE(store::ReadSwitch(registry_, Switch::HideMenu));
  EXPECT_FALSE(store::IsSetByPolicy(registry_, "HideMenu"));
  EXPECT_EQ(store::ReadSetting(registry_, "BlankScreen"), "0") << "the PC's own stays as stored";
}

TEST_F(PolicySettingsTest, EachTimerOfThePolicyReplacesThePCsOwn) {
  StoreText(registry_, kSettingsKey, "TimeDelay", "10");
  StoreText(registry_, kSettingsKey, "relock", "5");
  StoreText(registry_, kPolicySettingsKey, "TimeDelay", "30");
  const store::TimerSettings timers = store::ReadTimerSettings(registry_, 0);
  EXPECT_EQ(timers.timeDelay, 30);
  EXPECT_EQ(timers.relockMinutes, 5);
}

TEST_F(PolicySettingsTest, TheSameReaderReadsThePCsListsAndTheAdministrators) {
  StoreText(registry_, store::kItemListKey, "Window0", "Notepad,1");
  StoreText(registry_, "SOFTWARE\\Policies\\Pelmora Pro\\Windows", "Window1", "Calculator,1");
  StoreText(registry_, "SOFTWARE\\Policies\\Pelmora Pro\\Windows", "Window2", "Paint,0");
  StoreText(registry_, "SOFTWARE\\Policies\\Pelmora Pro\\Windows3", "Window1", "Help");
  EXPECT_EQ(store::ReadItemList(registry_), (std::vector<store::ListItem>{{"Notepad", true}}));
  EXPECT_EQ(store::ReadItemList(registry_, store::kPolicyKey),
            (std::vector<store::ListItem>{{"Calculator", true}, {"Paint", false}}));
  EXPECT_EQ(store::ReadIgnoreList(registry_, store::kPolicyKey), std::vector<std::string>{"Help"});
}

struct PolicyPasswordCase {
  std::string name;
  std::optional<std::string> policy;
  std::string opens;  // a typed password the result must open; empty for none
  std::string refuses;
};

class PolicyPasswordTest : public PolicySettingsTest,
                           public ::testing::WithParamInterface<PolicyPasswordCase> {};

TEST_P(PolicyPasswordTest, StandsForBothLocalPasswordsOnlyAsAHash) {
  StoreText(registry_, kSettingsKey, "UserPassword", store::HashPassword("owner", kFewRounds));
  StoreText(registry_, kSettingsKey, "UserPassword2", store::HashPassword("tool", kFewRounds));
  if (GetParam().policy)
    StoreText(registry_, kPolicySettingsKey, "UserPassword", *GetParam().policy);
  for (std::string_view name : {store::setting::kUserPassword, store::setting::kUserPassword2}) {
    SCOPED_TRACE(name);
    const std::string inForce = store::ReadPassword(registry_, name);
    EXPECT_FALSE(inForce.empty()) << "a locked PC never reads as unprotected";
    if (!GetParam().opens.empty()) {
      EXPECT_TRUE(store::PasswordMatches(GetParam().opens, inForce));
    }
    EXPECT_FALSE(store::PasswordMatches(GetParam().refuses, inForce));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Policies, PolicyPasswordTest,
    ::testing::Values(
        PolicyPasswordCase{"NoneLeavesThePCsOwn", std::nullopt, "", "admin"},
        PolicyPasswordCase{"AnEmptyOneLeavesThePCsOwn", "", "", "admin"},
        PolicyPasswordCase{"AHashReplacesBoth", store::HashPassword("admin", kFewRounds), "ADMIN",
                           "owner"},
        PolicyPasswordCase{"BlanksPastedAroundItAreNoPartOfIt",
                           "  " + store::HashPassword("admin", kFewRounds) + "\r\n", "admin",
                           "owner"},
        // Readable by every user of the domain: opens nothing, not even itself.
        PolicyPasswordCase{"PlainTextOpensNothing", "admin", "", "admin"},
        PolicyPasswordCase{"ABrokenHashOpensNothing", "pbkdf2-sha256$1$xx$yy", "", "owner"}),
    [](const auto& info) { return info.param.name; });

TEST_F(PolicySettingsTest, OnlyTheAdministratorsKeyCountsAsPolicy) {
  EXPECT_TRUE(store::IsPolicyPath("SOFTWARE\\Policies\\Pelmora Pro"));
  EXPECT_TRUE(store::IsPolicyPath("software\\policies\\pelmora pro\\Windows"));
  EXPECT_FALSE(store::IsPolicyPath("SOFTWARE\\Policies\\Pelmora Professional"));
  EXPECT_FALSE(store::IsPolicyPath("SOFTWARE\\Pelmora Pro"));
}

}  // namespace
}  // namespace pm::tests
