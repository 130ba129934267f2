#include "platform/win32/Win32PipeIo.h"

#include "platform/win32/Handles.h"

namespace pm::win32 {

namespace {

// Waits for one overlapped operation; cancels it when time runs out.
DWORD Finish(HANDLE pipe, OVERLAPPED& overlapped, BOOL started, DWORD& transferred,
             DWORD timeoutMs) {
  if (!started) {
    const DWORD error = GetLastError();
    if (error != ERROR_IO_PENDING) return error;
    if (WaitForSingleObject(overlapped.hEvent, timeoutMs) != WAIT_OBJECT_0) {
      CancelIoEx(pipe, &overlapped);
      GetOverlappedResult(pipe, &overlapped, &transferred, TRUE);
      return ERROR_TIMEOUT;
    }
  }
  return GetOverlappedResult(pipe, &overlapped, &transferred, FALSE) ? ERROR_SUCCESS
                                                                     : GetLastError();
}

}  // namespace

DWORD WriteMessage(HANDLE pipe, std::span<const std::uint8_t> message, DWORD timeoutMs) {
  const UniqueKernelHandle event(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (!event) return GetLastError();
  OVERLAPPED overlapped{};
  overlapped.hEvent = event.get();
  DWORD written = 0;
  const BOOL started =
      WriteFile(pipe, message.data(), static_cast<DWORD>(message.size()), nullptr, &overlapped);
  const DWORD error = Finish(pipe, overlapped, started, written, timeoutMs);
  if (error != ERROR_SUCCESS) return error;
  return written == message.size() ? ERROR_SUCCESS : ERROR_WRITE_FAULT;
}

DWORD ReadMessage(HANDLE pipe, std::vector<std::uint8_t>& message, std::size_t limit,
                  DWORD timeoutMs) {
  return ReadMessage(
      pipe, message, [limit](std::span<const std::uint8_t>) { return limit; }, timeoutMs);
}

DWORD ReadMessage(HANDLE pipe, std::vector<std::uint8_t>& message,
                  const std::function<std::size_t(std::span<const std::uint8_t> head)>& limitFor,
                  DWORD timeoutMs) {
  const UniqueKernelHandle event(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (!event) return GetLastError();
  message.clear();
  std::vector<std::uint8_t> chunk(64 * 1024);
  std::size_t limit = 0;
  for (bool first = true;; first = false) {
    OVERLAPPED overlapped{};
    overlapped.hEvent = event.get();
    ResetEvent(event.get());
    DWORD got = 0;
    const BOOL started =
        ReadFile(pipe, chunk.data(), static_cast<DWORD>(chunk.size()), nullptr, &overlapped);
    const DWORD error = Finish(pipe, overlapped, started, got, timeoutMs);
    if (error != ERROR_SUCCESS && error != ERROR_MORE_DATA) return error;
    if (first) limit = limitFor(std::span<const std::uint8_t>(chunk.data(), got));
    if (message.size() + got > limit) return ERROR_MESSAGE_EXCEEDS_MAX_SIZE;
    if (error == ERROR_MORE_DATA && first) {
      // The rest of the message must fit too.
      DWORD left = 0;
      if (PeekNamedPipe(pipe, nullptr, 0, nullptr, nullptr, &left) &&
          got + static_cast<std::size_t>(left) > limit) {
        return ERROR_MESSAGE_EXCEEDS_MAX_SIZE;
      }
    }
    message.insert(message.end(), chunk.begin(), chunk.begin() + got);
    if (error == ERROR_SUCCESS) return ERROR_SUCCESS;
  }
}

}  // namespace pm::win32
