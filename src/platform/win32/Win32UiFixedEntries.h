// What an administrator's entries look like in a form's lists: entries the
// user cannot change, greyed, their check box held, with a tip of their own.
#pragma once

#include <windows.h>
// commctrl.h needs the types of windows.h.
#include <commctrl.h>

#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "platform/win32/Win32UiControls.h"
#include "platform/win32/Win32UiLists.h"

namespace pm::win32 {

class Win32UiFixedEntries {
 public:
  Win32UiFixedEntries(const Win32UiControls& controls, const Win32UiLists& lists)
      : controls_(controls), lists_(lists) {}

  void Mark(int control, int index, std::string_view toolTip);
  bool IsFixed(int control, int index) const;
  // Drawing, holding and explaining a checked list's fixed entries; nothing
  // for other notices.
  std::optional<LRESULT> OnNotify(int control, const NMHDR& header);

 private:
  const Win32UiControls& controls_;
  const Win32UiLists& lists_;
  std::map<int, std::wstring> tips_;  // by list control
};

}  // namespace pm::win32
