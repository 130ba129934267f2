// Windows' own change notice on a registry key (RegNotifyChangeKeyValue),
// asked again after each change. While the key does not exist the nearest
// key above it is watched, so its creation is a change too.
#pragma once

#include <windows.h>

#include <string>

#include "platform/KeyWatch.h"
#include "platform/win32/Handles.h"

namespace pm::win32 {

class Win32KeyWatch final : public platform::KeyWatch {
 public:
  Win32KeyWatch(HKEY root, std::wstring path);
  bool Changed() override;

 private:
  void Arm();

  HKEY root_;
  std::wstring path_;
  UniqueHkey key_;
  UniqueKernelHandle changed_;
};

}  // namespace pm::win32
