// Forms and controls, message boxes, pictures and the event pump: what the
// forms are written against. A Window is one created form; it is destroyed
// (with its native window) when its owner lets it go.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/Ui.h"

// <windows.h> defines MessageBox as a macro, which would rename the method.
#ifdef MessageBox
#undef MessageBox
#endif

namespace pm::platform {

// A decoded picture; shared between image controls.
class Picture {
 public:
  virtual ~Picture() = default;
  virtual int Width() const = 0;   // pixels
  virtual int Height() const = 0;  // pixels
};
using PicturePtr = std::shared_ptr<const Picture>;

enum class ShowMode { Normal, NoActivate };

class Window {
 public:
  virtual ~Window() = default;

  virtual Hwnd handle() const = 0;

  // The form.
  virtual void SetCaption(std::string_view caption) = 0;
  virtual std::string Caption() const = 0;
  // Shows the window in its current window state.
  virtual void Show(ShowMode mode) = 0;
  virtual void Hide() = 0;
  virtual bool IsVisible() const = 0;
  virtual void SetEnabled(bool enabled) = 0;
  virtual bool IsEnabled() const = 0;
  virtual void SetWindowState(WindowState state) = 0;
  virtual WindowState GetWindowState() const = 0;
  virtual void CenterOnScreen() = 0;
  // Sizes the window over the whole monitor that `other` is on.
  virtual void CoverMonitorOf(Hwnd other) = 0;
  // Sizes the window over the whole virtual screen: every monitor.
  virtual void CoverEveryMonitor() = 0;
  virtual void SetTopmost(bool topmost) = 0;
  virtual void BringToFront() = 0;
  virtual void SetIcon(BuiltIn icon) = 0;
  virtual void SetClientSize(int widthTwips, int heightTwips) = 0;

  // Controls, by their index in the form's table.
  virtual void SetText(int control, std::string_view text) = 0;
  virtual std::string Text(int control) const = 0;
  virtual void SetControlEnabled(int control, bool enabled) = 0;
  virtual bool ControlEnabled(int control) const = 0;
  virtual void SetControlVisible(int control, bool visible) = 0;
  virtual bool ControlVisible(int control) const = 0;
  virtual void SetControlBounds(int control, Rect twips) = 0;
  virtual Rect ControlBounds(int control) const = 0;
  virtual void SetFocus(int control) = 0;
  // Selects the whole text of a text box, so that typing replaces it.
  virtual void SelectAllText(int control) = 0;
  // Makes a button the one Enter presses, or no longer that one.
  virtual void SetDefaultButton(int control, bool isDefault) = 0;
  virtual void SetChecked(int control, bool checked) = 0;  // check and option boxes
  virtual bool Checked(int control) const = 0;
  virtual void SetPicture(int control, PicturePtr picture) = 0;
  virtual PicturePtr GetPicture(int control) const = 0;
  virtual void SetTimer(int control, int intervalMs, bool enabled) = 0;
  virtual int TimerInterval(int control) const = 0;
  virtual bool TimerEnabled(int control) const = 0;

  // List boxes. A sorted list puts an added entry at its place and answers
  // its index.
  virtual int ListAdd(int control, std::string_view text) = 0;
  virtual void ListRemove(int control, int index) = 0;
  virtual void ListClear(int control) = 0;
  virtual int ListCount(int control) const = 0;
  virtual std::string ListText(int control, int index) const = 0;
  virtual void SetListChecked(int control, int index, bool checked) = 0;
  virtual bool ListChecked(int control, int index) const = 0;
  virtual void SetListIndex(int control, int index) = 0;  // -1 = none current
  virtual int ListIndex(int control) const = 0;
  // An entry the user cannot change, such as one an administrator set: shown
  // greyed, its check box does not toggle under the mouse or the keyboard,
  // and `toolTip` shows while the mouse rests on it. The mark goes with the
  // entry (removed, or the list cleared); the program may still change it.
  virtual void SetListItemFixed(int control, int index, std::string_view toolTip) = 0;
  virtual bool ListItemFixed(int control, int index) const = 0;

  // The text shown while the mouse rests on a control; empty for none.
  virtual void SetToolTip(int control, std::string_view text) = 0;

  // Menus, by command id.
  virtual void SetMenuChecked(int menuId, bool checked) = 0;
  virtual bool MenuChecked(int menuId) const = 0;
  // A greyed entry cannot be chosen with the mouse or the keyboard; a
  // command posted to the window still arrives, so a handler that must not
  // act asks MenuEnabled. `note` shows at the entry's right, where a
  // shortcut key would; empty for none.
  virtual void SetMenuEnabled(int menuId, bool enabled) = 0;
  virtual bool MenuEnabled(int menuId) const = 0;
  virtual void SetMenuNote(int menuId, std::string_view note) = 0;
  // Shows a pop-up menu of the form's table at the mouse; a chosen entry
  // arrives as OnMenu.
  virtual void PopupMenu(std::string_view popupName) = 0;
};

struct ProgramVersion {
  int major = 0;
  int minor = 0;
  int revision = 0;
  std::string legalCopyright;
};

enum class MessageStyle { Ok, OkCancel, YesNo, YesNoCancel };
enum class MessageIcon { None, Information, Warning, Error, Question };
enum class MessageResult { Ok, Cancel, Yes, No };

class Toolkit {
 public:
  virtual ~Toolkit() = default;

  // Creates the window of a form, hidden; the events go to `events` until
  // the window is destroyed. A window with an `owner` (null for none) opens
  // centred on it (on its screen while it is minimised or hidden), stays in
  // front of it and has no taskbar button of its own; destroy it before
  // its owner.
  virtual std::unique_ptr<Window> CreateFormWindow(const FormSpec& layout, WindowEvents& events,
                                                   const Window* owner) = 0;

  // A modal message box. An empty caption shows the program title.
  virtual MessageResult MessageBox(const Window* owner, std::string_view text,
                                   std::string_view caption, MessageStyle style,
                                   MessageIcon icon) = 0;
  virtual void Beep() = 0;

  // Handles every pending event, then returns.
  virtual void DoEvents() = 0;
  // Handles events, waiting for them without spinning, until `done` holds.
  virtual void PumpUntil(const std::function<bool()>& done) = 0;
  // Runs the event loop until Quit.
  virtual int Run() = 0;
  // Runs `work` on a thread of its own and afterwards `done` on the UI
  // thread, which meanwhile goes on handling events (timers, hooks, the
  // tray). `work` must use nothing the UI thread uses.
  virtual void RunInBackground(std::function<void()> work, std::function<void()> done) = 0;
  virtual void Quit(int exitCode) = 0;

  // Absent, unreadable or fake picture files give null.
  virtual PicturePtr LoadPicture(std::string_view path) = 0;
  virtual PicturePtr BuiltInPicture(BuiltIn picture) = 0;

  // The folder of the running program, without a trailing backslash.
  virtual std::string ProgramFolder() const = 0;
  virtual ProgramVersion Version() const = 0;
  // Keeps the program out of the list of running applications.
  virtual void HideFromTaskList() = 0;
};

}  // namespace pm::platform
