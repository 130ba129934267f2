// What an add-on adds to the stored lists: a path chosen in "Lock a File or
// Folder" becomes a program item or a title item, and a site typed in
// "Lock a Web Page" a web-page item. Nothing else of the lists changes.
#pragma once

#include <string>
#include <string_view>

#include "platform/Registry.h"
#include "store/RegValue.h"

namespace pm::addons {

struct AddedItem {
  enum class Kind { None, Program, Title };
  Kind kind = Kind::None;
  std::string text;  // the program's path, or the title
  // What the owner is told it locks.
  std::string Description() const;
};

// A program (.exe, or a shortcut to one): its program file; a Store app
// typed as "shell:AppsFolder\" + its AppUserModelID: that app. A folder: a
// title of its name, which Explorer shows in its windows' titles. Any other
// file: a title of its name without its folder, as programs show a document.
AddedItem ItemForPath(std::string_view path);

// Stores the item, locked: a program item or title already listed is
// checked where it stands, a new one is written after the last one listed.
// The first failure is returned.
store::RegResult WriteAddedItem(platform::Registry& target, const AddedItem& item);

}  // namespace pm::addons
