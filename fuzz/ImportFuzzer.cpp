// libFuzzer target: the whole import of an export file into a registry that
// holds settings, on any bytes, with one registry write made to fail for
// some inputs. A refused or failed import must leave every key and value as
// it was; an accepted one is then read by every settings and list reader,
// which must cope with whatever types and data the file stored.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string_view>

#include "platform/Text.h"
#include "platform/sim/SimRegistry.h"
#include "store/ItemLists.h"
#include "store/RegFile.h"
#include "store/RegistryModule.h"
#include "store/RegistrySnapshot.h"
#include "store/SettingsCatalogue.h"
#include "store/SettingsFile.h"

namespace {

using namespace pm;

void Stored(const store::RegResult& result) {
  if (!result) std::abort();
}

void StoreSettings(platform::Registry& registry) {
  Stored(store::WriteSetting(registry, store::setting::kUserPassword, "secret"));
  Stored(store::WriteSetting(registry, "LockZip", "1"));
  Stored(store::WriteSetting(registry, store::setting::kTimeDelay, "30"));
  const store::ListItem items[] = {{"Notepad", true}, {"Paint", false}};
  const std::string ignore[] = {"Exit"};
  Stored(store::WriteLists(registry, items, ignore));
  Stored(store::RegistryModule::WriteValue(registry, store::kRootKey, store::kRunOnceKey, "Other",
                                           "C:\\other.exe"));
}

void ReadEverything(platform::Registry& registry) {
  for (const store::SwitchInfo& info : store::Switches()) store::ReadSwitch(registry, info.id);
  for (std::string_view name : {store::setting::kUserPassword, store::setting::kUserPassword2}) {
    store::ReadPassword(registry, name);
  }
  for (std::string_view name : {store::setting::kPasswordPicture, store::setting::kBadPasswordPic,
                                store::setting::kFirstTime}) {
    store::ReadSetting(registry, name);
  }
  store::ReadTimerSettings(registry, 7);
  store::ReadItemList(registry);
  store::ReadIgnoreList(registry);
}

// Which write fails, if any, chosen from the input so that runs repeat.
std::int64_t FailingWrite(std::span<const std::uint8_t> bytes) {
  std::uint32_t hash = 2166136261u;
  for (std::uint8_t b : bytes) hash = (hash ^ b) * 16777619u;
  return hash % 3 == 0 ? -1 : static_cast<std::int64_t>(hash % 40);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  sim::SimRegistry registry;
  StoreSettings(registry);
  const store::KeySnapshot before = store::CaptureKey(registry, store::kRootKey, "SOFTWARE");
  if (const std::int64_t n = FailingWrite(bytes); n >= 0) {
    registry.FailNthWrite(static_cast<std::uint32_t>(n));
  }
  // An import requires the export's last line: every input gets it, so the
  // fuzzer reaches what lies behind that check.
  store::ByteArray whole(bytes.begin(), bytes.end());
  for (char16_t unit : platform::Utf8ToUtf16(std::string(store::kRegFileEndLine) + "\r\n")) {
    whole.push_back(static_cast<std::uint8_t>(unit & 0xFF));
    whole.push_back(static_cast<std::uint8_t>(unit >> 8));
  }
  const store::TransferOutcome outcome = store::ImportRegFileBytes(registry, whole);
  if (outcome.kind != store::TransferOutcome::Kind::Done) {
    if (!(store::CaptureKey(registry, store::kRootKey, "SOFTWARE") == before)) std::abort();
    return 0;
  }
  ReadEverything(registry);
  return 0;
}
