#include "engine/TitleVerdicts.h"

#include "engine/TitleFolding.h"

namespace pm::engine {

TitleVerdicts::Verdict TitleVerdicts::Judge(platform::Hwnd window, const std::string& title,
                                            const Keywords& keywords) {
  Entry& entry = entries_[window];
  entry.pass = pass_;
  if (entry.title == title && !title.empty()) return entry.verdict;
  const std::string folded = FoldForMatching(title);
  entry.title = title;
  entry.verdict.locked = keywords.locked.FoundIn(folded);
  entry.verdict.webPage = keywords.webPages.FoundIn(folded);
  // A window locked by its program, not its title, is also left alone for
  // an ignore keyword in its title.
  entry.verdict.ignored = keywords.ignored.FoundIn(folded);
  return entry.verdict;
}

void TitleVerdicts::EndPass() {
  std::erase_if(entries_, [this](const auto& item) { return item.second.pass != pass_; });
  ++pass_;
}

}  // namespace pm::engine
