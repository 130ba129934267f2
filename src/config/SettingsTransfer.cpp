#include "config/SettingsTransfer.h"

#include "store/SettingsFile.h"
#include "store/SettingsWriter.h"

namespace pm::config {

namespace {

using Kind = store::WriteOutcome::Kind;

// The program folder as the messages name it: without its closing backslash.
std::string FolderName(std::string_view programFolder) {
  std::string folder(programFolder);
  while (!folder.empty() && folder.back() == '\\') folder.pop_back();
  return folder;
}

}  // namespace

void ExportSettings(platform::Toolkit& toolkit, const platform::Window* owner,
                    platform::Registry& registry, store::ProgramState& state,
                    std::uint32_t hashIterations) {
  const std::string file = store::ExportFilePath(state.AppFolder);
  const store::WriteOutcome outcome = store::SettingsWriter(registry, state).Export(hashIterations);
  if (outcome) {
    toolkit.MessageBox(owner,
                       "Your settings were exported to " + file +
                           "\r\nNow copy that file to the folder of Pelmora Pro on the other PC's "
                           "and then click Import.",
                       "", platform::MessageStyle::Ok, platform::MessageIcon::Information);
    return;
  }
  toolkit.MessageBox(
      owner, "Your settings could not be exported to " + file + ".\r\n\r\n" + outcome.reason, "",
      platform::MessageStyle::Ok, platform::MessageIcon::Error);
}

bool ImportSettings(platform::Toolkit& toolkit, const platform::Window* owner,
                    platform::Registry& registry, store::ProgramState& state) {
  const store::WriteOutcome outcome = store::SettingsWriter(registry, state).Import();
  std::string text;
  platform::MessageIcon icon = platform::MessageIcon::Error;
  switch (outcome.kind) {
    case Kind::Done:
      text = "Operation Complete. You need to re-enter here to see new changes.";
      icon = platform::MessageIcon::Information;
      break;
    case Kind::MissingFile:
      text = "Cannot find '" + std::string(store::kExportFileName) +
             "'. You must copy this file to the Program Folder '" + FolderName(state.AppFolder) +
             "' after clicking Export.";
      icon = platform::MessageIcon::Information;
      break;
    case Kind::NotAnExport:
      text = store::ExportFilePath(state.AppFolder) +
             " is not a settings export, so nothing was changed.\r\n\r\n" + outcome.reason;
      break;
    case Kind::Failed:
    case Kind::Lost:
      text = outcome.Explain(
          "The settings could not be imported, and the settings stored before are kept.");
      break;
  }
  toolkit.MessageBox(owner, text, "", platform::MessageStyle::Ok, icon);
  return outcome.kind == Kind::Done;
}

}  // namespace pm::config
