#include "platform/win32/Win32UiToolkit.h"

#include <commctrl.h>

#include "platform/win32/Wide.h"
#include "platform/win32/Win32Paths.h"
#include "platform/win32/Win32UiPictures.h"
#include "platform/win32/Win32UiWindow.h"

namespace pm::win32 {

namespace {

UINT MessageFlags(platform::MessageStyle style, platform::MessageIcon icon) {
  UINT flags = MB_SETFOREGROUND;
  switch (style) {
    case platform::MessageStyle::Ok:
      flags |= MB_OK;
      break;
    case platform::MessageStyle::OkCancel:
      flags |= MB_OKCANCEL;
      break;
    case platform::MessageStyle::YesNo:
      flags |= MB_YESNO;
      break;
    case platform::MessageStyle::YesNoCancel:
      flags |= MB_YESNOCANCEL;
      break;
  }
  switch (icon) {
    case platform::MessageIcon::Information:
      return flags | MB_ICONINFORMATION;
    case platform::MessageIcon::Warning:
      return flags | MB_ICONEXCLAMATION;
    case platform::MessageIcon::Error:
      return flags | MB_ICONERROR;
    case platform::MessageIcon::Question:
      return flags | MB_ICONQUESTION;
    default:
      return flags;
  }
}

}  // namespace

Win32UiToolkit::Win32UiToolkit(HINSTANCE instance) : instance_(instance) {
  INITCOMMONCONTROLSEX controls{sizeof(controls),
                                ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES};
  InitCommonControlsEx(&controls);
  Win32UiWindow::RegisterClass(instance);
}

std::unique_ptr<platform::Window> Win32UiToolkit::CreateFormWindow(const platform::FormSpec& layout,
                                                                   platform::WindowEvents& events,
                                                                   const platform::Window* owner) {
  HWND ownerWindow = owner != nullptr ? reinterpret_cast<HWND>(owner->handle()) : nullptr;
  return std::make_unique<Win32UiWindow>(instance_, pictures_, layout, events, ownerWindow);
}

platform::MessageResult Win32UiToolkit::MessageBox(const platform::Window* owner,
                                                   std::string_view text, std::string_view caption,
                                                   platform::MessageStyle style,
                                                   platform::MessageIcon icon) {
  HWND ownerWindow = owner ? reinterpret_cast<HWND>(owner->handle()) : nullptr;
  const int answer = ::MessageBoxW(ownerWindow, Wide(text).c_str(),
                                   Wide(caption.empty() ? "Pelmora Pro" : caption).c_str(),
                                   MessageFlags(style, icon));
  switch (answer) {
    case IDCANCEL:
      return platform::MessageResult::Cancel;
    case IDYES:
      return platform::MessageResult::Yes;
    case IDNO:
      return platform::MessageResult::No;
    default:
      return platform::MessageResult::Ok;
  }
}

void Win32UiToolkit::Beep() {
  MessageBeep(MB_OK);
}

bool Win32UiToolkit::Dispatch(MSG& message) {
  if (message.message == WM_QUIT) {
    if (!OursToQuit(message)) return true;
    quitting_ = true;
    return false;
  }
  // Enter, Esc and Tab in our windows, as in a dialog.
  HWND root = message.hwnd ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
  if (root != nullptr && Win32UiWindow::FromHandle(root) != nullptr &&
      IsDialogMessageW(root, &message)) {
    return true;
  }
  TranslateMessage(&message);
  DispatchMessageW(&message);
  return true;
}

void Win32UiToolkit::DoEvents() {
  MSG message;
  while (!quitting_ && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) Dispatch(message);
}

void Win32UiToolkit::PumpUntil(const std::function<bool()>& done) {
  MSG message;
  while (!quitting_ && !done()) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0 && !OursToQuit(message)) continue;
    if (got <= 0) {
      quitting_ = true;
      break;
    }
    Dispatch(message);
  }
}

int Win32UiToolkit::Run() {
  MSG message;
  while (!quitting_) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0 && !OursToQuit(message)) continue;
    if (got == 0) break;
    if (got < 0) break;
    Dispatch(message);
  }
  return exitCode_;
}

void Win32UiToolkit::Quit(int exitCode) {
  quitAsked_ = true;
  exitCode_ = exitCode;
  PostQuitMessage(exitCode);
}

platform::PicturePtr Win32UiToolkit::LoadPicture(std::string_view path) {
  return pictures_.LoadFile(path);
}

platform::PicturePtr Win32UiToolkit::BuiltInPicture(platform::BuiltIn picture) {
  return pictures_.LoadBuiltIn(picture);
}

std::string Win32UiToolkit::ProgramFolder() const {
  // In its long form, as the owner of a window reports its program file.
  std::wstring path = LongPath(ModulePath());
  const std::size_t slash = path.find_last_of(L"\\/");
  if (slash != std::wstring::npos) path.resize(slash);
  return Narrow(path);
}

platform::ProgramVersion Win32UiToolkit::Version() const {
  platform::ProgramVersion version;
  const std::wstring path = ModulePath();
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
  if (size == 0) return version;
  std::vector<BYTE> data(size);
  if (!GetFileVersionInfoW(path.c_str(), 0, size, data.data())) return version;
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) && fixed) {
    version.major = HIWORD(fixed->dwFileVersionMS);
    version.minor = LOWORD(fixed->dwFileVersionMS);
    version.revision = HIWORD(fixed->dwFileVersionLS);
  }
  struct Translation {
    WORD language;
    WORD codePage;
  }* translation = nullptr;
  if (VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation",
                     reinterpret_cast<void**>(&translation), &length) &&
      translation != nullptr && length >= sizeof(Translation)) {
    wchar_t key[64];
    wsprintfW(key, L"\\StringFileInfo\\%04x%04x\\LegalCopyright", translation->language,
              translation->codePage);
    wchar_t* text = nullptr;
    if (VerQueryValueW(data.data(), key, reinterpret_cast<void**>(&text), &length) && text) {
      version.legalCopyright = Narrow(std::wstring_view(text, length > 0 ? length - 1 : 0));
    }
  }
  return version;
}

void Win32UiToolkit::HideFromTaskList() {
  // The engine's own window is never shown; as a tool window it is not
  // listed among the running applications even when something shows it.
  for (HWND window = FindWindowExW(nullptr, nullptr, kWindowClass, nullptr); window != nullptr;
       window = FindWindowExW(nullptr, window, kWindowClass, nullptr)) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != GetCurrentProcessId()) continue;
    if (Win32UiWindow* ours = Win32UiWindow::FromHandle(window); ours && !IsWindowVisible(window)) {
      ours->MakeToolWindow();
    }
  }
}

}  // namespace pm::win32
