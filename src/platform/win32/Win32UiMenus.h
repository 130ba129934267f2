// A form's menus: the menu bar of its table, whose entries the form checks,
// greys and annotates by command id, and the pop-up menus it shows at the
// mouse (the tray icon's).
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string_view>

#include "platform/Toolkit.h"

namespace pm::win32 {

class Win32UiMenus {
 public:
  explicit Win32UiMenus(const platform::FormSpec& layout) : layout_(layout) {}
  Win32UiMenus(const Win32UiMenus&) = delete;
  Win32UiMenus& operator=(const Win32UiMenus&) = delete;
  ~Win32UiMenus() { *alive_ = false; }

  // Gives `window` the table's menu bar, if it has one.
  void Build(HWND window);

  void SetChecked(int menuId, bool checked);
  bool Checked(int menuId) const;
  void SetEnabled(int menuId, bool enabled);
  bool Enabled(int menuId) const;
  void SetNote(int menuId, std::string_view note);

  // Shows the pop-up menu `popupName` of the table at the mouse and answers
  // the entry chosen; none when nothing was chosen, or when the form's
  // window went while the menu was open (then nothing of this object may be
  // touched any more).
  std::optional<int> Popup(std::string_view popupName);

 private:
  const platform::FormSpec& layout_;
  HWND window_ = nullptr;
  HMENU menuBar_ = nullptr;  // the window's: DestroyWindow destroys it with the window
  // Tells a menu open below us whether this object still exists.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace pm::win32
