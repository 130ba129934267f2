#include "SystemValues.h"

#include <cstring>

#include "platform/win32/Wide.h"
#include "store/SettingsCatalogue.h"

namespace pm::e2e {

using win32::Wide;

std::optional<std::wstring> RegistryValue::Text() const {
  if (type != REG_SZ && type != REG_EXPAND_SZ) return std::nullopt;
  std::wstring text(data.size() / sizeof(wchar_t), L'\0');
  std::memcpy(text.data(), data.data(), text.size() * sizeof(wchar_t));
  // Stored with its terminating zero, or sometimes without.
  while (!text.empty() && text.back() == L'\0') text.pop_back();
  return text;
}

std::optional<DWORD> RegistryValue::Dword() const {
  if (type != REG_DWORD || data.size() != sizeof(DWORD)) return std::nullopt;
  DWORD number = 0;
  std::memcpy(&number, data.data(), sizeof(number));
  return number;
}

std::optional<RegistryValue> ReadMachineValue(std::string_view path, std::string_view name) {
  const std::wstring widePath = Wide(path);
  const std::wstring wideName = Wide(name);
  constexpr DWORD kFlags = RRF_RT_ANY | RRF_NOEXPAND;
  RegistryValue value;
  DWORD size = 0;
  if (RegGetValueW(HKEY_LOCAL_MACHINE, widePath.c_str(), wideName.c_str(), kFlags, &value.type,
                   nullptr, &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  value.data.resize(size);
  if (RegGetValueW(HKEY_LOCAL_MACHINE, widePath.c_str(), wideName.c_str(), kFlags, &value.type,
                   value.data.data(), &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  value.data.resize(size);
  return value;
}

bool WriteMachineValue(std::string_view path, std::string_view name, const RegistryValue& value) {
  return RegSetKeyValueW(HKEY_LOCAL_MACHINE, Wide(path).c_str(), Wide(name).c_str(), value.type,
                         value.data.data(), static_cast<DWORD>(value.data.size())) == ERROR_SUCCESS;
}

bool WriteMachineText(std::string_view path, std::string_view name, std::wstring_view text) {
  RegistryValue value{REG_SZ, {}};
  value.data.resize((text.size() + 1) * sizeof(wchar_t));
  std::memcpy(value.data.data(), text.data(), text.size() * sizeof(wchar_t));
  return WriteMachineValue(path, name, value);
}

bool WriteMachineDword(std::string_view path, std::string_view name, DWORD number) {
  RegistryValue value{REG_DWORD, std::vector<std::uint8_t>(sizeof(number))};
  std::memcpy(value.data.data(), &number, sizeof(number));
  return WriteMachineValue(path, name, value);
}

bool DeleteMachineValue(std::string_view path, std::string_view name) {
  const LSTATUS status =
      RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, Wide(path).c_str(), Wide(name).c_str());
  return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

SavedMachineValue::SavedMachineValue(std::string_view path, std::string_view name)
    : path_(path), name_(name), before_(ReadMachineValue(path, name)) {}

SavedMachineValue::~SavedMachineValue() {
  if (before_) {
    WriteMachineValue(path_, name_, *before_);
  } else {
    DeleteMachineValue(path_, name_);
  }
}

std::optional<std::wstring> RunOnceEntry() {
  const std::optional<RegistryValue> value =
      ReadMachineValue(store::kRunOnceKey, store::kRunOnceValue);
  return value ? value->Text() : std::nullopt;
}

}  // namespace pm::e2e
