// Values outside the product's own key that the programs change (RunOnce,
// Winlogon), read and written straight through advapi32 so the harness checks
// them independently of the store's code.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pm::e2e {

struct RegistryValue {
  DWORD type = REG_NONE;
  std::vector<std::uint8_t> data;

  // The text of a REG_SZ or REG_EXPAND_SZ; nothing for another type.
  std::optional<std::wstring> Text() const;
  std::optional<DWORD> Dword() const;
};

// A value under HKEY_LOCAL_MACHINE; nothing when it is absent.
std::optional<RegistryValue> ReadMachineValue(std::string_view path, std::string_view name);
bool WriteMachineValue(std::string_view path, std::string_view name, const RegistryValue& value);
bool WriteMachineText(std::string_view path, std::string_view name, std::wstring_view text);
bool WriteMachineDword(std::string_view path, std::string_view name, DWORD number);
// True also when the value was absent.
bool DeleteMachineValue(std::string_view path, std::string_view name);

// The start-up lock's RunOnce command; nothing when it is absent.
std::optional<std::wstring> RunOnceEntry();

// A system value a scenario changes, put back as it was (or removed, if it
// was absent) when the scenario ends, so one run does not arm the next.
class SavedMachineValue {
 public:
  SavedMachineValue(std::string_view path, std::string_view name);
  ~SavedMachineValue();
  SavedMachineValue(const SavedMachineValue&) = delete;
  SavedMachineValue& operator=(const SavedMachineValue&) = delete;

 private:
  std::string path_;
  std::string name_;
  std::optional<RegistryValue> before_;
};

}  // namespace pm::e2e
