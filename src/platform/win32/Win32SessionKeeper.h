// Keeps our programs running in every session that has a signed-in user, as
// that user: started at the service's start for the sessions already open
// and at each log-on (the start-up locker at the service's start only for
// a session that logged on just before). The start-up locker comes first, when it is switched
// on, and runs until it ends with exit code 0 (the right password); the
// engine starts once it has, so the two never fight over the foreground,
// and runs until "End Pelmora Pro" or the end of the session. Either is
// started again when it ends otherwise, after the delay the caller's policy
// gives. Each gets a process DACL that lets its user only wait for it and
// ask its name: Task Manager's End task and taskkill fail for a standard
// user, and the OWNER RIGHTS entry keeps the user from rewriting that DACL.
#pragma once

#include <windows.h>

#include <array>
#include <chrono>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "platform/win32/Handles.h"

namespace pm::win32 {

class Win32SessionKeeper {
 public:
  // In the order they start in a session.
  enum class Program { StartupLock, Engine };
  static constexpr std::size_t kPrograms = 2;

  // A start or an end the keeper sees, for the audit trail.
  struct Happening {
    enum class Kind { Started, Ended } kind;
    DWORD session;
    Program program;
    DWORD exitCode = 0;  // Ended
    bool again = false;  // Ended: it is started again
  };

  struct Programs {
    std::wstring startupLockPath;
    std::wstring enginePath;
    // Asked at each log-on: whether the start-up locker is switched on.
    std::function<bool()> startupLockOn;
    // Told, on the keeper's thread, of each start and each end it sees.
    std::function<void(const Happening&)> tell;
  };
  using DelayAfterEnd =
      std::function<std::chrono::steady_clock::duration(DWORD session, Program program)>;

  Win32SessionKeeper(Programs programs, DelayAfterEnd delayAfterEnd);

  // Until `stop` is signalled. Programs it started go on running after it.
  void Run(HANDLE stop);
  // From the service's control handler (SERVICE_CONTROL_SESSIONCHANGE).
  void SessionChanged(DWORD event, DWORD session);
  // "End Pelmora Pro" with the password: no engine in the session until its
  // next log-on.
  void LeaveAlone(DWORD session);

 private:
  struct Kept {
    UniqueKernelHandle process;                   // null while none runs
    std::chrono::steady_clock::time_point due{};  // when to start one
    bool wanted = false;
  };
  struct Session {
    std::array<Kept, kPrograms> kept;
    Kept& operator[](Program program) { return kept[static_cast<std::size_t>(program)]; }
    const Kept& operator[](Program program) const {
      return kept[static_cast<std::size_t>(program)];
    }
    // The engine starts once the start-up locker has had its password.
    bool Waits(Program program) const {
      return program == Program::Engine && (*this)[Program::StartupLock].wanted;
    }
  };
  static constexpr Program kInStartOrder[] = {Program::StartupLock, Program::Engine};
  struct Watched {
    DWORD session;
    Program program;
  };

  // A log-on: the engine is due, and the start-up locker first when on.
  void LoggedOn(DWORD session, bool startupLock);
  // A session already open when the service starts.
  void FoundOpen(DWORD session);
  bool StartupLockWanted() const;
  void StartDue();
  void Ended(Watched watched);
  const std::wstring& PathOf(Program program) const;
  void Adopt(DWORD session, Program program, Kept& kept);
  UniqueKernelHandle Launch(DWORD session, Program program);

  Programs programs_;
  DelayAfterEnd delayAfterEnd_;
  UniqueKernelHandle wake_;
  std::mutex mutex_;  // the sessions, shared with the control handler and the pipe
  std::map<DWORD, Session> sessions_;
};

}  // namespace pm::win32
