// What an administrator's settings look like in our windows: list entries
// the user cannot change (greyed, their check box held, a tip of their
// own), greyed menu entries with a note at their right, and tips set while
// a window runs.
#include <windows.h>
// commctrl.h needs the types of windows.h.
#include <commctrl.h>

#include "platform/win32/Wide.h"
#include "platform/win32/Win32UiWindow.h"

namespace pm::win32 {

namespace {
// The item data that marks a fixed entry.
constexpr LPARAM kFixedEntry = 1;
}  // namespace

void Win32UiWindow::SetListItemFixed(int control, int index, std::string_view toolTip) {
  HWND list = controls_.at(control).hwnd;
  if (list == nullptr || index < 0 || index >= ListCount(control)) return;
  if (IsListView(control)) {
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = index;
    item.lParam = kFixedEntry;
    ListView_SetItem(list, &item);
    ListView_RedrawItems(list, index, index);
  } else {
    SendMessageW(list, LB_SETITEMDATA, static_cast<WPARAM>(index), kFixedEntry);
  }
  fixedEntryTips_[control] = Wide(toolTip);
}

bool Win32UiWindow::ListItemFixed(int control, int index) const {
  HWND list = controls_.at(control).hwnd;
  if (list == nullptr || index < 0 || index >= ListCount(control)) return false;
  if (IsListView(control)) {
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = index;
    return ListView_GetItem(list, &item) && item.lParam == kFixedEntry;
  }
  return SendMessageW(list, LB_GETITEMDATA, static_cast<WPARAM>(index), 0) == kFixedEntry;
}

std::optional<LRESULT> Win32UiWindow::OnFixedEntryNotify(int control, const NMHDR& header) {
  HWND list = controls_.at(control).hwnd;
  switch (header.code) {
    case NM_CUSTOMDRAW: {
      auto& draw = const_cast<NMLVCUSTOMDRAW&>(reinterpret_cast<const NMLVCUSTOMDRAW&>(header));
      if (draw.nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
      if (draw.nmcd.dwDrawStage == CDDS_ITEMPREPAINT && draw.nmcd.lItemlParam == kFixedEntry) {
        draw.clrText = GetSysColor(COLOR_GRAYTEXT);
      }
      return CDRF_DODEFAULT;
    }
    case LVN_ITEMCHANGING: {
      // The user's click or space bar on a fixed entry's box; the program's
      // own changes go through.
      const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
      const bool boxChanges = (change.uChanged & LVIF_STATE) != 0 &&
                              ((change.uNewState ^ change.uOldState) & LVIS_STATEIMAGEMASK) != 0 &&
                              (change.uOldState & LVIS_STATEIMAGEMASK) != 0;
      return boxChanges && !notifying_ && change.lParam == kFixedEntry ? TRUE : FALSE;
    }
    case LVN_GETINFOTIPW: {
      auto& tip = const_cast<NMLVGETINFOTIPW&>(reinterpret_cast<const NMLVGETINFOTIPW&>(header));
      LVITEMW item{};
      item.mask = LVIF_PARAM;
      item.iItem = tip.iItem;
      const auto text = fixedEntryTips_.find(control);
      if (ListView_GetItem(list, &item) && item.lParam == kFixedEntry &&
          text != fixedEntryTips_.end() && tip.pszText != nullptr && tip.cchTextMax > 0) {
        lstrcpynW(tip.pszText, text->second.c_str(), tip.cchTextMax);
      }
      return 0;
    }
    default:
      return std::nullopt;
  }
}

void Win32UiWindow::SetToolTip(int control, std::string_view text) {
  HWND child = controls_.at(control).hwnd;
  if (child == nullptr || toolTip_ == nullptr) return;
  TOOLINFOW tool{};
  tool.cbSize = sizeof(tool);
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = hwnd_;
  tool.uId = reinterpret_cast<UINT_PTR>(child);
  SendMessageW(toolTip_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  if (text.empty()) return;
  std::wstring tip = Wide(text);
  tool.lpszText = tip.data();
  SendMessageW(toolTip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void Win32UiWindow::SetMenuEnabled(int menuId, bool enabled) {
  if (!menuBar_) return;
  EnableMenuItem(menuBar_.get(), static_cast<UINT>(menuId),
                 MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

bool Win32UiWindow::MenuEnabled(int menuId) const {
  if (!menuBar_) return false;
  const UINT state = GetMenuState(menuBar_.get(), static_cast<UINT>(menuId), MF_BYCOMMAND);
  return state != static_cast<UINT>(-1) && (state & (MF_GRAYED | MF_DISABLED)) == 0;
}

void Win32UiWindow::SetMenuNote(int menuId, std::string_view note) {
  if (!menuBar_) return;
  for (const platform::MenuSpec& entry : layout_.menuBar) {
    if (entry.id != menuId || entry.parent.empty()) continue;
    // After a tab, Windows puts the text at the entry's right edge.
    std::wstring caption = Wide(entry.caption);
    if (!note.empty()) caption += L"\t" + Wide(note);
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_STRING;
    info.dwTypeData = caption.data();
    SetMenuItemInfoW(menuBar_.get(), static_cast<UINT>(menuId), FALSE, &info);
    return;
  }
}

}  // namespace pm::win32
