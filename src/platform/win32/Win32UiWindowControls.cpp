// Building a form's window from its table: the controls' fonts, the menu
// bar, each control as its kind's window, and panels under their controls.
#include "platform/win32/Win32UiWindow.h"

#include <commctrl.h>

#include <algorithm>

#include "platform/win32/Wide.h"
#include "platform/win32/Win32ButtonPictures.h"
#include "platform/win32/Win32Icons.h"
#include "platform/win32/Win32Messages.h"
#include "platform/win32/Win32UiPictures.h"

namespace pm::win32 {

using platform::ControlKind;
using platform::Event;
namespace prop = platform::prop;

std::vector<CaptionRoom> Win32UiWindow::CaptionRooms() const {
  // What a control keeps of its size for its caption: a button its edges, a
  // check box or option button the box beside it.
  const int edge = Pixels(90);
  const int box = GetSystemMetricsForDpi(SM_CXMENUCHECK, dpi_) + Pixels(60);
  std::vector<CaptionRoom> rooms;
  for (const platform::ControlSpec& c : layout_.controls) {
    CaptionRoom room{Wide(c.caption), Pixels(c.width), Pixels(c.height),
                     (c.props & prop::kBold) != 0};
    switch (c.kind) {
      case ControlKind::Label:
        break;
      case ControlKind::CheckBox:
      case ControlKind::OptionButton:
        room.width -= box;
        break;
      case ControlKind::Button: {
        room.width -= 2 * edge;
        room.height -= edge;
        if (c.picture != platform::BuiltIn::None) {
          const SIZE picture = ButtonPictureRoom(c.height, dpi_);
          room.width -= picture.cx;
          room.height -= picture.cy;
        }
        break;
      }
      default:
        continue;
    }
    if (!room.text.empty()) rooms.push_back(std::move(room));
  }
  return rooms;
}

Win32UiWindow::Fonts Win32UiWindow::CreateFonts() const {
  LOGFONTW font = DialogFont(dpi_, CaptionRooms());
  Fonts fonts;
  fonts.normal.reset(CreateFontIndirectW(&font));
  const LONG weight = font.lfWeight;
  font.lfWeight = FW_BOLD;
  fonts.bold.reset(CreateFontIndirectW(&font));
  font.lfWeight = weight;
  font.lfUnderline = TRUE;
  fonts.underlined.reset(CreateFontIndirectW(&font));
  return fonts;
}

void Win32UiWindow::CreateMenuBar() {
  if (layout_.menuBar.empty()) return;
  menuBar_.reset(CreateMenu());
  for (const platform::MenuSpec& top : layout_.menuBar) {
    if (!top.parent.empty()) continue;
    HMENU popup = CreatePopupMenu();
    for (const platform::MenuSpec& item : layout_.menuBar) {
      if (item.parent != top.name) continue;
      if (item.caption == "-") {
        AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
      } else {
        AppendMenuW(popup, MF_STRING, static_cast<UINT_PTR>(item.id), Wide(item.caption).c_str());
      }
    }
    AppendMenuW(menuBar_.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(popup),
                Wide(top.caption).c_str());
  }
  SetMenu(hwnd_, menuBar_.get());
}

void Win32UiWindow::CreateControls(HINSTANCE instance) {
  toolTip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_,
                             nullptr, instance, nullptr);
  for (std::size_t i = 0; i < layout_.controls.size(); ++i) {
    const platform::ControlSpec& c = layout_.controls[i];
    ControlState& state = controls_[i];
    state.bounds = {c.left, c.top, c.width, c.height};
    state.visible = (c.props & prop::kHidden) == 0;
    state.defaultButton = (c.props & prop::kDefault) != 0;
    state.interval = c.interval;
    const wchar_t* windowClass = nullptr;
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS;
    DWORD exStyle = 0;
    const bool tabStop = (c.props & prop::kNoTabStop) == 0;
    switch (c.kind) {
      case ControlKind::Button:
        windowClass = WC_BUTTONW;
        // A caption longer than its button wraps rather than being cut.
        style |= ((c.props & prop::kDefault) ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | BS_MULTILINE |
                 (tabStop ? WS_TABSTOP : 0);
        break;
      case ControlKind::CheckBox:
        windowClass = WC_BUTTONW;
        style |= BS_AUTOCHECKBOX | (tabStop ? WS_TABSTOP : 0);
        break;
      case ControlKind::OptionButton:
        windowClass = WC_BUTTONW;
        style |= BS_AUTORADIOBUTTON | (tabStop ? WS_TABSTOP : 0);
        break;
      case ControlKind::Label:
        windowClass = WC_STATICW;
        style |= SS_NOTIFY | ((c.props & prop::kCentered) ? SS_CENTER : SS_LEFT);
        break;
      case ControlKind::Frame:
        windowClass = WC_STATICW;
        style |= SS_NOTIFY;
        state.brush.reset(CreateSolidBrush(
            c.color == platform::kDefaultColor ? GetSysColor(COLOR_BTNFACE) : ToColorRef(c.color)));
        break;
      case ControlKind::Image:
        windowClass = WC_STATICW;
        style |= SS_OWNERDRAW | SS_NOTIFY;
        if (c.picture != platform::BuiltIn::None) state.picture = LoadBuiltInPicture(c.picture);
        break;
      case ControlKind::TextBox:
        windowClass = WC_EDITW;
        style |= ES_AUTOHSCROLL | (tabStop ? WS_TABSTOP : 0) |
                 ((c.props & prop::kPassword) ? ES_PASSWORD : 0);
        exStyle = WS_EX_CLIENTEDGE;
        break;
      case ControlKind::ListBox:
        if ((c.props & prop::kCheckBoxes) != 0) {
          windowClass = WC_LISTVIEWW;
          style |= LVS_REPORT | LVS_NOCOLUMNHEADER | LVS_SINGLESEL | LVS_SHOWSELALWAYS |
                   (tabStop ? WS_TABSTOP : 0);
        } else {
          windowClass = WC_LISTBOXW;
          style |= LBS_NOTIFY | WS_VSCROLL | LBS_NOINTEGRALHEIGHT | (tabStop ? WS_TABSTOP : 0);
        }
        exStyle = WS_EX_CLIENTEDGE;
        break;
      case ControlKind::DriveList:
      case ControlKind::FolderList:
      case ControlKind::FileList:
        windowClass = WC_LISTBOXW;
        style |= LBS_NOTIFY | WS_VSCROLL | LBS_NOINTEGRALHEIGHT | (tabStop ? WS_TABSTOP : 0);
        exStyle = WS_EX_CLIENTEDGE;
        break;
      case ControlKind::Timer:
        if ((c.props & prop::kEnabledTimer) != 0) SetTimer(static_cast<int>(i), c.interval, true);
        continue;
      case ControlKind::Line:
        continue;
    }
    if ((c.props & prop::kDisabled) != 0) style |= WS_DISABLED;
    if (StartsGroup(static_cast<int>(i))) style |= WS_GROUP;
    state.hwnd =
        CreateWindowExW(exStyle, windowClass, Wide(c.caption).c_str(), style, 0, 0, 0, 0, hwnd_,
                        reinterpret_cast<HMENU>(
                            static_cast<INT_PTR>(platform::kControlIdBase + static_cast<int>(i))),
                        instance, nullptr);
    if (state.hwnd == nullptr) continue;
    if (c.kind == ControlKind::TextBox) {
      if (c.maxLength > 0) SendMessageW(state.hwnd, EM_SETLIMITTEXT, c.maxLength, 0);
      if ((c.props & prop::kPassword) != 0) SendMessageW(state.hwnd, EM_SETPASSWORDCHAR, L'*', 0);
    }
    if (IsListView(static_cast<int>(i))) {
      ListView_SetExtendedListViewStyle(state.hwnd,
                                        LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP);
      LVCOLUMNW column{};
      column.mask = LVCF_WIDTH;
      ListView_InsertColumn(state.hwnd, 0, &column);
    }
    if (!c.toolTip.empty() && toolTip_ != nullptr) {
      std::wstring tip = Wide(c.toolTip);
      TOOLINFOW tool{};
      tool.cbSize = sizeof(tool);
      tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
      tool.hwnd = hwnd_;
      tool.uId = reinterpret_cast<UINT_PTR>(state.hwnd);
      tool.lpszText = tip.data();
      SendMessageW(toolTip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
  }
  PutPanelsUnderTheirControls();
  UpdateVisibility();
}

void Win32UiWindow::PutPanelsUnderTheirControls() {
  // Each panel goes to the bottom, the outermost last, so a panel lies under
  // the controls and the panels it holds.
  std::vector<std::pair<int, int>> panels;  // depth, index
  for (std::size_t i = 0; i < controls_.size(); ++i) {
    if (SpecOf(static_cast<int>(i)).kind != ControlKind::Frame || !controls_[i].hwnd) continue;
    int depth = 0;
    for (int c = ContainerOf(static_cast<int>(i)); c >= 0; c = ContainerOf(c)) ++depth;
    panels.emplace_back(depth, static_cast<int>(i));
  }
  std::sort(panels.begin(), panels.end(), std::greater<>());
  for (const auto& [depth, index] : panels) {
    SetWindowPos(controls_[index].hwnd, HWND_BOTTOM, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
}

}  // namespace pm::win32
