// One form's real window: a top-level window of the program's one window
// class with the child controls of the form's table, laid out from twips at
// the DPI of the monitor it is on.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Toolkit.h"
#include "platform/win32/Handles.h"
#include "platform/win32/Win32DialogFont.h"

namespace pm::win32 {

// A table's 0xRRGGBB colour as GDI takes it.
inline COLORREF ToColorRef(std::uint32_t rgb) {
  return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

inline constexpr wchar_t kWindowClass[] = L"PelmoraProWindow";

class Win32UiWindow final : public platform::Window {
 public:
  // `owner`, when not null, owns the window, which opens centred on it.
  Win32UiWindow(HINSTANCE instance, const platform::FormSpec& layout,
                platform::WindowEvents& events, HWND owner);
  ~Win32UiWindow() override;

  static void RegisterClass(HINSTANCE instance);
  // The window of ours that owns `hwnd`, if any.
  static Win32UiWindow* FromHandle(HWND hwnd);
  HWND hwnd() const { return hwnd_; }
  void MakeToolWindow();

  platform::Hwnd handle() const override { return reinterpret_cast<platform::Hwnd>(hwnd_); }
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
  void CoverMonitorOf(platform::Hwnd other) override;
  void CoverEveryMonitor() override;
  void SetTopmost(bool topmost) override;
  void BringToFront() override;
  void SetIcon(platform::BuiltIn icon) override;
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

 private:
  struct ControlState {
    HWND hwnd = nullptr;  // none for timers and lines
    platform::Rect bounds;
    bool visible = true;
    bool defaultButton = false;  // the one Enter presses
    platform::PicturePtr picture;
    int interval = 0;
    bool timerEnabled = false;
    UniqueHbrush brush;             // frames: their background
    UniqueImageList buttonPicture;  // buttons with a picture, drawn for `buttonPictureDpi`
    UINT buttonPictureDpi = 0;
  };

  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void CreateControls(HINSTANCE instance);
  void CreateMenuBar();
  void PutPanelsUnderTheirControls();
  struct Fonts {
    UniqueHfont normal;
    UniqueHfont bold;
    UniqueHfont underlined;
  };
  Fonts CreateFonts() const;
  std::vector<CaptionRoom> CaptionRooms() const;
  void Layout();
  void UpdateButtonPicture(int control);
  RECT PixelRect(int control) const;
  int Pixels(int twips) const;
  int ContainerOf(int control) const;
  // Option buttons are grouped by their panel: a new group starts where the
  // table goes on with another panel's, or with a control of another kind.
  bool StartsGroup(int control) const;
  // Clears the other option buttons of the panel that holds `control`.
  void ClearOtherOptions(int control);
  // The control the keyboard goes to when the window is activated.
  HWND FirstFocus() const;
  bool EffectivelyVisible(int control) const;
  void UpdateVisibility();
  bool IsListView(int control) const;
  const platform::ControlSpec& SpecOf(int control) const { return layout_.controls[control]; }
  int ControlFromId(int id) const;
  LRESULT OnColor(HDC dc, HWND child);
  void OnCommand(WPARAM wParam, LPARAM lParam);
  // Whether the message in hand was sent from this thread: by our own
  // controls or by Windows on our behalf, not by another program.
  static bool SentByThisThread();
  void OnDpiChanged(WPARAM newDpi, LPARAM suggestedPlace);
  LRESULT OnNotify(const NMHDR& header);
  // Drawing, holding and explaining fixed entries; nothing for other notices.
  std::optional<LRESULT> OnFixedEntryNotify(int control, const NMHDR& header);
  void OnPaint();
  void OnDrawItem(const DRAWITEMSTRUCT& item);
  void Dispatch(int control, platform::Event event);
  void AdjustToClientSize();
  // Puts the window over `screen`, in its normal state.
  void Cover(const RECT& screen);
  // Moves the window's restored position to be centred on `area`, inside
  // the work area of the monitor `area` is on.
  void CenterOn(const RECT& area);
  void CenterOnOwner(HWND owner);

  const platform::FormSpec& layout_;
  platform::WindowEvents& events_;
  HWND hwnd_ = nullptr;
  // When Windows last asked, with a sent WM_QUERYENDSESSION, whether the
  // session may end; 0 never. A WM_ENDSESSION counts only after that (or
  // while the system says it is shutting down): another program can post
  // one to end the engine without its restart.
  ULONGLONG sessionEndAsked_ = 0;
  std::vector<ControlState> controls_;
  UniqueHmenu menuBar_;
  Fonts fonts_;
  UniqueHbrush backBrush_;
  UniqueHicon bigIcon_;
  UniqueHicon smallIcon_;
  HWND toolTip_ = nullptr;
  std::map<int, std::wstring> fixedEntryTips_;  // by list control
  UINT dpi_ = 96;
  int clientWidth_;
  int clientHeight_;
  platform::WindowState pendingState_;
  bool shownOnce_ = false;
  bool notifying_ = false;  // our own list changes report no events
  // Tells a handler running below us whether this window still exists.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace pm::win32
