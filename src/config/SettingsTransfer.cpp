#include "config/SettingsTransfer.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "platform/Text.h"
#include "store/RegFile.h"
#include "store/RegFileTree.h"
#include "store/RegistryModule.h"
#include "store/RegistrySnapshot.h"
#include "store/SettingsCatalogue.h"
#include "store/modRegistry.h"

namespace pm::config {

namespace fs = std::filesystem;
using Kind = TransferOutcome::Kind;

namespace {

static_assert(store::kRootKey == platform::RootKey::LocalMachine);
constexpr std::string_view kRootHive = "HKEY_LOCAL_MACHINE";
constexpr std::string_view kHiveSignature = "regf";
constexpr std::string_view kTemporarySuffix = ".tmp";
// Written before a hive restore: a restore replaces every value of the key, so
// finding it afterwards means the restore did nothing, whatever it answered
// (Wine's RegRestoreKey answers success and restores nothing).
constexpr std::string_view kRestoreCheckValue = "PMExport restore check";

std::string RootName() {
  return std::string(kRootHive) + "\\" + std::string(store::kProductKey);
}

// The program's paths are Windows paths. Where the build's file system is
// not Windows' (the simulated PC of the native tests), its separator stands
// in for the backslash.
fs::path FileSystemPath(std::string_view windowsPath) {
  std::string path(windowsPath);
  if constexpr (fs::path::preferred_separator != '\\') {
    std::replace(path.begin(), path.end(), '\\', static_cast<char>(fs::path::preferred_separator));
  }
  return fs::path(std::u8string(path.begin(), path.end()));
}

std::string Utf8(const fs::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

std::string ErrnoText(int error) {
  return std::generic_category().message(error) + ".";
}

TransferOutcome Outcome(Kind kind, std::string reason = {}) {
  return {kind, std::move(reason)};
}

TransferOutcome Failed(platform::RegStatus status) {
  return Outcome(Kind::Failed, platform::SystemErrorText(status));
}

// The whole file, or at most one byte more than any export, which the parser
// then refuses as too large.
bool ReadWholeFile(const fs::path& path, store::ByteArray& bytes, std::string& reason) {
  errno = 0;
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    reason = ErrnoText(errno);
    return false;
  }
  char chunk[64 * 1024];
  while (bytes.size() <= store::kMaxRegFileBytes) {
    in.read(chunk, sizeof chunk);
    const std::streamsize got = in.gcount();
    if (got <= 0) break;
    bytes.insert(bytes.end(), chunk, chunk + got);
  }
  if (in.bad()) {
    reason = "The file could not be read.";
    return false;
  }
  return true;
}

bool StartsAsHive(const store::ByteArray& bytes) {
  return bytes.size() >= kHiveSignature.size() &&
         std::equal(kHiveSignature.begin(), kHiveSignature.end(), bytes.begin());
}

TransferOutcome ImportHive(platform::Registry& registry, const fs::path& file) {
  const store::KeySnapshot before =
      store::CaptureKey(registry, store::kRootKey, store::kProductKey);
  const store::RegResult marked = store::RegistryModule::WriteValue(
      registry, store::kRootKey, store::kProductKey, kRestoreCheckValue, "1");
  if (!marked) {
    store::RestoreKey(registry, store::kRootKey, store::kProductKey, before);
    return Failed(marked.status);
  }
  const store::RegResult restored = store::modRegistry::RestoreKeyFromFile(
      registry, store::kRootKey, store::kProductKey, Utf8(file));
  const bool changed = !store::RegistryModule::ReadValue(registry, store::kRootKey,
                                                         store::kProductKey, kRestoreCheckValue)
                            .IsString();
  if (restored && changed) return Outcome(Kind::Done);
  store::RestoreKey(registry, store::kRootKey, store::kProductKey, before);
  if (!restored) return Failed(restored.status);
  return Outcome(Kind::Failed,
                 "The system reported the registry file restored, but the settings did not "
                 "change.");
}

}  // namespace

std::string ExportFilePath(std::string_view programFolder) {
  // The program folder already ends in a separator; a drive root too.
  return store::FolderWithBackslash(programFolder) + std::string(kExportFileName);
}

TransferOutcome ExportSettingsFile(platform::Registry& registry, std::string_view programFolder) {
  platform::RegStatus status = 0;
  if (!platform::RegKey::Open(registry, store::kRootKey, store::kProductKey,
                              platform::reg_access::kRead, status)) {
    if (status == platform::reg_error::kFileNotFound) {
      return Outcome(Kind::Failed, "No settings are stored on this PC yet.");
    }
    return Failed(status);
  }
  const store::RegFileWrite written = store::WriteRegFile(
      RootName(),
      store::FromKeySnapshot(store::CaptureKey(registry, store::kRootKey, store::kProductKey)));
  if (!written.ok) return Outcome(Kind::Failed, "The settings hold " + written.error + ".");

  const fs::path target = FileSystemPath(ExportFilePath(programFolder));
  fs::path temporary = target;
  temporary += std::string(kTemporarySuffix);
  std::error_code ignored;
  errno = 0;
  std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
  if (!out) return Outcome(Kind::Failed, ErrnoText(errno));
  out.write(reinterpret_cast<const char*>(written.bytes.data()),
            static_cast<std::streamsize>(written.bytes.size()));
  out.close();
  if (!out) {
    const int error = errno;
    fs::remove(temporary, ignored);
    return Outcome(Kind::Failed, ErrnoText(error));
  }
  std::error_code renamed;
  fs::rename(temporary, target, renamed);
  if (renamed) {
    fs::remove(temporary, ignored);
    return Outcome(Kind::Failed, renamed.message());
  }
  return Outcome(Kind::Done);
}

TransferOutcome ImportSettingsFile(platform::Registry& registry, std::string_view programFolder) {
  const fs::path file = FileSystemPath(ExportFilePath(programFolder));
  std::error_code error;
  if (!fs::exists(file, error)) return Outcome(Kind::MissingFile);
  if (!fs::is_regular_file(file, error)) {
    return Outcome(Kind::NotAnExport, "It is not a file.");
  }
  store::ByteArray bytes;
  std::string reason;
  if (!ReadWholeFile(file, bytes, reason)) return Outcome(Kind::Failed, reason);
  if (StartsAsHive(bytes)) return ImportHive(registry, file);

  return ImportRegFileBytes(registry, bytes);
}

TransferOutcome ImportRegFileBytes(platform::Registry& registry,
                                   std::span<const std::uint8_t> bytes) {
  const store::RegFileParse parsed = store::ParseRegFile(bytes, RootName());
  if (!parsed.ok) return Outcome(Kind::NotAnExport, parsed.error);
  const store::KeySnapshot imported = store::ToKeySnapshot(parsed.content);
  const store::KeySnapshot before =
      store::CaptureKey(registry, store::kRootKey, store::kProductKey);
  const store::RegResult result =
      store::RestoreKey(registry, store::kRootKey, store::kProductKey, imported);
  if (!result) {
    store::RestoreKey(registry, store::kRootKey, store::kProductKey, before);
    return Failed(result.status);
  }
  return Outcome(Kind::Done);
}

void ExportSettings(platform::Toolkit& toolkit, const platform::Window* owner,
                    platform::Registry& registry, std::string_view programFolder) {
  const std::string file = ExportFilePath(programFolder);
  const TransferOutcome outcome = ExportSettingsFile(registry, programFolder);
  if (outcome.kind == Kind::Done) {
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
                    platform::Registry& registry, std::string_view programFolder) {
  const TransferOutcome outcome = ImportSettingsFile(registry, programFolder);
  std::string text;
  platform::MessageIcon icon = platform::MessageIcon::Error;
  switch (outcome.kind) {
    case Kind::Done:
      text = "Operation Complete. You need to re-enter here to see new changes.";
      icon = platform::MessageIcon::Information;
      break;
    case Kind::MissingFile:
      text = "Cannot find '" + std::string(kExportFileName) +
             "'. You must copy this file to the Program Folder '" + std::string(programFolder) +
             "' after clicking Export.";
      icon = platform::MessageIcon::Information;
      break;
    case Kind::NotAnExport:
      text = ExportFilePath(programFolder) +
             " is not a settings export, so nothing was changed.\r\n\r\n" + outcome.reason;
      break;
    case Kind::Failed:
      text =
          "The settings could not be imported, and the settings stored before are kept.\r\n\r\n" +
          outcome.reason;
      break;
  }
  toolkit.MessageBox(owner, text, "", platform::MessageStyle::Ok, icon);
  return outcome.kind == Kind::Done;
}

}  // namespace pm::config
