// libFuzzer target: the service's request reader and everything behind it,
// on any bytes, against a registry that holds settings. Every input gets a
// reply the programs can read; a request not done must leave every key and
// value as it was, and none may write outside the settings and the start-up
// lock's values.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <span>

#include "platform/sim/SimRegistry.h"
#include "service/ServiceTestSupport.h"
#include "service/SettingsService.h"
#include "store/ItemLists.h"
#include "store/RegistryModule.h"
#include "store/RegistrySnapshot.h"
#include "store/ServiceProtocol.h"
#include "store/SettingsCatalogue.h"

namespace {

using namespace pm;

// Everything the service may not write, as one snapshot.
store::KeySnapshot Elsewhere(platform::Registry& registry) {
  store::KeySnapshot software = store::CaptureKey(registry, store::kRootKey, "SOFTWARE");
  std::erase_if(software.subkeys, [](const auto& subkey) {
    return subkey.first == "Pelmora Pro" || subkey.first == "Microsoft";
  });
  return software;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  sim::SimRegistry registry;
  // The plain form of earlier versions: checked without 600,000 rounds.
  if (!store::WriteSetting(registry, store::setting::kUserPassword, "secret")) std::abort();
  const store::ListItem items[] = {{"Notepad", true}};
  if (!store::WriteLists(registry, items, std::span<const std::string>{})) std::abort();
  if (!store::RegistryModule::WriteValue(registry, store::kRootKey, "SOFTWARE\\Other", "Kept",
                                         "1")) {
    std::abort();
  }
  const store::KeySnapshot before = store::CaptureKey(registry, store::kRootKey, "SOFTWARE");
  const store::KeySnapshot elsewhere = Elsewhere(registry);

  tests::MemoryJournal journal;
  service::SettingsService service(registry, journal, "C:\\Program Files\\Pelmora Pro",
                                   [] { return std::chrono::steady_clock::time_point{}; });
  const std::optional<store::ServiceReply> reply = store::DecodeReply(service.Serve({data, size}));
  if (!reply) std::abort();
  if (reply->kind != store::ReplyKind::Done &&
      !(store::CaptureKey(registry, store::kRootKey, "SOFTWARE") == before)) {
    std::abort();
  }
  if (!(Elsewhere(registry) == elsewhere)) std::abort();
  return 0;
}
