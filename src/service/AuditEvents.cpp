#include "service/AuditEvents.h"

#include <stdexcept>

namespace pm::service {

namespace {
using L = EventLevel;
constexpr std::array<EventInfo, 21> kEvents = {{
    {EventId::ServiceStarted, L::Information, 1},
    {EventId::ServiceStopped, L::Information, 0},
    {EventId::StartupLockShown, L::Information, 0},
    {EventId::StartupLockPassed, L::Information, 0},
    {EventId::StartupLockRestarted, L::Warning, 0},
    {EventId::EngineRestarted, L::Warning, 0},
    {EventId::EngineEnded, L::Information, 0},
    {EventId::WrongPassword, L::Warning, 1},
    {EventId::PasswordHeldBack, L::Warning, 1},
    {EventId::SettingsSaved, L::Information, 2},
    {EventId::SettingsExported, L::Information, 1},
    {EventId::SettingsImported, L::Information, 3},
    {EventId::SettingsNotSaved, L::Error, 1},
    {EventId::RequestRefused, L::Warning, 1},
    {EventId::PolicyApplied, L::Information, 4},
    {EventId::PolicyPasswordUnusable, L::Warning, 0},
    {EventId::ReportedWindowUnlocked, L::Information, 2},
    {EventId::ReportedRelockEverything, L::Information, 0},
    {EventId::ReportedAutomaticRelock, L::Information, 1},
    {EventId::ReportedUnlockEverything, L::Warning, 0},
    {EventId::ReportedWrongPassword, L::Warning, 2},
}};
}  // namespace

const std::array<EventInfo, 21>& AuditEventTable() {
  return kEvents;
}

const EventInfo& InfoOf(EventId id) {
  for (const EventInfo& info : kEvents) {
    if (info.id == id) return info;
  }
  throw std::logic_error("an event id missing from the table");
}

std::uint32_t MessageIdOf(EventId id) {
  return (static_cast<std::uint32_t>(InfoOf(id).level) << 30) | static_cast<std::uint32_t>(id);
}

}  // namespace pm::service
