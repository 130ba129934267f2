// One form's real window: the window of the program's one window class with
// the child controls of the form's table, laid out in the form's twips at
// the scale of its font at the DPI of its monitor, and its messages turned
// into the form's events. Each concern is a part of its own; this class
// makes them, hands each call of the form to its part and each message of
// Windows to the part or the event it concerns.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <string>
#include <string_view>

#include "platform/Toolkit.h"
#include "platform/win32/Win32UiButtons.h"
#include "platform/win32/Win32UiControls.h"
#include "platform/win32/Win32UiFixedEntries.h"
#include "platform/win32/Win32UiFonts.h"
#include "platform/win32/Win32UiFrame.h"
#include "platform/win32/Win32UiLists.h"
#include "platform/win32/Win32UiMenus.h"
#include "platform/win32/Win32UiPainter.h"
#include "platform/win32/Win32UiPictures.h"
#include "platform/win32/Win32UiTimers.h"
#include "platform/win32/Win32UiToolTips.h"
#include "platform/win32/Win32UiWindowHandle.h"

namespace pm::win32 {

class Win32UiWindow final : public platform::Window {
 public:
  // `owner`, when not null, owns the window, which opens centred on it.
  // Throws when the window cannot be made; a window half made goes with it.
  Win32UiWindow(HINSTANCE instance, const Win32PictureDecoder& pictures,
                const platform::FormSpec& layout, platform::WindowEvents& events, HWND owner);

  static void RegisterClass(HINSTANCE instance);
  // The window of ours that owns `hwnd`, if any.
  static Win32UiWindow* FromHandle(HWND hwnd);
  HWND hwnd() const { return window_.get(); }
  void MakeToolWindow() { frame_.MakeToolWindow(); }

  platform::Hwnd handle() const override { return reinterpret_cast<platform::Hwnd>(hwnd()); }

  // The window itself.
  void SetCaption(std::string_view caption) override { frame_.SetCaption(caption); }
  std::string Caption() const override { return frame_.Caption(); }
  void Show(platform::ShowMode mode) override { frame_.Show(mode); }
  void Hide() override { frame_.Hide(); }
  bool IsVisible() const override { return frame_.IsVisible(); }
  void SetEnabled(bool enabled) override { frame_.SetEnabled(enabled); }
  bool IsEnabled() const override { return frame_.IsEnabled(); }
  void SetWindowState(platform::WindowState state) override { frame_.SetWindowState(state); }
  platform::WindowState GetWindowState() const override { return frame_.GetWindowState(); }
  void CenterOnScreen() override { frame_.CenterOnScreen(); }
  void CoverMonitorOf(platform::Hwnd other) override {
    frame_.CoverMonitorOf(reinterpret_cast<HWND>(other));
  }
  void CoverEveryMonitor() override { frame_.CoverEveryMonitor(); }
  void SetTopmost(bool topmost) override { frame_.SetTopmost(topmost); }
  void BringToFront() override { frame_.BringToFront(); }
  void SetIcon(platform::BuiltIn icon) override { frame_.SetIcon(icon, fonts_.scale().dpi()); }
  void SetClientSize(int widthTwips, int heightTwips) override {
    frame_.SetClientSize(widthTwips, heightTwips, fonts_.scale());
  }

  // Any control.
  void SetText(int control, std::string_view text) override { controls_.SetText(control, text); }
  std::string Text(int control) const override;
  void SetControlEnabled(int control, bool enabled) override {
    controls_.SetEnabled(control, enabled);
  }
  bool ControlEnabled(int control) const override { return controls_.Enabled(control); }
  void SetControlVisible(int control, bool visible) override {
    controls_.SetVisible(control, visible);
  }
  bool ControlVisible(int control) const override { return controls_.Visible(control); }
  void SetControlBounds(int control, platform::Rect twips) override {
    controls_.SetBounds(control, twips);
  }
  platform::Rect ControlBounds(int control) const override { return controls_.Bounds(control); }
  void SetFocus(int control) override { controls_.SetFocus(control); }
  void SelectAllText(int control) override { controls_.SelectAllText(control); }
  void SetToolTip(int control, std::string_view text) override {
    toolTips_.Set(controls_.HandleOf(control), text);
  }

  // Buttons, images and timers.
  void SetDefaultButton(int control, bool isDefault) override {
    buttons_.SetDefault(control, isDefault);
  }
  void SetChecked(int control, bool checked) override { buttons_.SetChecked(control, checked); }
  bool Checked(int control) const override { return buttons_.Checked(control); }
  void SetPicture(int control, platform::PicturePtr picture) override {
    painter_.SetPicture(control, std::move(picture));
  }
  platform::PicturePtr GetPicture(int control) const override { return painter_.Picture(control); }
  void SetTimer(int control, int intervalMs, bool enabled) override {
    timers_.Set(control, intervalMs, enabled);
  }
  int TimerInterval(int control) const override { return timers_.Interval(control); }
  bool TimerEnabled(int control) const override { return timers_.Enabled(control); }

  // Lists.
  int ListAdd(int control, std::string_view text) override { return lists_.Add(control, text); }
  void ListRemove(int control, int index) override { lists_.Remove(control, index); }
  void ListClear(int control) override { lists_.Clear(control); }
  int ListCount(int control) const override { return lists_.Count(control); }
  std::string ListText(int control, int index) const override {
    return lists_.Text(control, index);
  }
  void SetListChecked(int control, int index, bool checked) override {
    lists_.SetChecked(control, index, checked);
  }
  bool ListChecked(int control, int index) const override { return lists_.Checked(control, index); }
  void SetListIndex(int control, int index) override { lists_.SetIndex(control, index); }
  int ListIndex(int control) const override { return lists_.Index(control); }
  void SetListItemFixed(int control, int index, std::string_view toolTip) override {
    fixedEntries_.Mark(control, index, toolTip);
  }
  bool ListItemFixed(int control, int index) const override {
    return fixedEntries_.IsFixed(control, index);
  }

  // Menus.
  void SetMenuChecked(int menuId, bool checked) override { menus_.SetChecked(menuId, checked); }
  bool MenuChecked(int menuId) const override { return menus_.Checked(menuId); }
  void SetMenuEnabled(int menuId, bool enabled) override { menus_.SetEnabled(menuId, enabled); }
  bool MenuEnabled(int menuId) const override { return menus_.Enabled(menuId); }
  void SetMenuNote(int menuId, std::string_view note) override { menus_.SetNote(menuId, note); }
  void PopupMenu(std::string_view popupName) override;

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void OnCommand(WPARAM wParam, LPARAM lParam);
  LRESULT OnNotify(const NMHDR& header);
  LRESULT OnColor(UINT message, WPARAM wParam, LPARAM lParam);
  void OnActivate();
  void OnDpiChanged(WPARAM newDpi, LPARAM suggestedPlace);
  // Whether the message in hand was sent from this thread: by our own
  // controls or by Windows on our behalf, not by another program.
  static bool SentByThisThread();
  // Lays the controls out and draws the buttons' pictures at the fonts' scale.
  void LayOut();
  void Dispatch(int control, platform::Event event);

  const platform::FormSpec& layout_;
  platform::WindowEvents& events_;
  // The parts, made with the table before the window; each is given the
  // window once it exists.
  FormFonts fonts_;
  Win32UiFrame frame_;
  Win32UiMenus menus_;
  Win32UiControls controls_;
  Win32UiButtons buttons_;
  Win32UiLists lists_;
  Win32UiFixedEntries fixedEntries_;
  Win32UiTimers timers_;
  Win32UiToolTips toolTips_;
  Win32UiPainter painter_;
  // When Windows last asked, with a sent WM_QUERYENDSESSION, whether the
  // session may end; 0 never. A WM_ENDSESSION counts only after that (or
  // while the system says it is shutting down): another program can post
  // one to end the engine without its restart.
  ULONGLONG sessionEndAsked_ = 0;
  // Last, so that it goes first: the window and its controls are destroyed
  // before the fonts, icons, brushes and pictures they draw with.
  UniqueFormHwnd window_;
};

}  // namespace pm::win32
