// The service's end of its pipe: one instance, created first (so a program
// that took the name before cannot be served beside it), readable and
// writable by interactive users, serving one request at a time until told
// to stop.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "platform/win32/Handles.h"

namespace pm::win32 {

class Win32PipeServer {
 public:
  using Handler = std::function<std::vector<std::uint8_t>(std::span<const std::uint8_t>)>;

  // A Win32 error code: ERROR_ACCESS_DENIED or ERROR_PIPE_BUSY when another
  // program holds the name already.
  DWORD Open();
  // Until `stop` is signalled: each client's one request to `handler`, its
  // reply back. A client that sends nothing within a few seconds, or too
  // much, is dropped.
  void Serve(HANDLE stop, const Handler& handler);

 private:
  bool AwaitClient(HANDLE stop);
  UniqueKernelHandle pipe_;
};

}  // namespace pm::win32
