// One message in, one message out, on an overlapped named-pipe handle, each
// with a time limit, so a peer that stops answering cannot hold the caller:
// the configuration tool's window, or the service's only pipe instance.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace pm::win32 {

// Win32 error codes; 0 on success.
DWORD WriteMessage(HANDLE pipe, std::span<const std::uint8_t> message, DWORD timeoutMs);
// Reads one whole message of at most `limit` bytes; a longer one fails with
// ERROR_MESSAGE_EXCEEDS_MAX_SIZE.
DWORD ReadMessage(HANDLE pipe, std::vector<std::uint8_t>& message, std::size_t limit,
                  DWORD timeoutMs);
// The same, with the limit judged from the message's first bytes (up to 64
// KiB), so a message is refused before it is read whole when it is larger
// than its kind may be.
DWORD ReadMessage(HANDLE pipe, std::vector<std::uint8_t>& message,
                  const std::function<std::size_t(std::span<const std::uint8_t> head)>& limit,
                  DWORD timeoutMs);

}  // namespace pm::win32
