// One message in, one message out, on an overlapped named-pipe handle, each
// with a time limit, so a peer that stops answering cannot hold the caller:
// the configuration tool's window, or the service's only pipe instance.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>
#include <vector>

namespace pm::win32 {

// Win32 error codes; 0 on success.
DWORD WriteMessage(HANDLE pipe, std::span<const std::uint8_t> message, DWORD timeoutMs);
// Reads one whole message of at most `limit` bytes; a longer one fails with
// ERROR_MESSAGE_EXCEEDS_MAX_SIZE.
DWORD ReadMessage(HANDLE pipe, std::vector<std::uint8_t>& message, std::size_t limit,
                  DWORD timeoutMs);

}  // namespace pm::win32
