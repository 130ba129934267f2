// Settings export and import: the whole settings subtree to and from
// "PMExport.txt" in the program folder, to copy one PC's configuration to
// another or to keep a backup.
//
// The file is the registry editor's own text format (store/RegFile.h), which
// a person can read and regedit can import, and ends with a line of its own
// that an import requires, so a file cut short is never taken for a whole
// one; a file that begins as a hive ("regf", an export of an earlier
// installation) goes to the platform's hive restore. Import checks the whole
// file before it changes anything and puts back what was stored when a write
// fails, so a bad file or a failed write never leaves the settings half
// replaced. The service runs these where a standard user cannot write the
// program folder or the settings.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "platform/Files.h"
#include "platform/Registry.h"
#include "store/PasswordCheck.h"

namespace pm::store {

inline constexpr std::string_view kExportFileName = "PMExport.txt";

// The export file's name as the messages show it: the program folder, then
// "\PMExport.txt" (two backslashes in a row at a drive root, which Windows
// accepts).
std::string ExportFilePath(std::string_view programFolder);

struct [[nodiscard]] TransferOutcome {
  enum class Kind {
    Done,
    MissingFile,
    NotAnExport,
    Failed,  // nothing changed
    Lost,    // an import's write failed and putting back what was stored failed too
  };
  Kind kind = Kind::Done;
  std::string reason;  // why, for NotAnExport, Failed and Lost
};

// Writes a temporary file beside the export file, then puts it in the old
// one's place, so an earlier export is replaced only by a complete one. A
// password still stored as plain text goes into the file as its hash, made
// with `hashIterations`.
// `readers` are who may read the file: the service, which exports the
// passwords' hashes from where only it reads them, lets no user read it.
TransferOutcome ExportSettingsFile(
    platform::Registry& registry, std::string_view programFolder,
    std::uint32_t hashIterations = kPasswordHashIterations,
    platform::FileReaders readers = platform::FileReaders::AsTheFolderSays);
// Replaces the settings subtree wholesale by the file's, or leaves it exactly
// as it was.
TransferOutcome ImportSettingsFile(platform::Registry& registry, std::string_view programFolder);
// The same for the bytes of a file in the registry editor's format, already
// read: refused whole when invalid, put back when a write fails.
TransferOutcome ImportRegFileBytes(platform::Registry& registry,
                                   std::span<const std::uint8_t> bytes);

}  // namespace pm::store
