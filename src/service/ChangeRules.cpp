#include "service/ChangeRules.h"

#include "platform/Text.h"
#include "store/SettingsCatalogue.h"
#include "store/SettingsTransaction.h"

namespace pm::service {

namespace {

using Kind = store::ChangeOp::Kind;
using platform::EqualsNoCase;

bool IsDwordZero(const store::ChangeOp& op) {
  return op.type == platform::reg_type::kDword && op.data == store::ByteArray{0, 0, 0, 0};
}

// The service starts the start-up locker itself; RunOnce may only lose the
// entry older versions wrote.
bool IsRunOnceWrite(const store::ChangeOp& op) {
  if (op.kind == Kind::CreateKey) return true;
  return op.kind == Kind::DeleteValue && EqualsNoCase(op.name, store::kRunOnceValue);
}

bool IsWinlogonWrite(const store::ChangeOp& op) {
  if (op.kind == Kind::CreateKey) return true;
  if (op.kind == Kind::DeleteValue) return EqualsNoCase(op.name, "Background");
  return op.kind == Kind::SetValue && EqualsNoCase(op.name, "LogonType") && IsDwordZero(op);
}

}  // namespace

bool IsAllowedWrite(const store::ChangeOp& op) {
  if (store::IsProductPath(op.path)) return true;
  if (EqualsNoCase(op.path, store::kRunOnceKey)) return IsRunOnceWrite(op);
  if (EqualsNoCase(op.path, store::kWinlogonKey)) return IsWinlogonWrite(op);
  return false;
}

}  // namespace pm::service
