// The common item dialogs (IFileOpenDialog) of the shell.
#pragma once

#include "platform/FileDialogs.h"

namespace pm::win32 {

class Win32FileDialogs final : public platform::FileDialogs {
 public:
  std::string ChooseFile(const platform::Window* owner, std::string_view title) override;
  std::string ChooseFolder(const platform::Window* owner, std::string_view title) override;
};

}  // namespace pm::win32
