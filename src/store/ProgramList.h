// The program items: programs locked whatever their windows' titles, kept
// beside the item list in the same form. One REG_SZ per item named
// "Program" + position, the data the program's full path (or a Store app's
// "shell:AppsFolder\" + AppUserModelID) followed by ",1" (locked) or ",0"
// (listed only).
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Registry.h"
#include "store/ItemLists.h"
#include "store/RegValue.h"

namespace pm::store {

inline constexpr std::string_view kProgramListKey = "SOFTWARE\\Pelmora Pro\\Programs";
// Readers look at these many positions and no further, as for the item list.
inline constexpr int kProgramPositions = 1000;
// A Store app is named by its AppUserModelID after this folder of the shell.
inline constexpr std::string_view kAppsFolderPrefix = "shell:AppsFolder\\";

std::string ProgramValueName(int position);

// The program items of `key` (the local list, or another key kept in the
// same form) at positions 0 to 999 in position order.
std::vector<ListItem> ReadProgramList(platform::Registry& registry,
                                      std::string_view key = kProgramListKey);

// Rewrites the list whole: deletes the key, then writes every item at its
// row. The first failure is returned.
RegResult WriteProgramList(platform::Registry& registry, std::span<const ListItem> programs);

// The AppUserModelID of a Store app's item ("shell:AppsFolder\X!App" gives
// "X!App"), or empty for a program file's path.
std::string_view StoreAppId(std::string_view program);

// What the owner reads for a program item: its file's name, or the app's
// package name ("Microsoft.WindowsCalculator").
std::string ProgramName(std::string_view program);

// The programs Windows 10/11 uses for the default items, offered unchecked
// with them: those of `windowsFolder` ("C:\Windows") and of
// `programFilesFolder` that `exists` finds, and the Settings app.
std::vector<std::string> DefaultPrograms(std::string_view windowsFolder,
                                         std::string_view programFilesFolder,
                                         bool (*exists)(const std::string& path));

}  // namespace pm::store
