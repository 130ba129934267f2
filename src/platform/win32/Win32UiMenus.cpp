#include "platform/win32/Win32UiMenus.h"

#include <string>

#include "platform/win32/Handles.h"
#include "platform/win32/Wide.h"

namespace pm::win32 {

namespace {

// A menu of the table's entries under `parent`.
UniqueHmenu PopupOf(std::span<const platform::MenuSpec> entries, std::string_view parent) {
  UniqueHmenu popup(CreatePopupMenu());
  for (const platform::MenuSpec& item : entries) {
    if (item.parent != parent) continue;
    if (item.caption == "-") {
      AppendMenuW(popup.get(), MF_SEPARATOR, 0, nullptr);
    } else {
      AppendMenuW(popup.get(), MF_STRING, static_cast<UINT_PTR>(item.id),
                  Wide(item.caption).c_str());
    }
    if (item.isDefault) SetMenuDefaultItem(popup.get(), static_cast<UINT>(item.id), FALSE);
  }
  return popup;
}

}  // namespace

void Win32UiMenus::Build(HWND window) {
  window_ = window;
  if (layout_.menuBar.empty()) return;
  UniqueHmenu bar(CreateMenu());
  for (const platform::MenuSpec& top : layout_.menuBar) {
    if (!top.parent.empty()) continue;
    UniqueHmenu popup = PopupOf(layout_.menuBar, top.name);
    // The bar takes the pop-up menu, and destroys it with itself.
    if (AppendMenuW(bar.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(popup.get()),
                    Wide(top.caption).c_str())) {
      popup.release();
    }
  }
  // The window takes the bar, and destroys it with itself.
  if (SetMenu(window, bar.get())) menuBar_ = bar.release();
}

void Win32UiMenus::SetChecked(int menuId, bool checked) {
  if (menuBar_ != nullptr) {
    CheckMenuItem(menuBar_, static_cast<UINT>(menuId),
                  MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
  }
}

bool Win32UiMenus::Checked(int menuId) const {
  if (menuBar_ == nullptr) return false;
  // An id no entry has answers -1, every bit set.
  const UINT state = GetMenuState(menuBar_, static_cast<UINT>(menuId), MF_BYCOMMAND);
  return state != static_cast<UINT>(-1) && (state & MF_CHECKED) != 0;
}

void Win32UiMenus::SetEnabled(int menuId, bool enabled) {
  if (menuBar_ == nullptr) return;
  EnableMenuItem(menuBar_, static_cast<UINT>(menuId),
                 MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

bool Win32UiMenus::Enabled(int menuId) const {
  if (menuBar_ == nullptr) return false;
  const UINT state = GetMenuState(menuBar_, static_cast<UINT>(menuId), MF_BYCOMMAND);
  return state != static_cast<UINT>(-1) && (state & (MF_GRAYED | MF_DISABLED)) == 0;
}

void Win32UiMenus::SetNote(int menuId, std::string_view note) {
  if (menuBar_ == nullptr) return;
  for (const platform::MenuSpec& entry : layout_.menuBar) {
    if (entry.id != menuId || entry.parent.empty()) continue;
    // After a tab, Windows puts the text at the entry's right edge.
    std::wstring caption = Wide(entry.caption);
    if (!note.empty()) caption += L"\t" + Wide(note);
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_STRING;
    info.dwTypeData = caption.data();
    SetMenuItemInfoW(menuBar_, static_cast<UINT>(menuId), FALSE, &info);
    return;
  }
}

std::optional<int> Win32UiMenus::Popup(std::string_view popupName) {
  const UniqueHmenu menu = PopupOf(layout_.popups, popupName);
  POINT at{};
  GetCursorPos(&at);
  // A tray menu closes when the user clicks elsewhere only if its owner is
  // in front while it is open.
  SetForegroundWindow(window_);
  const std::shared_ptr<bool> alive = alive_;
  const int chosen = TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY,
                                    at.x, at.y, 0, window_, nullptr);
  if (!*alive) return std::nullopt;
  PostMessageW(window_, WM_NULL, 0, 0);
  return chosen != 0 ? std::optional<int>(chosen) : std::nullopt;
}

}  // namespace pm::win32
