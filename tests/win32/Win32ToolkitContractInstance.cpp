// The Toolkit suite on real windows under Wine. A user's clicks and keys
// arrive as the messages a mouse and keyboard make, through the toolkit's
// own pump; the "other program's" window is one of the test process.
#include <windows.h>

#include <commctrl.h>

#include "contract/ToolkitContract.h"
#include "platform/win32/Handles.h"
#include "win32/Win32ToolkitRig.h"

namespace pm::tests {
namespace {

constexpr wchar_t kOtherClass[] = L"PelmoraContractOther";

HWND Child(platform::Window& window, int control) {
  return FindDescendant(reinterpret_cast<HWND>(window.handle()),
                        platform::kControlIdBase + control);
}

HWND Handle(const platform::Window& window) {
  return reinterpret_cast<HWND>(window.handle());
}

platform::Rect ToRect(const RECT& r) {
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

void PostClick(HWND target, POINT at) {
  const LPARAM where = MAKELPARAM(at.x, at.y);
  PostMessageW(target, WM_LBUTTONDOWN, MK_LBUTTON, where);
  PostMessageW(target, WM_LBUTTONUP, 0, where);
}

class Win32ToolkitContractRig final : public ToolkitRig {
 public:
  Win32ToolkitContractRig() {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kOtherClass;
    RegisterClassExW(&windowClass);
  }

  platform::Toolkit& toolkit() override { return TheToolkit(); }

  void Click(platform::Window& window, int control) override {
    SendMessageW(Child(window, control), BM_CLICK, 0, 0);
    TheToolkit().DoEvents();
  }
  void ClickListEntry(platform::Window& window, int control, int index) override {
    HWND list = Child(window, control);
    RECT item{};
    SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    PostClick(list, {(item.left + item.right) / 2, (item.top + item.bottom) / 2});
    TheToolkit().DoEvents();
  }
  void ClickListCheck(platform::Window& window, int control, int index) override {
    // As the list view's own click on the box does: a new state image.
    HWND list = Child(window, control);
    LVITEMW item{};
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.state = INDEXTOSTATEIMAGEMASK(ListView_GetCheckState(list, index) ? 1 : 2);
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(&item));
    TheToolkit().DoEvents();
  }
  void Press(platform::Window& window, Key key) override {
    const WPARAM code = key == Key::Enter ? VK_RETURN : key == Key::Esc ? VK_ESCAPE : VK_TAB;
    HWND focus = GetFocus();
    HWND root = reinterpret_cast<HWND>(window.handle());
    PostMessageW(focus != nullptr && IsChild(root, focus) ? focus : root, WM_KEYDOWN, code, 1);
    TheToolkit().DoEvents();
  }
  int Focus(const platform::Window& window) override {
    HWND focus = GetFocus();
    HWND root = reinterpret_cast<HWND>(window.handle());
    if (focus == nullptr || GetParent(focus) != root) return -1;
    return GetDlgCtrlID(focus) - platform::kControlIdBase;
  }
  platform::Hwnd OpenOtherWindow() override {
    other_.reset(CreateWindowExW(0, kOtherClass, L"Other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40,
                                 300, 200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr));
    SetForegroundWindow(other_.get());
    TheToolkit().DoEvents();
    return reinterpret_cast<platform::Hwnd>(other_.get());
  }
  platform::Hwnd Foreground() override {
    return reinterpret_cast<platform::Hwnd>(GetForegroundWindow());
  }
  platform::Rect Bounds(const platform::Window& window) override {
    RECT r{};
    GetWindowRect(Handle(window), &r);
    return ToRect(r);
  }
  platform::Rect WorkArea() override {
    RECT r{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0);
    return ToRect(r);
  }
  void MoveTo(platform::Window& window, int left, int top) override {
    SetWindowPos(Handle(window), nullptr, left, top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    TheToolkit().DoEvents();
  }
  platform::Hwnd OwnerOf(const platform::Window& window) override {
    return reinterpret_cast<platform::Hwnd>(GetWindow(Handle(window), GW_OWNER));
  }
  bool PumpUntil(const std::function<bool()>& done) override {
    TheToolkit().DoEvents();
    return PumpFor(done);
  }

 private:
  win32::UniqueHwnd other_;
};

}  // namespace

INSTANTIATE_TEST_SUITE_P(Backend, ToolkitContract,
                         ::testing::Values(ToolkitBackend{
                             "Win32", [] { return std::make_unique<Win32ToolkitContractRig>(); },
                             // Wine's button leaves an option button that
                             // takes the focus as it was (Windows checks it).
                             false}),
                         ToolkitBackendName);

}  // namespace pm::tests
