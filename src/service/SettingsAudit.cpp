#include "service/SettingsAudit.h"

#include <map>

#include "platform/Text.h"
#include "store/ItemLists.h"
#include "store/PolicySettings.h"
#include "store/SettingsCatalogue.h"

namespace pm::service {

namespace {

using store::KeySnapshot;
using store::ReplyKind;

// Names listed in one event before the rest is counted.
constexpr std::size_t kNamesShown = 20;
// Texts an engine reports are cut here: a title is at most 40 characters,
// a program's path rarely longer than this.
constexpr std::size_t kReportTextLength = 260;

// Every value of a copy by its path below our key, without regard to case.
void Flatten(const KeySnapshot& key, const std::string& prefix,
             std::map<std::string, std::pair<std::string, const KeySnapshot::Value*>>& into) {
  for (const KeySnapshot::Value& value : key.values) {
    const std::string name = prefix + value.name;
    into[platform::LowerCase(name)] = {name, &value};
  }
  for (const auto& [subkey, snapshot] : key.subkeys)
    Flatten(snapshot, prefix + subkey + "\\", into);
}

std::string Count(std::size_t n) {
  return std::to_string(n);
}

AuditEvent Event(EventId id, std::uint32_t session, std::vector<std::string> inserts = {}) {
  return AuditEvent{id, session, std::move(inserts)};
}

std::string Cut(std::string_view text) {
  return std::string(platform::FirstCodePoints(text, kReportTextLength));
}

// What a password came with, in the words of the wrong-password event.
std::string WhatFor(const store::ServiceRequest& request) {
  switch (request.kind) {
    case store::RequestKind::CheckPassword:
      switch (request.purpose) {
        case store::PasswordFor::Window:
          return "for the locked window \"" + Cut(request.subject) + "\"";
        case store::PasswordFor::Tool:
          return "for the configuration tool";
        case store::PasswordFor::StartupLock:
          return "at the start-up lock";
      }
      break;
    case store::RequestKind::Change:
      return "with a change of the settings";
    case store::RequestKind::Export:
      return "for an export";
    case store::RequestKind::Import:
      return "for an import";
    case store::RequestKind::LeaveSession:
      return "to end Pelmora Pro";
    case store::RequestKind::OpenForUser:
    case store::RequestKind::Report:
    case store::RequestKind::EndTicket:
    case store::RequestKind::Status:
      break;
  }
  return "with a request";
}

// A prompt's right password: what it opens.
std::optional<AuditEvent> PasswordGiven(const store::ServiceRequest& request,
                                        std::uint32_t session) {
  switch (request.purpose) {
    case store::PasswordFor::Window:
      return Event(EventId::WindowPasswordGiven, session, {Cut(request.subject)});
    case store::PasswordFor::Tool:
      return Event(EventId::ToolPasswordGiven, session);
    case store::PasswordFor::StartupLock:
      break;
  }
  return Event(EventId::StartupLockPassed, session);
}

}  // namespace

ValueChanges CompareValues(const KeySnapshot& before, const KeySnapshot& after) {
  std::map<std::string, std::pair<std::string, const KeySnapshot::Value*>> old, now;
  Flatten(before, "", old);
  Flatten(after, "", now);
  std::vector<std::string> changed;
  for (const auto& [folded, entry] : now) {
    const auto was = old.find(folded);
    if (was == old.end() || was->second.second->type != entry.second->type ||
        was->second.second->data != entry.second->data) {
      changed.push_back(entry.first);
    }
  }
  for (const auto& [folded, entry] : old) {
    if (now.count(folded) == 0) changed.push_back(entry.first + " (removed)");
  }
  ValueChanges result;
  result.count = static_cast<int>(changed.size());
  for (std::size_t i = 0; i < changed.size() && i < kNamesShown; ++i) {
    result.names += (i == 0 ? "" : ", ") + changed[i];
  }
  if (changed.size() > kNamesShown) {
    result.names += " and " + Count(changed.size() - kNamesShown) + " more";
  }
  if (changed.empty()) result.names = "nothing";
  return result;
}

std::optional<AuditEvent> EventForReply(const store::ServiceRequest& request,
                                        const store::ServiceReply& reply,
                                        const ValueChanges& changes, int wrongInARow,
                                        std::uint32_t session, std::string_view exportFile) {
  switch (reply.kind) {
    case ReplyKind::WrongPassword:
      return Event(EventId::WrongPassword, session,
                   {Count(static_cast<std::size_t>(wrongInARow)), WhatFor(request)});
    case ReplyKind::Waiting:
      return Event(EventId::PasswordHeldBack, session, {Count(reply.waitSeconds)});
    case ReplyKind::Refused:
    case ReplyKind::NotChecked:
      return Event(EventId::RequestRefused, session, {reply.detail});
    case ReplyKind::Failed:
    case ReplyKind::Lost:
      return Event(
          EventId::SettingsNotSaved, session,
          {reply.kind == ReplyKind::Lost
               ? "a write failed (" + reply.detail + ") and putting back what was stored failed too"
               : "a write failed (" + reply.detail + "); everything was put back"});
    case ReplyKind::MissingFile:
      return Event(EventId::SettingsNotSaved, session,
                   {"there is no export file " + std::string(exportFile) + " to import"});
    case ReplyKind::NotAnExport:
      return Event(EventId::SettingsNotSaved, session,
                   {std::string(exportFile) + " is no settings export: " + reply.detail});
    case ReplyKind::Done:
    case ReplyKind::Match:
      break;
  }
  switch (request.kind) {
    case store::RequestKind::Change:
      return Event(EventId::SettingsSaved, session,
                   {Count(static_cast<std::size_t>(changes.count)), changes.names});
    case store::RequestKind::Export:
      return Event(EventId::SettingsExported, session, {std::string(exportFile)});
    case store::RequestKind::Import:
      return Event(
          EventId::SettingsImported, session,
          {std::string(exportFile), Count(static_cast<std::size_t>(changes.count)), changes.names});
    case store::RequestKind::LeaveSession:
      return Event(EventId::EngineEnded, session);
    case store::RequestKind::CheckPassword:
      return PasswordGiven(request, session);
    case store::RequestKind::OpenForUser:
    case store::RequestKind::Report:
    case store::RequestKind::EndTicket:
    case store::RequestKind::Status:
      break;
  }
  return std::nullopt;
}

AuditEvent EventForReport(const store::EngineReport& report, std::uint32_t session) {
  switch (report.kind) {
    case store::EngineReport::Kind::RelockEverything:
      return Event(EventId::ReportedRelockEverything, session);
    case store::EngineReport::Kind::AutomaticRelock:
      return Event(EventId::ReportedAutomaticRelock, session, {Count(report.minutes)});
    case store::EngineReport::Kind::UnlockEverything:
      break;
  }
  return Event(EventId::ReportedUnlockEverything, session);
}

std::vector<AuditEvent> EventsForPolicy(platform::Registry& registry) {
  std::size_t locked = 0;
  for (const store::ListItem& item : store::ReadItemList(registry, store::kPolicyKey)) {
    if (item.checked) ++locked;
  }
  const std::size_t ignored = store::ReadIgnoreList(registry, store::kPolicyKey).size();
  std::string settings;
  const auto note = [&](std::string_view name) {
    if (const std::optional<std::string> value = store::ReadPolicySetting(registry, name)) {
      settings += (settings.empty() ? "" : ", ") + std::string(name) + " = " + Cut(*value);
    }
  };
  for (const store::SwitchInfo& info : store::Switches()) note(info.valueName);
  note(store::setting::kTimeDelay);
  note(store::setting::kRelock);
  const std::optional<std::string> password = store::PolicyPassword(registry);
  const bool unusable = password && *password == store::kUnusablePassword;
  std::vector<AuditEvent> events{
      Event(EventId::PolicyApplied, kNoSession,
            {Count(locked), Count(ignored), settings.empty() ? "none" : settings,
             !password  ? "none"
             : unusable ? "not a hash"
                        : "given as a hash"})};
  if (unusable) events.push_back(Event(EventId::PolicyPasswordUnusable, kNoSession));
  return events;
}

}  // namespace pm::service
