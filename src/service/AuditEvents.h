// The events the service writes to the Windows Event Log, each with its
// fixed id and level; their texts are the message table of pmpsvc.exe
// (src/apps/resources/events.mc), which the test command holds to this
// table. Every event names the account and session it concerns (the sink
// adds both as the first two inserts) and, where there is one, the window
// or program; never a password or a hash.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace pm::service {

enum class EventId : std::uint16_t {
  ServiceStarted = 1,
  ServiceStopped = 2,
  StartupLockShown = 10,
  StartupLockPassed = 11,
  StartupLockRestarted = 12,
  EngineRestarted = 13,
  EngineEnded = 14,
  WindowPasswordGiven = 15,
  ToolPasswordGiven = 16,
  WrongPassword = 20,
  PasswordHeldBack = 21,
  SettingsSaved = 30,
  SettingsExported = 31,
  SettingsImported = 32,
  SettingsNotSaved = 33,
  RequestRefused = 40,
  PolicyApplied = 50,
  PolicyPasswordUnusable = 51,
  // Told by an engine, which runs as the user: anyone's program can send
  // such a report, and the texts say whose engine it came from.
  ReportedRelockEverything = 61,
  ReportedAutomaticRelock = 62,
  ReportedUnlockEverything = 63,
};

enum class EventLevel : std::uint8_t { Information = 1, Warning = 2, Error = 3 };

struct EventInfo {
  EventId id;
  EventLevel level;
  int inserts;  // after the account and the session
};

// Every event, in id order. Header-only: the Windows backend's sink reads it
// beside the service.
inline constexpr std::array<EventInfo, 21> kAuditEvents = {{
    {EventId::ServiceStarted, EventLevel::Information, 1},
    {EventId::ServiceStopped, EventLevel::Information, 0},
    {EventId::StartupLockShown, EventLevel::Information, 0},
    {EventId::StartupLockPassed, EventLevel::Information, 0},
    {EventId::StartupLockRestarted, EventLevel::Warning, 0},
    {EventId::EngineRestarted, EventLevel::Warning, 0},
    {EventId::EngineEnded, EventLevel::Information, 0},
    {EventId::WindowPasswordGiven, EventLevel::Information, 1},
    {EventId::ToolPasswordGiven, EventLevel::Information, 0},
    {EventId::WrongPassword, EventLevel::Warning, 2},
    {EventId::PasswordHeldBack, EventLevel::Warning, 1},
    {EventId::SettingsSaved, EventLevel::Information, 2},
    {EventId::SettingsExported, EventLevel::Information, 1},
    {EventId::SettingsImported, EventLevel::Information, 3},
    {EventId::SettingsNotSaved, EventLevel::Error, 1},
    {EventId::RequestRefused, EventLevel::Warning, 1},
    {EventId::PolicyApplied, EventLevel::Information, 4},
    {EventId::PolicyPasswordUnusable, EventLevel::Warning, 0},
    {EventId::ReportedRelockEverything, EventLevel::Information, 0},
    {EventId::ReportedAutomaticRelock, EventLevel::Information, 1},
    {EventId::ReportedUnlockEverything, EventLevel::Warning, 0},
}};

constexpr const EventInfo& InfoOf(EventId id) {
  for (const EventInfo& info : kAuditEvents) {
    if (info.id == id) return info;
  }
  return kAuditEvents[0];  // every id is in the table (checked when compiled below)
}

// The id as the message table and the Event Log know it: the level in the
// top two bits, the number in the low sixteen.
constexpr std::uint32_t MessageIdOf(EventId id) {
  return (static_cast<std::uint32_t>(InfoOf(id).level) << 30) | static_cast<std::uint32_t>(id);
}

static_assert(InfoOf(EventId::WrongPassword).inserts == 2 &&
              MessageIdOf(EventId::ServiceStarted) == 0x40000001);

// No session: the service's own events.
inline constexpr std::uint32_t kNoSession = 0xFFFFFFFF;

struct AuditEvent {
  EventId id = EventId::ServiceStarted;
  std::uint32_t session = kNoSession;
  std::vector<std::string> inserts;  // the event's own, after account and session
  bool operator==(const AuditEvent&) const = default;
};

// Where the service's events go: the Event Log on Windows, a recorder in the
// tests. Called from the service's threads; an implementation is safe to
// call from several at once.
class EventSink {
 public:
  virtual ~EventSink() = default;
  virtual void Report(const AuditEvent& event) = 0;
};

class NoEvents final : public EventSink {
 public:
  void Report(const AuditEvent&) override {}
};

}  // namespace pm::service
