// The setup window: opening, and editing the two lists.
#include "config/frmSetup.h"

#include "config/SettingsTransfer.h"
#include "config/frmSetupLayout.h"
#include "platform/Files.h"
#include "platform/Text.h"
#include "store/ItemLists.h"
#include "store/PasswordQuestion.h"
#include "store/ProgramList.h"
#include "store/SettingsCatalogue.h"

namespace pm::config {

using platform::Event;

namespace {
constexpr std::string_view kProtectedItem = "Windows Explorer";
constexpr std::string_view kProtectedIgnoreEntry = "Exit";
constexpr int kIgnoreMinimumLength = 3;
}  // namespace

frmSetup::frmSetup(SetupPlatform platform, store::ProgramState& state, about::frmabout& about,
                   EngineCommands& engine)
    : Form(platform.toolkit, kfrmSetupSpec),
      frmAddWizard(platform.toolkit, {*this, List1, cmdApply, programEntries}, platform.registry,
                   platform.shell),
      frmModify(platform.toolkit, {*this, List1, cmdApply, programEntries}),
      frmTimeDelay(platform.toolkit, {*this, List1, cmdApply, programEntries}, platform.registry,
                   state),
      frmChangePassword(platform.toolkit, *this, platform.registry, state),
      frmpasswordpicture(platform.toolkit, *this, platform.registry, state),
      toolkit_(platform.toolkit),
      desktop_(platform.desktop),
      shell_(platform.shell),
      registry_(platform.registry),
      state_(state),
      about_(about),
      engine_(engine) {
  On(Ids::List1, Event::Click, [this] { List1_Click(); });
  On(Ids::List1, Event::ItemCheck, [this] { List1_Click(); });
  On(Ids::cmdRemove, Event::Click, [this] { cmdRemove_Click(); });
  On(Ids::cmdModify, Event::Click, [this] { cmdModify_Click(); });
  On(Ids::cmdAdd, Event::Click, [this] { OpenDialog(frmAddWizard); });
  On(Ids::Command1, Event::Click, [this] { OpenPasswordsDialog(); });
  On(Ids::cmdignore, Event::Click, [this] { cmdignore_Click(); });
  On(Ids::cmdadd2, Event::Click, [this] { cmdadd2_Click(); });
  On(Ids::cmdremove2, Event::Click, [this] { cmdremove2_Click(); });
  On(Ids::cmdOK, Event::Click, [this] { cmdOK_Click(); });
  On(Ids::cmdApply, Event::Click, [this] { cmdApply_Click(); });
  On(Ids::cmdCancel, Event::Click, [this] { Unload(); });
  OnForm(Event::DblClick, [this] { Form_DblClick(); });
  OnMenu(kmnuAdd, [this] { OpenDialog(frmAddWizard); });
  OnMenu(kmnuRemove, [this] { cmdRemove_Click(); });
  OnMenu(kmnuModify, [this] { cmdModify_Click(); });
  OnMenu(kmnuSelectAll, [this] { mnuSelectAll_Click(); });
  OnMenu(kmnuClose, [this] { cmdOK_Click(); });
  OnMenu(kmnuChangePassword, [this] { OpenPasswordsDialog(); });
  OnMenu(kmnuTimeDelay, [this] {
    if (window().MenuEnabled(kmnuTimeDelay)) OpenDialog(frmTimeDelay);
  });
  // The picture chooser does not disable the setup window. Open already, it
  // comes to the front and stores for the item chosen last.
  OnMenu(kpassboxpic, [this] {
    state_.PickBadPicture = false;
    frmpasswordpicture.Show();
  });
  OnMenu(kmnupicbad, [this] {
    state_.PickBadPicture = true;
    frmpasswordpicture.Show();
  });
  for (std::size_t i = 0; i < store::Switches().size(); ++i) {
    const int id = SwitchMenuId(i);
    OnMenu(id, [this, id] { ToggleSwitch(id); });
  }
  OnMenu(kmnuunlock, [this] { mnuunlock_Click(); });
  OnMenu(kmnurelock, [this] { mnurelock_Click(); });
  OnMenu(kmnushutdown, [this] { mnushutdown_Click(); });
  OnMenu(kmnuHelpTopics, [this] { mnuHelpTopics_Click(); });
  OnMenu(kmnuvisitwebsite, [this] { mnuvisitwebsite_Click(); });
  OnMenu(kmnuupdate, [this] { mnuupdate_Click(); });
  OnMenu(kmnuAbout, [this] { about_.ShowOrBringForward(); });
  OnMenu(kmnuexport, [this] {
    ExportSettings(toolkit_, &window(), registry_, state_, frmChangePassword.HashIterations());
  });
  OnMenu(kmnuimport, [this] {
    if (!ImportSettings(toolkit_, &window(), registry_, state_)) return;
    state_.ReloadRequested = true;
    Unload();
  });
  // Another program may post the tool its commands while it waits, hidden,
  // for the password.
  const auto gate = [this] { return Unlocked(); };
  for (platform::Form* form : Dialogs()) form->SetInputGate(gate);
  SetInputGate(gate);
}

std::array<platform::Form*, 5> frmSetup::Dialogs() {
  return {&frmAddWizard, &frmModify, &frmTimeDelay, &frmChangePassword, &frmpasswordpicture};
}

bool frmSetup::Unlocked() const {
  return state_.AllUnlocked || (!state_.ConfigWindowKey.empty() && state_.ConfigToolHwnd != 0);
}

void frmSetup::Form_Load() {
  // A tool loaded afresh asks for the password, whatever unlock is left.
  state_.ConfigWindowKey.clear();
  state_.ConfigToolHwnd = hwnd();
  window().CenterOnScreen();
  GetSettings();
  GetWindows();
}

void frmSetup::Form_Unload() {
  // The next "Configure..." asks for the password again, and the one typed
  // for this opening goes from memory. The key itself is forgotten by the
  // engine's next look, once this window is gone: cleared here, the window
  // would be locked (and hidden) while it is unloading.
  state_.ConfigToolHwnd = 0;
  store::EndToolTicket(state_.SettingsService, state_.ToolTicket);
  unprotectedWarned_ = false;
  for (platform::Form* dialog : Dialogs()) dialog->Unload();
}

void frmSetup::GetWindows() {
  List2.Clear();
  for (const std::string& entry : store::ReadIgnoreList(registry_)) List2.AddItem(entry);
  List1.Clear();
  programEntries.Clear();
  // Each item goes to its sorted place, and its mark goes with it.
  const std::vector<store::ListItem> titles = store::ReadItemList(registry_);
  const std::vector<store::ListItem> programs = store::ReadProgramList(registry_);
  for (const store::ListItem& item : titles) {
    List1.SetSelected(List1.AddItem(item.text), item.checked);
  }
  for (const store::ListItem& program : programs) {
    List1.SetSelected(programEntries.Add(List1, program.text), program.checked);
  }
  storedItems_ = ItemKeys(titles, programs);
  const std::string firstTime = store::ReadSetting(registry_, store::setting::kFirstTime);
  if (store::OffersDefaultItems(firstTime, List1.ListCount() > 0)) {
    for (std::string_view item : store::DefaultItems()) List1.AddItem(item);
    // The programs Windows 10/11 shows those titles in, unchecked with them.
    for (const std::string& program :
         store::DefaultPrograms(platform::WindowsFolder(), platform::ProgramFilesFolder(),
                                [](const std::string& path) {
                                  return platform::KindOfPath(path) == platform::PathKind::File;
                                })) {
      programEntries.Add(List1, program);
    }
  }
  AddPolicyEntries();
  if (List1.ListCount() > 0) List1.SetListIndex(0);
}

void frmSetup::List1_Click() {
  cmdApply.SetEnabled(true);
}

void frmSetup::mnuSelectAll_Click() {
  for (int i = 0; i < List1.ListCount(); ++i) {
    if (!List1.ItemFixed(i)) List1.SetSelected(i, true);
  }
  if (List1.ListCount() > 0) List1.SetListIndex(0);
}

void frmSetup::cmdRemove_Click() {
  const int current = List1.ListIndex();
  if (RefusesFixedEntry(List1, current)) return;
  cmdApply.SetEnabled(true);
  if (current < 0) return;
  if (List1.Selected(current)) {
    List1.SetSelected(current, false);
  } else {
    programEntries.Removed(List1.List(current));
    List1.RemoveItem(current);
    List1.SetListIndex(-1);
    List1.SetFocus();
  }
}

void frmSetup::cmdModify_Click() {
  const int current = List1.ListIndex();
  if (RefusesFixedEntry(List1, current)) return;
  const std::string text = current >= 0 ? List1.List(current) : std::string();
  if (text == kProtectedItem) return;
  // A program item is changed by its path.
  frmModify.txtModify.SetText(programEntries.ProgramOf(text).value_or(text));
  OpenDialog(frmModify);
}

void frmSetup::OpenDialog(platform::Form& dialog) {
  SetEnabled(false);
  dialog.Show();
}

void frmSetup::cmdignore_Click() {
  const bool hidden = cmdignore.Caption() == kIgnoreHidden;
  const auto move = [](platform::Control& control, int top) {
    platform::Rect bounds = control.Bounds();
    bounds.top = top;
    control.Move(bounds);
  };
  cmdignore.SetCaption(hidden ? kIgnoreShown : kIgnoreHidden);
  move(cmdignore, hidden ? 3360 : 4560);
  move(fraignore, hidden ? 3840 : 5640);
  fraignore.SetVisible(hidden);
  platform::Rect list = List1.Bounds();
  list.height = hidden ? 2500 : 3900;
  List1.Move(list);
}

void frmSetup::cmdadd2_Click() {
  const std::string text = txtignore.Text();
  if (platform::CodePointCount(text) >= kIgnoreMinimumLength) List2.AddItem(text);
  List2.SetListIndex(List2.ListCount() - 1);
}

void frmSetup::cmdremove2_Click() {
  const int current = List2.ListIndex();
  if (current < 0 || RefusesFixedEntry(List2, current)) return;
  const std::string entry = List2.List(current);
  if (!entry.empty() && entry != kProtectedIgnoreEntry) List2.RemoveItem(current);
}

}  // namespace pm::config
