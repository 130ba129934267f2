#include "UserScripts.h"

#include <windows.h>
// tlhelp32.h needs the types of windows.h.
#include <tlhelp32.h>

#include <vector>

#include "Harness.h"
#include "platform/Ui.h"
#include "platform/win32/Wide.h"
#include "platform/win32/Win32Paths.h"
#include "platform/win32/Win32ServiceChannel.h"
#include "prompt/frmPasswordLayout.h"
#include "store/ItemLists.h"
#include "store/PolicySettings.h"
#include "store/ServiceProtocol.h"
#include "store/SettingsCatalogue.h"

namespace pm::e2e {

namespace {

using win32::Narrow;
using win32::Wide;

constexpr LPARAM kMadeUpPointer = 0x41414141;

bool IsOurProgram(DWORD processId) {
  const std::wstring path = win32::ProcessImagePath(processId);
  const std::wstring file = path.substr(path.find_last_of(L'\\') + 1);
  return _wcsicmp(file.c_str(), Wide(store::kEngineProgram).c_str()) == 0 ||
         _wcsicmp(file.c_str(), Wide(store::kStartupProgram).c_str()) == 0;
}

bool IsProgram(DWORD processId, std::string_view program) {
  const std::wstring path = win32::ProcessImagePath(processId);
  return _wcsicmp(path.substr(path.find_last_of(L'\\') + 1).c_str(), Wide(program).c_str()) == 0;
}

// Every window of our programs a script can find: the top-level ones and
// the message-only windows of their background work.
std::vector<HWND> OurWindows() {
  std::vector<HWND> windows = FindAllTopLevel({.title = {}, .className = kOurWindowClass});
  for (HWND w = FindWindowExW(HWND_MESSAGE, nullptr, L"PelmoraProBackground", nullptr);
       w != nullptr; w = FindWindowExW(HWND_MESSAGE, w, L"PelmoraProBackground", nullptr)) {
    windows.push_back(w);
  }
  return windows;
}

void PostAndSend(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  PostMessageW(window, message, wParam, lParam);
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 500, &ignored);
}

int EndStartupLock() {
  int targeted = 0;
  for (HWND window : FindAllTopLevel({.title = {}, .className = kOurWindowClass})) {
    if (!IsProgram(ProcessOf(window), store::kStartupProgram)) continue;
    DWORD_PTR answer = 0;
    SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_BLOCK, 5000,
                        &answer);
    PostMessageW(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    PostThreadMessageW(GetWindowThreadProcessId(window, nullptr), WM_QUIT, 0, 0);
    ++targeted;
  }
  return targeted;
}

int CloseEngine() {
  const HWND engine = FindTopLevel(MainWindowQuery());
  if (engine == nullptr) return 0;
  PostMessageW(engine, WM_CLOSE, 0, 0);
  return 1;
}

int ForgeMessages() {
  const int label =
      platform::kControlIdBase + platform::ControlIndex(prompt::kfrmPasswordControls, "Label2");
  int windows = 0;
  for (HWND window : OurWindows()) {
    for (WPARAM job = 0; job < 8; ++job) PostAndSend(window, WM_APP + 1, job, kMadeUpPointer);
    PostAndSend(window, WM_NOTIFY, 0, kMadeUpPointer);
    PostAndSend(window, WM_DRAWITEM, 0, kMadeUpPointer);
    PostAndSend(window, WM_DPICHANGED, MAKEWPARAM(192, 192), kMadeUpPointer);
    PostAndSend(window, WM_COMMAND, MAKEWPARAM(label, STN_CLICKED), 1);
    ++windows;
  }
  return windows;
}

int OpenOurProcesses() {
  int opened = 0;
  const win32::UniqueKernelHandle snapshot =
      win32::OwnFileHandle(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS | TH32CS_SNAPTHREAD, 0));
  if (!snapshot) return 255;
  std::vector<DWORD> ours;
  PROCESSENTRY32W process{};
  process.dwSize = sizeof process;
  for (BOOL more = Process32FirstW(snapshot.get(), &process); more;
       more = Process32NextW(snapshot.get(), &process)) {
    if (!IsOurProgram(process.th32ProcessID)) continue;
    ours.push_back(process.th32ProcessID);
    for (const DWORD access : {DWORD{PROCESS_TERMINATE}, DWORD{PROCESS_SUSPEND_RESUME}}) {
      if (win32::UniqueKernelHandle(OpenProcess(access, FALSE, process.th32ProcessID))) {
        opened |= kOpenedAProcess;
      }
    }
  }
  THREADENTRY32 thread{};
  thread.dwSize = sizeof thread;
  for (BOOL more = Thread32First(snapshot.get(), &thread); more;
       more = Thread32Next(snapshot.get(), &thread)) {
    if (std::find(ours.begin(), ours.end(), thread.th32OwnerProcessID) == ours.end()) continue;
    for (const DWORD access : {DWORD{THREAD_TERMINATE}, DWORD{THREAD_SUSPEND_RESUME}}) {
      if (win32::UniqueKernelHandle(OpenThread(access, FALSE, thread.th32ThreadID))) {
        opened |= kOpenedAThread;
      }
    }
  }
  return opened;
}

int GuessPasswords(const std::wstring& folder) {
  win32::Win32ServiceChannel channel(Narrow(folder) + "\\");
  store::ServiceRequest guess(store::RequestKind::CheckPassword, "guess");
  std::uint32_t wait = 0;
  for (int i = 0; i < 5; ++i) {
    store::ByteArray answer;
    if (channel.Transact(store::EncodeRequest(guess), answer) != 0) return 255;
    const std::optional<store::ServiceReply> reply = store::DecodeReply(answer);
    if (!reply) return 255;
    wait = reply->waitSeconds;
  }
  return static_cast<int>(wait);
}

// Every value of the key and the keys below it the caller may open.
void ReadTree(HKEY parent, const std::wstring& path, int& found) {
  win32::UniqueHkey key;
  if (RegOpenKeyExW(parent, path.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS) return;
  for (DWORD i = 0;; ++i) {
    wchar_t name[16384];
    DWORD nameLength = std::size(name);
    std::vector<BYTE> data(64 * 1024);
    DWORD dataLength = static_cast<DWORD>(data.size());
    DWORD type = 0;
    if (RegEnumValueW(key.get(), i, name, &nameLength, nullptr, &type, data.data(), &dataLength) !=
        ERROR_SUCCESS) {
      break;
    }
    const std::wstring text(reinterpret_cast<const wchar_t*>(data.data()),
                            dataLength / sizeof(wchar_t));
    if (_wcsnicmp(name, L"UserPassword", 12) == 0 || text.find(L"pbkdf2") != std::wstring::npos) {
      ++found;
    }
  }
  for (DWORD i = 0;; ++i) {
    wchar_t name[256];
    DWORD nameLength = std::size(name);
    if (RegEnumKeyExW(key.get(), i, name, &nameLength, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS) {
      break;
    }
    ReadTree(key.get(), name, found);
  }
}

int ReadPasswords() {
  int found = 0;
  ReadTree(HKEY_LOCAL_MACHINE, Wide(store::kProductKey), found);
  return found;
}

// Whether the text value could be written, creating its key where the
// caller may.
bool WriteText(HKEY root, std::string_view path, std::string_view name, std::string_view text) {
  win32::UniqueHkey key;
  if (RegCreateKeyExW(root, Wide(path).c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.put(),
                      nullptr) != ERROR_SUCCESS) {
    return false;
  }
  const std::wstring data = Wide(text);
  return RegSetValueExW(key.get(), Wide(name).c_str(), 0, REG_SZ,
                        reinterpret_cast<const BYTE*>(data.c_str()),
                        static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

int SwitchOffTheWatch() {
  int wrote = 0;
  if (WriteText(HKEY_LOCAL_MACHINE, store::kBenchmarkKey, store::kNoForegroundHook, "1") |
      WriteText(HKEY_LOCAL_MACHINE, store::kBenchmarkKey, store::kNoForegroundPoll, "1")) {
    wrote |= kWroteBenchmarkSwitches;
  }
  const std::string entry = store::PositionValueName(1);
  if (WriteText(HKEY_LOCAL_MACHINE, PolicyIgnoreListKey(), entry, kScriptIgnoredTitle)) {
    wrote |= kWroteMachinePolicy;
  }
  if (WriteText(HKEY_CURRENT_USER, PolicyIgnoreListKey(), entry, kScriptIgnoredTitle)) {
    wrote |= kWroteUserPolicy;
  }
  return wrote;
}

int ReportForeground() {
  const win32::UniqueHwnd window(CreateWindowExW(0, L"STATIC", L"Harmless", WS_OVERLAPPED, 0, 0,
                                                 100, 100, nullptr, nullptr,
                                                 GetModuleHandleW(nullptr), nullptr));
  if (!window) return 0;
  NotifyWinEvent(EVENT_SYSTEM_FOREGROUND, window.get(), OBJID_WINDOW, CHILDID_SELF);
  // The hooks of other programs hear of it a moment later; the window is
  // still there then.
  Sleep(500);
  return 1;
}

int EnlargeMessageFont() {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) return 0;
  metrics.lfMessageFont.lfHeight = -kEnormousFontPixels;
  return SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof(metrics), &metrics,
                               SPIF_UPDATEINIFILE)
             ? 1
             : 0;
}

int HoldPipe() {
  const win32::UniqueKernelHandle pipe = win32::OwnFileHandle(
      CreateFileW(Wide(platform::service::kPipe).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                  OPEN_EXISTING, 0, nullptr));
  if (!pipe) return static_cast<int>(GetLastError());
  Sleep(15000);
  return 0;
}

}  // namespace

std::string PolicyIgnoreListKey() {
  return std::string(store::kPolicyKey) + "\\" + std::string(store::kIgnoreListSubkey);
}

std::wstring UserScriptCommand(const std::wstring& name, const std::wstring& folder) {
  // A folder's closing backslash would escape the closing quote.
  std::wstring unquoted = folder;
  if (!unquoted.empty() && unquoted.back() == L'\\') unquoted.pop_back();
  return L"\"" + win32::ModulePath() + L"\" user-script " + name + L" \"" + unquoted + L"\"";
}

int RunUserScript(const std::wstring& name, const std::wstring& folder) {
  if (name == L"end-startup-lock") return EndStartupLock();
  if (name == L"close-engine") return CloseEngine();
  if (name == L"forge-messages") return ForgeMessages();
  if (name == L"open-our-processes") return OpenOurProcesses();
  if (name == L"guess-passwords") return GuessPasswords(folder);
  if (name == L"hold-pipe") return HoldPipe();
  if (name == L"read-passwords") return ReadPasswords();
  if (name == L"switch-off-the-watch") return SwitchOffTheWatch();
  if (name == L"report-foreground") return ReportForeground();
  if (name == L"enlarge-message-font") return EnlargeMessageFont();
  return 254;
}

}  // namespace pm::e2e
