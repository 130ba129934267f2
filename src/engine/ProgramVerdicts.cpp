#include "engine/ProgramVerdicts.h"

#include "platform/Files.h"
#include "platform/ProgramPath.h"
#include "platform/Text.h"
#include "store/ProgramList.h"
#include "store/WebPageItems.h"

namespace pm::engine {

std::string ProgramPathKey(std::string_view path) {
  return platform::LowerCase(platform::CanonicalPath(path));
}

void ProgramVerdicts::Build(const std::vector<std::string>& programs) {
  paths_.clear();
  appIds_.clear();
  entries_.clear();
  for (const std::string& program : programs) {
    if (const std::string_view app = store::StoreAppId(program); !app.empty()) {
      appIds_.emplace(platform::LowerCase(app), store::ProgramName(program));
      continue;
    }
    // The stored path may use a short name; the system's answer for a
    // window's program uses the long ones.
    const std::string spelled = platform::LongPathName(platform::CanonicalPath(program));
    paths_.insert(ProgramPathKey(spelled));
  }
}

const ProgramVerdicts::Verdict& ProgramVerdicts::Judge(platform::Hwnd window,
                                                       platform::Desktop& desktop) {
  auto [it, added] = entries_.try_emplace(window);
  Entry& entry = it->second;
  entry.pass = pass_;
  if (!added) return entry.verdict;
  const std::string path = desktop.OwnerProgramPath(window);
  entry.verdict.browser = store::IsWebBrowserProgram(path);
  if (paths_.contains(ProgramPathKey(path))) {
    // Named as the system spells the file, whatever spelling was stored.
    entry.verdict.lockedProgram = store::ProgramName(path);
  } else if (!appIds_.empty()) {
    const auto app = appIds_.find(platform::LowerCase(desktop.AppUserModelId(window)));
    if (app != appIds_.end()) entry.verdict.lockedProgram = app->second;
  }
  return entry.verdict;
}

void ProgramVerdicts::EndPass() {
  std::erase_if(entries_, [this](const auto& item) { return item.second.pass != pass_; });
  ++pass_;
}

}  // namespace pm::engine
