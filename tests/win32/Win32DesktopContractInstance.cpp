// The Desktop suite on the real desktop. Windows of the test process itself
// stand in for other programs' windows: the Desktop makes no difference
// between them, as its hooks do not skip their own process. Under Wine the
// notification test is carried by EVENT_OBJECT_FOCUS, as Wine never sends
// EVENT_SYSTEM_FOREGROUND.
#include <windows.h>

#include <string>
#include <vector>

#include "contract/DesktopContract.h"
#include "platform/win32/Handles.h"
#include "platform/win32/Wide.h"
#include "platform/win32/Win32Desktop.h"

namespace pm::tests {
namespace {

// Counts WM_CLOSE in the window's user data and keeps the window open.
LRESULT CALLBACK CountingWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CLOSE) {
    SetWindowLongPtrW(window, GWLP_USERDATA, GetWindowLongPtrW(window, GWLP_USERDATA) + 1);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

class Win32DesktopRig final : public DesktopRig {
 public:
  explicit Win32DesktopRig(win32::Win32Desktop::ForegroundPoll poll) : desktop_(poll) {}
  ~Win32DesktopRig() override {
    windows_.clear();
    for (const std::wstring& name : classes_) {
      UnregisterClassW(name.c_str(), GetModuleHandleW(nullptr));
    }
  }

  platform::Desktop& desktop() override { return desktop_; }

  platform::Hwnd CreateOtherWindow(std::string_view title, std::string_view className,
                                   bool visible) override {
    const std::wstring wideClass = win32::Wide(className);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = CountingWindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = wideClass.c_str();
    if (RegisterClassExW(&windowClass) != 0) classes_.push_back(wideClass);
    const int offset = static_cast<int>(windows_.size() % 10) * 20;
    HWND window = CreateWindowExW(0, wideClass.c_str(), win32::Wide(title).c_str(),
                                  WS_OVERLAPPEDWINDOW | (visible ? WS_VISIBLE : 0), 100 + offset,
                                  100 + offset, 320, 200, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    if (window == nullptr) return 0;
    windows_.emplace_back(window);
    Pump();
    return reinterpret_cast<platform::Hwnd>(window);
  }

  void DestroyOtherWindow(platform::Hwnd window) override {
    std::erase_if(windows_, [window](const win32::UniqueHwnd& owned) {
      return reinterpret_cast<platform::Hwnd>(owned.get()) == window;
    });
  }

  std::string OtherProgramPath() override {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    return win32::Narrow(std::wstring_view(path, length));
  }

  void BringToFront(platform::Hwnd window) override {
    SetForegroundWindow(reinterpret_cast<HWND>(window));
  }

  // Wine 8 sends no EVENT_OBJECT_SHOW for ShowWindow(SW_SHOWNA) and no
  // EVENT_OBJECT_NAMECHANGE that reaches the hook; Windows sends both.
  bool ReportsShowAndRename() const override {
    return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") == nullptr;
  }

  void ShowWithoutActivation(platform::Hwnd window) override {
    ShowWindow(reinterpret_cast<HWND>(window), SW_SHOWNA);
  }

  void Rename(platform::Hwnd window, std::string_view title) override {
    SetWindowTextW(reinterpret_cast<HWND>(window), win32::Wide(title).c_str());
  }

  int CloseRequests(platform::Hwnd window) override {
    return static_cast<int>(GetWindowLongPtrW(reinterpret_cast<HWND>(window), GWLP_USERDATA));
  }

  bool IsEnabled(platform::Hwnd window) override {
    return IsWindowEnabled(reinterpret_cast<HWND>(window)) != FALSE;
  }

  void Pump() override {
    // Waits up to 10 ms for something to arrive, then handles all of it;
    // out-of-context WinEvent callbacks run inside PeekMessage.
    MsgWaitForMultipleObjectsEx(0, nullptr, 10, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }

 private:
  win32::Win32Desktop desktop_;
  std::vector<std::wstring> classes_;
  std::vector<win32::UniqueHwnd> windows_;
};

}  // namespace

// The start-up locker's desktop does not poll the front window: the hooks
// alone must keep the same contract.
INSTANTIATE_TEST_SUITE_P(
    Backend, DesktopContract,
    ::testing::Values(DesktopBackend{"Win32",
                                     [] {
                                       return std::make_unique<Win32DesktopRig>(
                                           win32::Win32Desktop::ForegroundPoll::On);
                                     }},
                      DesktopBackend{"Win32WithoutPoll",
                                     [] {
                                       return std::make_unique<Win32DesktopRig>(
                                           win32::Win32Desktop::ForegroundPoll::Off);
                                     }}),
    DesktopBackendName);

}  // namespace pm::tests
