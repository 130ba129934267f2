// Which windows are our own. A title proves nothing, since any program may
// take any title; a window is ours when the process that owns it runs one of
// our program files from the program folder.
#pragma once

#include <string_view>

#include "platform/Desktop.h"

namespace pm::engine {

enum class OwnPrograms {
  Engine,                 // pmpro.exe: the lock engine and its tool
  EngineOrStartupLocker,  // pmpro.exe or pmpstart.exe
};

// Whether `programPath` is one of `which` in `appFolder`, folder and file
// name compared without case as Windows compares paths. An empty path (the
// owner could not be asked) is never ours.
bool IsOwnProgramFile(std::string_view programPath, std::string_view appFolder, OwnPrograms which);

// Whether some top-level window titled exactly `title` belongs to one of
// `which`; a window of another program with that title does not count.
bool OwnWindowWithTitleExists(platform::Desktop& desktop, std::string_view title,
                              std::string_view appFolder, OwnPrograms which);

}  // namespace pm::engine
