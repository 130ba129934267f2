// Program items in the setup window's list. The list shows them among the
// titles, sorted with them, each as its name and its path; this remembers
// which rows are programs, so that a save puts each row back in its own list.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Form.h"
#include "store/ItemLists.h"

namespace pm::config {

class ProgramEntries {
 public:
  // "regedit.exe (C:\Windows\regedit.exe)".
  static std::string RowText(std::string_view program);

  // Adds the program's row to the list; answers its position.
  int Add(platform::ListBox& list, std::string_view program);
  // The program a row stands for, or nothing for a title's row.
  std::optional<std::string> ProgramOf(std::string_view rowText) const;
  // A row of this text left the list.
  void Removed(std::string_view rowText);
  void Clear() { rows_.clear(); }

  // The list's rows, in row order, as title items and program items, the
  // administrator's fixed ones left out. A title typed exactly as a
  // program's row reads stays a title, as long as the list has more rows of
  // that text than programs were added.
  void Split(platform::ListBox& list, std::vector<store::ListItem>& titles,
             std::vector<store::ListItem>& programs) const;

 private:
  struct Row {
    std::string program;
    int count = 0;  // rows added with this text
  };
  std::map<std::string, Row, std::less<>> rows_;
};

}  // namespace pm::config
