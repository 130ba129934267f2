// The base of every form: it creates its window from the form's table when
// first used, routes the window's events to the handlers the form registers,
// and destroys the window on unload while the form object, and with it the
// form's variables, lives on for the next load.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "platform/Toolkit.h"

namespace pm::platform {

class Form : private WindowEvents {
 public:
  // A form with an `owner` opens its window owned by the owner's, when the
  // owner is loaded (see Toolkit::CreateFormWindow).
  Form(Toolkit& toolkit, const FormSpec& layout, Form* owner = nullptr);
  ~Form() override;
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  // Creates the window and runs Form_Load, unless loaded already.
  void Load();
  // Loads the form if needed and shows it, without waiting (modeless).
  void Show(ShowMode mode = ShowMode::Normal);
  void Hide();
  // Runs Form_Unload and destroys the window. Safe inside the form's own
  // handlers; nothing of the window may be used after it in that handler.
  void Unload();
  // Asks the form whether it may close, as a close from the title bar does.
  void Close(UnloadMode mode);

  bool IsLoaded() const { return window_ != nullptr; }
  // False for a form that is not loaded (asking does not load it).
  bool Visible() const;
  Hwnd hwnd() const { return window_ ? window_->handle() : 0; }

  // The window, loading the form first as any use of a form does.
  Window& window();
  const FormSpec& layout() const { return layout_; }

  // While `gate` answers false, the form's control and menu handlers refuse
  // every event (a click, a key, or a message another program posts); its
  // timers and its closing go on. Null lets every event through.
  void SetInputGate(std::function<bool()> gate) { inputGate_ = std::move(gate); }

  std::string Caption() { return window().Caption(); }
  void SetCaption(std::string_view caption) { window().SetCaption(caption); }
  bool Enabled() { return window().IsEnabled(); }
  void SetEnabled(bool enabled) { window().SetEnabled(enabled); }

 protected:
  virtual void Form_Load() {}
  // True cancels the close.
  virtual bool Form_QueryUnload(UnloadMode) { return false; }
  virtual void Form_Unload() {}
  virtual void Form_TrayMessage(std::uint32_t) {}

  void On(ControlId control, Event event, std::function<void()> handler);
  void OnForm(Event event, std::function<void()> handler);
  void OnTimer(ControlId control, std::function<void()> handler);
  void OnMenu(int menuId, std::function<void()> handler);
  Form* ownerForm() const { return owner_; }
  // Toolkit::RunInBackground for this form: `done` runs only while the form
  // is still the loading that started the work, so a result that comes back
  // after the window closed (Cancel, the program ending) changes nothing.
  void RunInBackground(std::function<void()> work, std::function<void()> done);

  Toolkit& toolkit_;

 private:
  void OnControlEvent(int control, Event event) override;
  void OnTimer(int control) override;
  void OnMenu(int menuId) override;
  void OnTrayMessage(std::uint32_t mouseMessage) override;
  bool OnQueryUnload(UnloadMode mode) override;
  // Runs a handler so that nothing it throws escapes into the window system.
  static void Guarded(const std::function<void()>& handler);

  const FormSpec& layout_;
  int unloads_ = 0;  // which loading a background result belongs to
  Form* owner_;
  std::unique_ptr<Window> window_;
  std::map<std::pair<int, Event>, std::function<void()>> controlHandlers_;
  std::map<int, std::function<void()>> timerHandlers_;
  std::map<int, std::function<void()>> menuHandlers_;
  std::function<bool()> inputGate_;
};

// One control of a form. Using it loads the form, as it always has.
class Control {
 public:
  Control(Form& form, ControlId id) : form_(form), index_(id.index) {}

  std::string Caption() const { return window().Text(index_); }
  void SetCaption(std::string_view caption) { window().SetText(index_, caption); }
  std::string Text() const { return window().Text(index_); }
  void SetText(std::string_view text) { window().SetText(index_, text); }
  bool Enabled() const { return window().ControlEnabled(index_); }
  void SetEnabled(bool enabled) { window().SetControlEnabled(index_, enabled); }
  bool Visible() const { return window().ControlVisible(index_); }
  void SetVisible(bool visible) { window().SetControlVisible(index_, visible); }
  Rect Bounds() const { return window().ControlBounds(index_); }
  void Move(Rect twips) { window().SetControlBounds(index_, twips); }
  void SetFocus() { window().SetFocus(index_); }
  void SetToolTip(std::string_view text) { window().SetToolTip(index_, text); }
  void SelectAll() { window().SelectAllText(index_); }
  void SetDefault(bool isDefault) { window().SetDefaultButton(index_, isDefault); }
  bool Checked() const { return window().Checked(index_); }
  void SetChecked(bool checked) { window().SetChecked(index_, checked); }
  PicturePtr Picture() const { return window().GetPicture(index_); }
  void SetPicture(PicturePtr picture) { window().SetPicture(index_, std::move(picture)); }

  int index() const { return index_; }

 protected:
  Window& window() const { return form_.window(); }
  Form& form_;
  int index_;
};

class Timer : public Control {
 public:
  using Control::Control;
  int Interval() const { return window().TimerInterval(index_); }
  bool Enabled() const { return window().TimerEnabled(index_); }
  void SetInterval(int ms) { window().SetTimer(index_, ms, Enabled()); }
  void SetEnabled(bool enabled) { window().SetTimer(index_, Interval(), enabled); }
};

class ListBox : public Control {
 public:
  using Control::Control;
  int AddItem(std::string_view text) { return window().ListAdd(index_, text); }
  void RemoveItem(int index) { window().ListRemove(index_, index); }
  void Clear() { window().ListClear(index_); }
  int ListCount() const { return window().ListCount(index_); }
  std::string List(int index) const { return window().ListText(index_, index); }
  bool Selected(int index) const { return window().ListChecked(index_, index); }
  void SetSelected(int index, bool checked) { window().SetListChecked(index_, index, checked); }
  int ListIndex() const { return window().ListIndex(index_); }
  void SetListIndex(int index) { window().SetListIndex(index_, index); }
  void SetItemFixed(int index, std::string_view toolTip) {
    window().SetListItemFixed(index_, index, toolTip);
  }
  bool ItemFixed(int index) const { return window().ListItemFixed(index_, index); }
};

}  // namespace pm::platform
