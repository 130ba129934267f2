#include "apps/service/Win32SessionKeeper.h"

// tlhelp32.h, userenv.h and wtsapi32.h need the types of windows.h.
#include <tlhelp32.h>
#include <userenv.h>
#include <wtsapi32.h>

#include <algorithm>
#include <vector>

#include "platform/Files.h"
#include "platform/Text.h"
#include "platform/win32/Wide.h"
#include "platform/win32/Win32Paths.h"
#include "platform/win32/Win32Security.h"

namespace pm::win32 {

namespace {

using Clock = std::chrono::steady_clock;

using UniqueEnvironment = UniqueHandle<void*, DestroyEnvironmentBlock>;

bool SamePath(const std::wstring& a, const std::wstring& b) {
  return platform::EqualsNoCase(Narrow(a), Narrow(b));
}

// A session the service finds open when it starts had its log-on while the
// service was not yet (or not) running. Just after a start of Windows that
// log-on is the one the start-up locker is for; minutes later the service
// was restarted (after a failure, or by the setup program), and the user
// already passed the start-up lock, or it was off. A log-on time the system
// cannot give (Wine gives none) counts as just now: the locker once too
// often is better than once too few.
bool LoggedOnJustNow(DWORD session) {
  constexpr LONGLONG kJustNow = 2LL * 60 * 10'000'000;  // two minutes, in FILETIME units
  UniqueWtsMemory<wchar_t> info;
  DWORD bytes = 0;
  if (!WTSQuerySessionInformationW(WTS_CURRENT_SERVER_HANDLE, session, WTSSessionInfo, info.put(),
                                   &bytes) ||
      !info) {
    return true;
  }
  // The class's answer is a WTSINFOW, handed out as text.
  const LONGLONG logon = bytes >= sizeof(WTSINFOW)
                             ? reinterpret_cast<const WTSINFOW*>(info.get())->LogonTime.QuadPart
                             : 0;
  if (logon == 0) return true;
  FILETIME now{};
  GetSystemTimeAsFileTime(&now);
  const LONGLONG current = (static_cast<LONGLONG>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
  return current - logon < kJustNow;
}

}  // namespace

Win32SessionKeeper::Win32SessionKeeper(Programs programs)
    : programs_(std::move(programs)), wake_(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}

const std::wstring& Win32SessionKeeper::PathOf(Program program) const {
  return program == Program::Engine ? programs_.enginePath : programs_.startupLockPath;
}

bool Win32SessionKeeper::StartupLockWanted() const {
  // Without its program file the engine would wait for it forever.
  return programs_.startupLockOn() &&
         platform::KindOfPath(Narrow(programs_.startupLockPath)) == platform::PathKind::File;
}

void Win32SessionKeeper::Changed() {
  SetEvent(wake_.get());
}

void Win32SessionKeeper::SessionChanged(DWORD event, DWORD session) {
  if (event == WTS_SESSION_LOGON) {
    LoggedOn(session, StartupLockWanted());
    return;
  }
  if (event == WTS_SESSION_LOGOFF) {
    const std::lock_guard lock(mutex_);
    rules_.LoggedOff(session);
    for (const Program program : {Program::StartupLock, Program::Engine}) {
      processes_.erase({session, program});
    }
  }
}

void Win32SessionKeeper::LoggedOn(DWORD session, bool startupLock) {
  {
    const std::lock_guard lock(mutex_);
    rules_.LoggedOn(session, startupLock, Clock::now());
  }
  Changed();
}

void Win32SessionKeeper::FoundOpen(DWORD session) {
  LoggedOn(session, StartupLockWanted() && LoggedOnJustNow(session));
}

void Win32SessionKeeper::LeaveAlone(DWORD session) {
  const std::lock_guard lock(mutex_);
  rules_.LeaveAlone(session);
}

void Win32SessionKeeper::StartupLockPassed(DWORD session) {
  {
    const std::lock_guard lock(mutex_);
    rules_.StartupLockPassed(session);
  }
  Changed();
}

namespace {

// Starts `application` on the user's interactive desktop with `token` and
// the user's environment; the process's handle, or null.
UniqueKernelHandle StartOnTheUsersDesktop(HANDLE token, const std::wstring& application,
                                          std::wstring commandLine, const std::wstring& folder,
                                          SECURITY_ATTRIBUTES* process,
                                          SECURITY_ATTRIBUTES* thread) {
  UniqueEnvironment environment;
  CreateEnvironmentBlock(environment.put(), token, FALSE);
  std::wstring desktop = L"winsta0\\default";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.lpDesktop = desktop.data();
  PROCESS_INFORMATION info{};
  if (!CreateProcessAsUserW(token, application.c_str(), commandLine.data(), process, thread, FALSE,
                            CREATE_UNICODE_ENVIRONMENT, environment.get(),
                            folder.empty() ? nullptr : folder.c_str(), &startup, &info)) {
    return {};
  }
  const UniqueKernelHandle primaryThread(info.hThread);
  return UniqueKernelHandle(info.hProcess);
}

}  // namespace

UniqueKernelHandle Win32SessionKeeper::Launch(DWORD session, Program program) {
  UniqueKernelHandle user;
  if (!WTSQueryUserToken(session, user.put())) return {};
  const UniqueKernelHandle token = SessionProgramToken(user.get());
  if (!token) return {};
  const UniqueSecurityDescriptor rules = SecurityDescriptorFromSddl(kSessionProgramSddl);
  const UniqueSecurityDescriptor threadRules =
      SecurityDescriptorFromSddl(kSessionProgramObjectsSddl);
  if (!rules || !threadRules) return {};
  SECURITY_ATTRIBUTES process{sizeof process, rules.get(), FALSE};
  SECURITY_ATTRIBUTES thread{sizeof thread, threadRules.get(), FALSE};
  const std::wstring& path = PathOf(program);
  return StartOnTheUsersDesktop(token.get(), path, L"\"" + path + L"\"",
                                path.substr(0, path.find_last_of(L'\\')), &process, &thread);
}

bool Win32SessionKeeper::OpenForUser(DWORD session, std::string_view what) {
  // The user's own token, as the shell has it: at the user's ordinary level.
  UniqueKernelHandle signedIn;
  if (!WTSQueryUserToken(session, signedIn.put())) return false;
  const UniqueKernelHandle user = UserLevelToken(signedIn.get());
  if (!user) return false;
  wchar_t system[MAX_PATH] = {};
  const UINT length = GetSystemDirectoryW(system, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return false;
  // Windows' own handler opens it as a double click would.
  const std::wstring rundll = std::wstring(system) + L"\\rundll32.exe";
  return static_cast<bool>(StartOnTheUsersDesktop(
      user.get(), rundll, L"\"" + rundll + L"\" url.dll,FileProtocolHandler " + Wide(what), {},
      nullptr, nullptr));
}

// A program that runs in the session already (one the service started
// before it was restarted) is watched, not doubled: a second engine would
// open the first one's configuration tool, and a second start-up prompt
// would fight the first for the front. Only a copy with the protection the
// service gives counts; any other (the user's own, which the user may
// suspend or end at will) is ended, so the protected one can take its place.
UniqueKernelHandle Win32SessionKeeper::AdoptOrEnd(DWORD session, Program program) {
  const UniqueKernelHandle snapshot =
      OwnFileHandle(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return {};
  const std::wstring& path = PathOf(program);
  const std::wstring fileName = path.substr(path.find_last_of(L'\\') + 1);
  UniqueKernelHandle adopted;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot.get(), &entry); more;
       more = Process32NextW(snapshot.get(), &entry)) {
    // The name first: only a process of our program's name is opened to
    // ask its full path.
    DWORD processSession = 0;
    if (!SamePath(entry.szExeFile, fileName) ||
        !ProcessIdToSessionId(entry.th32ProcessID, &processSession) || processSession != session ||
        !SamePath(ProcessImagePath(entry.th32ProcessID), path)) {
      continue;
    }
    UniqueKernelHandle process(OpenProcess(
        SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION | READ_CONTROL | PROCESS_TERMINATE, FALSE,
        entry.th32ProcessID));
    // An ended process stays listed under Wine while anyone holds a handle
    // to it: it runs no lock.
    if (!process || WaitForSingleObject(process.get(), 0) != WAIT_TIMEOUT) continue;
    if (!adopted && CarriesSessionProgramProtection(process.get())) {
      adopted = std::move(process);
    } else {
      TerminateProcess(process.get(), 1);
    }
  }
  return adopted;
}

void Win32SessionKeeper::StartDue() {
  const std::lock_guard lock(mutex_);
  const auto now = Clock::now();
  for (const service::SessionPrograms::Due& due : rules_.DueAt(now)) {
    UniqueKernelHandle process = AdoptOrEnd(due.session, due.program);
    const bool adopted = static_cast<bool>(process);
    if (!process) process = Launch(due.session, due.program);
    if (process && !adopted && programs_.tell) {
      programs_.tell({Happening::Kind::Started, due.session, due.program});
    }
    // A start that failed (no user token yet) is tried again in a second.
    if (!process) {
      rules_.StartFailed(due.session, due.program, now);
      continue;
    }
    rules_.Running(due.session, due.program);
    processes_[{due.session, due.program}] = std::move(process);
  }
}

void Win32SessionKeeper::Ended(Key key) {
  const std::lock_guard lock(mutex_);
  processes_.erase(key);
  rules_.Ended(key.first, key.second, Clock::now());
  if (programs_.tell) {
    programs_.tell(
        {Happening::Kind::Ended, key.first, key.second, rules_.Wanted(key.first, key.second)});
  }
}

void Win32SessionKeeper::Run(HANDLE stop) {
  UniqueWtsMemory<WTS_SESSION_INFOW> sessions;
  DWORD count = 0;
  if (WTSEnumerateSessionsW(WTS_CURRENT_SERVER_HANDLE, 0, 1, sessions.put(), &count)) {
    for (DWORD i = 0; i < count; ++i) {
      const WTS_SESSION_INFOW& found = sessions.get()[i];
      if (found.State == WTSActive || found.State == WTSDisconnected) FoundOpen(found.SessionId);
    }
  }
  // The console's session too: Wine 8 enumerates no session at all.
  if (const DWORD console = WTSGetActiveConsoleSessionId(); console != 0xFFFFFFFF) {
    FoundOpen(console);
  }
  for (;;) {
    StartDue();
    std::vector<HANDLE> waits{stop, wake_.get()};
    std::vector<Key> watched;
    DWORD timeout = INFINITE;
    {
      const std::lock_guard lock(mutex_);
      for (const auto& [key, process] : processes_) {
        if (waits.size() == MAXIMUM_WAIT_OBJECTS) break;
        waits.push_back(process.get());
        watched.push_back(key);
      }
      if (const auto next = rules_.NextDue()) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(*next - Clock::now());
        timeout = static_cast<DWORD>(std::max<long long>(0, left.count()));
      }
    }
    const DWORD woke =
        WaitForMultipleObjects(static_cast<DWORD>(waits.size()), waits.data(), FALSE, timeout);
    if (woke == WAIT_OBJECT_0) return;
    if (woke >= WAIT_OBJECT_0 + 2 && woke < WAIT_OBJECT_0 + waits.size()) {
      Ended(watched[woke - WAIT_OBJECT_0 - 2]);
    }
  }
}

}  // namespace pm::win32
