#include "platform/win32/Win32UiLists.h"

#include <commctrl.h>

#include "platform/Text.h"
#include "platform/win32/Wide.h"
#include "platform/win32/Win32UiControlKinds.h"

namespace pm::win32 {

bool Win32UiLists::IsListView(int control) const {
  return win32::IsListView(controls_.SpecOf(control));
}

HWND Win32UiLists::ListHolding(int control, int index) const {
  HWND list = controls_.HandleOf(control);
  return list != nullptr && index >= 0 && index < Count(control) ? list : nullptr;
}

int Win32UiLists::Add(int control, std::string_view text) {
  HWND list = controls_.HandleOf(control);
  if (list == nullptr) return -1;
  int at = Count(control);
  if ((controls_.SpecOf(control).props & platform::prop::kSorted) != 0) {
    // The order the list is stored in: by lower-cased text, the same in the
    // simulation and here.
    const std::string key = platform::LowerCase(text);
    at = 0;
    while (at < Count(control) && platform::LowerCase(Text(control, at)) <= key) ++at;
  }
  std::wstring wide = Wide(text);
  const ProgramChange change(changing_);
  if (IsListView(control)) {
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = at;
    item.pszText = wide.data();
    return ListView_InsertItem(list, &item);
  }
  return static_cast<int>(SendMessageW(list, LB_INSERTSTRING, static_cast<WPARAM>(at),
                                       reinterpret_cast<LPARAM>(wide.c_str())));
}

void Win32UiLists::Remove(int control, int index) {
  HWND list = ListHolding(control, index);
  if (list == nullptr) return;
  const ProgramChange change(changing_);
  if (IsListView(control)) {
    ListView_DeleteItem(list, index);
  } else {
    SendMessageW(list, LB_DELETESTRING, static_cast<WPARAM>(index), 0);
  }
}

void Win32UiLists::Clear(int control) {
  HWND list = controls_.HandleOf(control);
  if (list == nullptr) return;
  const ProgramChange change(changing_);
  if (IsListView(control)) {
    ListView_DeleteAllItems(list);
  } else {
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
  }
}

int Win32UiLists::Count(int control) const {
  HWND list = controls_.HandleOf(control);
  if (list == nullptr) return 0;
  return IsListView(control) ? ListView_GetItemCount(list)
                             : static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
}

std::string Win32UiLists::Text(int control, int index) const {
  HWND list = ListHolding(control, index);
  if (list == nullptr) return {};
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

void Win32UiLists::SetChecked(int control, int index, bool checked) {
  HWND list = ListHolding(control, index);
  if (list == nullptr || !IsListView(control)) return;
  const ProgramChange change(changing_);
  ListView_SetCheckState(list, index, checked ? TRUE : FALSE);
}

bool Win32UiLists::Checked(int control, int index) const {
  HWND list = ListHolding(control, index);
  return list != nullptr && IsListView(control) && ListView_GetCheckState(list, index) != FALSE;
}

void Win32UiLists::SetIndex(int control, int index) {
  HWND list = controls_.HandleOf(control);
  if (list == nullptr) return;
  if (index >= Count(control)) index = -1;
  const ProgramChange change(changing_);
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
}

int Win32UiLists::Index(int control) const {
  HWND list = controls_.HandleOf(control);
  if (list == nullptr) return -1;
  if (IsListView(control)) return ListView_GetNextItem(list, -1, LVNI_SELECTED);
  return static_cast<int>(SendMessageW(list, LB_GETCURSEL, 0, 0));
}

}  // namespace pm::win32
