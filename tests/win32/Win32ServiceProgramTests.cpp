// What the built service program carries and does beside being a service:
// the Event Log's texts for every event the code writes, with as many
// inserts as the code gives, and "/hash", which makes the stored form of a
// password for an administrator's policy.
#include <windows.h>

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "platform/win32/Handles.h"
#include "platform/win32/Wide.h"
#include "platform/win32/Win32EventLog.h"
#include "service/AuditEvents.h"
#include "store/PasswordCheck.h"

namespace pm::tests {
namespace {

std::wstring ServiceProgram() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path);
  folder.erase(folder.find_last_of(L"\\/") + 1);
  return folder + L"pmpsvc.exe";
}

// The message's text with its inserts left as %1, %2, ...
std::wstring MessageText(HMODULE module, std::uint32_t id) {
  LPWSTR text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER,
      module, id, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), reinterpret_cast<LPWSTR>(&text), 0,
      nullptr);
  std::wstring result = length > 0 && text != nullptr ? std::wstring(text, length) : std::wstring();
  LocalFree(text);
  return result;
}

std::set<int> InsertsOf(const std::wstring& text) {
  std::set<int> found;
  for (std::size_t at = text.find(L'%'); at != std::wstring::npos; at = text.find(L'%', at + 1)) {
    int number = 0;
    std::size_t digit = at + 1;
    while (digit < text.size() && iswdigit(text[digit]))
      number = number * 10 + (text[digit++] - L'0');
    if (number > 0) found.insert(number);
  }
  return found;
}

TEST(ServiceProgram, ItsMessageTableHasATextForEveryEventWithItsInserts) {
  const win32::UniqueHmodule module(
      LoadLibraryExW(ServiceProgram().c_str(), nullptr,
                     LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
  ASSERT_TRUE(module) << "pmpsvc.exe beside the test";
  for (const service::EventInfo& event : service::kAuditEvents) {
    const int id = static_cast<int>(event.id);
    SCOPED_TRACE("event " + std::to_string(id));
    const std::wstring text = MessageText(module.get(), service::MessageIdOf(event.id));
    ASSERT_FALSE(text.empty()) << "no text for the id with its level";
    // Account and session come first; the event's own follow, each used.
    for (const int n : InsertsOf(text)) {
      EXPECT_LE(n, 2 + event.inserts) << "the text asks for an insert the code does not give";
    }
    for (int n = 3; n <= 2 + event.inserts; ++n) {
      EXPECT_TRUE(InsertsOf(text).count(n) != 0) << "insert %" << n << " is given but not shown";
    }
  }
}

TEST(ServiceProgram, AnInsertCannotNameAParameterMessage) {
  EXPECT_EQ(win32::EventInsert("50%% off %%1"), L"50% % off % %1");
  EXPECT_EQ(win32::EventInsert("100%"), L"100%");
}

// Runs pmpsvc.exe /hash with `input` on its standard input; its standard
// output, and its exit code in `exitCode`.
std::string RunHash(const std::string& input, DWORD& exitCode) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE inRead = nullptr, inWrite = nullptr, outRead = nullptr, outWrite = nullptr;
  if (!CreatePipe(&inRead, &inWrite, &inherit, 0) ||
      !CreatePipe(&outRead, &outWrite, &inherit, 0)) {
    return {};
  }
  const win32::UniqueKernelHandle inReadOwned(inRead), inWriteOwned(inWrite), outReadOwned(outRead),
      outWriteOwned(outWrite);
  SetHandleInformation(inWrite, HANDLE_FLAG_INHERIT, 0);
  SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = inRead;
  startup.hStdOutput = outWrite;
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  std::wstring command = L"\"" + ServiceProgram() + L"\" /hash";
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                      nullptr, &startup, &info)) {
    return {};
  }
  const win32::UniqueKernelHandle process(info.hProcess), thread(info.hThread);
  DWORD written = 0;
  WriteFile(inWrite, input.data(), static_cast<DWORD>(input.size()), &written, nullptr);
  CloseHandle(inWriteOwned.get());
  std::string output;
  WaitForSingleObject(info.hProcess, 60000);
  DWORD available = 0;
  while (PeekNamedPipe(outRead, nullptr, 0, nullptr, &available, nullptr) && available > 0) {
    char buffer[512];
    DWORD read = 0;
    if (!ReadFile(outRead, buffer, sizeof buffer, &read, nullptr) || read == 0) break;
    output.append(buffer, read);
  }
  GetExitCodeProcess(info.hProcess, &exitCode);
  return output;
}

TEST(ServiceProgram, HashMakesTheStoredFormOfThePasswordTypedTwice) {
  DWORD exitCode = 1;
  std::string printed = RunHash("Admin Pass\r\nAdmin Pass\r\n", exitCode);
  EXPECT_EQ(exitCode, 0u);
  while (!printed.empty() && (printed.back() == '\n' || printed.back() == '\r')) printed.pop_back();
  EXPECT_TRUE(printed.starts_with("pbkdf2-sha256$")) << printed;
  EXPECT_EQ(printed.find("Admin"), std::string::npos) << "the password is not shown";
  EXPECT_TRUE(store::PasswordMatches("admin pass", printed));
}

TEST(ServiceProgram, HashRefusesTwoDifferentPasswords) {
  DWORD exitCode = 0;
  EXPECT_EQ(RunHash("one\r\ntwo\r\n", exitCode), "");
  EXPECT_EQ(exitCode, 1u);
}

}  // namespace
}  // namespace pm::tests
