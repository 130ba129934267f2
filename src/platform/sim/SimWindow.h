// One window of our forms on the simulated desktop, and the handles a test
// uses to act on it as a user would.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/Toolkit.h"
#include "platform/sim/SimWorld.h"

namespace pm::sim {

class SimWindow final : public platform::Window {
 public:
  // `owner`, when not null, owns the window, which opens centred on it.
  SimWindow(SimWorld& world, const platform::FormSpec& layout, platform::WindowEvents& events,
            std::uint32_t processId, const SimWindow* owner);
  ~SimWindow() override;

  platform::Hwnd handle() const override { return handle_; }
  void SetCaption(std::string_view caption) override;
  std::string Caption() const override;
  void Show(platform::ShowMode mode) override;
  void Hide() override;
  bool IsVisible() const override;
  void SetEnabled(bool enabled) override;
  bool IsEnabled() const override;
  void SetWindowState(platform::WindowState state) override;
  platform::WindowState GetWindowState() const override;
  void CenterOnScreen() override;
  void CoverMonitorOf(platform::Hwnd other) override { coveredMonitorOf_ = other; }
  void CoverEveryMonitor() override { coversEveryMonitor_ = true; }
  void SetTopmost(bool topmost) override;
  void BringToFront() override;
  void SetIcon(platform::BuiltIn icon) override { icon_ = icon; }
  void SetClientSize(int widthTwips, int heightTwips) override;

  void SetText(int control, std::string_view text) override;
  std::string Text(int control) const override;
  void SetControlEnabled(int control, bool enabled) override;
  bool ControlEnabled(int control) const override;
  void SetControlVisible(int control, bool visible) override;
  bool ControlVisible(int control) const override;
  void SetControlBounds(int control, platform::Rect twips) override;
  platform::Rect ControlBounds(int control) const override;
  void SetFocus(int control) override;
  void SelectAllText(int control) override;
  void SetDefaultButton(int control, bool isDefault) override;
  void SetChecked(int control, bool checked) override;
  bool Checked(int control) const override;
  void SetPicture(int control, platform::PicturePtr picture) override;
  platform::PicturePtr GetPicture(int control) const override;
  void SetTimer(int control, int intervalMs, bool enabled) override;
  int TimerInterval(int control) const override;
  bool TimerEnabled(int control) const override;

  int ListAdd(int control, std::string_view text) override;
  void ListRemove(int control, int index) override;
  void ListClear(int control) override;
  int ListCount(int control) const override;
  std::string ListText(int control, int index) const override;
  void SetListChecked(int control, int index, bool checked) override;
  bool ListChecked(int control, int index) const override;
  void SetListIndex(int control, int index) override;
  int ListIndex(int control) const override;
  void SetListItemFixed(int control, int index, std::string_view toolTip) override;
  bool ListItemFixed(int control, int index) const override;
  void SetToolTip(int control, std::string_view text) override;

  void SetMenuChecked(int menuId, bool checked) override;
  bool MenuChecked(int menuId) const override;
  void SetMenuEnabled(int menuId, bool enabled) override;
  bool MenuEnabled(int menuId) const override;
  void SetMenuNote(int menuId, std::string_view note) override;
  void PopupMenu(std::string_view popupName) override;

  // What a user does. Each may unload the form and destroy this window: use
  // nothing of it afterwards. A click toggles a check box and selects an
  // option button (clearing the others of its container) before the form
  // hears of it, as Windows' automatic buttons do.
  void Click(std::string_view control);
  void DoubleClick(std::string_view control);
  // Chooses an entry of a list as a click on it does.
  void ClickListEntry(std::string_view control, int index);
  // Toggles the check box of a list's entry, as a click on the box does.
  void ClickListCheck(std::string_view control, int index);
  void Type(std::string_view control, std::string_view text);
  // Enter: presses the default button while it can be pressed, as a dialog
  // does; nothing when it is disabled. Esc likewise presses the cancel button.
  void PressEnter();
  void PressEsc();
  // Tab (or Shift+Tab): the keyboard moves to the next control in the tab
  // order, which is the table's order.
  void PressTab(bool backward = false);
  void ChooseMenu(int menuId);
  void ClickForm(platform::Event event);
  // The title bar's close button, or WM_CLOSE from anywhere.
  void CloseFromTitleBar();
  // The user drags the window to another place.
  void MoveTo(int left, int top);
  void TrayMessage(std::uint32_t mouseMessage) { events_.OnTrayMessage(mouseMessage); }

  // What a user sees.
  std::string TextOf(std::string_view control) const { return Text(Index(control)); }
  std::string ToolTipOf(std::string_view control) const;
  // The tip of a list's entry: its own where it is fixed, else the list's.
  std::string ListEntryToolTip(std::string_view control, int index) const;
  std::string MenuNote(int menuId) const;
  bool EnabledOf(std::string_view control) const { return ControlEnabled(Index(control)); }
  platform::PicturePtr PictureOf(std::string_view control) const {
    return GetPicture(Index(control));
  }
  bool centered() const { return centered_; }
  // The window's place on the screen, its frame included, in pixels at 96
  // DPI; and the window that owns it, 0 for none.
  platform::Rect bounds() const { return bounds_; }
  platform::Hwnd owner() const { return owner_; }
  platform::Hwnd coveredMonitorOf() const { return coveredMonitorOf_; }
  bool coversEveryMonitor() const { return coversEveryMonitor_; }
  platform::BuiltIn icon() const { return icon_; }
  bool topmost() const;
  int focus() const { return focus_; }
  // The text box whose whole text is selected, until its text changes.
  bool WholeTextSelected(std::string_view control) const { return At(Index(control)).allSelected; }
  // The button Enter presses; -1 for none.
  int DefaultButton() const { return defaultButton_; }
  // The last client size set, in twips; 0 x 0 until then.
  int clientWidth() const { return clientWidth_; }
  int clientHeight() const { return clientHeight_; }
  int Index(std::string_view control) const;
  std::string_view SpecName(int control) const { return SpecOf(control).name; }

  // Called by the world's clock.
  void FireTimer(int control);

 private:
  struct ListEntry {
    std::string text;
    bool checked = false;
    bool fixed = false;
    std::string toolTip;  // a fixed entry's
  };
  struct ControlState {
    std::string text;
    bool enabled = true;
    bool visible = true;
    bool checked = false;
    platform::Rect bounds;
    platform::PicturePtr picture;
    int interval = 0;
    bool timerEnabled = false;
    std::vector<ListEntry> list;
    int listIndex = -1;
    bool allSelected = false;
    std::optional<std::string> toolTip;  // the table's until set
  };

  ControlState& At(int control);
  // Brings the window to the front; the keyboard goes to its first control.
  void Activate();
  bool EffectivelyVisible(int control) const;
  bool IsTabStop(int control) const;
  // Checks an option button and clears the others of its container.
  void SelectOption(int control);
  // The keyboard arrives at a control: an unchecked option button checks
  // itself and reports a click, as Windows' automatic option buttons do.
  void TakeFocus(int control);
  const ControlState& At(int control) const;
  const platform::ControlSpec& SpecOf(int control) const { return layout_.controls[control]; }
  // The frame's size around a client area of this many twips.
  void SizeFrameTo(int widthTwips, int heightTwips);
  void CenterOn(const platform::Rect& area);

  SimWorld& world_;
  const platform::FormSpec& layout_;
  platform::WindowEvents& events_;
  platform::Hwnd handle_ = 0;
  std::vector<ControlState> controls_;
  std::map<int, bool> menuChecks_;
  std::set<int> menusDisabled_;
  std::map<int, std::string> menuNotes_;
  bool centered_ = false;
  platform::Rect bounds_;
  platform::Hwnd owner_ = 0;
  platform::Hwnd coveredMonitorOf_ = 0;
  bool coversEveryMonitor_ = false;
  platform::BuiltIn icon_ = platform::BuiltIn::None;
  int focus_ = -1;
  int defaultButton_ = -1;
  int clientWidth_ = 0;
  int clientHeight_ = 0;
};

}  // namespace pm::sim
