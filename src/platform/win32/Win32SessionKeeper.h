// Keeps one engine running in every session that has a signed-in user, as
// that user: started at the service's start for the sessions already open
// and at each log-on, and started again when it ends, after the delay the
// caller's policy gives. The engine gets a process DACL that lets its user
// only wait for it and ask its name: Task Manager's End task and taskkill
// fail for a standard user, and the OWNER RIGHTS entry keeps the user from
// rewriting that DACL.
#pragma once

#include <windows.h>

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
  using DelayAfterEnd = std::function<std::chrono::steady_clock::duration(DWORD session)>;

  Win32SessionKeeper(std::wstring enginePath, DelayAfterEnd delayAfterEnd);

  // Until `stop` is signalled. Engines it started go on running after it.
  void Run(HANDLE stop);
  // From the service's control handler (SERVICE_CONTROL_SESSIONCHANGE).
  void SessionChanged(DWORD event, DWORD session);
  // "End Pelmora Pro" with the password: no engine in the session until its
  // next log-on.
  void LeaveAlone(DWORD session);

 private:
  struct Session {
    UniqueKernelHandle engine;                    // null while none runs
    std::chrono::steady_clock::time_point due{};  // when to start one
    bool leftAlone = false;
  };

  void StartDue();
  void Adopt(DWORD session, Session& state);
  UniqueKernelHandle Launch(DWORD session);

  std::wstring enginePath_;
  DelayAfterEnd delayAfterEnd_;
  UniqueKernelHandle wake_;
  std::mutex mutex_;  // the sessions, shared with the control handler and the pipe
  std::map<DWORD, Session> sessions_;
};

}  // namespace pm::win32
