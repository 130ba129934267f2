// The watch: which window on the screen is locked. It judges a window by
// its title and its program against the rules it is given, passes over our
// own windows and the windows unlocked by password, and forgets an unlock
// once its last window has closed. What is done with a locked window (hidden,
// queued for the prompt) is its owner's.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/KeywordMatcher.h"
#include "engine/ProgramVerdicts.h"
#include "engine/TitleVerdicts.h"
#include "platform/Desktop.h"
#include "store/ProgramState.h"

namespace pm::engine {

class WindowWatch {
 public:
  // Reads and keeps the unlocks in `state` (UnlockedKeys, ConfigWindowKey)
  // and finds our own program files in its AppFolder.
  WindowWatch(platform::Desktop& desktop, store::ProgramState& state);

  // The rules. Keywords come lower-cased, as the engine's tables keep them;
  // programs are file paths or Store apps' ids (ProgramVerdicts).
  void SetLockedKeywords(const std::vector<std::string>& keywords);
  void SetIgnoreKeywords(const std::vector<std::string>& keywords);
  void SetWebPages(const std::vector<std::string>& titles);
  void SetPrograms(const std::vector<std::string>& programs);

  // The steps that judge one window, in their order, whatever brought it
  // to our attention: the window as the prompt will ask for it when it is
  // locked and not unlocked, nothing otherwise. Its key names the program
  // only where examining needed to ask for it.
  std::optional<store::BlockedWindow> Examine(platform::Hwnd window);

  // Every window on the screen: the front one first, so that its prompt
  // comes first, then every other visible top-level window, then the
  // windows other programs' windows hold. `stop` is called at once for each
  // locked one, before the next is looked at.
  void ExamineScreen(const std::function<void(store::BlockedWindow)>& stop);

  // The user gave the password for `window`: windows of its key pass from
  // now on (for the configuration tool, until the tool closes).
  void RememberUnlock(const store::BlockedWindow& window);
  // Unlocks whose last window has closed end; the tool's ends with the tool.
  void ForgetClosedUnlocks();

 private:
  bool IsOwnMarkedWindow(platform::Hwnd window, std::string_view title);
  // Completes `key` with the owning program when an unlock might match.
  bool IsUnlocked(platform::Hwnd window, store::UnlockKey& key);
  // Whether the window is locked, by its title or its program; `program`
  // names a locked program.
  bool IsLockedWindow(platform::Hwnd window, const TitleVerdicts::Verdict& title,
                      std::string& program);

  platform::Desktop& desktop_;
  store::ProgramState& state_;
  KeywordMatcher lockedMatcher_;
  KeywordMatcher ignoreMatcher_;
  KeywordMatcher webPageMatcher_;    // locked web pages' titles, for browsers' windows
  TitleVerdicts titleVerdicts_;      // what those say of each window's title
  ProgramVerdicts programVerdicts_;  // the locked programs, and each window's
};

}  // namespace pm::engine
