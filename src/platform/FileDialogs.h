// The system's own dialogs for choosing a file or a folder.
#pragma once

#include <string>

#include "platform/Toolkit.h"

namespace pm::platform {

class FileDialogs {
 public:
  virtual ~FileDialogs() = default;
  // The full path chosen, or empty when the user cancelled. A shortcut is
  // answered as the shortcut's own file.
  virtual std::string ChooseFile(const Window* owner, std::string_view title) = 0;
  virtual std::string ChooseFolder(const Window* owner, std::string_view title) = 0;
};

}  // namespace pm::platform
