// A form's window: laid out at the monitor's DPI, and its messages turned
// into the form's events. Its controls are made in Win32UiWindowControls.cpp.
#include "platform/win32/Win32UiWindow.h"

#include <commctrl.h>

#include <algorithm>
#include <functional>
#include <utility>

#include "platform/DebugTrace.h"
#include "platform/win32/GdiGuards.h"
#include "platform/win32/Wide.h"
#include "platform/win32/Win32ButtonPictures.h"
#include "platform/win32/Win32Icons.h"
#include "platform/win32/Win32Messages.h"
#include "platform/win32/Win32UiPictures.h"

namespace pm::win32 {

using platform::ControlKind;
using platform::Event;
namespace prop = platform::prop;

namespace {

constexpr int kTwipsPerInch = 1440;

DWORD FrameStyle(const platform::FormSpec& layout) {
  DWORD style = WS_CLIPCHILDREN;
  switch (layout.border) {
    case platform::Border::None:
      return style | WS_POPUP;
    case platform::Border::Sizable:
      style |= WS_OVERLAPPEDWINDOW;
      break;
    case platform::Border::FixedSingle:
    case platform::Border::FixedDialog:
      style |= WS_POPUP | WS_CAPTION | WS_SYSMENU;
      break;
  }
  if (!layout.controlBox) style &= ~WS_SYSMENU;
  if (layout.minButton) style |= WS_MINIMIZEBOX;
  return style;
}

DWORD FrameExStyle(const platform::FormSpec& layout) {
  return layout.border == platform::Border::FixedDialog ? WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT
                                                        : WS_EX_CONTROLPARENT;
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

Win32UiWindow::Win32UiWindow(HINSTANCE instance, const platform::FormSpec& layout,
                             platform::WindowEvents& events, HWND owner)
    : layout_(layout),
      events_(events),
      clientWidth_(layout.clientWidth),
      clientHeight_(layout.clientHeight),
      pendingState_(layout.initialState) {
  controls_.resize(layout.controls.size());
  // An owned window starts on its owner's monitor, so it is laid out at that
  // monitor's DPI before it is centred there.
  POINT start{CW_USEDEFAULT, CW_USEDEFAULT};
  RECT ownerRect{};
  if (owner != nullptr && GetWindowRect(owner, &ownerRect)) start = {ownerRect.left, ownerRect.top};
  hwnd_ = CreateWindowExW(FrameExStyle(layout), kWindowClass, Wide(layout.caption).c_str(),
                          FrameStyle(layout), start.x, start.y, 100, 100, owner, nullptr, instance,
                          nullptr);
  if (hwnd_ == nullptr) throw std::runtime_error("the window could not be created");
  SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  dpi_ = GetDpiForWindow(hwnd_);
  if (dpi_ == 0) dpi_ = 96;
  if (layout.backColor != platform::kDefaultColor) {
    backBrush_.reset(CreateSolidBrush(ToColorRef(layout.backColor)));
  }
  fonts_ = CreateFonts();
  CreateMenuBar();
  CreateControls(instance);
  Layout();
  AdjustToClientSize();
  if (owner != nullptr) CenterOnOwner(owner);
}

Win32UiWindow::~Win32UiWindow() {
  *alive_ = false;
  // From here on the window's messages no longer reach this object.
  SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
  DestroyWindow(hwnd_);
}

void Win32UiWindow::MakeToolWindow() {
  SetWindowLongPtrW(hwnd_, GWL_EXSTYLE, GetWindowLongPtrW(hwnd_, GWL_EXSTYLE) | WS_EX_TOOLWINDOW);
}

int Win32UiWindow::Pixels(int twips) const {
  return MulDiv(twips, static_cast<int>(dpi_), kTwipsPerInch);
}

bool Win32UiWindow::StartsGroup(int control) const {
  const auto isOption = [this](int c) { return SpecOf(c).kind == ControlKind::OptionButton; };
  if (control == 0) return false;
  const int previous = control - 1;
  if (isOption(control)) {
    return !isOption(previous) || SpecOf(previous).container != SpecOf(control).container;
  }
  return isOption(previous);
}

void Win32UiWindow::ClearOtherOptions(int control) {
  for (std::size_t i = 0; i < controls_.size(); ++i) {
    const platform::ControlSpec& other = SpecOf(static_cast<int>(i));
    if (static_cast<int>(i) == control || other.kind != ControlKind::OptionButton ||
        other.container != SpecOf(control).container || controls_[i].hwnd == nullptr) {
      continue;
    }
    SendMessageW(controls_[i].hwnd, BM_SETCHECK, BST_UNCHECKED, 0);
  }
}

HWND Win32UiWindow::FirstFocus() const {
  // An unchecked option button is passed over: on Windows, an automatic
  // option button that takes the focus checks itself, and a form must open
  // with the choice the user has not made yet left open.
  HWND first = GetNextDlgTabItem(hwnd_, nullptr, FALSE);
  for (HWND candidate = first; candidate != nullptr;) {
    const int control = ControlFromId(GetDlgCtrlID(candidate));
    if (control < 0 || SpecOf(control).kind != ControlKind::OptionButton ||
        SendMessageW(candidate, BM_GETCHECK, 0, 0) == BST_CHECKED) {
      return candidate;
    }
    candidate = GetNextDlgTabItem(hwnd_, candidate, FALSE);
    if (candidate == first) break;
  }
  return nullptr;
}

bool Win32UiWindow::IsListView(int control) const {
  return SpecOf(control).kind == ControlKind::ListBox &&
         (SpecOf(control).props & prop::kCheckBoxes) != 0;
}

int Win32UiWindow::ContainerOf(int control) const {
  const std::string_view container = SpecOf(control).container;
  return container.empty() ? -1 : platform::ControlIndex(layout_.controls, container);
}

bool Win32UiWindow::EffectivelyVisible(int control) const {
  for (int c = control; c >= 0; c = ContainerOf(c)) {
    if (!controls_[c].visible) return false;
  }
  return true;
}

void Win32UiWindow::UpdateVisibility() {
  for (std::size_t i = 0; i < controls_.size(); ++i) {
    if (controls_[i].hwnd != nullptr) {
      ShowWindow(controls_[i].hwnd, EffectivelyVisible(static_cast<int>(i)) ? SW_SHOWNA : SW_HIDE);
    }
  }
  InvalidateRect(hwnd_, nullptr, TRUE);
}

RECT Win32UiWindow::PixelRect(int control) const {
  int left = controls_[control].bounds.left;
  int top = controls_[control].bounds.top;
  // Positions are relative to the panel that holds the control.
  for (int c = ContainerOf(control); c >= 0; c = ContainerOf(c)) {
    left += controls_[c].bounds.left;
    top += controls_[c].bounds.top;
  }
  const platform::Rect& b = controls_[control].bounds;
  return {Pixels(left), Pixels(top), Pixels(left + b.width), Pixels(top + b.height)};
}

void Win32UiWindow::Layout() {
  for (std::size_t i = 0; i < controls_.size(); ++i) {
    const ControlState& state = controls_[i];
    if (state.hwnd == nullptr) continue;
    const RECT r = PixelRect(static_cast<int>(i));
    SetWindowPos(state.hwnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    const platform::ControlSpec& c = SpecOf(static_cast<int>(i));
    HFONT font = (c.props & prop::kBold)         ? fonts_.bold.get()
                 : (c.props & prop::kUnderlined) ? fonts_.underlined.get()
                                                 : fonts_.normal.get();
    SendMessageW(state.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    if (c.kind == ControlKind::Button && c.picture != platform::BuiltIn::None) {
      UpdateButtonPicture(static_cast<int>(i));
    }
    if (IsListView(static_cast<int>(i))) {
      ListView_SetColumnWidth(state.hwnd, 0, r.right - r.left - GetSystemMetrics(SM_CXVSCROLL) - 4);
    }
  }
  InvalidateRect(hwnd_, nullptr, TRUE);
}

void Win32UiWindow::UpdateButtonPicture(int control) {
  ControlState& state = controls_[control];
  if (state.buttonPictureDpi == dpi_) return;
  // The new list is in place before the old one, which the button still
  // draws from, is destroyed.
  state.buttonPicture =
      SetButtonPicture(state.hwnd, SpecOf(control).picture, state.bounds.height, dpi_);
  state.buttonPictureDpi = dpi_;
}

void Win32UiWindow::AdjustToClientSize() {
  RECT frame{0, 0, Pixels(clientWidth_), Pixels(clientHeight_)};
  AdjustWindowRectExForDpi(&frame, static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_STYLE)),
                           menuBar_ ? TRUE : FALSE,
                           static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_EXSTYLE)), dpi_);
  SetWindowPos(hwnd_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int Win32UiWindow::ControlFromId(int id) const {
  const int index = id - platform::kControlIdBase;
  return index >= 0 && index < static_cast<int>(controls_.size()) ? index : -1;
}

void Win32UiWindow::Dispatch(int control, Event event) {
  if (!notifying_) events_.OnControlEvent(control, event);
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
      const int control = ControlFromId(static_cast<int>(wParam));
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
      for (std::size_t i = 0; i < controls_.size(); ++i) {
        if (controls_[i].defaultButton && controls_[i].hwnd && IsWindowEnabled(controls_[i].hwnd)) {
          return MAKELRESULT(platform::kControlIdBase + static_cast<int>(i), DC_HASDEFID);
        }
      }
      return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      return OnColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_ERASEBKGND:
      if (backBrush_) {
        RECT client;
        GetClientRect(hwnd_, &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client, backBrush_.get());
        return 1;
      }
      break;
    case WM_PAINT:
      OnPaint();
      return 0;
    case WM_DRAWITEM:
      if (!SentByThisThread()) return FALSE;
      OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    case WM_LBUTTONDOWN:
      Dispatch(-1, Event::Click);
      return 0;
    case WM_LBUTTONDBLCLK:
      Dispatch(-1, Event::DblClick);
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE) {
        // The first control in the tab order takes the keyboard.
        HWND first = FirstFocus();
        HWND focus = GetFocus();
        if (first != nullptr && (focus == nullptr || GetAncestor(focus, GA_ROOT) != hwnd_)) {
          ::SetFocus(first);
        }
        return 0;
      }
      break;
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
  return DefWindowProcW(hwnd_, message, wParam, lParam);
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
    for (std::size_t i = 0; i < controls_.size(); ++i) {
      if ((SpecOf(static_cast<int>(i)).props & prop::kCancel) != 0 && controls_[i].hwnd &&
          IsWindowEnabled(controls_[i].hwnd)) {
        Dispatch(static_cast<int>(i), Event::Click);
        return;
      }
    }
    return;
  }
  const int control = ControlFromId(id);
  // A control's notice names the control; one that names another window is
  // another program's make-believe, such as a click on a label nobody
  // clicked.
  if (control < 0 || reinterpret_cast<HWND>(lParam) != controls_[control].hwnd) return;
  switch (SpecOf(control).kind) {
    case ControlKind::OptionButton:
      if (code != BN_CLICKED) return;
      // Windows' own grouping follows the tab order; ours, the panel.
      ClearOtherOptions(control);
      Dispatch(control, Event::Click);
      return;
    case ControlKind::Button:
    case ControlKind::CheckBox:
      if (code == BN_CLICKED) Dispatch(control, Event::Click);
      return;
    case ControlKind::Label:
    case ControlKind::Image:
    case ControlKind::Frame:
      if (code == STN_CLICKED) Dispatch(control, Event::Click);
      if (code == STN_DBLCLK) Dispatch(control, Event::DblClick);
      return;
    case ControlKind::TextBox:
      if (code == EN_CHANGE) Dispatch(control, Event::Change);
      return;
    case ControlKind::ListBox:
    case ControlKind::DriveList:
    case ControlKind::FolderList:
    case ControlKind::FileList:
      if (code == LBN_SELCHANGE) Dispatch(control, Event::Click);
      if (code == LBN_DBLCLK) Dispatch(control, Event::DblClick);
      return;
    default:
      return;
  }
}

bool Win32UiWindow::SentByThisThread() {
  // Posted messages of this kind never get here (Win32PostedMessageFilter).
  return InSendMessageEx(nullptr) == ISMEX_NOSEND;
}

// Windows sends the message on this thread, when it moves the window to a
// monitor of another DPI. One from anyone else is believed in nothing: the
// DPI is then the system's to say, and the window keeps its place.
void Win32UiWindow::OnDpiChanged(WPARAM newDpi, LPARAM suggestedPlace) {
  constexpr UINT kLeastDpi = 48;
  constexpr UINT kMostDpi = 96 * 16;
  const bool fromWindows = SentByThisThread();
  const UINT dpi = fromWindows ? HIWORD(newDpi) : GetDpiForWindow(hwnd_);
  if (dpi < kLeastDpi || dpi > kMostDpi || dpi == dpi_) return;
  dpi_ = dpi;
  if (fromWindows) {
    const RECT* suggested = reinterpret_cast<const RECT*>(suggestedPlace);
    SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top,
                 suggested->right - suggested->left, suggested->bottom - suggested->top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  } else {
    AdjustToClientSize();
  }
  // The old fonts go only after every control has taken the new ones.
  const Fonts old = std::exchange(fonts_, CreateFonts());
  Layout();
}

LRESULT Win32UiWindow::OnNotify(const NMHDR& header) {
  const int control = ControlFromId(static_cast<int>(header.idFrom));
  if (control < 0 || !IsListView(control) || header.hwndFrom != controls_[control].hwnd) return 0;
  if (const std::optional<LRESULT> fixed = OnFixedEntryNotify(control, header)) return *fixed;
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

LRESULT Win32UiWindow::OnColor(HDC dc, HWND child) {
  const int control = ControlFromId(GetDlgCtrlID(child));
  if (control < 0)
    return DefWindowProcW(hwnd_, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                          reinterpret_cast<LPARAM>(child));
  const platform::ControlSpec& c = SpecOf(control);
  // A control takes the background of the panel it lies on.
  HBRUSH brush = backBrush_.get();
  COLORREF background = backBrush_ ? ToColorRef(layout_.backColor) : GetSysColor(COLOR_BTNFACE);
  for (int p = c.kind == ControlKind::Frame ? control : ContainerOf(control); p >= 0;
       p = ContainerOf(p)) {
    if (controls_[p].brush) {
      brush = controls_[p].brush.get();
      background = SpecOf(p).color == platform::kDefaultColor ? GetSysColor(COLOR_BTNFACE)
                                                              : ToColorRef(SpecOf(p).color);
      break;
    }
  }
  if (brush == nullptr) brush = GetSysColorBrush(COLOR_BTNFACE);
  SetBkColor(dc, background);
  if (c.kind == ControlKind::Label && c.color != platform::kDefaultColor) {
    SetTextColor(dc, ToColorRef(c.color));
  }
  return reinterpret_cast<LRESULT>(brush);
}

void Win32UiWindow::OnPaint() {
  const PaintGuard paint(hwnd_);
  for (std::size_t i = 0; i < controls_.size(); ++i) {
    const platform::ControlSpec& c = SpecOf(static_cast<int>(i));
    if (c.kind != ControlKind::Line || !EffectivelyVisible(static_cast<int>(i))) continue;
    const RECT r = PixelRect(static_cast<int>(i));
    const UniqueHpen pen(
        CreatePen(PS_SOLID, 1, ToColorRef(c.color == platform::kDefaultColor ? 0 : c.color)));
    const SelectGuard selected(paint.dc(), pen.get());
    MoveToEx(paint.dc(), r.left, r.top, nullptr);
    LineTo(paint.dc(), r.right, r.bottom);
  }
}

void Win32UiWindow::OnDrawItem(const DRAWITEMSTRUCT& item) {
  const int control = ControlFromId(static_cast<int>(item.CtlID));
  if (control < 0 || item.hwndItem != controls_[control].hwnd) return;
  FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
  if (const auto* picture = static_cast<const Win32Picture*>(controls_[control].picture.get())) {
    picture->Draw(item.hDC, item.rcItem);
  }
}

}  // namespace pm::win32
