#include "Harness.h"

// tlhelp32.h needs the types of windows.h.
#include <tlhelp32.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>

#include "StandardUser.h"
#include "engine/frmMainLayout.h"
#include "platform/win32/Wide.h"
#include "platform/win32/Win32Paths.h"
#include "prompt/frmPasswordLayout.h"
#include "store/PasswordPlace.h"
#include "store/ProgramList.h"
#include "store/SettingsCatalogue.h"
#include "store/modRegistry.h"

namespace pm::e2e {

void Say(const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  std::vprintf(format, arguments);
  va_end(arguments);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

std::wstring WindowsPath(std::wstring_view path) {
  if (path.empty() || path.front() != L'/') return std::wstring(path);
  using ToDos = WCHAR*(CDECL*)(LPCSTR);
  // Through void*, as GetProcAddress's type fits no real function.
  const auto toDos = reinterpret_cast<ToDos>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_dos_file_name")));
  if (toDos == nullptr) return std::wstring(path);
  WCHAR* dos = toDos(Utf8(path).c_str());
  if (dos == nullptr) return std::wstring(path);
  std::wstring result(dos);
  HeapFree(GetProcessHeap(), 0, dos);
  return result;
}

std::wstring FolderOf(const std::wstring& path) {
  const std::size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

std::string Utf8(std::wstring_view text) {
  return win32::Narrow(text);
}

// --- Engines ---------------------------------------------------------------

DWORD Engines::Launch(const wchar_t* application, std::wstring commandLine, const wchar_t* folder) {
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  const bool started = standardUser_ && application != nullptr
                           ? CreateStandardUserProcess(commandLine, folder, info)
                           : CreateProcessW(application, commandLine.data(), nullptr, nullptr,
                                            FALSE, 0, nullptr, folder, &startup, &info) != FALSE;
  if (!started) {
    Say("  could not start %s: error %lu", Utf8(commandLine).c_str(), GetLastError());
    return 0;
  }
  win32::UniqueKernelHandle thread(info.hThread);
  started_.push_back({info.dwProcessId, win32::UniqueKernelHandle(info.hProcess)});
  return info.dwProcessId;
}

DWORD Engines::Start() {
  std::wstring folder = programPath_;
  const std::size_t slash = folder.find_last_of(L"\\/");
  folder = slash == std::wstring::npos ? std::wstring() : folder.substr(0, slash);
  return Launch(programPath_.c_str(), L"\"" + programPath_ + L"\"",
                folder.empty() ? nullptr : folder.c_str());
}

DWORD Engines::StartOther(std::wstring_view commandLine) {
  return Launch(nullptr, std::wstring(commandLine), nullptr);
}

bool Engines::Adopt(DWORD processId) {
  win32::UniqueKernelHandle process(OpenProcess(
      SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
  if (!process) return false;
  started_.push_back({processId, std::move(process)});
  return true;
}

HANDLE Engines::Process(DWORD processId) const {
  for (const Started& s : started_) {
    if (s.processId == processId) return s.process.get();
  }
  return nullptr;
}

std::optional<DWORD> Engines::ExitCode(DWORD processId, std::chrono::milliseconds limit) const {
  const HANDLE process = Process(processId);
  if (process == nullptr ||
      WaitForSingleObject(process, static_cast<DWORD>(limit.count())) != WAIT_OBJECT_0) {
    return std::nullopt;
  }
  DWORD code = 0;
  if (!GetExitCodeProcess(process, &code)) return std::nullopt;
  return code;
}

void Engines::End(DWORD processId) {
  const auto it = std::find_if(started_.begin(), started_.end(),
                               [&](const Started& s) { return s.processId == processId; });
  if (it == started_.end()) return;
  if (WaitForSingleObject(it->process.get(), 0) == WAIT_TIMEOUT) {
    TerminateProcess(it->process.get(), 1);
    WaitForSingleObject(it->process.get(), 5000);
  }
  started_.erase(it);
}

namespace {

void Terminate(DWORD processId) {
  win32::UniqueKernelHandle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processId));
  if (!process) return;
  TerminateProcess(process.get(), 1);
  WaitForSingleObject(process.get(), 5000);
}

std::vector<std::pair<DWORD, DWORD>> ProcessesAndParents() {
  const HANDLE raw = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (raw == INVALID_HANDLE_VALUE) return {};
  win32::UniqueKernelHandle snapshot(raw);
  std::vector<std::pair<DWORD, DWORD>> parentOf;  // (process, parent)
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Process32FirstW(raw, &entry); more; more = Process32NextW(raw, &entry)) {
    parentOf.emplace_back(entry.th32ProcessID, entry.th32ParentProcessID);
  }
  return parentOf;
}

// The processes started by any of `roots`, and those started by them.
std::vector<DWORD> DescendantsOf(std::vector<DWORD> roots) {
  const std::vector<std::pair<DWORD, DWORD>> parentOf = ProcessesAndParents();
  std::vector<DWORD> found;
  for (std::size_t next = 0; next < roots.size(); ++next) {
    for (const auto& [process, parent] : parentOf) {
      if (parent != roots[next] || process == GetCurrentProcessId()) continue;
      if (std::find(roots.begin(), roots.end(), process) != roots.end()) continue;
      roots.push_back(process);
      found.push_back(process);
    }
  }
  return found;
}

}  // namespace

void EndEveryCopyOf(const std::wstring& programPath) {
  for (const auto& [process, parent] : ProcessesAndParents()) {
    if (_wcsicmp(win32::ProcessImagePath(process).c_str(), programPath.c_str()) == 0) {
      Terminate(process);
    }
  }
}

void Engines::EndAll() {
  std::vector<DWORD> roots;
  for (const Started& s : started_) roots.push_back(s.processId);
  // Looked up before anything ends. Whatever outlives the scenario keeps the
  // harness's stderr open (Wine hands it to every process it starts), and
  // CTest waits for it: Wine's debugger, started when a program crashes, is
  // such a process.
  const std::vector<DWORD> descendants = DescendantsOf(roots);
  for (Started& s : started_) {
    if (WaitForSingleObject(s.process.get(), 0) == WAIT_TIMEOUT) {
      TerminateProcess(s.process.get(), 1);
      WaitForSingleObject(s.process.get(), 5000);
    }
  }
  started_.clear();
  for (DWORD processId : descendants) Terminate(processId);
  // A copy that one of ours started (the restart) is known also by its
  // windows; every window of our class in the prefix belongs to such a copy.
  for (HWND window : FindAllTopLevel({.title = {}})) {
    const DWORD processId = ProcessOf(window);
    if (processId == 0 || processId == GetCurrentProcessId()) continue;
    Terminate(processId);
  }
}

// --- Registry --------------------------------------------------------------

namespace {

// Gone before and after each test; a key that was never there is gone too.
void RemoveProductKey(platform::Registry& registry) {
  const platform::RegStatus status = registry.DeleteTree(store::kRootKey, store::kProductKey);
  if (status != platform::reg_error::kSuccess && status != platform::reg_error::kFileNotFound) {
    Say("the product key could not be removed: error %d", static_cast<int>(status));
  }
}

}  // namespace

ProductKey::ProductKey() {
  RemoveProductKey(registry_);
}

ProductKey::~ProductKey() {
  RemoveProductKey(registry_);
}

// As on Windows, where the keys below HKLM\SOFTWARE inherit these rules:
// users read, and only administrators and the system write.
bool ProductKey::Protected(store::RegResult written) {
  return written && store::modRegistry::ProtectKeyTree(registry_, store::kRootKey,
                                                       store::kProductKey, store::RulesOfKey);
}

bool ProductKey::WriteSetting(std::string_view name, std::string_view text) {
  return Protected(store::WriteSetting(registry_, name, text));
}

std::string ProductKey::ReadSetting(std::string_view name) {
  return store::ReadSetting(registry_, name);
}

std::string ProductKey::ReadPassword(std::string_view name) {
  return store::ReadPassword(registry_, name);
}

bool ProductKey::ForgetProtectedPasswords() {
  const platform::RegStatus status = registry_.DeleteTree(store::kRootKey, store::kPasswordsKey);
  return status == 0 || status == platform::reg_error::kFileNotFound;
}

bool ProductKey::WriteLockedItems(const std::vector<store::ListItem>& items) {
  return Protected(store::WriteLists(registry_, items, {}));
}

bool ProductKey::WriteProgramItems(const std::vector<store::ListItem>& programs) {
  return Protected(store::WriteProgramList(registry_, programs));
}

std::vector<store::ListItem> ProductKey::ReadItems() {
  return store::ReadItemList(registry_);
}

std::vector<store::ListItem> ProductKey::ReadPrograms() {
  return store::ReadProgramList(registry_);
}

// --- Target windows --------------------------------------------------------

namespace {

// The window's extra bytes hold the time of the first WM_CLOSE, taken in the
// window procedure itself so a benchmark measures the message's arrival.
constexpr int kFirstCloseOffset = 0;

LRESULT CALLBACK TargetWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CLOSE) {
    if (GetWindowLongPtrW(window, kFirstCloseOffset) == 0) {
      LARGE_INTEGER now;
      QueryPerformanceCounter(&now);
      SetWindowLongPtrW(window, kFirstCloseOffset, static_cast<LONG_PTR>(now.QuadPart));
    }
    SetWindowLongPtrW(window, GWLP_USERDATA, GetWindowLongPtrW(window, GWLP_USERDATA) + 1);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

TargetWindow::TargetWindow(std::wstring_view title, std::wstring_view className, bool visible)
    : className_(className) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = TargetWindowProc;
  windowClass.cbWndExtra = sizeof(LONG_PTR);
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = className_.c_str();
  RegisterClassExW(&windowClass);
  window_.reset(CreateWindowExW(0, className_.c_str(), std::wstring(title).c_str(),
                                WS_OVERLAPPEDWINDOW | (visible ? WS_VISIBLE : 0), 200, 200, 400,
                                300, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr));
  PumpPending();
}

TargetWindow::~TargetWindow() {
  window_.reset();
  PumpPending();
  UnregisterClassW(className_.c_str(), GetModuleHandleW(nullptr));
}

int TargetWindow::closeRequests() const {
  return static_cast<int>(GetWindowLongPtrW(window_.get(), GWLP_USERDATA));
}

LONGLONG TargetWindow::firstCloseTicks() const {
  return static_cast<LONGLONG>(GetWindowLongPtrW(window_.get(), kFirstCloseOffset));
}

// --- Finding windows -------------------------------------------------------

DWORD ProcessOf(HWND window) {
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  return processId;
}

std::wstring TextOf(HWND window) {
  wchar_t buffer[512] = {};
  // WM_GETTEXT, so a control of another process answers with its own text.
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXT, std::size(buffer), reinterpret_cast<LPARAM>(buffer),
                           SMTO_ABORTIFHUNG, 2000, &length)) {
    return {};
  }
  return std::wstring(buffer, std::min<std::size_t>(length, std::size(buffer) - 1));
}

namespace {

bool Matches(HWND window, const WindowQuery& query) {
  wchar_t className[257] = {};
  GetClassNameW(window, className, 257);
  if (!query.className.empty() && _wcsicmp(className, query.className.c_str()) != 0) return false;
  if (!query.title.empty()) {
    wchar_t title[256] = {};
    GetWindowTextW(window, title, 256);
    if (query.title != title) return false;
  }
  const bool visible = IsWindowVisible(window) != FALSE;
  if (query.visibility == WindowQuery::Visibility::Visible && !visible) return false;
  if (query.visibility == WindowQuery::Visibility::Hidden && visible) return false;
  const DWORD processId = ProcessOf(window);
  if (query.processId != 0 && processId != query.processId) return false;
  if (query.notProcessId != 0 && processId == query.notProcessId) return false;
  if (query.withoutChildId != 0 && GetDlgItem(window, query.withoutChildId) != nullptr) {
    return false;
  }
  return true;
}

struct Search {
  const WindowQuery* query;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectMatch(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<Search*>(context);
  if (Matches(window, *search->query)) search->found.push_back(window);
  return TRUE;
}

}  // namespace

std::vector<HWND> FindAllTopLevel(const WindowQuery& query) {
  Search search{&query, {}};
  EnumWindows(CollectMatch, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND FindTopLevel(const WindowQuery& query) {
  const std::vector<HWND> found = FindAllTopLevel(query);
  return found.empty() ? nullptr : found.front();
}

namespace {

int PromptControlId(std::string_view control) {
  return platform::kControlIdBase + platform::ControlIndex(prompt::kfrmPasswordControls, control);
}

struct ControlSearch {
  int id;
  HWND found;
};

BOOL CALLBACK MatchControlId(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<ControlSearch*>(context);
  if (GetDlgCtrlID(window) != search->id) return TRUE;
  search->found = window;
  return FALSE;
}

}  // namespace

HWND FindControl(HWND window, int controlId) {
  // EnumChildWindows visits grandchildren too.
  ControlSearch search{controlId, nullptr};
  EnumChildWindows(window, MatchControlId, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

WindowQuery MainWindowQuery(DWORD processId) {
  return {.title = win32::Wide(engine::kRunningTitle),
          .visibility = WindowQuery::Visibility::Hidden,
          .processId = processId,
          .withoutChildId = PromptControlId("txtPassword")};
}

WindowQuery VisiblePromptQuery() {
  return {.title = win32::Wide(prompt::kPromptTitle),
          .visibility = WindowQuery::Visibility::Visible};
}

// --- The prompt ------------------------------------------------------------

Prompt Prompt::WaitVisible(std::chrono::milliseconds limit) {
  HWND window = nullptr;
  WaitFor([&] { return (window = FindTopLevel(VisiblePromptQuery())) != nullptr; }, limit);
  return Prompt(window);
}

HWND Prompt::Control(std::string_view name) const {
  return FindControl(window_, PromptControlId(name));
}

std::wstring Prompt::Text(std::string_view control) const {
  return TextOf(Control(control));
}

bool Prompt::Enabled(std::string_view control) const {
  return IsWindowEnabled(Control(control)) != FALSE;
}

bool Prompt::StillShown() const {
  return IsWindow(window_) && IsWindowVisible(window_);
}

void Prompt::Type(const wchar_t* text) const {
  SendMessageTimeoutW(Control("txtPassword"), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text),
                      SMTO_ABORTIFHUNG, 2000, nullptr);
}

void Prompt::Click(std::string_view button) const {
  PostMessageW(Control(button), BM_CLICK, 0, 0);
}

// --- Waiting ---------------------------------------------------------------

void PumpPending() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (true) {
    PumpPending();
    if (done()) return true;
    if (std::chrono::steady_clock::now() >= end) return false;
    MsgWaitForMultipleObjectsEx(0, nullptr, 10, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  }
}

void PumpFor(std::chrono::milliseconds duration) {
  WaitFor([] { return false; }, duration);
}

}  // namespace pm::e2e
