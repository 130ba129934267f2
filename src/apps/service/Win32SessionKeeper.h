// Keeps our programs running in every session that has a signed-in user, as
// that user, by the rules of service::SessionPrograms: started at the
// service's start for the sessions already open (the start-up locker only
// for a session that logged on just before) and at each log-on.
//
// Each is started on the user's account without administrator rights, at
// high integrity, so that Windows keeps the user's ordinary programs from
// hooking it, sending it messages or synthesising input into it; with a
// process DACL, and for its threads and objects a default DACL, that let
// the user only wait for it and ask its name (Task Manager's End task and
// taskkill fail for a standard user; OWNER RIGHTS keeps the user from
// rewriting those DACLs). A copy of our programs that runs in the session
// without that protection (one the user started) is ended and replaced.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <utility>

#include "platform/win32/Handles.h"
#include "service/SessionPrograms.h"

namespace pm::win32 {

class Win32SessionKeeper {
 public:
  using Program = service::SessionProgram;

  // A start or an end the keeper sees, for the audit trail.
  struct Happening {
    enum class Kind { Started, Ended } kind;
    DWORD session;
    Program program;
    bool again = false;  // Ended: it is started again
  };

  struct Programs {
    std::wstring startupLockPath;
    std::wstring enginePath;
    // Asked at each log-on: whether the start-up locker is switched on.
    std::function<bool()> startupLockOn;
    // Told, on the keeper's thread, of each start it makes and each end it sees.
    std::function<void(const Happening&)> tell = {};
  };

  explicit Win32SessionKeeper(Programs programs);

  // Until `stop` is signalled. Programs it started go on running after it.
  void Run(HANDLE stop);
  // From the service's control handler (SERVICE_CONTROL_SESSIONCHANGE).
  void SessionChanged(DWORD event, DWORD session);
  // "End Pelmora Pro" with the password: no engine in the session until its
  // next log-on.
  void LeaveAlone(DWORD session);
  // The right password at the session's start-up lock.
  void StartupLockPassed(DWORD session);
  // Opens a file, an address or a program for the session's user, at the
  // user's ordinary level, as the shell does.
  bool OpenForUser(DWORD session, std::string_view what);

 private:
  using Key = std::pair<DWORD, Program>;

  // A log-on: the engine is due, and the start-up locker first when on.
  void LoggedOn(DWORD session, bool startupLock);
  // A session already open when the service starts.
  void FoundOpen(DWORD session);
  bool StartupLockWanted() const;
  void StartDue();
  void Ended(Key key);
  const std::wstring& PathOf(Program program) const;
  // A protected copy already running in the session, or null; every other
  // copy of the program there is ended.
  UniqueKernelHandle AdoptOrEnd(DWORD session, Program program);
  UniqueKernelHandle Launch(DWORD session, Program program);
  void Changed();

  Programs programs_;
  UniqueKernelHandle wake_;
  std::mutex mutex_;  // what follows, shared with the control handler and the pipe
  service::SessionPrograms rules_;
  std::map<Key, UniqueKernelHandle> processes_;
};

}  // namespace pm::win32
