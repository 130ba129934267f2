#include "engine/OwnPrograms.h"

#include "platform/Text.h"
#include "store/SettingsCatalogue.h"

namespace pm::engine {

bool IsOwnProgramFile(std::string_view programPath, std::string_view appFolder, OwnPrograms which) {
  // Split at the last backslash rather than at the folder's length: a letter
  // may take a different number of bytes in its other case.
  const std::size_t slash = programPath.rfind('\\');
  if (slash == std::string_view::npos || appFolder.empty()) return false;
  const std::string_view folder = programPath.substr(0, slash + 1);
  const std::string_view file = programPath.substr(slash + 1);
  if (!platform::EqualsNoCase(folder, store::FolderWithBackslash(appFolder))) return false;
  return platform::EqualsNoCase(file, store::kEngineProgram) ||
         (which == OwnPrograms::EngineOrStartupLocker &&
          platform::EqualsNoCase(file, store::kStartupProgram));
}

platform::Hwnd OwnWindowWithTitle(platform::Desktop& desktop, std::string_view title,
                                  std::string_view appFolder, OwnPrograms which) {
  // The common answer, no window of that title at all, costs one look-up.
  if (desktop.FindByTitle(title) == 0) return 0;
  for (const platform::Hwnd window : desktop.FindAllWithTitle(title)) {
    if (IsOwnProgramFile(desktop.OwnerProgramPath(window), appFolder, which)) return window;
  }
  return 0;
}

}  // namespace pm::engine
