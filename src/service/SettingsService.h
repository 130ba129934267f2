// The service's work, apart from how Windows runs it: the one privileged
// writer of the settings. Each request is read strictly, its password
// checked, and its change applied all or nothing through a journal; the
// settings' keys then carry Windows' rules (administrators and the system
// write, users read), so a standard user's tools can read a setting but not
// change it.
#pragma once

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/Registry.h"
#include "service/AuditEvents.h"
#include "service/Caller.h"
#include "service/PasswordGate.h"
#include "service/Tickets.h"
#include "store/PasswordCheck.h"
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
  // ours its rules, and set the start-up lock's system values for the
  // service's own start of the start-up locker. Answers the first failure.
  store::RegResult Start();

  // The hash rounds for a password an older version stored as plain text.
  void SetHashIterations(std::uint32_t iterations) { hashIterations_ = iterations; }

  // One request's bytes, from `caller`, to the reply's bytes.
  store::ByteArray Serve(std::span<const std::uint8_t> request, const Caller& caller = {});

  // Where "End Pelmora Pro" goes once its password is checked: the keeper
  // of the session's engine.
  void OnLeaveSession(std::function<void(std::uint32_t session)> handler) {
    leaveSession_ = std::move(handler);
  }
  // Where the start-up lock's right password goes: the keeper, for whom
  // this is the only end of the session's start-up lock. Called before the
  // reply leaves, so the start-up locker has not ended yet.
  void OnStartupLockPassed(std::function<void(std::uint32_t session)> handler) {
    startupLockPassed_ = std::move(handler);
  }
  // Where a request to open something for the caller goes: the keeper,
  // which starts programs in the sessions. False when it could not.
  using Opener = std::function<bool(std::uint32_t session, std::string_view what)>;
  void OnOpenForUser(Opener handler) { openForUser_ = std::move(handler); }
  // Where the audit trail goes (the Event Log); nowhere until set. The sink
  // must outlive the service.
  void ReportEventsTo(EventSink& events) { events_ = &events; }

 private:
  store::ServiceReply Handle(const store::ServiceRequest& request, const Caller& caller);
  // Handle, and its event for the audit trail (service/SettingsServiceAudit.cpp).
  store::ServiceReply HandleAudited(const store::ServiceRequest& request, const Caller& caller);
  // An engine's report: written to the audit trail, nothing else done.
  store::ServiceReply Record(const store::EngineReport& report, const Caller& caller);
  // The gate's verdict on the request's password, as a reply when it is
  // not the right one.
  std::optional<store::ServiceReply> Refusal(const store::ServiceRequest& request,
                                             const Caller& caller);
  store::ServiceReply PasswordChecked(const store::ServiceRequest& request, const Caller& caller);
  store::ServiceReply OpenForUser(const store::ServiceRequest& request, const Caller& caller);
  store::ServiceReply Status();
  // Why the request may not be done: no valid ticket, or not the password.
  std::optional<store::ServiceReply> Unauthorized(const store::ServiceRequest& request,
                                                  const Caller& caller);
  store::ServiceReply ApplyProtected(store::ChangeSet change);
  store::RegResult MovePasswordsToProtectedPlace();
  store::ServiceReply ApplyChecked(const store::ChangeSet& change);
  store::ServiceReply Import();
  store::ServiceReply Export();
  store::RegResult ProtectProductKeys();

  platform::Registry& registry_;
  store::ChangeJournal& journal_;
  std::string programFolder_;
  PasswordGate gate_;
  Tickets tickets_;
  bool passwordsChanged_ = false;
  std::uint32_t hashIterations_ = store::kPasswordHashIterations;
  std::function<void(std::uint32_t)> leaveSession_;
  std::function<void(std::uint32_t)> startupLockPassed_;
  Opener openForUser_;
  NoEvents noEvents_;
  EventSink* events_ = &noEvents_;
};

}  // namespace pm::service
