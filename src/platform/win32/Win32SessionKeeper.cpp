#include "platform/win32/Win32SessionKeeper.h"

// tlhelp32.h, userenv.h and wtsapi32.h need the types of windows.h.
#include <tlhelp32.h>
#include <userenv.h>
#include <wtsapi32.h>

#include <algorithm>

#include "platform/Files.h"
#include "platform/Text.h"
#include "platform/win32/Wide.h"
#include "platform/win32/Win32Paths.h"
#include "platform/win32/Win32Security.h"

namespace pm::win32 {

namespace {

using Clock = std::chrono::steady_clock;

using UniqueEnvironment = UniqueHandle<void*, DestroyEnvironmentBlock>;

// The session's user, without administrator rights even when the account
// has them: the engine never needs them, and a filtered administrator's
// token on Windows looks the same.
UniqueKernelHandle UserToken(DWORD session) {
  UniqueKernelHandle user;
  if (!WTSQueryUserToken(session, user.put())) return {};
  return WithoutAdministratorRights(user.get());
}

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
  WTSINFOW* info = nullptr;
  DWORD bytes = 0;
  if (!WTSQuerySessionInformationW(WTS_CURRENT_SERVER_HANDLE, session, WTSSessionInfo,
                                   reinterpret_cast<LPWSTR*>(&info), &bytes)) {
    return true;
  }
  const LONGLONG logon = bytes >= sizeof(WTSINFOW) ? info->LogonTime.QuadPart : 0;
  WTSFreeMemory(info);
  if (logon == 0) return true;
  FILETIME now{};
  GetSystemTimeAsFileTime(&now);
  const LONGLONG current = (static_cast<LONGLONG>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
  return current - logon < kJustNow;
}

}  // namespace

Win32SessionKeeper::Win32SessionKeeper(Programs programs, DelayAfterEnd delayAfterEnd)
    : programs_(std::move(programs)),
      delayAfterEnd_(std::move(delayAfterEnd)),
      wake_(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}

const std::wstring& Win32SessionKeeper::PathOf(Program program) const {
  return program == Program::Engine ? programs_.enginePath : programs_.startupLockPath;
}

bool Win32SessionKeeper::StartupLockWanted() const {
  // Without its program file the engine would wait for it forever.
  return programs_.startupLockOn() &&
         platform::KindOfPath(Narrow(programs_.startupLockPath)) == platform::PathKind::File;
}

void Win32SessionKeeper::SessionChanged(DWORD event, DWORD session) {
  if (event == WTS_SESSION_LOGON) {
    LoggedOn(session, StartupLockWanted());
    return;
  }
  if (event == WTS_SESSION_LOGOFF) {
    // Its programs end with the session; the next log-on starts them.
    const std::lock_guard lock(mutex_);
    sessions_.erase(session);
  }
}

void Win32SessionKeeper::LoggedOn(DWORD session, bool startupLock) {
  {
    const std::lock_guard lock(mutex_);
    Session& state = sessions_[session];
    const auto now = Clock::now();
    state[Program::StartupLock].wanted = startupLock;
    state[Program::Engine].wanted = true;
    for (Kept& kept : state.kept) kept.due = now;
  }
  SetEvent(wake_.get());
}

void Win32SessionKeeper::FoundOpen(DWORD session) {
  LoggedOn(session, StartupLockWanted() && LoggedOnJustNow(session));
}

void Win32SessionKeeper::LeaveAlone(DWORD session) {
  const std::lock_guard lock(mutex_);
  sessions_[session][Program::Engine].wanted = false;
}

UniqueKernelHandle Win32SessionKeeper::Launch(DWORD session, Program program) {
  const UniqueKernelHandle token = UserToken(session);
  if (!token) return {};
  const UniqueSecurityDescriptor rules = SecurityDescriptorFromSddl(kSessionProgramSddl);
  if (!rules) return {};
  SECURITY_ATTRIBUTES process{sizeof process, rules.get(), FALSE};
  UniqueEnvironment environment;
  CreateEnvironmentBlock(environment.put(), token.get(), FALSE);
  std::wstring desktop = L"winsta0\\default";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.lpDesktop = desktop.data();
  const std::wstring& path = PathOf(program);
  std::wstring commandLine = L"\"" + path + L"\"";
  const std::wstring folder = path.substr(0, path.find_last_of(L'\\'));
  PROCESS_INFORMATION info{};
  if (!CreateProcessAsUserW(token.get(), path.c_str(), commandLine.data(), &process, nullptr, FALSE,
                            CREATE_UNICODE_ENVIRONMENT, environment.get(), folder.c_str(), &startup,
                            &info)) {
    return {};
  }
  CloseHandle(info.hThread);
  return UniqueKernelHandle(info.hProcess);
}

// A program that runs in the session already (one the service started
// before it was restarted, or an engine that restarted itself) is watched,
// not doubled: a second engine would open the first one's configuration
// tool, and a second start-up prompt would fight the first for the front.
void Win32SessionKeeper::Adopt(DWORD session, Program program, Kept& kept) {
  const UniqueKernelHandle snapshot =
      OwnFileHandle(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return;
  const std::wstring& path = PathOf(program);
  const std::wstring fileName = path.substr(path.find_last_of(L'\\') + 1);
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
    kept.process.reset(
        OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID));
    if (kept.process) return;
  }
}

void Win32SessionKeeper::StartDue() {
  const std::lock_guard lock(mutex_);
  const auto now = Clock::now();
  for (auto& [session, state] : sessions_) {
    for (const Program program : kInStartOrder) {
      Kept& kept = state[program];
      if (kept.process || !kept.wanted || kept.due > now) continue;
      Adopt(session, program, kept);
      if (kept.process || state.Waits(program)) continue;
      kept.process = Launch(session, program);
      // A start that failed (no user token yet) is tried again in a second.
      if (!kept.process) kept.due = now + std::chrono::seconds(1);
      if (kept.process && programs_.tell) {
        programs_.tell({Happening::Kind::Started, session, program});
      }
    }
  }
}

void Win32SessionKeeper::Ended(Watched watched) {
  const auto delay = delayAfterEnd_(watched.session, watched.program);
  const std::lock_guard lock(mutex_);
  const auto found = sessions_.find(watched.session);
  if (found == sessions_.end()) return;
  Kept& kept = found->second[watched.program];
  DWORD exitCode = 1;
  GetExitCodeProcess(kept.process.get(), &exitCode);
  kept.process.reset();
  // The start-up locker's 0 is the right password: done for this log-on.
  if (watched.program == Program::StartupLock && exitCode == 0) kept.wanted = false;
  if (programs_.tell) {
    programs_.tell(
        {Happening::Kind::Ended, watched.session, watched.program, exitCode, kept.wanted});
  }
  if (!kept.wanted) return;
  kept.due = Clock::now() + delay;
}

void Win32SessionKeeper::Run(HANDLE stop) {
  WTS_SESSION_INFOW* sessions = nullptr;
  DWORD count = 0;
  if (WTSEnumerateSessionsW(WTS_CURRENT_SERVER_HANDLE, 0, 1, &sessions, &count)) {
    for (DWORD i = 0; i < count; ++i) {
      if (sessions[i].State == WTSActive || sessions[i].State == WTSDisconnected) {
        FoundOpen(sessions[i].SessionId);
      }
    }
    WTSFreeMemory(sessions);
  }
  // The console's session too: Wine 8 enumerates no session at all.
  if (const DWORD console = WTSGetActiveConsoleSessionId(); console != 0xFFFFFFFF) {
    FoundOpen(console);
  }
  for (;;) {
    StartDue();
    std::vector<HANDLE> waits{stop, wake_.get()};
    std::vector<Watched> watched;
    auto wait = Clock::duration::max();
    {
      const std::lock_guard lock(mutex_);
      for (auto& [session, state] : sessions_) {
        for (const Program program : kInStartOrder) {
          const Kept& kept = state[program];
          if (kept.process && waits.size() < MAXIMUM_WAIT_OBJECTS) {
            waits.push_back(kept.process.get());
            watched.push_back({session, program});
          } else if (!kept.process && kept.wanted && !state.Waits(program)) {
            wait = std::min(wait, kept.due - Clock::now());
          }
        }
      }
    }
    const DWORD timeout = wait == Clock::duration::max()
                              ? INFINITE
                              : static_cast<DWORD>(std::max<long long>(
                                    0, std::chrono::ceil<std::chrono::milliseconds>(wait).count()));
    const DWORD woke =
        WaitForMultipleObjects(static_cast<DWORD>(waits.size()), waits.data(), FALSE, timeout);
    if (woke == WAIT_OBJECT_0) return;
    if (woke >= WAIT_OBJECT_0 + 2 && woke < WAIT_OBJECT_0 + waits.size()) {
      Ended(watched[woke - WAIT_OBJECT_0 - 2]);
    }
  }
}

}  // namespace pm::win32
