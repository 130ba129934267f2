#include "platform/sim/SimWindow.h"

#include <stdexcept>

#include "platform/Placement.h"
#include "platform/Text.h"
#include "platform/sim/SimPictures.h"

namespace pm::sim {

using platform::ControlKind;

namespace {

// The simulated frame, as Windows 10 draws it at 96 DPI.
constexpr int kTwipsPerPixel = 15;
constexpr int kFrameWidth = 3;
constexpr int kCaptionHeight = 23;
constexpr int kMenuBarHeight = 20;
// Where a window opens when nothing places it (CW_USEDEFAULT).
constexpr int kDefaultLeft = 26;
constexpr int kDefaultTop = 26;

}  // namespace

SimWindow::SimWindow(SimWorld& world, const platform::FormSpec& layout,
                     platform::WindowEvents& events, std::uint32_t processId,
                     const SimWindow* owner)
    : world_(world), layout_(layout), events_(events) {
  handle_ = world_.RegisterOurWindow(*this, std::string(layout.caption), processId);
  world_.Find(handle_)->state = layout.initialState;
  controls_.resize(layout.controls.size());
  for (std::size_t i = 0; i < layout.controls.size(); ++i) {
    const platform::ControlSpec& c = layout.controls[i];
    ControlState& state = controls_[i];
    state.text = std::string(c.caption);
    state.enabled = (c.props & platform::prop::kDisabled) == 0;
    state.visible = (c.props & platform::prop::kHidden) == 0;
    state.bounds = {c.left, c.top, c.width, c.height};
    state.interval = c.interval;
    if (c.picture != platform::BuiltIn::None) state.picture = BuiltInSimPicture(c.picture);
    if (c.kind == ControlKind::Button && (c.props & platform::prop::kDefault) != 0) {
      defaultButton_ = static_cast<int>(i);
    }
    if (c.kind == ControlKind::Timer && (c.props & platform::prop::kEnabledTimer) != 0) {
      SetTimer(static_cast<int>(i), c.interval, true);
    }
  }
  bounds_ = {kDefaultLeft, kDefaultTop, 0, 0};
  SizeFrameTo(layout.clientWidth, layout.clientHeight);
  if (owner != nullptr) {
    owner_ = owner->handle();
    const WindowRecord* record = world_.Find(owner_);
    // A minimised or hidden owner has no place on the screen to centre on.
    const bool placed =
        record != nullptr && record->visible && record->state != platform::WindowState::Minimized;
    CenterOn(placed ? owner->bounds() : world_.workArea);
  }
}

void SimWindow::SizeFrameTo(int widthTwips, int heightTwips) {
  const int menuBar = layout_.menuBar.empty() ? 0 : kMenuBarHeight;
  bounds_.width = widthTwips / kTwipsPerPixel + 2 * kFrameWidth;
  bounds_.height = heightTwips / kTwipsPerPixel + 2 * kFrameWidth + kCaptionHeight + menuBar;
}

void SimWindow::CenterOn(const platform::Rect& area) {
  bounds_ = platform::CentredPlace(area, world_.workArea, bounds_.width, bounds_.height);
}

void SimWindow::CenterOnScreen() {
  centered_ = true;
  CenterOn(world_.workArea);
}

void SimWindow::MoveTo(int left, int top) {
  bounds_.left = left;
  bounds_.top = top;
}

SimWindow::~SimWindow() {
  world_.UnregisterOurWindow(handle_);
}

int SimWindow::Index(std::string_view control) const {
  const int index = platform::ControlIndex(layout_.controls, control);
  if (index < 0) throw std::logic_error("no control " + std::string(control));
  return index;
}

SimWindow::ControlState& SimWindow::At(int control) {
  return controls_.at(control);
}
const SimWindow::ControlState& SimWindow::At(int control) const {
  return controls_.at(control);
}

void SimWindow::SetCaption(std::string_view caption) {
  world_.SetTitle(handle_, std::string(caption));
}

std::string SimWindow::Caption() const {
  return world_.Find(handle_)->title;
}

void SimWindow::Show(platform::ShowMode mode) {
  world_.SetVisible(handle_, true);
  if (mode == platform::ShowMode::Normal) Activate();
}

void SimWindow::Hide() {
  world_.SetVisible(handle_, false);
}

bool SimWindow::IsVisible() const {
  return world_.Find(handle_)->visible;
}

void SimWindow::SetEnabled(bool enabled) {
  world_.Find(handle_)->enabled = enabled;
}

bool SimWindow::IsEnabled() const {
  return world_.Find(handle_)->enabled;
}

void SimWindow::SetWindowState(platform::WindowState state) {
  world_.Find(handle_)->state = state;
}

platform::WindowState SimWindow::GetWindowState() const {
  return world_.Find(handle_)->state;
}

void SimWindow::SetTopmost(bool topmost) {
  world_.Find(handle_)->topmost = topmost;
}

bool SimWindow::topmost() const {
  return world_.Find(handle_)->topmost;
}

void SimWindow::BringToFront() {
  WindowRecord* record = world_.Find(handle_);
  if (record->state == platform::WindowState::Minimized) {
    record->state = platform::WindowState::Normal;
  }
  Activate();
}

void SimWindow::Activate() {
  world_.BringToFront(handle_);
  if (focus_ >= 0) return;
  // Activated with nothing focused, the keyboard goes to the first control in
  // the tab order; an unchecked option button is passed over, as taking the
  // focus would check it.
  for (int i = 0; i < static_cast<int>(controls_.size()); ++i) {
    if (!IsTabStop(i)) continue;
    if (SpecOf(i).kind == ControlKind::OptionButton && !At(i).checked) continue;
    focus_ = i;
    return;
  }
}

bool SimWindow::EffectivelyVisible(int control) const {
  for (int c = control; c >= 0; c = platform::ControlIndex(layout_.controls, SpecOf(c).container)) {
    if (!At(c).visible) return false;
  }
  return true;
}

bool SimWindow::IsTabStop(int control) const {
  switch (SpecOf(control).kind) {
    case ControlKind::Label:
    case ControlKind::Frame:
    case ControlKind::Image:
    case ControlKind::Line:
    case ControlKind::Timer:
      return false;
    default:
      break;
  }
  return (SpecOf(control).props & platform::prop::kNoTabStop) == 0 && At(control).enabled &&
         EffectivelyVisible(control);
}

void SimWindow::SetFocus(int control) {
  TakeFocus(control);
}

void SimWindow::TakeFocus(int control) {
  focus_ = control;
  if (SpecOf(control).kind != ControlKind::OptionButton || At(control).checked) return;
  SelectOption(control);
  events_.OnControlEvent(control, platform::Event::Click);
}

void SimWindow::SelectOption(int control) {
  for (std::size_t i = 0; i < controls_.size(); ++i) {
    if (layout_.controls[i].kind == ControlKind::OptionButton &&
        layout_.controls[i].container == SpecOf(control).container) {
      controls_[i].checked = false;
    }
  }
  At(control).checked = true;
}

void SimWindow::SetClientSize(int widthTwips, int heightTwips) {
  clientWidth_ = widthTwips;
  clientHeight_ = heightTwips;
  SizeFrameTo(widthTwips, heightTwips);
}

void SimWindow::SelectAllText(int control) {
  At(control).allSelected = true;
}

void SimWindow::SetDefaultButton(int control, bool isDefault) {
  if (isDefault) {
    defaultButton_ = control;
  } else if (defaultButton_ == control) {
    defaultButton_ = -1;
  }
}

void SimWindow::SetText(int control, std::string_view text) {
  std::string value(text);
  const int limit = SpecOf(control).maxLength;
  if (limit > 0)
    value = std::string(platform::FirstCodePoints(value, static_cast<std::size_t>(limit)));
  At(control).text = std::move(value);
  At(control).allSelected = false;
  // A text box reports every new text, set by the program or typed, as an
  // edit control does on WM_SETTEXT.
  if (SpecOf(control).kind == ControlKind::TextBox) {
    events_.OnControlEvent(control, platform::Event::Change);
  }
}

std::string SimWindow::Text(int control) const {
  return At(control).text;
}

void SimWindow::SetControlEnabled(int control, bool enabled) {
  At(control).enabled = enabled;
}
bool SimWindow::ControlEnabled(int control) const {
  return At(control).enabled;
}
void SimWindow::SetControlVisible(int control, bool visible) {
  At(control).visible = visible;
}
bool SimWindow::ControlVisible(int control) const {
  return At(control).visible;
}
void SimWindow::SetControlBounds(int control, platform::Rect twips) {
  At(control).bounds = twips;
}
platform::Rect SimWindow::ControlBounds(int control) const {
  return At(control).bounds;
}
void SimWindow::SetChecked(int control, bool checked) {
  if (checked && SpecOf(control).kind == ControlKind::OptionButton) {
    SelectOption(control);
  } else {
    At(control).checked = checked;
  }
}
bool SimWindow::Checked(int control) const {
  return At(control).checked;
}

void SimWindow::SetPicture(int control, platform::PicturePtr picture) {
  At(control).picture = std::move(picture);
}
platform::PicturePtr SimWindow::GetPicture(int control) const {
  return At(control).picture;
}

void SimWindow::SetTimer(int control, int intervalMs, bool enabled) {
  ControlState& state = At(control);
  state.interval = intervalMs;
  state.timerEnabled = enabled;
  world_.SetTimer(handle_, control, intervalMs, enabled);
}

int SimWindow::TimerInterval(int control) const {
  return At(control).interval;
}
bool SimWindow::TimerEnabled(int control) const {
  return At(control).timerEnabled;
}

int SimWindow::ListAdd(int control, std::string_view text) {
  auto& list = At(control).list;
  std::size_t at = list.size();
  if ((SpecOf(control).props & platform::prop::kSorted) != 0) {
    const std::string key = platform::LowerCase(text);
    at = 0;
    while (at < list.size() && platform::LowerCase(list[at].text) <= key) ++at;
  }
  list.insert(list.begin() + static_cast<std::ptrdiff_t>(at),
              ListEntry{std::string(text), false, false, {}});
  // The current entry stays current when one is inserted before it.
  int& current = At(control).listIndex;
  if (current >= static_cast<int>(at)) ++current;
  return static_cast<int>(at);
}

void SimWindow::ListRemove(int control, int index) {
  auto& state = At(control);
  if (index < 0 || index >= static_cast<int>(state.list.size())) return;
  state.list.erase(state.list.begin() + index);
  // Removing the current entry leaves none current; removing one before it
  // keeps it current.
  if (state.listIndex == index) {
    state.listIndex = -1;
  } else if (state.listIndex > index) {
    --state.listIndex;
  }
}

void SimWindow::ListClear(int control) {
  At(control).list.clear();
  At(control).listIndex = -1;
}

int SimWindow::ListCount(int control) const {
  return static_cast<int>(At(control).list.size());
}

std::string SimWindow::ListText(int control, int index) const {
  const auto& list = At(control).list;
  return index >= 0 && index < static_cast<int>(list.size()) ? list[index].text : std::string();
}

void SimWindow::SetListChecked(int control, int index, bool checked) {
  auto& list = At(control).list;
  if (index >= 0 && index < static_cast<int>(list.size())) list[index].checked = checked;
}

bool SimWindow::ListChecked(int control, int index) const {
  const auto& list = At(control).list;
  return index >= 0 && index < static_cast<int>(list.size()) && list[index].checked;
}

void SimWindow::SetListIndex(int control, int index) {
  At(control).listIndex = index >= 0 && index < ListCount(control) ? index : -1;
}

int SimWindow::ListIndex(int control) const {
  return At(control).listIndex;
}

void SimWindow::SetListItemFixed(int control, int index, std::string_view toolTip) {
  auto& list = At(control).list;
  if (index < 0 || index >= static_cast<int>(list.size())) return;
  list[index].fixed = true;
  list[index].toolTip = std::string(toolTip);
}

bool SimWindow::ListItemFixed(int control, int index) const {
  const auto& list = At(control).list;
  return index >= 0 && index < static_cast<int>(list.size()) && list[index].fixed;
}

void SimWindow::SetToolTip(int control, std::string_view text) {
  At(control).toolTip = std::string(text);
}

std::string SimWindow::ToolTipOf(std::string_view control) const {
  const int index = Index(control);
  return At(index).toolTip.value_or(std::string(SpecOf(index).toolTip));
}

std::string SimWindow::ListEntryToolTip(std::string_view control, int index) const {
  const auto& list = At(Index(control)).list;
  if (index >= 0 && index < static_cast<int>(list.size()) && list[index].fixed) {
    return list[index].toolTip;
  }
  return ToolTipOf(control);
}

void SimWindow::SetMenuEnabled(int menuId, bool enabled) {
  if (enabled) {
    menusDisabled_.erase(menuId);
  } else {
    menusDisabled_.insert(menuId);
  }
}

bool SimWindow::MenuEnabled(int menuId) const {
  return menusDisabled_.count(menuId) == 0;
}

void SimWindow::SetMenuNote(int menuId, std::string_view note) {
  menuNotes_[menuId] = std::string(note);
}

std::string SimWindow::MenuNote(int menuId) const {
  const auto it = menuNotes_.find(menuId);
  return it == menuNotes_.end() ? std::string() : it->second;
}

void SimWindow::SetMenuChecked(int menuId, bool checked) {
  // Only an entry of the menu bar carries a check mark.
  for (const platform::MenuSpec& item : layout_.menuBar) {
    if (item.id == menuId && item.id != 0 && !item.parent.empty()) menuChecks_[menuId] = checked;
  }
}

bool SimWindow::MenuChecked(int menuId) const {
  const auto it = menuChecks_.find(menuId);
  return it != menuChecks_.end() && it->second;
}

void SimWindow::PopupMenu(std::string_view popupName) {
  world_.lastPopupMenu = std::string(popupName);
}

void SimWindow::Click(std::string_view control) {
  const int index = Index(control);
  if (!IsEnabled() || !At(index).enabled) return;  // a disabled control cannot be clicked
  const platform::ControlSpec& layout = SpecOf(index);
  if (layout.kind == ControlKind::CheckBox) At(index).checked = !At(index).checked;
  if (layout.kind == ControlKind::OptionButton) SelectOption(index);
  if (IsTabStop(index)) focus_ = index;
  events_.OnControlEvent(index, platform::Event::Click);
}

void SimWindow::DoubleClick(std::string_view control) {
  const int index = Index(control);
  if (!IsEnabled() || !At(index).enabled) return;
  events_.OnControlEvent(index, platform::Event::DblClick);
}

void SimWindow::ClickListEntry(std::string_view control, int index) {
  const int list = Index(control);
  if (!IsEnabled() || !At(list).enabled) return;
  SetListIndex(list, index);
  events_.OnControlEvent(list, platform::Event::Click);
}

void SimWindow::ClickListCheck(std::string_view control, int index) {
  const int list = Index(control);
  if (!IsEnabled() || !At(list).enabled || index < 0 || index >= ListCount(list)) return;
  if (ListItemFixed(list, index)) return;  // its box does not toggle
  SetListChecked(list, index, !ListChecked(list, index));
  events_.OnControlEvent(list, platform::Event::ItemCheck);
}

void SimWindow::Type(std::string_view control, std::string_view text) {
  SetText(Index(control), text);
}

void SimWindow::PressEnter() {
  if (defaultButton_ < 0) return;
  Click(SpecOf(defaultButton_).name);
}

void SimWindow::PressEsc() {
  for (int i = 0; i < static_cast<int>(controls_.size()); ++i) {
    if ((SpecOf(i).props & platform::prop::kCancel) != 0 && At(i).enabled) {
      Click(SpecOf(i).name);
      return;
    }
  }
}

void SimWindow::PressTab(bool backward) {
  const int count = static_cast<int>(controls_.size());
  for (int step = 1; step <= count; ++step) {
    const int offset = backward ? -step : step;
    const int next = ((focus_ < 0 ? (backward ? 0 : -1) : focus_) + offset + count * 2) % count;
    if (IsTabStop(next)) {
      TakeFocus(next);
      return;
    }
  }
}

void SimWindow::ChooseMenu(int menuId) {
  events_.OnMenu(menuId);
}

void SimWindow::ClickForm(platform::Event event) {
  events_.OnControlEvent(-1, event);
}

void SimWindow::CloseFromTitleBar() {
  events_.OnQueryUnload(platform::UnloadMode::ControlMenu);
}

void SimWindow::FireTimer(int control) {
  events_.OnTimer(control);
}

}  // namespace pm::sim
