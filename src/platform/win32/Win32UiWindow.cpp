#include "platform/win32/Win32UiWindow.h"

#include <utility>

#include "platform/DebugTrace.h"
#include "platform/win32/Win32Icons.h"
#include "platform/win32/Win32Messages.h"
#include "platform/win32/Win32UiControlKinds.h"

namespace pm::win32 {

using platform::ControlKind;
using platform::Event;

namespace {

UINT DpiOf(HWND window) {
  const UINT dpi = GetDpiForWindow(window);
  return dpi != 0 ? dpi : 96;
}

}  // namespace

void Win32UiWindow::RegisterClass(HINSTANCE instance) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.style = CS_DBLCLKS;
  windowClass.lpfnWndProc = &Win32UiWindow::WindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kWindowClass;
  windowClass.hIcon = LoadBuiltInIcon(platform::BuiltIn::ProgramIcon, GetSystemMetrics(SM_CXICON));
  RegisterClassExW(&windowClass);
}

Win32UiWindow* Win32UiWindow::FromHandle(HWND hwnd) {
  return reinterpret_cast<Win32UiWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

Win32UiWindow::Win32UiWindow(HINSTANCE instance, const Win32PictureDecoder& pictures,
                             const platform::FormSpec& layout, platform::WindowEvents& events,
                             HWND owner)
    : layout_(layout),
      events_(events),
      frame_(layout),
      menus_(layout),
      controls_(layout),
      buttons_(controls_),
      lists_(controls_),
      fixedEntries_(controls_, lists_),
      timers_(layout),
      painter_(controls_, layout, pictures) {
  window_ = Win32UiFrame::Create(instance, layout, owner);
  const HWND window = window_.get();
  fonts_ = FormFonts(layout, DpiOf(window));
  frame_.Attach(window);
  menus_.Build(window);
  controls_.Build(window, instance);
  toolTips_.Build(window, instance, controls_);
  timers_.Start(window);
  LayOut();
  frame_.FitClientArea(fonts_.scale());
  if (owner != nullptr) frame_.CenterOnOwner(owner);
  // Only the whole window hears its messages.
  SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

void Win32UiWindow::LayOut() {
  controls_.LayOut(fonts_);
  buttons_.ShowPictures(fonts_.scale().dpi());
}

std::string Win32UiWindow::Text(int control) const {
  // A list's text is its current entry's.
  if (controls_.HandleOf(control) != nullptr &&
      controls_.SpecOf(control).kind == ControlKind::ListBox) {
    return lists_.Text(control, lists_.Index(control));
  }
  return controls_.Text(control);
}

void Win32UiWindow::PopupMenu(std::string_view popupName) {
  // Nothing of this object is touched after the menu unless it still exists.
  if (const std::optional<int> chosen = menus_.Popup(popupName)) events_.OnMenu(*chosen);
}

void Win32UiWindow::Dispatch(int control, Event event) {
  if (!lists_.ChangingByProgram()) events_.OnControlEvent(control, event);
}

LRESULT CALLBACK Win32UiWindow::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  Win32UiWindow* window = FromHandle(hwnd);
  if (window == nullptr) return DefWindowProcW(hwnd, message, wParam, lParam);
  try {
    return window->Handle(message, wParam, lParam);
  } catch (...) {
    // Nothing may unwind into the window system.
    platform::TraceCaughtException("a window procedure");
    return 0;
  }
}

LRESULT Win32UiWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  // Each case returns right after it hands an event to the form: the form
  // may have destroyed this window meanwhile.
  switch (message) {
    case WM_CLOSE:
      events_.OnQueryUnload(platform::UnloadMode::ControlMenu);
      return 0;
    case WM_QUERYENDSESSION:
      // Windows sends it; one posted by another program counts for nothing.
      if ((InSendMessageEx(nullptr) & ISMEX_SEND) != 0) sessionEndAsked_ = GetTickCount64();
      return TRUE;
    case WM_ENDSESSION: {
      constexpr ULONGLONG kAnswerGoodForMs = 60000;
      const bool asked =
          sessionEndAsked_ != 0 && GetTickCount64() - sessionEndAsked_ < kAnswerGoodForMs;
      if (wParam != FALSE && (asked || GetSystemMetrics(SM_SHUTTINGDOWN) != 0)) {
        events_.OnQueryUnload(platform::UnloadMode::WindowsSession);
      }
      return 0;
    }
    case WM_TIMER: {
      const int control = controls_.FromId(static_cast<int>(wParam));
      if (control >= 0) events_.OnTimer(control);
      return 0;
    }
    case WM_COMMAND:
      OnCommand(wParam, lParam);
      return 0;
    case WM_NOTIFY:
      // Our controls send it from this thread; a pointer from anyone else
      // (another program's message) is never read.
      if (!SentByThisThread()) return 0;
      return OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
    case DM_GETDEFID:
      if (const std::optional<int> button = buttons_.PressableDefault()) {
        return MAKELRESULT(platform::kControlIdBase + *button, DC_HASDEFID);
      }
      return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      return OnColor(message, wParam, lParam);
    case WM_ERASEBKGND:
      if (painter_.EraseBackground(window_.get(), reinterpret_cast<HDC>(wParam))) return 1;
      break;
    case WM_PAINT:
      painter_.Paint(window_.get());
      return 0;
    case WM_DRAWITEM: {
      if (!SentByThisThread()) return FALSE;
      const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      const int control = controls_.FromId(static_cast<int>(item.CtlID));
      if (control >= 0 && item.hwndItem == controls_.HandleOf(control)) {
        painter_.DrawImage(item, control);
      }
      return TRUE;
    }
    case WM_LBUTTONDOWN:
      Dispatch(-1, Event::Click);
      return 0;
    case WM_LBUTTONDBLCLK:
      Dispatch(-1, Event::DblClick);
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) break;
      OnActivate();
      return 0;
    case WM_DPICHANGED:
      OnDpiChanged(wParam, lParam);
      return 0;
    default:
      if (message == kTrayCallbackMessage) {
        events_.OnTrayMessage(static_cast<std::uint32_t>(LOWORD(lParam)));
        return 0;
      }
      if (message == TaskbarCreatedMessage() && message != 0) {
        events_.OnTrayMessage(platform::kTaskbarCreated);
        return 0;
      }
      break;
  }
  return DefWindowProcW(window_.get(), message, wParam, lParam);
}

void Win32UiWindow::OnCommand(WPARAM wParam, LPARAM lParam) {
  const int id = LOWORD(wParam);
  const int code = HIWORD(wParam);
  if (lParam == 0 && code == 0 && id != IDCANCEL && id != IDOK) {
    events_.OnMenu(id);
    return;
  }
  if (id == IDCANCEL) {
    // Esc presses the cancel button while it can be pressed.
    if (const std::optional<int> cancel = buttons_.PressableCancel()) {
      Dispatch(*cancel, Event::Click);
    }
    return;
  }
  const int control = controls_.FromId(id);
  // A control's notice names the control; one that names another window is
  // another program's make-believe, such as a click on a label nobody
  // clicked.
  if (control < 0 || reinterpret_cast<HWND>(lParam) != controls_.HandleOf(control)) return;
  const std::optional<Event> event = EventOfNotice(controls_.SpecOf(control).kind, code);
  if (!event) return;
  // Windows' own grouping of option buttons follows the tab order; ours, the
  // panel.
  if (controls_.SpecOf(control).kind == ControlKind::OptionButton) {
    buttons_.ClearOtherOptions(control);
  }
  Dispatch(control, *event);
}

bool Win32UiWindow::SentByThisThread() {
  // Posted messages of this kind never get here (Win32PostedMessageFilter).
  return InSendMessageEx(nullptr) == ISMEX_NOSEND;
}

LRESULT Win32UiWindow::OnNotify(const NMHDR& header) {
  const int control = controls_.FromId(static_cast<int>(header.idFrom));
  if (control < 0 || !IsListView(controls_.SpecOf(control)) ||
      header.hwndFrom != controls_.HandleOf(control)) {
    return 0;
  }
  if (const std::optional<LRESULT> fixed = fixedEntries_.OnNotify(control, header)) return *fixed;
  if (header.code == NM_CLICK) {
    Dispatch(control, Event::Click);
  } else if (header.code == LVN_ITEMCHANGED) {
    const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
    if ((change.uChanged & LVIF_STATE) != 0 &&
        ((change.uNewState ^ change.uOldState) & LVIS_STATEIMAGEMASK) != 0 &&
        (change.uOldState & LVIS_STATEIMAGEMASK) != 0) {
      Dispatch(control, Event::ItemCheck);
    }
  }
  return 0;
}

LRESULT Win32UiWindow::OnColor(UINT message, WPARAM wParam, LPARAM lParam) {
  const auto child = reinterpret_cast<HWND>(lParam);
  const int control = controls_.FromId(GetDlgCtrlID(child));
  if (control < 0) return DefWindowProcW(window_.get(), message, wParam, lParam);
  return reinterpret_cast<LRESULT>(painter_.ColorControl(reinterpret_cast<HDC>(wParam), control));
}

void Win32UiWindow::OnActivate() {
  // The first control in the tab order takes the keyboard.
  HWND first = controls_.FirstFocus();
  HWND focus = GetFocus();
  if (first != nullptr && (focus == nullptr || GetAncestor(focus, GA_ROOT) != window_.get())) {
    ::SetFocus(first);
  }
}

// Windows sends the message on this thread, when it moves the window to a
// monitor of another DPI. One from anyone else is believed in nothing: the
// DPI is then the system's to say, and the window keeps its place.
void Win32UiWindow::OnDpiChanged(WPARAM newDpi, LPARAM suggestedPlace) {
  constexpr UINT kLeastDpi = 48;
  constexpr UINT kMostDpi = 96 * 16;
  const bool fromWindows = SentByThisThread();
  const UINT dpi = fromWindows ? HIWORD(newDpi) : DpiOf(window_.get());
  if (dpi < kLeastDpi || dpi > kMostDpi || dpi == fonts_.scale().dpi()) return;
  if (fromWindows) frame_.MoveTo(*reinterpret_cast<const RECT*>(suggestedPlace));
  // The old fonts go only after every control has taken the new ones.
  const FormFonts old = std::exchange(fonts_, FormFonts(layout_, dpi));
  LayOut();
  // The form's scale follows its font, which need not grow as the DPI does:
  // the client area is sized by it rather than by Windows' suggestion.
  frame_.FitClientArea(fonts_.scale());
}

}  // namespace pm::win32
