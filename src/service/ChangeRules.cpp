#include "service/ChangeRules.h"

#include "platform/Text.h"
#include "store/SettingsCatalogue.h"
#include "store/SettingsTransaction.h"

namespace pm::service {

namespace {

using Kind = store::ChangeOp::Kind;
using platform::EqualsNoCase;

// REG_SZ data as the registry holds it: UTF-16LE with one closing zero.
bool IsStringData(const store::ChangeOp& op, std::string_view expected) {
  if (op.type != platform::reg_type::kSz || op.data.size() % 2 != 0 || op.data.size() < 2) {
    return false;
  }
  std::u16string units;
  for (std::size_t i = 0; i + 1 < op.data.size(); i += 2) {
    units.push_back(static_cast<char16_t>(op.data[i] | (op.data[i + 1] << 8)));
  }
  if (units.back() != u'\0') return false;
  units.pop_back();
  return units.find(u'\0') == std::u16string::npos &&
         EqualsNoCase(platform::Utf16ToUtf8(units), expected);
}

bool IsDwordZero(const store::ChangeOp& op) {
  return op.type == platform::reg_type::kDword && op.data == store::ByteArray{0, 0, 0, 0};
}

bool IsRunOnceWrite(const store::ChangeOp& op, std::string_view programFolder) {
  if (op.kind == Kind::CreateKey) return true;
  if (!EqualsNoCase(op.name, store::kRunOnceValue)) return false;
  if (op.kind == Kind::DeleteValue) return true;
  return op.kind == Kind::SetValue && IsStringData(op, store::FolderWithBackslash(programFolder) +
                                                           std::string(store::kStartupProgram));
}

bool IsWinlogonWrite(const store::ChangeOp& op) {
  if (op.kind == Kind::CreateKey) return true;
  if (op.kind == Kind::DeleteValue) return EqualsNoCase(op.name, "Background");
  return op.kind == Kind::SetValue && EqualsNoCase(op.name, "LogonType") && IsDwordZero(op);
}

}  // namespace

bool IsAllowedWrite(const store::ChangeOp& op, std::string_view programFolder) {
  if (store::IsProductPath(op.path)) return true;
  if (EqualsNoCase(op.path, store::kRunOnceKey)) return IsRunOnceWrite(op, programFolder);
  if (EqualsNoCase(op.path, store::kWinlogonKey)) return IsWinlogonWrite(op);
  return false;
}

}  // namespace pm::service
