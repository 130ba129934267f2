// The product's registry key, watched with its whole subtree.
#pragma once

#include <string>
#include <string_view>

#include "platform/SettingsWatch.h"
#include "platform/win32/Handles.h"

namespace pm::win32 {

class Win32SettingsWatch final : public platform::SettingsWatch {
 public:
  // `productKey` under HKEY_LOCAL_MACHINE.
  explicit Win32SettingsWatch(std::string_view productKey);
  bool ChangedSinceLastAsk() override;

 private:
  bool Arm();

  std::wstring path_;
  UniqueHkey key_;
  UniqueKernelHandle changed_;
};

}  // namespace pm::win32
