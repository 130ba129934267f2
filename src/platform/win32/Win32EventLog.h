// The service's events in the Windows Event Log: the Application log, source
// "Pelmora Pro", whose texts are the message table of pmpsvc.exe (setup
// registers it as the source's EventMessageFile). Each event carries the
// account of the session it concerns as the event's user and as its first
// insert, and the session's number as the second.
#pragma once

#include <windows.h>

#include <string>

#include "platform/win32/Handles.h"
#include "service/AuditEvents.h"

namespace pm::win32 {

inline constexpr wchar_t kEventSource[] = L"Pelmora Pro";

class Win32EventLog final : public service::EventSink {
 public:
  Win32EventLog();

  // ReportEvent is safe to call from several threads on one handle.
  void Report(const service::AuditEvent& event) override;

 private:
  UniqueEventSource source_;
};

// An insert as the Event Viewer shows it: "%%" would be read there as a
// parameter message to look up, so it is kept apart.
std::wstring EventInsert(std::string_view text);

}  // namespace pm::win32
