#include "platform/win32/Win32SessionKeeper.h"

// tlhelp32.h, userenv.h and wtsapi32.h need the types of windows.h.
#include <tlhelp32.h>
#include <userenv.h>
#include <wtsapi32.h>

#include <algorithm>

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

}  // namespace

Win32SessionKeeper::Win32SessionKeeper(std::wstring enginePath, DelayAfterEnd delayAfterEnd)
    : enginePath_(std::move(enginePath)),
      delayAfterEnd_(std::move(delayAfterEnd)),
      wake_(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}

void Win32SessionKeeper::SessionChanged(DWORD event, DWORD session) {
  {
    const std::lock_guard lock(mutex_);
    if (event == WTS_SESSION_LOGON) {
      Session& state = sessions_[session];
      state.leftAlone = false;
      state.due = Clock::now();
    } else if (event == WTS_SESSION_LOGOFF) {
      // Its engine ends with the session; the next log-on starts one.
      sessions_.erase(session);
    }
  }
  SetEvent(wake_.get());
}

void Win32SessionKeeper::LeaveAlone(DWORD session) {
  const std::lock_guard lock(mutex_);
  sessions_[session].leftAlone = true;
}

UniqueKernelHandle Win32SessionKeeper::Launch(DWORD session) {
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
  std::wstring commandLine = L"\"" + enginePath_ + L"\"";
  const std::wstring folder = enginePath_.substr(0, enginePath_.find_last_of(L'\\'));
  PROCESS_INFORMATION info{};
  if (!CreateProcessAsUserW(token.get(), enginePath_.c_str(), commandLine.data(), &process, nullptr,
                            FALSE, CREATE_UNICODE_ENVIRONMENT, environment.get(), folder.c_str(),
                            &startup, &info)) {
    return {};
  }
  CloseHandle(info.hThread);
  return UniqueKernelHandle(info.hProcess);
}

// An engine that runs in the session already (one the service started
// before it was restarted, or one that restarted itself) is watched, not
// doubled: a second copy would open the first one's configuration tool.
void Win32SessionKeeper::Adopt(DWORD session, Session& state) {
  const UniqueKernelHandle snapshot =
      OwnFileHandle(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot.get(), &entry); more;
       more = Process32NextW(snapshot.get(), &entry)) {
    DWORD processSession = 0;
    if (!ProcessIdToSessionId(entry.th32ProcessID, &processSession) || processSession != session ||
        !SamePath(ProcessImagePath(entry.th32ProcessID), enginePath_)) {
      continue;
    }
    state.engine.reset(OpenProcess(SYNCHRONIZE, FALSE, entry.th32ProcessID));
    if (state.engine) return;
  }
}

void Win32SessionKeeper::StartDue() {
  const std::lock_guard lock(mutex_);
  const auto now = Clock::now();
  for (auto& [session, state] : sessions_) {
    if (state.engine || state.leftAlone || state.due > now) continue;
    Adopt(session, state);
    if (!state.engine) state.engine = Launch(session);
    // A start that failed (no user token yet) is tried again in a second.
    if (!state.engine) state.due = now + std::chrono::seconds(1);
  }
}

void Win32SessionKeeper::Run(HANDLE stop) {
  WTS_SESSION_INFOW* sessions = nullptr;
  DWORD count = 0;
  if (WTSEnumerateSessionsW(WTS_CURRENT_SERVER_HANDLE, 0, 1, &sessions, &count)) {
    for (DWORD i = 0; i < count; ++i) {
      if (sessions[i].State == WTSActive || sessions[i].State == WTSDisconnected) {
        SessionChanged(WTS_SESSION_LOGON, sessions[i].SessionId);
      }
    }
    WTSFreeMemory(sessions);
  }
  // The console's session too: Wine 8 enumerates no session at all.
  if (const DWORD console = WTSGetActiveConsoleSessionId(); console != 0xFFFFFFFF) {
    SessionChanged(WTS_SESSION_LOGON, console);
  }
  // The console's session too: Wine 8 enumerates no session at all.
  if (const DWORD console = WTSGetActiveConsoleSessionId(); console != 0xFFFFFFFF) {
    SessionChanged(WTS_SESSION_LOGON, console);
  }
  for (;;) {
    StartDue();
    std::vector<HANDLE> waits{stop, wake_.get()};
    std::vector<DWORD> watched;
    auto wait = Clock::duration::max();
    {
      const std::lock_guard lock(mutex_);
      for (auto& [session, state] : sessions_) {
        if (state.engine && waits.size() < MAXIMUM_WAIT_OBJECTS) {
          waits.push_back(state.engine.get());
          watched.push_back(session);
        } else if (!state.engine && !state.leftAlone) {
          wait = std::min(wait, state.due - Clock::now());
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
      const DWORD session = watched[woke - WAIT_OBJECT_0 - 2];
      const auto delay = delayAfterEnd_(session);
      const std::lock_guard lock(mutex_);
      const auto found = sessions_.find(session);
      if (found != sessions_.end()) {
        found->second.engine.reset();
        found->second.due = Clock::now() + delay;
      }
    }
  }
}

}  // namespace pm::win32
