// What the locked, the ignore and the web-page keywords say of each window's
// title, remembered while the title stays the same: a tick over every window
// on the screen then folds and searches only the titles that changed.
#pragma once

#include <string>
#include <unordered_map>

#include "engine/KeywordMatcher.h"
#include "platform/Ui.h"

namespace pm::engine {

class TitleVerdicts {
 public:
  struct Verdict {
    bool locked = false;   // holds a locked keyword
    bool ignored = false;  // holds an ignore keyword
    bool webPage = false;  // holds a locked web page's title
  };
  // The keywords, folded as the titles are (TitleFolding.h).
  struct Keywords {
    const KeywordMatcher& locked;
    const KeywordMatcher& ignored;
    const KeywordMatcher& webPages;
  };

  Verdict Judge(platform::Hwnd window, const std::string& title, const Keywords& keywords);
  // Call whenever the keywords change.
  void Forget() { entries_.clear(); }
  // Forgets the windows not judged since the last call: closed ones.
  void EndPass();

 private:
  struct Entry {
    std::string title;
    Verdict verdict;
    unsigned pass = 0;
  };
  std::unordered_map<platform::Hwnd, Entry> entries_;
  unsigned pass_ = 0;
};

}  // namespace pm::engine
