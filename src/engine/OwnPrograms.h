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

// A top-level window titled exactly `title` that belongs to one of `which`,
// or 0; a window of another program with that title does not count.
platform::Hwnd OwnWindowWithTitle(platform::Desktop& desktop, std::string_view title,
                                  std::string_view appFolder, OwnPrograms which);
inline bool OwnWindowWithTitleExists(platform::Desktop& desktop, std::string_view title,
                                     std::string_view appFolder, OwnPrograms which) {
  return OwnWindowWithTitle(desktop, title, appFolder, which) != 0;
}

}  // namespace pm::engine
