#include "service/SettingsService.h"

#include <algorithm>

#include "service/ChangeRules.h"
#include "store/ChangeRecorder.h"
#include "store/RegistrySnapshot.h"
#include "store/SettingsCatalogue.h"
#include "store/SettingsFile.h"
#include "store/modRegistry.h"

namespace pm::service {

namespace {

using store::ReplyKind;
using store::ServiceReply;

ServiceReply Reply(ReplyKind kind, std::string detail = {}, std::int32_t status = 0) {
  ServiceReply reply;
  reply.kind = kind;
  reply.detail = std::move(detail);
  reply.status = status;
  return reply;
}

ServiceReply FromApply(const store::ApplyOutcome& applied) {
  if (applied) return Reply(ReplyKind::Done);
  return Reply(applied.undo ? ReplyKind::Failed : ReplyKind::Lost, applied.failedWrite,
               applied.result.status);
}

ServiceReply FromTransfer(const store::TransferOutcome& transfer) {
  switch (transfer.kind) {
    case store::TransferOutcome::Kind::Done:
      return Reply(ReplyKind::Done);
    case store::TransferOutcome::Kind::MissingFile:
      return Reply(ReplyKind::MissingFile);
    case store::TransferOutcome::Kind::NotAnExport:
      return Reply(ReplyKind::NotAnExport, transfer.reason);
    case store::TransferOutcome::Kind::Failed:
      break;
  }
  return Reply(ReplyKind::Failed, transfer.reason);
}

}  // namespace

SettingsService::SettingsService(platform::Registry& registry, store::ChangeJournal& journal,
                                 std::string programFolder, PasswordGate::Clock clock)
    : registry_(registry),
      journal_(journal),
      programFolder_(store::FolderWithBackslash(programFolder)),
      gate_(std::move(clock)) {}

store::RegResult SettingsService::ProtectProductKeys() {
  // The product key exists from the first start on, with its rules, so a
  // standard user cannot be first to make it.
  bool existed = false;
  platform::RegStatus status = 0;
  if (!platform::RegKey::Create(registry_, store::kRootKey, store::kProductKey,
                                platform::reg_access::kWrite, status, existed)) {
    return {status};
  }
  return store::modRegistry::ProtectKeyTree(registry_, store::kRootKey, store::kProductKey);
}

store::RegResult SettingsService::Start() {
  store::FirstFailure outcome;
  outcome.Note(store::RecoverUnfinishedChange(registry_, journal_));
  outcome.Note(ProtectProductKeys());
  // A RunOnce entry an older version wrote would start a second start-up
  // locker at an administrator's log-on.
  outcome.Note(store::ApplyStartupLock(registry_,
                                       store::ReadSwitch(registry_, store::Switch::LockStartup),
                                       programFolder_, store::StartupLockStarter::Service));
  return outcome.result();
}

store::ByteArray SettingsService::Serve(std::span<const std::uint8_t> request,
                                        const Caller& caller) {
  const std::optional<store::ServiceRequest> decoded = store::DecodeRequest(request);
  if (!decoded) {
    events_->Report({EventId::RequestRefused, caller.session, {"the request cannot be read"}});
    return store::EncodeReply(Reply(ReplyKind::Refused, "the request cannot be read"));
  }
  if (decoded->kind == store::RequestKind::Report) {
    return store::EncodeReply(Record(decoded->report, caller));
  }
  return store::EncodeReply(HandleAudited(*decoded, caller));
}

std::optional<ServiceReply> SettingsService::Refusal(const store::ServiceRequest& request,
                                                     const Caller& caller) {
  const std::string stored = store::ReadPassword(registry_, store::setting::kUserPassword);
  switch (gate_.Check(caller, request.password, stored)) {
    case PasswordGate::Verdict::Right:
      return std::nullopt;
    case PasswordGate::Verdict::Waiting: {
      ServiceReply reply = Reply(ReplyKind::Waiting);
      reply.waitSeconds = static_cast<std::uint32_t>(gate_.SecondsToWait(caller));
      return reply;
    }
    case PasswordGate::Verdict::Wrong:
      break;
  }
  ServiceReply reply = Reply(ReplyKind::WrongPassword);
  // After enough wrong ones in a row the prompt waits before the next try.
  reply.waitSeconds = static_cast<std::uint32_t>(gate_.SecondsToWait(caller));
  return reply;
}

ServiceReply SettingsService::PasswordChecked(const store::ServiceRequest& request,
                                              const Caller& caller) {
  if (request.purpose == store::PasswordFor::StartupLock && startupLockPassed_) {
    startupLockPassed_(caller.session);
  }
  return Reply(ReplyKind::Match);
}

ServiceReply SettingsService::OpenForUser(const store::ServiceRequest& request,
                                          const Caller& caller) {
  // One line of text: a command line is made of it.
  const bool oneLine = !request.subject.empty() &&
                       std::none_of(request.subject.begin(), request.subject.end(),
                                    [](char c) { return static_cast<unsigned char>(c) < 0x20; });
  if (!oneLine) return Reply(ReplyKind::Refused, "there is nothing to open");
  if (!openForUser_ || !openForUser_(caller.session, request.subject)) {
    return Reply(ReplyKind::Failed, "it could not be opened");
  }
  return Reply(ReplyKind::Done);
}

ServiceReply SettingsService::Handle(const store::ServiceRequest& request, const Caller& caller) {
  if (request.kind == store::RequestKind::OpenForUser) return OpenForUser(request, caller);
  if (std::optional<ServiceReply> refused = Refusal(request, caller)) return *refused;
  ServiceReply reply;
  switch (request.kind) {
    case store::RequestKind::CheckPassword:
      reply = PasswordChecked(request, caller);
      break;
    case store::RequestKind::Change:
      reply = ApplyChecked(request.change);
      break;
    case store::RequestKind::Export:
      reply = Export();
      break;
    case store::RequestKind::Import:
      reply = Import();
      break;
    case store::RequestKind::LeaveSession:
      if (leaveSession_) leaveSession_(caller.session);
      return Reply(ReplyKind::Done);
    case store::RequestKind::OpenForUser:
      break;
    case store::RequestKind::Report:  // answered before the password (Serve)
      return Reply(ReplyKind::Refused, "a report is no change");
  }
  if (reply.kind == ReplyKind::Done) {
    // A change or an import may have made keys; an export made none.
    if (request.kind != store::RequestKind::Export) ProtectProductKeys();
  }
  if (reply.kind == ReplyKind::Done || reply.kind == ReplyKind::Match) {
    // No password in force, the administrator's counted.
    reply.unprotected = store::ReadPassword(registry_, store::setting::kUserPassword).empty();
  }
  return reply;
}

ServiceReply SettingsService::ApplyChecked(const store::ChangeSet& change) {
  for (const store::ChangeOp& op : change.ops) {
    if (!IsAllowedWrite(op)) {
      return Reply(ReplyKind::Refused,
                   "the settings may not make the write " + store::DescribeOp(op));
    }
  }
  return FromApply(store::ApplyChange(registry_, change, &journal_));
}

ServiceReply SettingsService::Export() {
  return FromTransfer(store::ExportSettingsFile(registry_, programFolder_));
}

ServiceReply SettingsService::Import() {
  // The file's writes are recorded first, so they are applied through the
  // journal like any change.
  store::ChangeRecorder recorder(registry_);
  const store::TransferOutcome read = store::ImportSettingsFile(recorder, programFolder_);
  if (read.kind != store::TransferOutcome::Kind::Done) return FromTransfer(read);
  return FromApply(store::ApplyChange(registry_, recorder.TakeChange(), &journal_));
}

}  // namespace pm::service
