#include "platform/win32/Win32PasswordInput.h"

#include <windows.h>

#include <algorithm>
#include <exception>

#include "platform/Text.h"
#include "platform/win32/Wide.h"
#include "store/PasswordCheck.h"

namespace pm::win32 {

namespace {

void Write(DWORD stream, std::wstring_view text) {
  const HANDLE out = GetStdHandle(stream);
  DWORD mode = 0;
  DWORD written = 0;
  if (GetConsoleMode(out, &mode)) {
    WriteConsoleW(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  } else {
    const std::string utf8 = Narrow(std::wstring(text));
    WriteFile(out, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
  }
}

// Restores the console's echo however the reading ends.
class EchoOff {
 public:
  explicit EchoOff(HANDLE in) : in_(in), console_(GetConsoleMode(in, &mode_) != FALSE) {
    if (console_) SetConsoleMode(in_, mode_ & ~ENABLE_ECHO_INPUT);
  }
  ~EchoOff() {
    if (console_) SetConsoleMode(in_, mode_);
  }
  EchoOff(const EchoOff&) = delete;
  EchoOff& operator=(const EchoOff&) = delete;
  bool console() const { return console_; }

 private:
  HANDLE in_;
  DWORD mode_ = 0;
  bool console_;
};

}  // namespace

std::optional<std::string> ReadHiddenLine(std::wstring_view prompt) {
  Write(STD_ERROR_HANDLE, prompt);
  const HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
  const EchoOff echo(in);
  std::wstring line;
  bool any = false;
  for (;;) {
    wchar_t c = 0;
    DWORD read = 0;
    if (echo.console()) {
      if (!ReadConsoleW(in, &c, 1, &read, nullptr) || read == 0) break;
    } else {
      // A pipe or a file gives bytes: UTF-8, one at a time up to the line's end.
      char byte = 0;
      if (!ReadFile(in, &byte, 1, &read, nullptr) || read == 0) break;
      std::string bytes(1, byte);
      while ((static_cast<unsigned char>(bytes.back()) & 0x80) != 0 && bytes.size() < 4) {
        char more = 0;
        if (!ReadFile(in, &more, 1, &read, nullptr) || read == 0) break;
        bytes += more;
        if ((static_cast<unsigned char>(more) & 0xC0) != 0x80) break;
      }
      const std::wstring wide = Wide(bytes);
      c = wide.empty() ? L'?' : wide[0];
    }
    any = true;
    if (c == L'\n') break;
    if (c != L'\r') line += c;
  }
  Write(STD_ERROR_HANDLE, L"\r\n");
  if (!any) return std::nullopt;
  std::string text = Narrow(line);
  std::fill(line.begin(), line.end(), L'\0');
  return text;
}

int RunHashCommand() {
  std::optional<std::string> first = ReadHiddenLine(L"Password: ");
  std::optional<std::string> second = ReadHiddenLine(L"The same password again: ");
  if (!first || !second) {
    Write(STD_ERROR_HANDLE, L"No password was given.\r\n");
    return 1;
  }
  const bool same = *first == *second;
  const bool empty = first->empty();
  platform::WipeText(*second);
  if (!same || empty) {
    platform::WipeText(*first);
    Write(STD_ERROR_HANDLE, empty ? L"An empty password protects nothing.\r\n"
                                  : L"The two passwords differ; nothing was made.\r\n");
    return 1;
  }
  try {
    const std::string hash = store::HashPassword(*first);
    platform::WipeText(*first);
    Write(STD_OUTPUT_HANDLE, Wide(hash) + L"\r\n");
    return 0;
  } catch (const std::exception&) {
    platform::WipeText(*first);
    Write(STD_ERROR_HANDLE, L"The system could not hash the password.\r\n");
    return 1;
  }
}

}  // namespace pm::win32
