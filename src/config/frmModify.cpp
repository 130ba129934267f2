// Changing the text of the current item, and the step every finished edit
// of the list ends with.
#include "config/SetupDialogs.h"
#include "config/frmModifyLayout.h"

namespace pm::config {

using platform::Event;

int FindEntry(platform::ListBox& list, std::string_view text) {
  for (int i = 0; i < list.ListCount(); ++i) {
    if (list.List(i) == text) return i;
  }
  return -1;
}

void CheckFirstEntry(const SetupParts& setup, std::string_view text) {
  const int entry = FindEntry(setup.List1, text);
  if (entry < 0) return;
  setup.List1.SetListIndex(entry);
  setup.List1.SetSelected(entry, true);
  setup.cmdApply.SetEnabled(true);
}

frmModify::frmModify(platform::Toolkit& toolkit, SetupParts setup)
    : ChildDialog(toolkit, kfrmModifySpec, setup.window), setup_(setup) {
  On(Ids::cmdOK, Event::Click, [this] { cmdOK_Click(); });
  On(Ids::cmdCancel, Event::Click, [this] { Unload(); });
}

void frmModify::cmdOK_Click() {
  const std::string text = txtModify.Text();
  if (text.empty()) return;
  const int edited = setup_.List1.ListIndex();
  if (edited >= 0) {
    if (setup_.programs.ProgramOf(setup_.List1.List(edited))) {
      ChangeProgram(edited, text);
      return;
    }
  }
  if (FindEntry(setup_.List1, text) < 0) {
    // The setup window is disabled while the dialog is open, so the current
    // entry is still the one the text came from. With none current, the
    // text is only added.
    if (const int current = setup_.List1.ListIndex(); current >= 0) {
      setup_.List1.RemoveItem(current);
    }
    setup_.List1.AddItem(text);
  }
  CheckFirstEntry(setup_, text);
  Unload();
}

// The text is the program's new path; its row reads anew.
void frmModify::ChangeProgram(int row, const std::string& path) {
  const std::string text = ProgramEntries::RowText(path);
  if (FindEntry(setup_.List1, text) < 0) {
    setup_.programs.Removed(setup_.List1.List(row));
    setup_.List1.RemoveItem(row);
    setup_.programs.Add(setup_.List1, path);
  }
  CheckFirstEntry(setup_, text);
  Unload();
}

}  // namespace pm::config
