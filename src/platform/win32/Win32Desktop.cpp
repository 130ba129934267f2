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

// GetWindowTextW's buffer holds kLongestWindowText units; a surrogate pair cut in
// half at the end would turn into a replacement character.
std::wstring_view WithoutCutSurrogate(std::wstring_view text) {
  if (!text.empty() && text.back() >= 0xD800 && text.back() <= 0xDBFF) text.remove_suffix(1);
  return text;
}

// How often the foreground window (and its title) and the front-most shown
// window are compared with the last ones seen. Wine delivers no foreground,
// focus or name-change events from other processes, and none for a window
// shown without activation; this cheap comparison covers what the hooks
// miss there. On Windows the hooks report all of it, and the poll stops at
// the first foreground event from another process.
constexpr UINT kForegroundPollMs = 20;

}  // namespace

Win32Desktop::Win32Desktop(ForegroundPoll poll, ForegroundHooks hooks)
    : hooksDisabled_(hooks == ForegroundHooks::Off), pollForeground_(poll == ForegroundPoll::On) {}

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

template <typename Keep>
std::vector<Hwnd> Win32Desktop::TopLevelWindows(Keep keep) {
  struct Search {
    Keep& keep;
    std::vector<Hwnd> found;
  } search{keep, {}};
  // EnumWindows goes through the top-level windows in z-order, front first.
  EnumWindows(
      [](HWND window, LPARAM context) -> BOOL {
        auto& s = *reinterpret_cast<Search*>(context);
        if (s.keep(window)) s.found.push_back(FromHwnd(window));
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::vector<Hwnd> Win32Desktop::FindAllWithTitle(std::string_view title) {
  return TopLevelWindows([&](HWND window) { return WindowText(FromHwnd(window)) == title; });
}

std::vector<Hwnd> Win32Desktop::FindAllWithClass(std::string_view className) {
  const std::wstring wanted = Wide(className);
  return TopLevelWindows([&](HWND window) {
    wchar_t buffer[257] = {};
    const int length = GetClassNameW(window, buffer, 257);
    return length > 0 && CompareStringOrdinal(buffer, length, wanted.c_str(),
                                              static_cast<int>(wanted.size()), TRUE) == CSTR_EQUAL;
  });
}

std::vector<Hwnd> Win32Desktop::VisibleTopLevelWindows() {
  return TopLevelWindows([](HWND window) { return IsWindowVisible(window) != FALSE; });
}

namespace {

DWORD ProcessOfWindow(HWND window) {
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  return processId;
}

bool HasClass(HWND window, const wchar_t* className) {
  wchar_t buffer[64] = {};
  const int length = GetClassNameW(window, buffer, 64);
  return length > 0 && CompareStringOrdinal(buffer, length, className, -1, TRUE) == CSTR_EQUAL;
}

// The frame in which the system shows a Store app, and the app's own window
// inside it, which belongs to the app's process.
constexpr wchar_t kStoreAppFrameClass[] = L"ApplicationFrameWindow";
constexpr wchar_t kStoreAppWindowClass[] = L"Windows.UI.Core.CoreWindow";

struct HostedSearch {
  std::vector<Hwnd> found;
};

BOOL CALLBACK CollectHosted(HWND child, LPARAM context) {
  const HWND parent = GetAncestor(child, GA_PARENT);
  if (parent != nullptr && ProcessOfWindow(child) != ProcessOfWindow(parent) &&
      IsWindowVisible(child)) {
    reinterpret_cast<HostedSearch*>(context)->found.push_back(FromHwnd(child));
  }
  return TRUE;
}

}  // namespace

std::vector<Hwnd> Win32Desktop::VisibleHostedWindows() {
  HostedSearch search;
  for (const Hwnd top : VisibleTopLevelWindows()) {
    // A Store app's frame stands for the app inside it.
    if (HasClass(ToHwnd(top), kStoreAppFrameClass)) continue;
    EnumChildWindows(ToHwnd(top), CollectHosted, reinterpret_cast<LPARAM>(&search));
  }
  return search.found;
}

namespace {

// The AppUserModelID a packaged process runs under. Looked up at run time:
// only Windows 8 and later have the call.
constexpr UINT32 kLongestAppId = 130;  // APPLICATION_USER_MODEL_ID_MAX_LENGTH

std::string PackagedAppId(DWORD processId) {
  using GetIdFunction = LONG(WINAPI*)(HANDLE, UINT32*, PWSTR);
  static const auto getId = reinterpret_cast<GetIdFunction>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetApplicationUserModelId")));
  if (getId == nullptr) return {};
  const UniqueKernelHandle process(
      OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
  if (!process) return {};
  wchar_t id[kLongestAppId] = {};
  UINT32 length = kLongestAppId;
  if (getId(process.get(), &length, id) != ERROR_SUCCESS) return {};
  return Narrow(id);
}

}  // namespace

std::string Win32Desktop::AppUserModelId(Hwnd window) {
  HWND target = ToHwnd(window);
  if (target == nullptr) return {};
  if (HasClass(target, kStoreAppFrameClass)) {
    const DWORD frameProcess = ProcessOfWindow(target);
    HWND inside = nullptr;
    while ((inside = FindWindowExW(target, inside, kStoreAppWindowClass, nullptr)) != nullptr) {
      if (ProcessOfWindow(inside) != frameProcess) break;
    }
    if (inside == nullptr) return {};
    target = inside;
  }
  return PackagedAppId(ProcessOfWindow(target));
}

bool Win32Desktop::IsOwnProcess(Hwnd window) {
  DWORD processId = 0;
  return window != 0 && GetWindowThreadProcessId(ToHwnd(window), &processId) != 0 &&
         processId == GetCurrentProcessId();
}

std::string Win32Desktop::OwnerProgramPath(Hwnd window) {
  DWORD processId = 0;
  if (window == 0 || GetWindowThreadProcessId(ToHwnd(window), &processId) == 0) return {};
  // An ended program's window, which the system may keep for a moment,
  // belongs to no program.
  return Narrow(RunningProcessImagePath(processId));
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

namespace {

// While it lives, the calling thread shares the input state of another
// thread: the foreground lock then treats the caller as the foreground.
class InputAttachment {
 public:
  explicit InputAttachment(DWORD otherThread)
      : ours_(GetCurrentThreadId()),
        other_(otherThread),
        attached_(otherThread != 0 && otherThread != ours_ &&
                  AttachThreadInput(ours_, otherThread, TRUE) != FALSE) {}
  ~InputAttachment() {
    if (attached_) AttachThreadInput(ours_, other_, FALSE);
  }
  InputAttachment(const InputAttachment&) = delete;
  InputAttachment& operator=(const InputAttachment&) = delete;

 private:
  DWORD ours_;
  DWORD other_;
  bool attached_;
};

}  // namespace

// SetForegroundWindow succeeds for a background process only under the
// documented conditions (the foreground process allows it, the caller got
// the last input, no foreground lock, ...). Otherwise the input of the
// thread that owns the foreground window is attached for the moment of the
// call, which the system accepts as the foreground's own request; if even
// that is refused, the window flashes until the user turns to it.
bool Win32Desktop::BringToFrontWithKeyboard(Hwnd ourWindow) {
  const HWND window = ToHwnd(ourWindow);
  if (window == nullptr || !IsWindow(window)) return false;
  if (SetForegroundWindow(window) && GetForegroundWindow() == window) return true;
  {
    const HWND foreground = GetForegroundWindow();
    const InputAttachment attachment(
        foreground != nullptr ? GetWindowThreadProcessId(foreground, nullptr) : 0);
    BringWindowToTop(window);
    SetForegroundWindow(window);
  }
  if (GetForegroundWindow() == window) return true;
  FLASHWINFO flash{};
  flash.cbSize = sizeof(flash);
  flash.hwnd = window;
  flash.dwFlags = FLASHW_ALL | FLASHW_TIMERNOFG;
  FlashWindowEx(&flash);
  return false;
}

void Win32Desktop::Enable(Hwnd window, bool enabled) {
  EnableWindow(ToHwnd(window), enabled ? TRUE : FALSE);
}

bool Win32Desktop::IsEnabled(Hwnd window) {
  return window != 0 && IsWindowEnabled(ToHwnd(window)) != FALSE;
}

void Win32Desktop::SetScreenSaverRunning(bool running) {
  BOOL wasRunning = FALSE;
  SystemParametersInfoW(SPI_SETSCREENSAVERRUNNING, running ? TRUE : FALSE, &wasRunning, 0);
}

void Win32Desktop::SetWindowChangeHandler(std::function<void(Hwnd)> handler) {
  handler_ = std::move(handler);
  if (handler_ && !hooksDisabled_) {
    InstallHooks();
  } else {
    RemoveHooks();
  }
}

void Win32Desktop::InstallHooks() {
  if (hookedDesktop == this && foregroundHook_) return;
  if (hookedDesktop != nullptr && hookedDesktop != this) hookedDesktop->RemoveHooks();
  // Out of context, and without WINEVENT_SKIPOWNPROCESS: our own
  // configuration tool is a window the engine must see come to the front.
  constexpr DWORD kFlags = WINEVENT_OUTOFCONTEXT;
  const auto hook = [](DWORD first, DWORD last) {
    return SetWinEventHook(first, last, nullptr, &Win32Desktop::OnWinEvent, 0, 0, kFlags);
  };
  foregroundHook_.reset(hook(EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_FOREGROUND));
  // Wine never sends EVENT_SYSTEM_FOREGROUND but sends this on every
  // activation change; on Windows it only adds calls the handler tolerates.
  focusHook_.reset(hook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_FOCUS));
  // A new or newly shown top-level window, of any process, in front or not:
  // a locked program's window is seen as soon as it exists. Wine delivers
  // these across processes.
  createHook_.reset(hook(EVENT_OBJECT_CREATE, EVENT_OBJECT_SHOW));
  // A title that changes (a browser tab, an Explorer folder) may become a
  // locked one in a window already on the screen.
  nameHook_.reset(hook(EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_NAMECHANGE));
  // A minimised window brought back.
  restoreHook_.reset(hook(EVENT_SYSTEM_MINIMIZEEND, EVENT_SYSTEM_MINIMIZEEND));
  // A window put inside another (SetParent) is judged where it now is.
  parentHook_.reset(hook(EVENT_OBJECT_PARENTCHANGE, EVENT_OBJECT_PARENTCHANGE));
  lastForeground_ = GetForegroundWindow();
  if (pollForeground_) {
    pollTimer_ = SetTimer(nullptr, 0, kForegroundPollMs, &Win32Desktop::OnForegroundPoll);
  }
  hookedDesktop = this;
}

void Win32Desktop::StopPoll() {
  if (pollTimer_ != 0) KillTimer(nullptr, pollTimer_);
  pollTimer_ = 0;
}

// The poll only stands in for this report: once the system has given one,
// it gives them all, and hooking again later starts no poll.
void Win32Desktop::ForegroundReported() {
  pollForeground_ = false;
  StopPoll();
}

void Win32Desktop::RemoveHooks() {
  foregroundHook_.reset();
  focusHook_.reset();
  createHook_.reset();
  nameHook_.reset();
  restoreHook_.reset();
  parentHook_.reset();
  StopPoll();
  if (hookedDesktop == this) hookedDesktop = nullptr;
}

namespace {

bool IsTopLevel(HWND window) {
  return GetAncestor(window, GA_PARENT) == GetDesktopWindow();
}

bool OfAnotherProcess(HWND window) {
  DWORD processId = 0;
  return GetWindowThreadProcessId(window, &processId) != 0 && processId != GetCurrentProcessId();
}

}  // namespace

void CALLBACK Win32Desktop::OnWinEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG objectId, LONG,
                                       DWORD, DWORD) {
  if (hookedDesktop == nullptr || window == nullptr) return;
  if (objectId != OBJID_WINDOW && objectId != OBJID_CLIENT) return;
  switch (event) {
    case EVENT_OBJECT_CREATE:
    case EVENT_OBJECT_SHOW:
    case EVENT_OBJECT_NAMECHANGE:
      // Only top-level windows; controls come and go and change their text
      // all the time.
      if (objectId != OBJID_WINDOW || !IsTopLevel(window)) return;
      break;
    case EVENT_OBJECT_PARENTCHANGE:
      if (objectId != OBJID_WINDOW) return;
      break;
    case EVENT_SYSTEM_FOREGROUND:
      // The system reports another program's activation (Windows does, Wine
      // does not): the poll that stands in for it is no longer needed. Any
      // program can raise the event for any window with NotifyWinEvent, so
      // it is believed only of the window that is in front.
      if (OfAnotherProcess(window) && window == GetForegroundWindow()) {
        hookedDesktop->ForegroundReported();
      }
      break;
    case EVENT_SYSTEM_MINIMIZEEND:
    case EVENT_OBJECT_FOCUS:
      window = GetAncestor(window, GA_ROOT);
      if (window == nullptr) return;
      break;
    default:
      return;
  }
  hookedDesktop->RunHandler(window);
}

namespace {

HWND FrontMostShown() {
  for (HWND window = GetTopWindow(nullptr); window != nullptr;
       window = GetWindow(window, GW_HWNDNEXT)) {
    if (IsWindowVisible(window)) return window;
  }
  return nullptr;
}

}  // namespace

void CALLBACK Win32Desktop::OnForegroundPoll(HWND, UINT, UINT_PTR, DWORD) {
  if (hookedDesktop == nullptr) return;
  Win32Desktop& desktop = *hookedDesktop;
  // A window shown without activation (SW_SHOWNA) comes up near the top of
  // the z-order, above the windows shown before it: the front-most shown
  // window finds it, whether it was created hidden or not.
  const HWND top = FrontMostShown();
  if (top != desktop.lastTop_) {
    desktop.lastTop_ = top;
    if (top != nullptr) desktop.RunHandler(top);
  }
  const HWND foreground = GetForegroundWindow();
  // The title too: the name-change event may not arrive across processes.
  wchar_t buffer[platform::kLongestWindowText + 1] = {};
  const int length = foreground ? GetWindowTextW(foreground, buffer, std::size(buffer)) : 0;
  const std::wstring_view title(buffer, static_cast<std::size_t>(length > 0 ? length : 0));
  if (foreground == desktop.lastForeground_ && title == desktop.lastForegroundTitle_) return;
  desktop.lastForeground_ = foreground;
  desktop.lastForegroundTitle_ = title;
  desktop.RunHandler(foreground);
}

void Win32Desktop::RunHandler(HWND window) noexcept {
  // The handler may pump messages (a prompt, DoEvents), and then a further
  // event arrives inside it: run it afterwards instead of nesting.
  try {
    runAgain_.push_back(window);
  } catch (...) {
    return;  // out of memory: the 500 ms timer looks again
  }
  if (inHandler_) return;
  inHandler_ = true;
  while (!runAgain_.empty() && handler_) {
    const HWND next = runAgain_.front();
    runAgain_.erase(runAgain_.begin());
    try {
      // A copy, so the handler may replace itself while it runs.
      if (const std::function<void(Hwnd)> handler = handler_) handler(FromHwnd(next));
    } catch (...) {
      // No exception may unwind into user32; the 500 ms timer looks again.
      platform::TraceCaughtException("the foreground notification");
    }
  }
  runAgain_.clear();
  inHandler_ = false;
}

}  // namespace pm::win32
