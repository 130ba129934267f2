#include "store/EngineReports.h"

namespace pm::store {

void ReportToService(const ProgramState& state, const EngineReport& report) {
  if (state.SettingsService == nullptr) return;
  ServiceRequest request;
  request.kind = RequestKind::Report;
  request.report = report;
  state.SettingsService->Post(EncodeRequest(request));
}

}  // namespace pm::store
