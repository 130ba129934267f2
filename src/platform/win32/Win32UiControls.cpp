// What a form does to its window and its controls.
#include <windows.h>

#include <commctrl.h>

#include <utility>

#include "platform/Placement.h"
#include "platform/Text.h"
#include "platform/win32/Wide.h"
#include "platform/win32/Win32Icons.h"
#include "platform/win32/Win32UiWindow.h"

namespace pm::win32 {

using platform::ControlKind;

namespace {

std::string WindowTextOf(HWND hwnd) {
  const int length = GetWindowTextLengthW(hwnd);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int copied = GetWindowTextW(hwnd, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
  return Narrow(text);
}

int ShowCommand(platform::WindowState state, bool activate) {
  switch (state) {
    case platform::WindowState::Minimized:
      return activate ? SW_SHOWMINIMIZED : SW_SHOWMINNOACTIVE;
    case platform::WindowState::Maximized:
      return SW_SHOWMAXIMIZED;
    default:
      return activate ? SW_SHOWNORMAL : SW_SHOWNOACTIVATE;
  }
}

}  // namespace

void Win32UiWindow::SetCaption(std::string_view caption) {
  SetWindowTextW(hwnd_, Wide(caption).c_str());
}

std::string Win32UiWindow::Caption() const {
  return WindowTextOf(hwnd_);
}

void Win32UiWindow::Show(platform::ShowMode mode) {
  const bool activate = mode == platform::ShowMode::Normal;
  if (!shownOnce_ || !IsWindowVisible(hwnd_)) {
    ShowWindow(hwnd_, ShowCommand(shownOnce_ ? GetWindowState() : pendingState_, activate));
    shownOnce_ = true;
  }
  if (activate) SetForegroundWindow(hwnd_);
}

void Win32UiWindow::Hide() {
  ShowWindow(hwnd_, SW_HIDE);
}

bool Win32UiWindow::IsVisible() const {
  return IsWindowVisible(hwnd_) != FALSE;
}

void Win32UiWindow::SetEnabled(bool enabled) {
  EnableWindow(hwnd_, enabled ? TRUE : FALSE);
}

bool Win32UiWindow::IsEnabled() const {
  return IsWindowEnabled(hwnd_) != FALSE;
}

void Win32UiWindow::SetWindowState(platform::WindowState state) {
  if (!IsWindowVisible(hwnd_)) {
    pendingState_ = state;
    return;
  }
  ShowWindow(hwnd_, state == platform::WindowState::Minimized   ? SW_MINIMIZE
                    : state == platform::WindowState::Maximized ? SW_MAXIMIZE
                                                                : SW_RESTORE);
}

platform::WindowState Win32UiWindow::GetWindowState() const {
  if (!IsWindowVisible(hwnd_) && !shownOnce_) return pendingState_;
  if (IsIconic(hwnd_)) return platform::WindowState::Minimized;
  if (IsZoomed(hwnd_)) return platform::WindowState::Maximized;
  return platform::WindowState::Normal;
}

namespace {

MONITORINFO InfoOf(HMONITOR monitorHandle) {
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  GetMonitorInfoW(monitorHandle, &monitor);
  return monitor;
}

platform::Rect ToRect(const RECT& r) {
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

}  // namespace

void Win32UiWindow::CenterOnScreen() {
  CenterOn(InfoOf(MonitorFromWindow(hwnd_, MONITOR_DEFAULTTOPRIMARY)).rcWork);
}

void Win32UiWindow::CenterOnOwner(HWND owner) {
  RECT area{};
  // A minimised or hidden owner has no place on the screen to centre on.
  if (!IsWindowVisible(owner) || IsIconic(owner) || !GetWindowRect(owner, &area)) {
    area = InfoOf(MonitorFromWindow(owner, MONITOR_DEFAULTTOPRIMARY)).rcWork;
  }
  CenterOn(area);
}

void Win32UiWindow::CenterOn(const RECT& area) {
  const MONITORINFO monitor = InfoOf(MonitorFromRect(&area, MONITOR_DEFAULTTOPRIMARY));
  const RECT& work = monitor.rcWork;
  // The restored position, so a window first shown minimised comes back here.
  WINDOWPLACEMENT placement{};
  placement.length = sizeof(placement);
  GetWindowPlacement(hwnd_, &placement);
  const RECT& normal = placement.rcNormalPosition;
  const platform::Rect place = platform::CentredPlace(
      ToRect(area), ToRect(work), normal.right - normal.left, normal.bottom - normal.top);
  const int left = place.left;
  const int top = place.top;
  if (IsWindowVisible(hwnd_)) {
    // A placement is in workspace coordinates, which start at the work
    // area: with the taskbar at the top or the left they are not the
    // screen's.
    const int x = left - (work.left - monitor.rcMonitor.left);
    const int y = top - (work.top - monitor.rcMonitor.top);
    placement.rcNormalPosition = {x, y, x + place.width, y + place.height};
    SetWindowPlacement(hwnd_, &placement);
  } else {
    SetWindowPos(hwnd_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void Win32UiWindow::CoverMonitorOf(platform::Hwnd other) {
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  GetMonitorInfoW(MonitorFromWindow(reinterpret_cast<HWND>(other), MONITOR_DEFAULTTOPRIMARY),
                  &monitor);
  Cover(monitor.rcMonitor);
}

void Win32UiWindow::CoverEveryMonitor() {
  const int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
  const int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
  Cover({left, top, left + GetSystemMetrics(SM_CXVIRTUALSCREEN),
         top + GetSystemMetrics(SM_CYVIRTUALSCREEN)});
}

void Win32UiWindow::Cover(const RECT& r) {
  pendingState_ = platform::WindowState::Normal;
  SetWindowPos(hwnd_, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32UiWindow::SetTopmost(bool topmost) {
  SetWindowPos(hwnd_, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
               SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
}

void Win32UiWindow::BringToFront() {
  if (IsIconic(hwnd_)) ShowWindow(hwnd_, SW_RESTORE);
  SetForegroundWindow(hwnd_);
}

void Win32UiWindow::SetIcon(platform::BuiltIn icon) {
  // The old icons go only after the window has taken the new ones.
  const UniqueHicon oldBig = std::exchange(
      bigIcon_, UniqueHicon(LoadBuiltInIcon(icon, GetSystemMetricsForDpi(SM_CXICON, dpi_))));
  const UniqueHicon oldSmall = std::exchange(
      smallIcon_, UniqueHicon(LoadBuiltInIcon(icon, GetSystemMetricsForDpi(SM_CXSMICON, dpi_))));
  SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.get()));
  SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));
}

void Win32UiWindow::SetClientSize(int widthTwips, int heightTwips) {
  clientWidth_ = widthTwips;
  clientHeight_ = heightTwips;
  AdjustToClientSize();
}

void Win32UiWindow::SetText(int control, std::string_view text) {
  HWND child = controls_.at(control).hwnd;
  if (child == nullptr) return;
  // A text box holds at most its length in characters, as typing allows.
  const int limit = SpecOf(control).maxLength;
  if (limit > 0) text = platform::FirstCodePoints(text, static_cast<std::size_t>(limit));
  SetWindowTextW(child, Wide(text).c_str());
}

std::string Win32UiWindow::Text(int control) const {
  HWND child = controls_.at(control).hwnd;
  if (child == nullptr) return {};
  // A list's text is its current entry's.
  if (SpecOf(control).kind == ControlKind::ListBox) return ListText(control, ListIndex(control));
  return WindowTextOf(child);
}

void Win32UiWindow::SetControlEnabled(int control, bool enabled) {
  if (HWND child = controls_.at(control).hwnd) EnableWindow(child, enabled ? TRUE : FALSE);
}

bool Win32UiWindow::ControlEnabled(int control) const {
  HWND child = controls_.at(control).hwnd;
  return child == nullptr || IsWindowEnabled(child) != FALSE;
}

void Win32UiWindow::SetControlVisible(int control, bool visible) {
  controls_.at(control).visible = visible;
  UpdateVisibility();
}

bool Win32UiWindow::ControlVisible(int control) const {
  return controls_.at(control).visible;
}

void Win32UiWindow::SetControlBounds(int control, platform::Rect twips) {
  controls_.at(control).bounds = twips;
  Layout();
}

platform::Rect Win32UiWindow::ControlBounds(int control) const {
  return controls_.at(control).bounds;
}

void Win32UiWindow::SetFocus(int control) {
  if (HWND child = controls_.at(control).hwnd) ::SetFocus(child);
}

void Win32UiWindow::SelectAllText(int control) {
  if (HWND child = controls_.at(control).hwnd) SendMessageW(child, EM_SETSEL, 0, -1);
}

void Win32UiWindow::SetDefaultButton(int control, bool isDefault) {
  ControlState& state = controls_.at(control);
  state.defaultButton = isDefault;
  if (state.hwnd != nullptr) {
    SendMessageW(state.hwnd, BM_SETSTYLE, isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
  }
}

void Win32UiWindow::SetChecked(int control, bool checked) {
  if (HWND child = controls_.at(control).hwnd) {
    SendMessageW(child, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    if (checked && SpecOf(control).kind == ControlKind::OptionButton) ClearOtherOptions(control);
  }
}

bool Win32UiWindow::Checked(int control) const {
  HWND child = controls_.at(control).hwnd;
  return child != nullptr && SendMessageW(child, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Win32UiWindow::SetPicture(int control, platform::PicturePtr picture) {
  controls_.at(control).picture = std::move(picture);
  if (HWND child = controls_[control].hwnd) InvalidateRect(child, nullptr, TRUE);
}

platform::PicturePtr Win32UiWindow::GetPicture(int control) const {
  return controls_.at(control).picture;
}

void Win32UiWindow::SetTimer(int control, int intervalMs, bool enabled) {
  ControlState& state = controls_.at(control);
  state.interval = intervalMs;
  state.timerEnabled = enabled;
  const UINT_PTR id = static_cast<UINT_PTR>(platform::kControlIdBase + control);
  // Setting a timer again starts its interval afresh.
  if (enabled && intervalMs > 0) {
    ::SetTimer(hwnd_, id, static_cast<UINT>(intervalMs), nullptr);
  } else {
    KillTimer(hwnd_, id);
  }
}

int Win32UiWindow::TimerInterval(int control) const {
  return controls_.at(control).interval;
}

bool Win32UiWindow::TimerEnabled(int control) const {
  return controls_.at(control).timerEnabled;
}

int Win32UiWindow::ListAdd(int control, std::string_view text) {
  HWND list = controls_.at(control).hwnd;
  if (list == nullptr) return -1;
  int at = ListCount(control);
  if ((SpecOf(control).props & platform::prop::kSorted) != 0) {
    // The order the list is stored in: by lower-cased text, the same in the
    // simulation and here.
    const std::string key = platform::LowerCase(text);
    at = 0;
    while (at < ListCount(control) && platform::LowerCase(ListText(control, at)) <= key) ++at;
  }
  std::wstring wide = Wide(text);
  notifying_ = true;
  if (IsListView(control)) {
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = at;
    item.pszText = wide.data();
    at = ListView_InsertItem(list, &item);
  } else {
    at = static_cast<int>(SendMessageW(list, LB_INSERTSTRING, static_cast<WPARAM>(at),
                                       reinterpret_cast<LPARAM>(wide.c_str())));
  }
  notifying_ = false;
  return at;
}

void Win32UiWindow::ListRemove(int control, int index) {
  HWND list = controls_.at(control).hwnd;
  if (list == nullptr || index < 0 || index >= ListCount(control)) return;
  notifying_ = true;
  if (IsListView(control)) {
    ListView_DeleteItem(list, index);
  } else {
    SendMessageW(list, LB_DELETESTRING, static_cast<WPARAM>(index), 0);
  }
  notifying_ = false;
}

void Win32UiWindow::ListClear(int control) {
  HWND list = controls_.at(control).hwnd;
  if (list == nullptr) return;
  notifying_ = true;
  if (IsListView(control)) {
    ListView_DeleteAllItems(list);
  } else {
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
  }
  notifying_ = false;
}

int Win32UiWindow::ListCount(int control) const {
  HWND list = controls_.at(control).hwnd;
  if (list == nullptr) return 0;
  return IsListView(control) ? ListView_GetItemCount(list)
                             : static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
}

std::string Win32UiWindow::ListText(int control, int index) const {
  HWND list = controls_.at(control).hwnd;
  if (list == nullptr || index < 0 || index >= ListCount(control)) return {};
  if (IsListView(control)) {
    std::wstring text(1024, L'\0');
    LVITEMW item{};
    item.iSubItem = 0;
    item.pszText = text.data();
    item.cchTextMax = static_cast<int>(text.size());
    const int length = static_cast<int>(SendMessageW(
        list, LVM_GETITEMTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)));
    text.resize(static_cast<std::size_t>(length > 0 ? length : 0));
    return Narrow(text);
  }
  const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length <= 0) return {};
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(length));
  return Narrow(text);
}

void Win32UiWindow::SetListChecked(int control, int index, bool checked) {
  HWND list = controls_.at(control).hwnd;
  if (list == nullptr || !IsListView(control) || index < 0 || index >= ListCount(control)) return;
  notifying_ = true;
  ListView_SetCheckState(list, index, checked ? TRUE : FALSE);
  notifying_ = false;
}

bool Win32UiWindow::ListChecked(int control, int index) const {
  HWND list = controls_.at(control).hwnd;
  if (list == nullptr || !IsListView(control) || index < 0 || index >= ListCount(control)) {
    return false;
  }
  return ListView_GetCheckState(list, index) != FALSE;
}

void Win32UiWindow::SetListIndex(int control, int index) {
  HWND list = controls_.at(control).hwnd;
  if (list == nullptr) return;
  if (index >= ListCount(control)) index = -1;
  notifying_ = true;
  if (IsListView(control)) {
    ListView_SetItemState(list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    if (index >= 0) {
      ListView_SetItemState(list, index, LVIS_SELECTED | LVIS_FOCUSED,
                            LVIS_SELECTED | LVIS_FOCUSED);
      ListView_EnsureVisible(list, index, FALSE);
    }
  } else {
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
  }
  notifying_ = false;
}

int Win32UiWindow::ListIndex(int control) const {
  HWND list = controls_.at(control).hwnd;
  if (list == nullptr) return -1;
  if (IsListView(control)) return ListView_GetNextItem(list, -1, LVNI_SELECTED);
  return static_cast<int>(SendMessageW(list, LB_GETCURSEL, 0, 0));
}

void Win32UiWindow::SetMenuChecked(int menuId, bool checked) {
  if (menuBar_) {
    CheckMenuItem(menuBar_.get(), static_cast<UINT>(menuId),
                  MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
  }
}

bool Win32UiWindow::MenuChecked(int menuId) const {
  if (!menuBar_) return false;
  // An id no entry has answers -1, every bit set.
  const UINT state = GetMenuState(menuBar_.get(), static_cast<UINT>(menuId), MF_BYCOMMAND);
  return state != static_cast<UINT>(-1) && (state & MF_CHECKED) != 0;
}

void Win32UiWindow::PopupMenu(std::string_view popupName) {
  UniqueHmenu menu(CreatePopupMenu());
  for (const platform::MenuSpec& item : layout_.popups) {
    if (item.parent != popupName) continue;
    AppendMenuW(menu.get(), MF_STRING, static_cast<UINT_PTR>(item.id), Wide(item.caption).c_str());
    if (item.isDefault) SetMenuDefaultItem(menu.get(), static_cast<UINT>(item.id), FALSE);
  }
  POINT at{};
  GetCursorPos(&at);
  // A tray menu closes when the user clicks elsewhere only if its owner is
  // in front while it is open.
  SetForegroundWindow(hwnd_);
  const std::shared_ptr<bool> alive = alive_;
  const int chosen = TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY,
                                    at.x, at.y, 0, hwnd_, nullptr);
  if (!*alive) return;
  PostMessageW(hwnd_, WM_NULL, 0, 0);
  if (chosen != 0) events_.OnMenu(chosen);
}

}  // namespace pm::win32
