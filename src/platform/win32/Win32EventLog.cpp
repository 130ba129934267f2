#include "platform/win32/Win32EventLog.h"

#include <wtsapi32.h>

#include <vector>

#include "platform/win32/Handles.h"
#include "platform/win32/Wide.h"

namespace pm::win32 {

namespace {

constexpr std::size_t kInsertLength = 2048;  // wide characters; the log takes 31,839

WORD TypeOf(service::EventLevel level) {
  switch (level) {
    case service::EventLevel::Warning:
      return EVENTLOG_WARNING_TYPE;
    case service::EventLevel::Error:
      return EVENTLOG_ERROR_TYPE;
    case service::EventLevel::Information:
      break;
  }
  return EVENTLOG_INFORMATION_TYPE;
}

std::wstring SessionText(HANDLE server, DWORD session, WTS_INFO_CLASS what) {
  UniqueWtsMemory<wchar_t> text;
  DWORD bytes = 0;
  if (!WTSQuerySessionInformationW(server, session, what, text.put(), &bytes) || !text) return {};
  return text.get();
}

// "DOMAIN\user" of the session, or the service's own account.
std::wstring AccountOf(DWORD session) {
  if (session == service::kNoSession) return L"NT AUTHORITY\\SYSTEM";
  const std::wstring user = SessionText(WTS_CURRENT_SERVER_HANDLE, session, WTSUserName);
  if (user.empty()) return L"(no user signed in)";
  const std::wstring domain = SessionText(WTS_CURRENT_SERVER_HANDLE, session, WTSDomainName);
  return domain.empty() ? user : domain + L"\\" + user;
}

// The session user's SID, for the event's User field; empty when none.
std::vector<BYTE> UserSidOf(DWORD session) {
  if (session == service::kNoSession) return {};
  HANDLE raw = nullptr;
  if (!WTSQueryUserToken(session, &raw)) return {};
  const UniqueKernelHandle token(raw);
  DWORD size = 0;
  GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
  std::vector<BYTE> user(size);
  if (size == 0 || !GetTokenInformation(token.get(), TokenUser, user.data(), size, &size)) {
    return {};
  }
  const PSID sid = reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid;
  std::vector<BYTE> copy(GetLengthSid(sid));
  if (!CopySid(static_cast<DWORD>(copy.size()), copy.data(), sid)) return {};
  return copy;
}

}  // namespace

std::wstring EventInsert(std::string_view text) {
  std::wstring wide = Wide(text);
  if (wide.size() > kInsertLength) wide.resize(kInsertLength);
  for (std::size_t at = wide.find(L"%%"); at != std::wstring::npos; at = wide.find(L"%%", at + 2)) {
    wide.insert(at + 1, L" ");
  }
  return wide;
}

Win32EventLog::Win32EventLog() : source_(RegisterEventSourceW(nullptr, kEventSource)) {}

void Win32EventLog::Report(const service::AuditEvent& event) {
  if (!source_) return;
  std::vector<std::wstring> texts{AccountOf(event.session), event.session == service::kNoSession
                                                                ? std::wstring(L"-")
                                                                : std::to_wstring(event.session)};
  for (const std::string& insert : event.inserts) texts.push_back(EventInsert(insert));
  std::vector<LPCWSTR> strings;
  for (const std::wstring& text : texts) strings.push_back(text.c_str());
  std::vector<BYTE> sid = UserSidOf(event.session);
  ReportEventW(source_.get(), TypeOf(service::InfoOf(event.id).level), 0,
               service::MessageIdOf(event.id), sid.empty() ? nullptr : sid.data(),
               static_cast<WORD>(strings.size()), 0, strings.data(), nullptr);
}

}  // namespace pm::win32
