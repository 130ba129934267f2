// Items that another program stored while the setup window is open.
#include "config/frmSetup.h"
#include "store/ItemLists.h"
#include "store/ProgramList.h"

namespace pm::config {

namespace {

// Titles and programs apart: a title may read like a program's path.
std::set<std::string> StoredItems(platform::Registry& registry) {
  std::set<std::string> stored;
  for (const store::ListItem& item : store::ReadItemList(registry)) stored.insert("T" + item.text);
  for (const store::ListItem& item : store::ReadProgramList(registry)) {
    stored.insert("P" + item.text);
  }
  return stored;
}

}  // namespace

void frmSetup::NoteStoredItems() {
  storedItems_ = StoredItems(registry_);
}

void frmSetup::TakeStoredAdditions() {
  for (const store::ListItem& item : store::ReadItemList(registry_)) {
    if (storedItems_.contains("T" + item.text) || FindEntry(List1, item.text) >= 0) continue;
    List1.SetSelected(List1.AddItem(item.text), item.checked);
  }
  for (const store::ListItem& item : store::ReadProgramList(registry_)) {
    if (storedItems_.contains("P" + item.text) ||
        FindEntry(List1, ProgramEntries::RowText(item.text)) >= 0) {
      continue;
    }
    List1.SetSelected(programEntries.Add(List1, item.text), item.checked);
  }
  NoteStoredItems();
}

}  // namespace pm::config
