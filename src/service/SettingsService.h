// The service's work, apart from how Windows runs it: the one privileged
// writer of the settings. Each request is read strictly, its password
// checked, and its change applied all or nothing through a journal; the
// settings' keys then carry Windows' rules (administrators and the system
// write, users read), so a standard user's tools can read a setting but not
// change it.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "platform/Registry.h"
#include "service/PasswordGate.h"
#include "store/ServiceProtocol.h"
#include "store/SettingsTransaction.h"

namespace pm::service {

// Beside the service's program, in the folder only administrators may write.
inline constexpr std::string_view kJournalFileName = "pmpsvc.journal";

class SettingsService {
 public:
  SettingsService(platform::Registry& registry, store::ChangeJournal& journal,
                  std::string programFolder, PasswordGate::Clock clock);

  // At each start: undo a change a crash left unfinished, give every key of
  // ours its rules, and rearm the start-up lock (Windows removes its RunOnce
  // entry when it runs it). Answers the first failure.
  store::RegResult Start();

  // One request's bytes to the reply's bytes.
  store::ByteArray Serve(std::span<const std::uint8_t> request);

 private:
  store::ServiceReply Handle(const store::ServiceRequest& request);
  store::ServiceReply ApplyChecked(const store::ChangeSet& change);
  store::ServiceReply Import();
  store::ServiceReply Export();
  store::RegResult ProtectProductKeys();

  platform::Registry& registry_;
  store::ChangeJournal& journal_;
  std::string programFolder_;
  PasswordGate gate_;
};

}  // namespace pm::service
