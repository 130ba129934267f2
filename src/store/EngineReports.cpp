#include "store/EngineReports.h"

namespace pm::store {

void ReportToService(const ProgramState& state, const EngineReport& report) {
  if (state.SettingsService == nullptr) return;
  ServiceRequest request;
  request.kind = RequestKind::Report;
  request.report = report;
  std::vector<std::uint8_t> reply;
  state.SettingsService->Transact(EncodeRequest(request), reply);
}

}  // namespace pm::store
