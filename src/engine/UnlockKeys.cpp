#include "engine/UnlockKeys.h"

#include "platform/Text.h"

namespace pm::engine {

namespace {
constexpr std::string_view kDialogClass = "#32770";
}  // namespace

std::string KeyName(platform::Desktop& desktop, platform::Hwnd window, std::string_view title40) {
  std::string name = desktop.ClassName(window);
  return name == kDialogClass ? std::string(title40) : name;
}

bool KeyStillInUse(platform::Desktop& desktop, const store::UnlockKey& key,
                   const std::function<const std::vector<platform::Hwnd>&()>& hostedWindows) {
  const auto ofTheProgram = [&](platform::Hwnd window) {
    return platform::EqualsNoCase(desktop.OwnerProgramPath(window), key.programPath);
  };
  const auto named = [&](platform::Hwnd window) {
    return platform::EqualsNoCase(desktop.ClassName(window), key.name) ||
           desktop.WindowText(window) == key.name;
  };
  // The common answer, no top-level window of that name at all, costs two
  // look-ups.
  if (desktop.FindByClass(key.name) != 0 || desktop.FindByTitle(key.name) != 0) {
    for (const platform::Hwnd window : desktop.FindAllWithClass(key.name)) {
      if (ofTheProgram(window)) return true;
    }
    for (const platform::Hwnd window : desktop.FindAllWithTitle(key.name)) {
      if (ofTheProgram(window)) return true;
    }
  }
  // An unlocked window inside another program's window is none of those.
  for (const platform::Hwnd window : hostedWindows()) {
    if (named(window) && ofTheProgram(window)) return true;
  }
  return false;
}

}  // namespace pm::engine
