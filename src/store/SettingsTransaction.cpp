#include "store/SettingsTransaction.h"

#include "platform/Text.h"
#include "store/ServiceProtocol.h"
#include "store/SettingsCatalogue.h"

namespace pm::store {

using platform::RegKey;
using platform::RegStatus;
namespace reg_error = platform::reg_error;

namespace {

bool IsValueOp(const ChangeOp& op) {
  return op.kind == ChangeOp::Kind::SetValue || op.kind == ChangeOp::Kind::DeleteValue;
}

RegStatus IgnoringAbsence(RegStatus status) {
  return status == reg_error::kFileNotFound ? reg_error::kSuccess : status;
}

RegStatus ApplyOp(platform::Registry& registry, const ChangeOp& op) {
  RegStatus status = 0;
  bool existed = false;
  switch (op.kind) {
    case ChangeOp::Kind::CreateKey: {
      const RegKey created = RegKey::Create(registry, kRootKey, op.path,
                                            platform::reg_access::kWrite, status, existed);
      return status;
    }
    case ChangeOp::Kind::SetValue: {
      const RegKey key = RegKey::Create(registry, kRootKey, op.path, platform::reg_access::kWrite,
                                        status, existed);
      return key ? registry.SetValue(key.get(), op.name, op.type, op.data) : status;
    }
    case ChangeOp::Kind::DeleteValue: {
      const RegKey key =
          RegKey::Open(registry, kRootKey, op.path, platform::reg_access::kWrite, status);
      return IgnoringAbsence(key ? registry.DeleteValue(key.get(), op.name) : status);
    }
    case ChangeOp::Kind::DeleteKey:
      return IgnoringAbsence(registry.DeleteKey(kRootKey, op.path));
    case ChangeOp::Kind::DeleteTree:
      return IgnoringAbsence(registry.DeleteTree(kRootKey, op.path));
  }
  return reg_error::kInvalidParameter;
}

struct Failure {
  RegResult result;
  std::string write;
};

// Every write in order, stopping at the first that fails.
Failure ApplyOps(platform::Registry& registry, const ChangeSet& change) {
  for (const ChangeOp& op : change.ops) {
    if (const RegStatus status = ApplyOp(registry, op); status != reg_error::kSuccess) {
      return {platform::ResultOf(status), DescribeOp(op)};
    }
  }
  return {};
}

// What puts back everything `change` may touch, as it is now: the product's
// whole subtree once, and each other key or value the change names.
Failure CaptureUndo(platform::Registry& registry, const ChangeSet& change, ChangeSet& undo) {
  RegResult failure;
  bool productCaptured = false;
  ChangeSet values;
  for (const ChangeOp& op : change.ops) {
    if (IsProductPath(op.path)) {
      if (productCaptured) continue;
      productCaptured = true;
      AppendRestoreKey(undo, kProductKey, CaptureKey(registry, kRootKey, kProductKey, &failure));
    } else if (IsValueOp(op)) {
      AppendRestoreValue(values, CaptureValue(registry, kRootKey, op.path, op.name, &failure));
    } else {
      AppendRestoreKey(undo, op.path, CaptureKey(registry, kRootKey, op.path, &failure));
    }
    if (!failure) return {failure, "reading what is stored before " + DescribeOp(op)};
  }
  // Keys first, so a value put back is not deleted again with its key.
  undo.ops.insert(undo.ops.end(), values.ops.begin(), values.ops.end());
  return {};
}

// True when everything the change may touch is still as `before` holds it:
// a change refused at its first write needs nothing put back (and putting
// back, refused in the same way, would only report a loss that is none).
bool Unchanged(platform::Registry& registry, const ChangeSet& change, const ChangeSet& before) {
  ChangeSet now;
  return CaptureUndo(registry, change, now).result && now == before;
}

}  // namespace

bool IsProductPath(std::string_view path) {
  const std::string lower = platform::LowerCase(path);
  const std::string product = platform::LowerCase(kProductKey);
  return lower == product || (lower.size() > product.size() && lower.starts_with(product) &&
                              lower[product.size()] == '\\');
}

ApplyOutcome ApplyChange(platform::Registry& registry, const ChangeSet& change,
                         ChangeJournal* journal) {
  ChangeSet undo;
  if (const Failure copy = CaptureUndo(registry, change, undo); !copy.result) {
    return {copy.result, copy.write, {}};
  }
  if (journal != nullptr) {
    if (const RegResult written = journal->Write(EncodeChangeSet(undo)); !written) {
      return {written, "writing the journal of the change", {}};
    }
  }
  const Failure failed = ApplyOps(registry, change);
  ApplyOutcome outcome{failed.result, failed.write, {}};
  if (outcome.result) {
    if (journal == nullptr) return outcome;
    const RegResult cleared = journal->Clear();
    if (cleared) return outcome;
    // Left behind, the journal would undo this change at the next start,
    // unasked: the change is undone now instead, and the caller told.
    outcome = {cleared, "clearing the journal of the change", {}};
  }
  if (!Unchanged(registry, change, undo)) outcome.undo = ApplyOps(registry, undo).result;
  // A journal whose undo failed stays, so the next start tries again; one
  // left after an undo only puts back the same again.
  if (journal != nullptr && outcome.undo) {
    platform::BestEffort(journal->Clear(), "clearing the journal of an undone change");
  }
  return outcome;
}

RegResult RecoverUnfinishedChange(platform::Registry& registry, ChangeJournal& journal) {
  const std::optional<ByteArray> bytes = journal.Read();
  if (!bytes) return {};
  const std::optional<ChangeSet> undo = DecodeChangeSet(*bytes);
  const RegResult result = undo ? ApplyOps(registry, *undo).result : RegResult{};
  // A journal left behind only puts back the same again at the next start.
  if (result) platform::BestEffort(journal.Clear(), "clearing the journal of an unfinished change");
  return result;
}

}  // namespace pm::store
