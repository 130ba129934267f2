// The vocabulary of windows shared by the Toolkit, the Desktop and the forms:
// handles, the declarative tables a form is built from, and the events a
// window reports. Positions and sizes are in twips (1/1440 inch); a backend
// turns them into pixels at the DPI of the monitor the window is on.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace pm::platform {

// A top-level or child window of any program, as an opaque number. 0 is no
// window; the rules give 1 a meaning of its own ("already unlocked").
using Hwnd = std::uintptr_t;

struct Rect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  bool operator==(const Rect&) const = default;
};

// Pictures and icons built into the programs.
enum class BuiltIn {
  None,
  PromptPicture,       // the prompt's picture, 150 x 194
  BadPasswordPicture,  // the picture after a wrong password, 354 x 290
  ProgramIcon,
  LockedIcon,      // tray icon while locked; also frmMain's form icon
  UnlockedIcon,    // tray icon during "Unlock Everything"
  WizardPicture,   // the add-item wizard's artwork down its left side, 140 x 258 at 96 DPI
  PreviewPicture,  // the picture chooser's preview before a file is chosen, 121 x 93
  AddItemIcon,     // the setup window's buttons: "Lock an Item...",
  RemoveItemIcon,  // "Remove"
  ChangeItemIcon,  // and "Change"
  DownloadIcon,    // the wizard's small icon beside its download text
};

enum class ControlKind {
  Button,   // push button; may carry a picture above its caption
  Label,    // static text; clickable
  TextBox,  // single-line edit
  CheckBox,
  OptionButton,  // radio button
  ListBox,       // optionally with check boxes and sorted
  Frame,         // a borderless panel that holds other controls
  Image,         // a picture stretched to the control
  Line,          // a one-pixel line from (left, top) to (left + width, top + height)
  Timer,         // no window; `interval` in milliseconds
  DriveList,
  FolderList,
  FileList,
};

// Control properties as bit flags, so a table row stays on one line.
namespace prop {
inline constexpr std::uint32_t kNone = 0;
inline constexpr std::uint32_t kDefault = 1u << 0;  // Enter presses it
inline constexpr std::uint32_t kCancel = 1u << 1;   // Esc presses it
inline constexpr std::uint32_t kDisabled = 1u << 2;
inline constexpr std::uint32_t kHidden = 1u << 3;
inline constexpr std::uint32_t kPassword = 1u << 4;  // text box shows '*'
inline constexpr std::uint32_t kBold = 1u << 5;
inline constexpr std::uint32_t kCentered = 1u << 6;
inline constexpr std::uint32_t kCheckBoxes = 1u << 7;  // list box
inline constexpr std::uint32_t kSorted = 1u << 8;      // list box, case-insensitive order
inline constexpr std::uint32_t kEnabledTimer = 1u << 9;
inline constexpr std::uint32_t kUnderlined = 1u << 10;
inline constexpr std::uint32_t kNoTabStop = 1u << 11;
}  // namespace prop

struct ControlSpec {
  ControlKind kind;
  std::string_view name;
  std::string_view caption;  // caption, initial text, or the built-in picture's name
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  std::uint32_t props = prop::kNone;
  std::string_view container = {};   // name of the Frame that holds it; empty = the form
  std::uint32_t color = 0xFFFFFFFF;  // text colour (labels) or background (frames); 0xRRGGBB
  int maxLength = 0;                 // text boxes; 0 = no limit
  int interval = 0;                  // timers, in milliseconds
  std::string_view toolTip = {};
  BuiltIn picture = BuiltIn::None;  // images and picture buttons
};

inline constexpr std::uint32_t kDefaultColor = 0xFFFFFFFF;

struct MenuSpec {
  std::string_view name;
  std::string_view caption;  // "-" is a separator
  int id;                    // the command id; a form's ids are named in its own header
  std::string_view parent;   // the menu it drops from; empty = a top-level menu
  bool isDefault = false;    // shown bold in a pop-up menu
};

enum class Border { Sizable, FixedSingle, FixedDialog, None };
enum class WindowState { Normal, Minimized, Maximized };

// The index of a named control in a form's table, for the end-to-end harness
// and the tests (a Windows control's id is kControlIdBase + its index).
inline constexpr int kControlIdBase = 1000;
constexpr int ControlIndex(std::span<const ControlSpec> controls, std::string_view name) {
  for (std::size_t i = 0; i < controls.size(); ++i) {
    if (controls[i].name == name) return static_cast<int>(i);
  }
  return -1;
}

// A control of a form, by its index in the form's table. Forms take theirs
// from IdOf at compile time, never from a name at run time.
struct ControlId {
  int index = -1;
};

// The id of the control named `name`; a name the table lacks does not compile.
consteval ControlId IdOf(std::span<const ControlSpec> controls, std::string_view name) {
  const int index = ControlIndex(controls, name);
  if (index < 0) throw "the form's table has no control of this name";
  return ControlId{index};
}

struct FormSpec {
  std::string_view caption;
  int clientWidth = 0;   // twips
  int clientHeight = 0;  // twips
  Border border = Border::FixedDialog;
  bool controlBox = true;  // the title bar's system menu and close button
  bool minButton = false;
  WindowState initialState = WindowState::Normal;
  std::uint32_t backColor = kDefaultColor;
  std::span<const ControlSpec> controls = {};
  std::span<const MenuSpec> menuBar = {};  // top-level entries and their items
  std::span<const MenuSpec> popups = {};   // pop-up menus, shown on demand
};

enum class Event { Click, DblClick, Change, ItemCheck };

// Why a window is being closed, in the numbering the forms have always used.
enum class UnloadMode {
  ControlMenu = 0,  // the title bar, or WM_CLOSE from anyone
  Code = 1,
  WindowsSession = 2,  // Windows is shutting down or the user logs off
  TaskManager = 3,
  Owner = 4,
};

// What a window tells its form. Every call arrives on the UI thread.
class WindowEvents {
 public:
  virtual ~WindowEvents() = default;
  // `control` is an index into FormSpec::controls; -1 is the form itself.
  virtual void OnControlEvent(int control, Event event) = 0;
  virtual void OnTimer(int control) = 0;
  virtual void OnMenu(int menuId) = 0;
  // The tray icon's callback, with the mouse message it reports.
  virtual void OnTrayMessage(std::uint32_t mouseMessage) = 0;
  // A request to close the window. True cancels it; otherwise the form has
  // unloaded, and the window is destroyed, when the call returns: the backend
  // must not touch the window afterwards nor close it itself.
  virtual bool OnQueryUnload(UnloadMode mode) = 0;
};

// Mouse messages the tray icon reports.
inline constexpr std::uint32_t kWmLButtonDblClk = 0x203;
inline constexpr std::uint32_t kWmRButtonUp = 0x205;
// Not a mouse message: the taskbar was created anew (Explorer restarted),
// and every tray icon must be added again.
inline constexpr std::uint32_t kTaskbarCreated = 0xFFFF;

}  // namespace pm::platform
