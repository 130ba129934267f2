// The service's end of its pipe: a few instances, the first created first (so
// a program that took the name before cannot be served beside it), readable
// and writable by interactive users, each served on a thread of its own, so
// that a client that connects and sends nothing holds one instance for a few
// seconds and nobody else's request. The requests themselves are handled one
// at a time.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <mutex>
#include <span>
#include <vector>

#include "platform/win32/Handles.h"
#include "service/Caller.h"

namespace pm::win32 {

class Win32PipeServer {
 public:
  // The request, and who sent it as Windows names the client.
  using Handler = std::function<std::vector<std::uint8_t>(std::span<const std::uint8_t>,
                                                          const service::Caller& caller)>;
  // The most bytes a request may have, judged from its first bytes.
  using Limit = std::function<std::size_t(std::span<const std::uint8_t> head)>;

  static constexpr int kInstances = 4;

  // A Win32 error code: ERROR_ACCESS_DENIED or ERROR_PIPE_BUSY when another
  // program holds the name already.
  DWORD Open();
  // Until `stop` is signalled: each client's one request to `handler`, its
  // reply back. A client that sends nothing within a few seconds, or more
  // than `limit` allows for its kind of request, is dropped.
  void Serve(HANDLE stop, const Limit& limit, const Handler& handler);

 private:
  void ServeInstance(HANDLE pipe, HANDLE stop, const Limit& limit, const Handler& handler);
  std::vector<UniqueKernelHandle> instances_;
  std::mutex handling_;
};

// Who is at the other end of a connected pipe, as Windows knows it.
service::Caller ClientOf(HANDLE pipe);

}  // namespace pm::win32
