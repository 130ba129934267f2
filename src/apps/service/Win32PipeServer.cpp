#include "apps/service/Win32PipeServer.h"

#include <sddl.h>

#include <thread>

#include "platform/ServiceChannel.h"
#include "platform/win32/Wide.h"
#include "platform/win32/Win32PipeIo.h"
#include "platform/win32/Win32Security.h"

namespace pm::win32 {

namespace {

constexpr DWORD kBufferBytes = 64 * 1024;
constexpr DWORD kClientTimeoutMs = 10000;

bool AwaitClient(HANDLE pipe, HANDLE stop) {
  const UniqueKernelHandle connected(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (!connected) return false;
  OVERLAPPED overlapped{};
  overlapped.hEvent = connected.get();
  if (ConnectNamedPipe(pipe, &overlapped)) return true;
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
    return GetOverlappedResult(pipe, &overlapped, &ignored, FALSE) != FALSE;
  }
  CancelIoEx(pipe, &overlapped);
  DWORD ignored = 0;
  GetOverlappedResult(pipe, &overlapped, &ignored, TRUE);
  return false;
}

std::string SidText(PSID sid) {
  UniqueLocalMemory<wchar_t> text;
  if (!ConvertSidToStringSidW(sid, text.put())) return {};
  return Narrow(text.get());
}

bool HoldsAdministrators(HANDLE primaryToken) {
  UniqueKernelHandle identification;
  if (!DuplicateToken(primaryToken, SecurityIdentification, identification.put())) return false;
  const UniqueSid administrators = AdministratorsSid();
  BOOL member = FALSE;
  return administrators &&
         CheckTokenMembership(identification.get(), administrators.get(), &member) && member;
}

}  // namespace

service::Caller ClientOf(HANDLE pipe) {
  service::Caller caller;
  ULONG processId = 0;
  if (!GetNamedPipeClientProcessId(pipe, &processId)) return caller;
  caller.processId = processId;
  DWORD session = 0;
  if (ProcessIdToSessionId(processId, &session)) caller.session = session;
  const UniqueKernelHandle process(
      OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
  UniqueKernelHandle token;
  if (!process || !OpenProcessToken(process.get(), TOKEN_QUERY | TOKEN_DUPLICATE, token.put())) {
    return caller;
  }
  DWORD size = 0;
  GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
  std::vector<std::uint8_t> user(size);
  if (size >= sizeof(TOKEN_USER) &&
      GetTokenInformation(token.get(), TokenUser, user.data(), size, &size)) {
    caller.user = SidText(reinterpret_cast<const TOKEN_USER*>(user.data())->User.Sid);
  }
  caller.administrator = HoldsAdministrators(token.get());
  return caller;
}

DWORD Win32PipeServer::Open() {
  const UniqueSecurityDescriptor rules = SecurityDescriptorFromSddl(kServicePipeSddl);
  if (!rules) return GetLastError();
  SECURITY_ATTRIBUTES attributes{sizeof attributes, rules.get(), FALSE};
  instances_.clear();
  for (int i = 0; i < kInstances; ++i) {
    const DWORD first = i == 0 ? FILE_FLAG_FIRST_PIPE_INSTANCE : 0;
    UniqueKernelHandle pipe = OwnFileHandle(CreateNamedPipeW(
        Wide(platform::service::kPipe).c_str(), PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED | first,
        PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS,
        kInstances, kBufferBytes, kBufferBytes, 0, &attributes));
    if (!pipe) {
      const DWORD error = GetLastError();
      // Without the first there is nothing; with it, fewer instances serve.
      if (i == 0) return error;
      break;
    }
    instances_.push_back(std::move(pipe));
  }
  return ERROR_SUCCESS;
}

void Win32PipeServer::ServeInstance(HANDLE pipe, HANDLE stop, const Limit& limit,
                                    const Handler& handler) {
  while (WaitForSingleObject(stop, 0) != WAIT_OBJECT_0) {
    if (AwaitClient(pipe, stop)) {
      std::vector<std::uint8_t> request;
      const DWORD read = ReadMessage(pipe, request, limit, kClientTimeoutMs);
      // A message larger than its kind may be is answered as one that
      // cannot be read, without the rest of it.
      if (read == ERROR_MESSAGE_EXCEEDS_MAX_SIZE) request.clear();
      if (read == ERROR_SUCCESS || read == ERROR_MESSAGE_EXCEEDS_MAX_SIZE) {
        const service::Caller caller = ClientOf(pipe);
        std::vector<std::uint8_t> reply;
        {
          const std::lock_guard lock(handling_);
          reply = handler(request, caller);
        }
        // Disconnecting throws away a reply the client has not read yet, so
        // wait until the client closes its end (instead of FlushFileBuffers,
        // which would wait for ever on a client that never reads).
        if (WriteMessage(pipe, reply, kClientTimeoutMs) == ERROR_SUCCESS) {
          ReadMessage(pipe, request, 0, kClientTimeoutMs);
        }
      }
    } else if (WaitForSingleObject(stop, 100) == WAIT_OBJECT_0) {
      break;
    }
    DisconnectNamedPipe(pipe);
  }
}

void Win32PipeServer::Serve(HANDLE stop, const Limit& limit, const Handler& handler) {
  std::vector<std::thread> threads;
  for (UniqueKernelHandle& instance : instances_) {
    threads.emplace_back([this, pipe = instance.get(), stop, &limit, &handler] {
      ServeInstance(pipe, stop, limit, handler);
    });
  }
  for (std::thread& thread : threads) thread.join();
}

}  // namespace pm::win32
