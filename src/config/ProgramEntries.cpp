#include "config/ProgramEntries.h"

#include "store/ProgramList.h"

namespace pm::config {

std::string ProgramEntries::RowText(std::string_view program) {
  return store::ProgramName(program) + " (" + std::string(program) + ")";
}

int ProgramEntries::Add(platform::ListBox& list, std::string_view program) {
  const std::string text = RowText(program);
  Row& row = rows_[text];
  row.program = std::string(program);
  ++row.count;
  return list.AddItem(text);
}

std::optional<std::string> ProgramEntries::ProgramOf(std::string_view rowText) const {
  const auto it = rows_.find(rowText);
  if (it == rows_.end() || it->second.count == 0) return std::nullopt;
  return it->second.program;
}

void ProgramEntries::Removed(std::string_view rowText) {
  if (const auto it = rows_.find(rowText); it != rows_.end() && it->second.count > 0) {
    --it->second.count;
  }
}

void ProgramEntries::Split(platform::ListBox& list, std::vector<store::ListItem>& titles,
                           std::vector<store::ListItem>& programs) const {
  std::map<std::string, int, std::less<>> left;
  for (const auto& [text, row] : rows_) left[text] = row.count;
  for (int i = 0; i < list.ListCount(); ++i) {
    // The administrator's entries are the policy's, never saved here.
    if (list.ItemFixed(i)) continue;
    std::string text = list.List(i);
    const bool checked = list.Selected(i);
    if (auto it = left.find(text); it != left.end() && it->second > 0) {
      --it->second;
      programs.push_back({rows_.find(text)->second.program, checked});
    } else {
      titles.push_back({std::move(text), checked});
    }
  }
}

}  // namespace pm::config
