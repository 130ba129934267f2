#include "store/SettingsFile.h"

#include <algorithm>
#include <exception>

#include "platform/Files.h"
#include "platform/FolderPath.h"
#include "platform/Text.h"
#include "store/PlainPasswords.h"
#include "store/RegFile.h"
#include "store/RegFileTree.h"
#include "store/RegistryModule.h"
#include "store/RegistrySnapshot.h"
#include "store/SettingsCatalogue.h"
#include "store/modRegistry.h"

namespace pm::store {

using Kind = TransferOutcome::Kind;

namespace {

static_assert(kRootKey == platform::RootKey::LocalMachine);
constexpr std::string_view kRootHive = "HKEY_LOCAL_MACHINE";
constexpr std::string_view kHiveSignature = "regf";
// Written before a hive restore: a restore replaces every value of the key, so
// finding it afterwards means the restore did nothing, whatever it answered
// (Wine's RegRestoreKey answers success and restores nothing).
constexpr std::string_view kRestoreCheckValue = "PMExport restore check";

std::string RootName() {
  return std::string(kRootHive) + "\\" + std::string(kProductKey);
}

// The program's paths are Windows paths. Where the build's file system is
// not Windows' (the simulated PC of the native tests), its separator stands
// in for the backslash.
std::string FileSystemPath(std::string_view windowsPath) {
  std::string path(windowsPath);
  std::replace(path.begin(), path.end(), '\\', platform::kPathSeparator);
  return path;
}

TransferOutcome Outcome(Kind kind, std::string reason = {}) {
  return {kind, std::move(reason)};
}

TransferOutcome Failed(platform::RegStatus status) {
  return Outcome(Kind::Failed, platform::SystemErrorText(status));
}

// The whole file, or at most one byte more than any export, which the parser
// then refuses as too large.
bool ReadWholeFile(const std::string& path, ByteArray& bytes, std::string& reason) {
  const std::int32_t error = platform::ReadFileBytes(path, kMaxRegFileBytes, bytes);
  if (error != 0) reason = platform::SystemErrorText(error);
  return error == 0;
}

bool StartsAsHive(const ByteArray& bytes) {
  return bytes.size() >= kHiveSignature.size() &&
         std::equal(kHiveSignature.begin(), kHiveSignature.end(), bytes.begin());
}

// The settings as they are, whole, to be put back should the import fail;
// none when they cannot be read whole, since putting back a part would lose
// the rest.
platform::Result<KeySnapshot> StoredSettings(platform::Registry& registry) {
  RegResult unread;
  KeySnapshot stored = CaptureKey(registry, kRootKey, kProductKey, &unread);
  if (!unread) return unread.error();
  return stored;
}

// An import's write failed: the settings go back to what they were, and
// when that fails too, what was stored may be lost, and the outcome says so.
// Settings still as they were need nothing put back (a write refused at
// once would have the putting back refused in the same way).
TransferOutcome PutBack(platform::Registry& registry, const KeySnapshot& before,
                        const platform::Error& failed) {
  const platform::Result<KeySnapshot> now = StoredSettings(registry);
  const RegResult restored =
      now && *now == before ? RegResult{} : RestoreKey(registry, kRootKey, kProductKey, before);
  if (!restored) {
    return Outcome(Kind::Lost, platform::Describe(failed) +
                                   "\r\nPutting back what was stored before failed too: " +
                                   platform::Describe(restored.error()));
  }
  return Outcome(Kind::Failed, platform::Describe(failed));
}

TransferOutcome ImportHive(platform::Registry& registry, const std::string& file) {
  const platform::Result<KeySnapshot> stored = StoredSettings(registry);
  if (!stored) return Outcome(Kind::Failed, platform::Describe(stored.error()));
  const KeySnapshot& before = *stored;
  const RegResult marked =
      RegistryModule::WriteValue(registry, kRootKey, kProductKey, kRestoreCheckValue, "1");
  if (!marked) return PutBack(registry, before, marked.error());
  const RegResult restored = modRegistry::RestoreKeyFromFile(registry, kRootKey, kProductKey, file);
  const bool changed =
      !RegistryModule::ReadValue(registry, kRootKey, kProductKey, kRestoreCheckValue).IsString();
  if (restored && changed) return Outcome(Kind::Done);
  return PutBack(registry, before,
                 restored ? platform::Error{0,
                                            "The system reported the registry file restored, but "
                                            "the settings did not change."}
                          : restored.error());
}

}  // namespace

std::string ExportFilePath(std::string_view programFolder) {
  // The program folder already ends in a separator; a drive root too.
  return FolderWithBackslash(programFolder) + std::string(kExportFileName);
}

TransferOutcome ExportSettingsFile(platform::Registry& registry, std::string_view programFolder,
                                   std::uint32_t hashIterations, platform::FileReaders readers) {
  platform::RegStatus status = 0;
  if (!platform::RegKey::Open(registry, kRootKey, kProductKey, platform::reg_access::kRead,
                              status)) {
    if (status == platform::reg_error::kFileNotFound) {
      return Outcome(Kind::Failed, "No settings are stored on this PC yet.");
    }
    return Failed(status);
  }
  // A part that cannot be read would be missing from the file, and an
  // import of it would delete that part.
  platform::Result<KeySnapshot> settings = StoredSettings(registry);
  if (!settings) return Outcome(Kind::Failed, platform::Describe(settings.error()));
  try {
    HashPlainPasswords(*settings, hashIterations);
  } catch (const std::exception& error) {
    return Outcome(Kind::Failed, "A password could not be hashed: " + std::string(error.what()));
  }
  const platform::Result<ByteArray> written = WriteRegFile(RootName(), FromKeySnapshot(*settings));
  if (!written) return Outcome(Kind::Failed, "The settings hold " + written.error().message + ".");

  // Written beside it and put in its place, so that the file is never half
  // an export.
  const std::int32_t error = platform::ReplaceFileDurably(
      FileSystemPath(ExportFilePath(programFolder)), *written, readers);
  if (error != 0) return Failed(error);
  return Outcome(Kind::Done);
}

TransferOutcome ImportSettingsFile(platform::Registry& registry, std::string_view programFolder) {
  const std::string file = FileSystemPath(ExportFilePath(programFolder));
  switch (platform::KindOfPath(file)) {
    case platform::PathKind::Missing:
      return Outcome(Kind::MissingFile);
    case platform::PathKind::Folder:
      return Outcome(Kind::NotAnExport, "It is not a file.");
    case platform::PathKind::File:
      break;
  }
  ByteArray bytes;
  std::string reason;
  if (!ReadWholeFile(file, bytes, reason)) return Outcome(Kind::Failed, reason);
  if (StartsAsHive(bytes)) return ImportHive(registry, file);

  return ImportRegFileBytes(registry, bytes);
}

TransferOutcome ImportRegFileBytes(platform::Registry& registry,
                                   std::span<const std::uint8_t> bytes) {
  const platform::Result<RegFileRead> parsed = ParseRegFile(bytes, RootName());
  if (!parsed) return Outcome(Kind::NotAnExport, parsed.error().message);
  if (!parsed->endsWithEndLine) {
    return Outcome(Kind::NotAnExport, "The file does not end with the line \"" +
                                          std::string(kRegFileEndLine) +
                                          "\", so it may have been cut short.");
  }
  const platform::Result<KeySnapshot> before = StoredSettings(registry);
  if (!before) return Outcome(Kind::Failed, platform::Describe(before.error()));
  const RegResult result =
      RestoreKey(registry, kRootKey, kProductKey, ToKeySnapshot(parsed->content));
  if (!result) return PutBack(registry, *before, result.error());
  return Outcome(Kind::Done);
}

}  // namespace pm::store
