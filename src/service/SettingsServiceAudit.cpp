// The service's audit trail: each request's outcome, and each engine's
// report, as an event of the Event Log.
#include "service/SettingsAudit.h"
#include "service/SettingsService.h"
#include "store/SettingsCatalogue.h"
#include "store/SettingsFile.h"

namespace pm::service {

store::ServiceReply SettingsService::HandleAudited(const store::ServiceRequest& request,
                                                   const Caller& caller) {
  // What a change or an import changed is read from our key before and after.
  const bool changes =
      request.kind == store::RequestKind::Change || request.kind == store::RequestKind::Import;
  const store::KeySnapshot before =
      changes ? store::CaptureKey(registry_, store::kRootKey, store::kProductKey)
              : store::KeySnapshot{};
  store::ServiceReply reply = Handle(request, caller);
  ValueChanges changed;
  if (changes && reply.kind == store::ReplyKind::Done) {
    changed =
        CompareValues(before, store::CaptureKey(registry_, store::kRootKey, store::kProductKey));
  }
  if (const std::optional<AuditEvent> event =
          EventForReply(request, reply, changed, gate_.WrongInARow(caller), caller.session,
                        programFolder_ + std::string(store::kExportFileName))) {
    events_->Report(*event);
  }
  return reply;
}

store::ServiceReply SettingsService::Record(const store::EngineReport& report,
                                            const Caller& caller) {
  events_->Report(EventForReport(report, caller.session));
  return store::ServiceReply{};
}

}  // namespace pm::service
