// The Event Log as the native tests see it: every event the service would
// write, with its id, session and inserts, in order.
#pragma once

#include <algorithm>
#include <vector>

#include "service/AuditEvents.h"

namespace pm::tests {

class RecordingEventSink final : public service::EventSink {
 public:
  void Report(const service::AuditEvent& event) override { events.push_back(event); }
  // The events of one id, oldest first.
  std::vector<service::AuditEvent> Of(service::EventId id) const {
    std::vector<service::AuditEvent> found;
    std::copy_if(events.begin(), events.end(), std::back_inserter(found),
                 [id](const service::AuditEvent& event) { return event.id == id; });
    return found;
  }
  std::vector<service::AuditEvent> events;
};

}  // namespace pm::tests
