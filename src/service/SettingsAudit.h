// What the service's requests and the administrator's policy come to, in
// the words of the Event Log: which values a save or an import changed (by
// name, never their data), why a request was refused, what a policy sets.
#pragma once

#include <string>

#include "platform/Registry.h"
#include "service/AuditEvents.h"
#include "store/RegistrySnapshot.h"
#include "store/ServiceProtocol.h"

namespace pm::service {

// The values that differ between two copies of our subtree, as a count and
// their names ("Settings\BlankScreen, Windows\Window0"; at most a screenful,
// then "and N more").
struct ValueChanges {
  int count = 0;
  std::string names;
};
ValueChanges CompareValues(const store::KeySnapshot& before, const store::KeySnapshot& after);

// The event a request's reply comes to; none for a request that changed
// nothing worth telling (a right password alone says nothing).
std::optional<AuditEvent> EventForReply(const store::ServiceRequest& request,
                                        const store::ServiceReply& reply,
                                        const ValueChanges& changes, int wrongInARow,
                                        std::uint32_t session, std::string_view exportFile);

// An engine's report as its event, with its texts cut to a sensible length.
AuditEvent EventForReport(const store::EngineReport& report, std::uint32_t session);

// What the administrator's policy sets now: the locked items and ignore
// entries it adds, the settings it sets and whether it gives a password.
// A second event when its password is not a usable hash.
std::vector<AuditEvent> EventsForPolicy(platform::Registry& registry);

}  // namespace pm::service
