// What only the in-memory registry can show: its failure injection, and a
// value that grows between the layer's two queries.
#include <gtest/gtest.h>

#include "platform/sim/SimRegistry.h"
#include "store/RegistryModule.h"
#include "store/modRegistry.h"

namespace pm::tests {
namespace {

using platform::RootKey;
using store::RegValue;
namespace RegistryModule = store::RegistryModule;
namespace modRegistry = store::modRegistry;
constexpr RootKey kHklm = RootKey::LocalMachine;

TEST(SimRegistryTest, DeniedKeyRefusesEveryChangeButStillReads) {
  sim::SimRegistry registry;
  ASSERT_TRUE(RegistryModule::WriteValue(registry, kHklm, "SOFTWARE\\Locked", "V", "kept"));
  registry.DenyWrites(kHklm, "software\\LOCKED");
  EXPECT_EQ(RegistryModule::WriteValue(registry, kHklm, "SOFTWARE\\Locked", "V", "new").code(),
            platform::reg_error::kAccessDenied);
  EXPECT_FALSE(RegistryModule::WriteValue(registry, kHklm, "SOFTWARE\\Locked\\Sub", "V", "x"));
  EXPECT_FALSE(modRegistry::DeleteValue(registry, kHklm, "SOFTWARE\\Locked", "V"));
  EXPECT_FALSE(RegistryModule::DeleteKey(registry, kHklm, "SOFTWARE\\Locked"));
  EXPECT_EQ(RegistryModule::ReadValue(registry, kHklm, "SOFTWARE\\Locked", "V"), RegValue("kept"));
  EXPECT_TRUE(RegistryModule::WriteValue(registry, kHklm, "SOFTWARE\\Open", "V", "x"));
}

TEST(SimRegistryTest, TheChosenWriteFailsOnceAndTheOthersSucceed) {
  sim::SimRegistry registry;
  ASSERT_TRUE(RegistryModule::WriteValue(registry, kHklm, "SOFTWARE\\K", "A", "a"));
  registry.FailNthWrite(1);
  EXPECT_TRUE(RegistryModule::WriteValue(registry, kHklm, "SOFTWARE\\K", "B", "b"));
  EXPECT_EQ(RegistryModule::WriteValue(registry, kHklm, "SOFTWARE\\K", "C", "c").code(),
            platform::reg_error::kWriteFault);
  EXPECT_TRUE(RegistryModule::WriteValue(registry, kHklm, "SOFTWARE\\K", "D", "d"));
  EXPECT_TRUE(RegistryModule::ReadValue(registry, kHklm, "SOFTWARE\\K", "C").IsEmpty());
}

TEST(SimRegistryTest, AValueThatGrowsBetweenQueriesIsQueriedAgainUntilItFits) {
  sim::SimRegistry registry;
  ASSERT_TRUE(
      RegistryModule::WriteValue(registry, kHklm, "SOFTWARE\\K", "V", std::string(2000, 'a')));
  int grown = 0;
  registry.SetAfterQueryHook([&] {
    if (grown++ < 3) {
      EXPECT_TRUE(RegistryModule::WriteValue(registry, kHklm, "SOFTWARE\\K", "V",
                                             std::string(2000 + 1000 * grown, 'b')));
    }
  });
  const RegValue value = RegistryModule::ReadValue(registry, kHklm, "SOFTWARE\\K", "V");
  registry.SetAfterQueryHook(nullptr);
  EXPECT_EQ(value, RegValue(std::string(5000, 'b')));
}

TEST(SimRegistryTest, SaveWithoutTheBackupPrivilegeTouchesNoFile) {
  sim::SimRegistry registry;
  ASSERT_TRUE(RegistryModule::WriteValue(registry, kHklm, "SOFTWARE\\K", "V", "x"));
  const std::string file = testing::TempDir() + "pm-no-privilege.hiv";
  {
    std::FILE* f = std::fopen(file.c_str(), "w");
    std::fputs("older", f);
    std::fclose(f);
  }
  registry.SetPrivilegeGrantable("SeBackupPrivilege", false);
  EXPECT_EQ(modRegistry::SaveKeyToFile(registry, kHklm, "SOFTWARE\\K", file).code(),
            platform::reg_error::kPrivilegeNotHeld);
  char buffer[16] = {};
  std::FILE* f = std::fopen(file.c_str(), "r");
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(std::fread(buffer, 1, sizeof buffer - 1, f), 5u);
  std::fclose(f);
  EXPECT_STREQ(buffer, "older");
  std::remove(file.c_str());
}

TEST(SimRegistryTest, EveryOperationClosesTheKeyItOpened) {
  sim::SimRegistry registry;
  EXPECT_TRUE(RegistryModule::WriteValue(registry, kHklm, "SOFTWARE\\K", "V", "x"));
  RegistryModule::ReadValue(registry, kHklm, "SOFTWARE\\K", "V");
  RegistryModule::ReadValue(registry, kHklm, "SOFTWARE\\Missing", "V");
  RegistryModule::EnsureKey(registry, kHklm, "SOFTWARE\\K2");
  EXPECT_TRUE(modRegistry::DeleteValue(registry, kHklm, "SOFTWARE\\K", "V"));
  EXPECT_EQ(registry.OpenHandleCount(), 0u);
}

}  // namespace
}  // namespace pm::tests
