#include "platform/win32/Win32PipeServer.h"

#include "platform/ServiceChannel.h"
#include "platform/win32/Wide.h"
#include "platform/win32/Win32PipeIo.h"
#include "platform/win32/Win32Security.h"

namespace pm::win32 {

namespace {

constexpr DWORD kBufferBytes = 64 * 1024;
constexpr DWORD kClientTimeoutMs = 10000;

}  // namespace

DWORD Win32PipeServer::Open() {
  const UniqueSecurityDescriptor rules = SecurityDescriptorFromSddl(kServicePipeSddl);
  if (!rules) return GetLastError();
  SECURITY_ATTRIBUTES attributes{sizeof attributes, rules.get(), FALSE};
  pipe_ = OwnFileHandle(CreateNamedPipeW(
      Wide(platform::service::kPipe).c_str(),
      PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED | FILE_FLAG_FIRST_PIPE_INSTANCE,
      PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS, 1,
      kBufferBytes, kBufferBytes, 0, &attributes));
  return pipe_ ? ERROR_SUCCESS : GetLastError();
}

bool Win32PipeServer::AwaitClient(HANDLE stop) {
  const UniqueKernelHandle connected(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (!connected) return false;
  OVERLAPPED overlapped{};
  overlapped.hEvent = connected.get();
  if (ConnectNamedPipe(pipe_.get(), &overlapped)) return true;
  switch (GetLastError()) {
    case ERROR_PIPE_CONNECTED:
      return true;
    case ERROR_IO_PENDING:
      break;
    default:
      return false;
  }
  const HANDLE events[] = {connected.get(), stop};
  if (WaitForMultipleObjects(2, events, FALSE, INFINITE) == WAIT_OBJECT_0) {
    DWORD ignored = 0;
    return GetOverlappedResult(pipe_.get(), &overlapped, &ignored, FALSE) != FALSE;
  }
  CancelIoEx(pipe_.get(), &overlapped);
  DWORD ignored = 0;
  GetOverlappedResult(pipe_.get(), &overlapped, &ignored, TRUE);
  return false;
}

void Win32PipeServer::Serve(HANDLE stop, const Handler& handler) {
  while (WaitForSingleObject(stop, 0) != WAIT_OBJECT_0) {
    if (AwaitClient(stop)) {
      std::vector<std::uint8_t> request;
      if (ReadMessage(pipe_.get(), request, platform::service::kMaxRequestBytes,
                      kClientTimeoutMs) == ERROR_SUCCESS) {
        // Disconnecting throws away a reply the client has not read yet, so
        // wait until the client closes its end (instead of FlushFileBuffers,
        // which would wait for ever on a client that never reads).
        if (WriteMessage(pipe_.get(), handler(request), kClientTimeoutMs) == ERROR_SUCCESS) {
          ReadMessage(pipe_.get(), request, 0, kClientTimeoutMs);
        }
      }
    } else if (WaitForSingleObject(stop, 100) == WAIT_OBJECT_0) {
      break;
    }
    DisconnectNamedPipe(pipe_.get());
  }
}

}  // namespace pm::win32
