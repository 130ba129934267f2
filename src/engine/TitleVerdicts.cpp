#include "engine/TitleVerdicts.h"

#include "platform/Text.h"

namespace pm::engine {

TitleVerdicts::Verdict TitleVerdicts::Judge(platform::Hwnd window, const std::string& title,
                                            const KeywordMatcher& locked,
                                            const KeywordMatcher& ignored) {
  Entry& entry = entries_[window];
  entry.pass = pass_;
  if (entry.title == title && !title.empty()) return entry.verdict;
  const std::string lowered = platform::LowerCase(title);
  entry.title = title;
  entry.verdict.locked = locked.FoundIn(lowered);
  entry.verdict.ignored = entry.verdict.locked && ignored.FoundIn(lowered);
  return entry.verdict;
}

void TitleVerdicts::EndPass() {
  std::erase_if(entries_, [this](const auto& item) { return item.second.pass != pass_; });
  ++pass_;
}

}  // namespace pm::engine
