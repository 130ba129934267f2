#include "platform/win32/Win32ServiceChannel.h"

#include <windows.h>

#include <memory>

#include "platform/Text.h"
#include "platform/win32/Handles.h"
#include "platform/win32/Wide.h"
#include "platform/win32/Win32Paths.h"
#include "platform/win32/Win32PipeIo.h"
#include "platform/win32/Win32Security.h"
#include "platform/win32/Win32ServiceHost.h"

namespace pm::win32 {

namespace {

// The password check alone takes about a second; an import a little more.
constexpr DWORD kReplyTimeoutMs = 60000;
constexpr DWORD kRequestTimeoutMs = 10000;
constexpr DWORD kBusyWaitMs = 5000;
constexpr int kStartingWaitMs = 3000;
constexpr int kStartingPollMs = 100;

UniqueKernelHandle OpenPipe(DWORD& error) {
  const std::wstring name = Wide(platform::service::kPipe);
  int absentFor = 0;
  for (int busy = 0; busy < 2;) {
    UniqueKernelHandle pipe = OwnFileHandle(CreateFileW(
        name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
        FILE_FLAG_OVERLAPPED | SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION, nullptr));
    if (pipe) return pipe;
    error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND && absentFor < kStartingWaitMs) {
      // The service is starting (Windows starts it again within a second
      // after a failure): its pipe comes once its settings are in order.
      Sleep(kStartingPollMs);
      absentFor += kStartingPollMs;
      continue;
    }
    // Every instance serves another program: wait for one once.
    if (error != ERROR_PIPE_BUSY || !WaitNamedPipeW(name.c_str(), kBusyWaitMs)) break;
    ++busy;
  }
  return {};
}

// One posted request and where it goes, owned by the thread that sends it.
struct Posted {
  std::string programFolder;
  std::vector<std::uint8_t> request;
};

DWORD WINAPI SendPosted(void* job) {
  const std::unique_ptr<Posted> posted(static_cast<Posted*>(job));
  Win32ServiceChannel channel(posted->programFolder);
  std::vector<std::uint8_t> reply;
  // A report nobody waits for: one that cannot be delivered is dropped.
  platform::BestEffort(platform::ResultOf(channel.Transact(posted->request, reply)),
                       "posting a report to the service");
  return 0;
}

}  // namespace

Win32ServiceChannel::Win32ServiceChannel(std::string programFolder)
    : servicePath_(std::move(programFolder) + std::string(platform::service::kProgram)) {}

bool Win32ServiceChannel::ServiceInstalled() {
  const UniqueServiceHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
  if (!manager) return false;
  const UniqueServiceHandle service(
      OpenServiceW(manager.get(), Wide(platform::service::kName).c_str(), SERVICE_QUERY_STATUS));
  return static_cast<bool>(service);
}

void Win32ServiceChannel::Post(std::span<const std::uint8_t> request) {
  const std::string_view program = platform::service::kProgram;
  auto posted =
      std::make_unique<Posted>(Posted{servicePath_.substr(0, servicePath_.size() - program.size()),
                                      std::vector<std::uint8_t>(request.begin(), request.end())});
  const UniqueKernelHandle thread(CreateThread(nullptr, 0, &SendPosted, posted.get(), 0, nullptr));
  if (thread) posted.release();  // the thread owns it now
}

std::int32_t Win32ServiceChannel::Transact(std::span<const std::uint8_t> request,
                                           std::vector<std::uint8_t>& reply) {
  DWORD error = ERROR_SUCCESS;
  const UniqueKernelHandle pipe = OpenPipe(error);
  if (!pipe) return static_cast<std::int32_t>(error);
  ULONG serverId = 0;
  if (!GetNamedPipeServerProcessId(pipe.get(), &serverId)) {
    return static_cast<std::int32_t>(GetLastError());
  }
  if (!platform::EqualsNoCase(Narrow(ProcessImagePath(serverId)), servicePath_) ||
      !OwnedBySystem(pipe.get())) {
    return platform::service_error::kNotTheService;
  }
  DWORD mode = PIPE_READMODE_MESSAGE;
  if (!SetNamedPipeHandleState(pipe.get(), &mode, nullptr, nullptr)) {
    return static_cast<std::int32_t>(GetLastError());
  }
  error = WriteMessage(pipe.get(), request, kRequestTimeoutMs);
  if (error == ERROR_SUCCESS) {
    error = ReadMessage(pipe.get(), reply, platform::service::kMaxReplyBytes, kReplyTimeoutMs);
  }
  return static_cast<std::int32_t>(error);
}

}  // namespace pm::win32
