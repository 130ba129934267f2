#include "platform/win32/Win32UiFixedEntries.h"

#include "platform/win32/Wide.h"
#include "platform/win32/Win32UiControlKinds.h"

namespace pm::win32 {

namespace {
// The item data that marks a fixed entry.
constexpr LPARAM kFixedEntry = 1;
}  // namespace

void Win32UiFixedEntries::Mark(int control, int index, std::string_view toolTip) {
  HWND list = lists_.ListHolding(control, index);
  if (list == nullptr) return;
  if (IsListView(controls_.SpecOf(control))) {
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = index;
    item.lParam = kFixedEntry;
    ListView_SetItem(list, &item);
    ListView_RedrawItems(list, index, index);
  } else {
    SendMessageW(list, LB_SETITEMDATA, static_cast<WPARAM>(index), kFixedEntry);
  }
  tips_[control] = Wide(toolTip);
}

bool Win32UiFixedEntries::IsFixed(int control, int index) const {
  HWND list = lists_.ListHolding(control, index);
  if (list == nullptr) return false;
  if (IsListView(controls_.SpecOf(control))) {
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = index;
    return ListView_GetItem(list, &item) && item.lParam == kFixedEntry;
  }
  return SendMessageW(list, LB_GETITEMDATA, static_cast<WPARAM>(index), 0) == kFixedEntry;
}

std::optional<LRESULT> Win32UiFixedEntries::OnNotify(int control, const NMHDR& header) {
  HWND list = controls_.HandleOf(control);
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
      return boxChanges && !lists_.ChangingByProgram() && change.lParam == kFixedEntry ? TRUE
                                                                                       : FALSE;
    }
    case LVN_GETINFOTIPW: {
      auto& tip = const_cast<NMLVGETINFOTIPW&>(reinterpret_cast<const NMLVGETINFOTIPW&>(header));
      LVITEMW item{};
      item.mask = LVIF_PARAM;
      item.iItem = tip.iItem;
      const auto text = tips_.find(control);
      if (ListView_GetItem(list, &item) && item.lParam == kFixedEntry && text != tips_.end() &&
          tip.pszText != nullptr && tip.cchTextMax > 0) {
        lstrcpynW(tip.pszText, text->second.c_str(), tip.cchTextMax);
      }
      return 0;
    }
    default:
      return std::nullopt;
  }
}

}  // namespace pm::win32
