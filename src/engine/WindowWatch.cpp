#include "engine/WindowWatch.h"

#include <algorithm>

#include "engine/OwnPrograms.h"
#include "engine/TitleFolding.h"
#include "engine/UnlockKeys.h"
#include "platform/Text.h"

namespace pm::engine {

namespace {
constexpr std::string_view kOwnTitleMark = "Pelmora Pro";
constexpr std::size_t kWindowTitleLength = 40;

// The tables keep the keywords lower-cased; the matchers search folded
// titles, so they hold the keywords folded the same way. A keyword with no
// letter left would be found in every title and is left out.
std::vector<std::string> Folded(const std::vector<std::string>& keywords) {
  std::vector<std::string> folded;
  for (const std::string& keyword : keywords) {
    std::string fold = FoldForMatching(keyword);
    if (!fold.empty()) folded.push_back(std::move(fold));
  }
  return folded;
}

}  // namespace

WindowWatch::WindowWatch(platform::Desktop& desktop, store::ProgramState& state)
    : desktop_(desktop), state_(state) {}

void WindowWatch::SetLockedKeywords(const std::vector<std::string>& keywords) {
  lockedMatcher_.Build(Folded(keywords), kLongestFoldedTitleBytes);
  titleVerdicts_.Forget();
}

void WindowWatch::SetIgnoreKeywords(const std::vector<std::string>& keywords) {
  ignoreMatcher_.Build(Folded(keywords), kLongestFoldedTitleBytes);
  titleVerdicts_.Forget();
}

void WindowWatch::SetWebPages(const std::vector<std::string>& titles) {
  webPageMatcher_.Build(Folded(titles), kLongestFoldedTitleBytes);
  titleVerdicts_.Forget();
}

void WindowWatch::SetPrograms(const std::vector<std::string>& programs) {
  programVerdicts_.Build(programs);
}

void WindowWatch::RememberUnlock(const store::BlockedWindow& window) {
  store::UnlockKey key = window.key;
  // Examining asks for the program only where an unlock of the same name
  // might pass the window; the key is whole only with it.
  if (key.programPath.empty()) key.programPath = desktop_.OwnerProgramPath(window.hwnd);
  if (store::IsConfigurationTool(desktop_, state_, window.hwnd)) {
    state_.ConfigWindowKey = std::move(key);
  } else {
    state_.UnlockedKeys.push_back(std::move(key));
  }
}

void WindowWatch::ForgetClosedUnlocks() {
  auto& unlocked = state_.UnlockedKeys;
  // Listed at most once, and only when a key is in no top-level window.
  std::optional<std::vector<platform::Hwnd>> hosted;
  const auto hostedWindows = [&]() -> const std::vector<platform::Hwnd>& {
    if (!hosted) hosted = desktop_.VisibleHostedWindows();
    return *hosted;
  };
  std::erase_if(unlocked, [&](const store::UnlockKey& key) {
    return !KeyStillInUse(desktop_, key, hostedWindows);
  });
  // The tool's unlock ends with the tool.
  if (state_.ConfigToolHwnd == 0) state_.ConfigWindowKey.clear();
}

// Our own windows (main window, prompt, about box, the start-up locker's
// prompt) carry the mark and are passed over; another program's window is
// judged by its title whatever words it holds. The owner is asked only for a
// title with the mark, so ordinary titles cost nothing more.
bool WindowWatch::IsOwnMarkedWindow(platform::Hwnd window, std::string_view title) {
  return title.find(kOwnTitleMark) != std::string_view::npos &&
         IsOwnProgramFile(desktop_.OwnerProgramPath(window), state_.AppFolder,
                          OwnPrograms::EngineOrStartupLocker);
}

// Whether the window with this key name passes as unlocked. Most locked
// windows have a name no unlock shares; only for the others is the owning
// program asked, which costs a process look-up, before the window is hidden.
bool WindowWatch::IsUnlocked(platform::Hwnd window, store::UnlockKey& key) {
  const auto& unlocked = state_.UnlockedKeys;
  const auto sameName = [&](const store::UnlockKey& other) { return other.name == key.name; };
  if (std::none_of(unlocked.begin(), unlocked.end(), sameName) &&
      !sameName(state_.ConfigWindowKey)) {
    return false;
  }
  key.programPath = desktop_.OwnerProgramPath(window);
  return std::find(unlocked.begin(), unlocked.end(), key) != unlocked.end() ||
         (!state_.ConfigWindowKey.empty() && key == state_.ConfigWindowKey);
}

// A locked title first, which needs no look at the program; the program is
// asked only where a program item or a web page's title could lock it.
bool WindowWatch::IsLockedWindow(platform::Hwnd window, const TitleVerdicts::Verdict& title,
                                 std::string& program) {
  if (title.locked) return true;
  if (!title.webPage && !programVerdicts_.HasPrograms()) return false;
  const ProgramVerdicts::Verdict& owner = programVerdicts_.Judge(window, desktop_);
  program = owner.lockedProgram;
  return !program.empty() || (title.webPage && owner.browser);
}

std::optional<store::BlockedWindow> WindowWatch::Examine(platform::Hwnd window) {
  if (!desktop_.IsVisible(window)) return std::nullopt;
  const std::string title = desktop_.WindowText(window);
  if (IsOwnMarkedWindow(window, title)) return std::nullopt;

  const TitleVerdicts::Verdict verdict =
      titleVerdicts_.Judge(window, title, {lockedMatcher_, ignoreMatcher_, webPageMatcher_});
  std::string program;
  if (!IsLockedWindow(window, verdict, program)) return std::nullopt;

  std::string title40(platform::FirstCodePoints(title, kWindowTitleLength));
  store::UnlockKey key{KeyName(desktop_, window, title40), {}};
  if (IsUnlocked(window, key) || verdict.ignored) return std::nullopt;
  return store::BlockedWindow{window, std::move(title40), std::move(key), std::move(program)};
}

void WindowWatch::ExamineScreen(const std::function<void(store::BlockedWindow)>& stop) {
  const auto examine = [&](platform::Hwnd window) {
    if (auto locked = Examine(window)) stop(std::move(*locked));
  };
  const platform::Hwnd front = desktop_.ForegroundWindow();
  examine(front);
  for (const platform::Hwnd window : desktop_.VisibleTopLevelWindows()) {
    if (window != front) examine(window);
  }
  // A window put inside another program's window is still a window of its
  // own to the user, and is judged as one.
  for (const platform::Hwnd window : desktop_.VisibleHostedWindows()) examine(window);
  // The windows not judged in this pass have closed: their verdicts go.
  titleVerdicts_.EndPass();
  programVerdicts_.EndPass();
}

}  // namespace pm::engine
