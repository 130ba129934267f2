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

bool KeyStillInUse(platform::Desktop& desktop, const store::UnlockKey& key) {
  // The common answer, no window of that name at all, costs two look-ups.
  if (desktop.FindByClass(key.name) == 0 && desktop.FindByTitle(key.name) == 0) return false;
  const auto ofTheProgram = [&](platform::Hwnd window) {
    return platform::EqualsNoCase(desktop.OwnerProgramPath(window), key.programPath);
  };
  for (const platform::Hwnd window : desktop.FindAllWithClass(key.name)) {
    if (ofTheProgram(window)) return true;
  }
  for (const platform::Hwnd window : desktop.FindAllWithTitle(key.name)) {
    if (ofTheProgram(window)) return true;
  }
  return false;
}

}  // namespace pm::engine
