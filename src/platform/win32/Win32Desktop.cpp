#include "platform/win32/Win32Desktop.h"

#include "platform/DebugTrace.h"

#include <windows.h>

#include <utility>

#include "platform/win32/Wide.h"
#include "platform/win32/Win32Paths.h"

namespace pm::win32 {

using platform::Hwnd;

namespace {

HWND ToHwnd(Hwnd window) {
  return reinterpret_cast<HWND>(window);
}
Hwnd FromHwnd(HWND window) {
  return reinterpret_cast<Hwnd>(window);
}

// A WinEvent callback carries no context of ours, so the one Desktop whose
// hooks are in place is found through this pointer. Only the UI thread reads
// or writes it.
Win32Desktop* hookedDesktop = nullptr;

bool HooksDisabledByEnvironment() {
  wchar_t value[8] = {};
  const DWORD length = GetEnvironmentVariableW(kNoForegroundHookVariable, value, 8);
  return length == 1 && value[0] == L'1';
}

// GetWindowTextW's buffer holds kLongestWindowText units; a surrogate pair cut in
// half at the end would turn into a replacement character.
std::wstring_view WithoutCutSurrogate(std::wstring_view text) {
  if (!text.empty() && text.back() >= 0xD800 && text.back() <= 0xDBFF) text.remove_suffix(1);
  return text;
}

// How often the foreground window is compared with the last one seen. Wine
// delivers no foreground or focus events from other processes, only window
// creation; this cheap comparison covers what the hooks miss there, and on
// Windows it rarely finds a change the hooks have not reported already.
constexpr UINT kForegroundPollMs = 20;

}  // namespace

Win32Desktop::Win32Desktop(ForegroundPoll poll)
    : hooksDisabled_(HooksDisabledByEnvironment()), pollForeground_(poll == ForegroundPoll::On) {}

Win32Desktop::~Win32Desktop() {
  RemoveHooks();
}

Hwnd Win32Desktop::ForegroundWindow() {
  return FromHwnd(GetForegroundWindow());
}

bool Win32Desktop::IsVisible(Hwnd window) {
  return window != 0 && IsWindowVisible(ToHwnd(window)) != FALSE;
}

bool Win32Desktop::Exists(Hwnd window) {
  return window != 0 && IsWindow(ToHwnd(window)) != FALSE;
}

std::string Win32Desktop::WindowText(Hwnd window) {
  if (window == 0) return {};
  wchar_t buffer[platform::kLongestWindowText + 1] = {};
  const int length = GetWindowTextW(ToHwnd(window), buffer, std::size(buffer));
  if (length <= 0) return {};
  return Narrow(WithoutCutSurrogate(std::wstring_view(buffer, static_cast<std::size_t>(length))));
}

std::string Win32Desktop::ClassName(Hwnd window) {
  if (window == 0) return {};
  wchar_t buffer[257] = {};  // class names are at most 256 characters
  const int length = GetClassNameW(ToHwnd(window), buffer, 257);
  if (length <= 0) return {};
  return Narrow(std::wstring_view(buffer, static_cast<std::size_t>(length)));
}

Hwnd Win32Desktop::FindByTitle(std::string_view title) {
  return FromHwnd(FindWindowW(nullptr, Wide(title).c_str()));
}

Hwnd Win32Desktop::FindByClass(std::string_view className) {
  return FromHwnd(FindWindowW(Wide(className).c_str(), nullptr));
}

std::vector<Hwnd> Win32Desktop::FindAllWithTitle(std::string_view title) {
  struct Search {
    Win32Desktop* desktop;
    std::string title;
    std::vector<Hwnd> found;
  } search{this, std::string(title), {}};
  EnumWindows(
      [](HWND window, LPARAM context) -> BOOL {
        auto& s = *reinterpret_cast<Search*>(context);
        if (s.desktop->WindowText(FromHwnd(window)) == s.title) s.found.push_back(FromHwnd(window));
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::string Win32Desktop::OwnerProgramPath(Hwnd window) {
  DWORD processId = 0;
  if (window == 0 || GetWindowThreadProcessId(ToHwnd(window), &processId) == 0) return {};
  return Narrow(ProcessImagePath(processId));
}

void Win32Desktop::Hide(Hwnd window) {
  ShowWindow(ToHwnd(window), SW_HIDE);
}

void Win32Desktop::RestoreAsync(Hwnd window) {
  ShowWindowAsync(ToHwnd(window), SW_RESTORE);
}

void Win32Desktop::ShowNormal(Hwnd window) {
  ShowWindow(ToHwnd(window), SW_SHOWNORMAL);
}

void Win32Desktop::PostClose(Hwnd window) {
  PostMessageW(ToHwnd(window), WM_CLOSE, 0, 0);
}

void Win32Desktop::Enable(Hwnd window, bool enabled) {
  EnableWindow(ToHwnd(window), enabled ? TRUE : FALSE);
}

void Win32Desktop::SetScreenSaverRunning(bool running) {
  BOOL wasRunning = FALSE;
  SystemParametersInfoW(SPI_SETSCREENSAVERRUNNING, running ? TRUE : FALSE, &wasRunning, 0);
}

void Win32Desktop::SetForegroundChangeHandler(std::function<void()> handler) {
  handler_ = std::move(handler);
  if (handler_ && !hooksDisabled_) {
    InstallHooks();
  } else {
    RemoveHooks();
  }
}

void Win32Desktop::InstallHooks() {
  if (hookedDesktop == this && foregroundHook_ && focusHook_ && createHook_) return;
  if (hookedDesktop != nullptr && hookedDesktop != this) hookedDesktop->RemoveHooks();
  // Out of context, and without WINEVENT_SKIPOWNPROCESS: our own
  // configuration tool is a window the engine must see come to the front.
  constexpr DWORD kFlags = WINEVENT_OUTOFCONTEXT;
  foregroundHook_.reset(SetWinEventHook(EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_FOREGROUND, nullptr,
                                        &Win32Desktop::OnWinEvent, 0, 0, kFlags));
  // Wine never sends EVENT_SYSTEM_FOREGROUND but sends this on every
  // activation change; on Windows it only adds calls the handler tolerates.
  focusHook_.reset(SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_FOCUS, nullptr,
                                   &Win32Desktop::OnWinEvent, 0, 0, kFlags));
  // A new top-level window, of any process: a locked program's window or a
  // Task Manager is seen as soon as it exists. Wine delivers this one across
  // processes.
  createHook_.reset(SetWinEventHook(EVENT_OBJECT_CREATE, EVENT_OBJECT_SHOW, nullptr,
                                    &Win32Desktop::OnWinEvent, 0, 0, kFlags));
  lastForeground_ = GetForegroundWindow();
  if (pollForeground_) {
    pollTimer_ = SetTimer(nullptr, 0, kForegroundPollMs, &Win32Desktop::OnForegroundPoll);
  }
  hookedDesktop = this;
}

void Win32Desktop::RemoveHooks() {
  foregroundHook_.reset();
  focusHook_.reset();
  createHook_.reset();
  if (pollTimer_ != 0) KillTimer(nullptr, pollTimer_);
  pollTimer_ = 0;
  if (hookedDesktop == this) hookedDesktop = nullptr;
}

void CALLBACK Win32Desktop::OnWinEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG objectId, LONG,
                                       DWORD, DWORD) {
  if (window == nullptr || (objectId != OBJID_WINDOW && objectId != OBJID_CLIENT)) return;
  if (event == EVENT_OBJECT_CREATE || event == EVENT_OBJECT_SHOW) {
    // Only top-level windows; controls come and go all the time.
    if (objectId != OBJID_WINDOW || GetAncestor(window, GA_PARENT) != GetDesktopWindow()) return;
  } else if (event != EVENT_SYSTEM_FOREGROUND && event != EVENT_OBJECT_FOCUS) {
    return;
  }
  if (hookedDesktop != nullptr) hookedDesktop->RunHandler();
}

void CALLBACK Win32Desktop::OnForegroundPoll(HWND, UINT, UINT_PTR, DWORD) {
  if (hookedDesktop == nullptr) return;
  const HWND foreground = GetForegroundWindow();
  if (foreground == hookedDesktop->lastForeground_) return;
  hookedDesktop->lastForeground_ = foreground;
  hookedDesktop->RunHandler();
}

void Win32Desktop::RunHandler() noexcept {
  // The handler may pump messages (a prompt, DoEvents), and then a further
  // event arrives inside it: run it once more afterwards instead of nesting.
  if (inHandler_) {
    runAgain_ = true;
    return;
  }
  inHandler_ = true;
  do {
    runAgain_ = false;
    try {
      // A copy, so the handler may replace itself while it runs.
      if (const std::function<void()> handler = handler_) handler();
    } catch (...) {
      // No exception may unwind into user32; the 500 ms timer looks again.
      platform::TraceCaughtException("the foreground notification");
    }
  } while (runAgain_ && handler_);
  inHandler_ = false;
}

}  // namespace pm::win32
