#include "store/ProgramList.h"

#include <array>

#include "platform/FolderPath.h"
#include "platform/ProgramPath.h"
#include "platform/Text.h"
#include "store/RegistryModule.h"
#include "store/SettingsCatalogue.h"

namespace pm::store {

std::string ProgramValueName(int position) {
  return "Program" + std::to_string(position);
}

std::vector<ListItem> ReadProgramList(platform::Registry& registry, std::string_view key) {
  std::vector<ListItem> programs;
  for (int position = 0; position < kProgramPositions; ++position) {
    const std::string stored =
        RegistryModule::ReadValue(registry, kRootKey, key, ProgramValueName(position)).Text();
    if (auto item = ParseItemValue(stored)) programs.push_back(std::move(*item));
  }
  return programs;
}

RegResult WriteProgramList(platform::Registry& registry, std::span<const ListItem> programs) {
  FirstFailure outcome;
  outcome.NoteDeletion(RegistryModule::DeleteKey(registry, kRootKey, kProgramListKey));
  for (std::size_t row = 0; row < programs.size(); ++row) {
    outcome.Note(RegistryModule::WriteValue(registry, kRootKey, kProgramListKey,
                                            ProgramValueName(static_cast<int>(row)),
                                            FormatItemValue(programs[row])));
  }
  return outcome.result();
}

std::string_view StoreAppId(std::string_view program) {
  if (program.size() <= kAppsFolderPrefix.size() ||
      !platform::EqualsNoCase(program.substr(0, kAppsFolderPrefix.size()), kAppsFolderPrefix)) {
    return {};
  }
  return program.substr(kAppsFolderPrefix.size());
}

std::string ProgramName(std::string_view program) {
  if (const std::string_view app = StoreAppId(program); !app.empty()) {
    // "Package_publisher!App": the package's name names it.
    const std::string_view package = app.substr(0, app.find_first_of("_!"));
    return std::string(package.empty() ? app : package);
  }
  return std::string(platform::FileNameOf(program));
}

namespace {

// Below the Windows folder.
constexpr std::array<std::string_view, 7> kWindowsPrograms = {
    "System32\\cmd.exe",     "System32\\WindowsPowerShell\\v1.0\\powershell.exe",
    "regedit.exe",           "System32\\Taskmgr.exe",
    "System32\\mmc.exe",     "System32\\msconfig.exe",
    "System32\\control.exe",
};
// Below the Program Files folder, where installed.
constexpr std::string_view kPowerShell7 = "PowerShell\\7\\pwsh.exe";
constexpr std::string_view kSettingsApp =
    "shell:AppsFolder\\windows.immersivecontrolpanel_cw5n1h2txyewy!"
    "microsoft.windows.immersivecontrolpanel";

}  // namespace

std::vector<std::string> DefaultPrograms(std::string_view windowsFolder,
                                         std::string_view programFilesFolder,
                                         bool (*exists)(const std::string& path)) {
  std::vector<std::string> programs;
  for (std::string_view program : kWindowsPrograms) {
    programs.push_back(platform::JoinPath(windowsFolder, program, '\\'));
  }
  if (std::string pwsh = platform::JoinPath(programFilesFolder, kPowerShell7, '\\'); exists(pwsh)) {
    programs.push_back(std::move(pwsh));
  }
  programs.emplace_back(kSettingsApp);
  return programs;
}

}  // namespace pm::store
