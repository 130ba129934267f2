// Items that another program stored while the setup window is open.
#include "config/frmSetup.h"
#include "store/ItemLists.h"
#include "store/ProgramList.h"

namespace pm::config {

// Titles and programs apart: a title may read like a program's path.
std::set<std::string> frmSetup::ItemKeys(const std::vector<store::ListItem>& titles,
                                         const std::vector<store::ListItem>& programs) {
  std::set<std::string> keys;
  for (const store::ListItem& item : titles) keys.insert("T" + item.text);
  for (const store::ListItem& item : programs) keys.insert("P" + item.text);
  return keys;
}

void frmSetup::TakeStoredAdditions() {
  // Read once: what is compared is what is remembered, so an item another
  // program stores meanwhile is taken in at the next call.
  const std::vector<store::ListItem> titles = store::ReadItemList(registry_);
  const std::vector<store::ListItem> programs = store::ReadProgramList(registry_);
  for (const store::ListItem& item : titles) {
    if (storedItems_.contains("T" + item.text) || FindEntry(List1, item.text) >= 0) continue;
    List1.SetSelected(List1.AddItem(item.text), item.checked);
  }
  for (const store::ListItem& item : programs) {
    if (storedItems_.contains("P" + item.text) ||
        FindEntry(List1, ProgramEntries::RowText(item.text)) >= 0) {
      continue;
    }
    List1.SetSelected(programEntries.Add(List1, item.text), item.checked);
  }
  storedItems_ = ItemKeys(titles, programs);
}

}  // namespace pm::config
