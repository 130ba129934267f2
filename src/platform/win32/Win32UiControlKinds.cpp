#include "platform/win32/Win32UiControlKinds.h"

#include <commctrl.h>

namespace pm::win32 {

using platform::ControlKind;
using platform::Event;
namespace prop = platform::prop;

namespace {

constexpr DWORD kListBoxStyle = LBS_NOTIFY | WS_VSCROLL | LBS_NOINTEGRALHEIGHT;

ControlWindowClass ClassOfKind(const platform::ControlSpec& c) {
  switch (c.kind) {
    case ControlKind::Button:
      // A caption longer than its button wraps rather than being cut.
      return {WC_BUTTONW,
              static_cast<DWORD>(((c.props & prop::kDefault) ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) |
                                 BS_MULTILINE)};
    case ControlKind::CheckBox:
      return {WC_BUTTONW, BS_AUTOCHECKBOX};
    case ControlKind::OptionButton:
      return {WC_BUTTONW, BS_AUTORADIOBUTTON};
    case ControlKind::Label:
      return {WC_STATICW,
              static_cast<DWORD>(SS_NOTIFY | ((c.props & prop::kCentered) ? SS_CENTER : SS_LEFT))};
    case ControlKind::Frame:
      return {WC_STATICW, SS_NOTIFY};
    case ControlKind::Image:
      return {WC_STATICW, SS_OWNERDRAW | SS_NOTIFY};
    case ControlKind::TextBox:
      return {WC_EDITW,
              static_cast<DWORD>(ES_AUTOHSCROLL | ((c.props & prop::kPassword) ? ES_PASSWORD : 0)),
              WS_EX_CLIENTEDGE};
    case ControlKind::ListBox:
      if (IsListView(c)) {
        return {WC_LISTVIEWW, LVS_REPORT | LVS_NOCOLUMNHEADER | LVS_SINGLESEL | LVS_SHOWSELALWAYS,
                WS_EX_CLIENTEDGE};
      }
      return {WC_LISTBOXW, kListBoxStyle, WS_EX_CLIENTEDGE};
    case ControlKind::DriveList:
    case ControlKind::FolderList:
    case ControlKind::FileList:
      return {WC_LISTBOXW, kListBoxStyle, WS_EX_CLIENTEDGE};
    case ControlKind::Timer:
    case ControlKind::Line:
      break;
  }
  return {};
}

bool TakesTheTab(ControlKind kind) {
  switch (kind) {
    case ControlKind::Label:
    case ControlKind::Frame:
    case ControlKind::Image:
      return false;
    default:
      return true;
  }
}

}  // namespace

ControlWindowClass WindowClassOf(std::span<const platform::ControlSpec> controls, int index) {
  const platform::ControlSpec& c = controls[static_cast<std::size_t>(index)];
  ControlWindowClass windowClass = ClassOfKind(c);
  if (windowClass.name == nullptr) return windowClass;
  windowClass.style |= WS_CHILD | WS_CLIPSIBLINGS;
  if (TakesTheTab(c.kind) && (c.props & prop::kNoTabStop) == 0) windowClass.style |= WS_TABSTOP;
  if ((c.props & prop::kDisabled) != 0) windowClass.style |= WS_DISABLED;
  if (StartsGroup(controls, index)) windowClass.style |= WS_GROUP;
  return windowClass;
}

void PrepareControlWindow(HWND window, const platform::ControlSpec& control) {
  if (control.kind == ControlKind::TextBox) {
    if (control.maxLength > 0) SendMessageW(window, EM_SETLIMITTEXT, control.maxLength, 0);
    if ((control.props & prop::kPassword) != 0) SendMessageW(window, EM_SETPASSWORDCHAR, L'*', 0);
  }
  if (IsListView(control)) {
    ListView_SetExtendedListViewStyle(window,
                                      LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP);
    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH;
    ListView_InsertColumn(window, 0, &column);
  }
}

void FitControlContent(HWND window, const platform::ControlSpec& control, int width) {
  if (IsListView(control)) {
    ListView_SetColumnWidth(window, 0, width - GetSystemMetrics(SM_CXVSCROLL) - 4);
  }
}

std::optional<Event> EventOfNotice(ControlKind kind, int code) {
  // The notices of the kind that are a click, a double click and a change;
  // -1 for none (a notice code is never negative).
  struct Notices {
    int click = -1;
    int doubleClick = -1;
    int change = -1;
  };
  const Notices notices = [kind]() -> Notices {
    switch (kind) {
      case ControlKind::Button:
      case ControlKind::CheckBox:
      case ControlKind::OptionButton:
        return {.click = BN_CLICKED};
      case ControlKind::Label:
      case ControlKind::Image:
      case ControlKind::Frame:
        return {.click = STN_CLICKED, .doubleClick = STN_DBLCLK};
      case ControlKind::TextBox:
        return {.change = EN_CHANGE};
      case ControlKind::ListBox:
      case ControlKind::DriveList:
      case ControlKind::FolderList:
      case ControlKind::FileList:
        return {.click = LBN_SELCHANGE, .doubleClick = LBN_DBLCLK};
      default:
        return {};
    }
  }();
  if (code == notices.click) return Event::Click;
  if (code == notices.doubleClick) return Event::DblClick;
  if (code == notices.change) return Event::Change;
  return std::nullopt;
}

bool IsListView(const platform::ControlSpec& control) {
  return control.kind == ControlKind::ListBox && (control.props & prop::kCheckBoxes) != 0;
}

bool StartsGroup(std::span<const platform::ControlSpec> controls, int index) {
  const auto isOption = [&](int c) {
    return controls[static_cast<std::size_t>(c)].kind == ControlKind::OptionButton;
  };
  if (index == 0) return false;
  const int previous = index - 1;
  if (isOption(index)) {
    return !isOption(previous) || controls[static_cast<std::size_t>(previous)].container !=
                                      controls[static_cast<std::size_t>(index)].container;
  }
  return isOption(previous);
}

}  // namespace pm::win32
