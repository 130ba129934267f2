#include "service/SettingsService.h"

#include <algorithm>

#include "service/ChangeRules.h"
#include "store/ChangeRecorder.h"
#include "store/PasswordCheck.h"
#include "store/PasswordPlace.h"
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
               applied.result.code());
}

ServiceReply FromTransfer(const store::TransferOutcome& transfer) {
  switch (transfer.kind) {
    case store::TransferOutcome::Kind::Done:
      return Reply(ReplyKind::Done);
    case store::TransferOutcome::Kind::MissingFile:
      return Reply(ReplyKind::MissingFile);
    case store::TransferOutcome::Kind::NotAnExport:
      return Reply(ReplyKind::NotAnExport, transfer.reason);
    case store::TransferOutcome::Kind::Lost:
      return Reply(ReplyKind::Lost, transfer.reason);
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
      gate_(clock),
      tickets_(std::move(clock)) {}

store::RegResult SettingsService::ProtectProductKeys() {
  // The product key exists from the first start on, with its rules, so a
  // standard user cannot be first to make it.
  bool existed = false;
  platform::RegStatus status = 0;
  if (!platform::RegKey::Create(registry_, store::kRootKey, store::kProductKey,
                                platform::reg_access::kWrite, status, existed)) {
    return platform::ResultOf(status);
  }
  return store::modRegistry::ProtectKeyTree(registry_, store::kRootKey, store::kProductKey,
                                            store::RulesOfKey);
}

store::RegResult SettingsService::MovePasswordsToProtectedPlace() {
  store::ChangeSet move;
  try {
    move = store::MovePasswordsToProtectedPlace(registry_, hashIterations_);
  } catch (const std::exception&) {
    // Left where they are until the next start: nothing is lost.
    return platform::ResultOf(platform::reg_error::kWriteFault);
  }
  if (move.ops.empty()) return {};
  const store::ApplyOutcome moved = store::ApplyChange(registry_, move, &journal_);
  return moved.result;
}

store::RegResult SettingsService::Start() {
  store::FirstFailure outcome;
  outcome.Note(store::RecoverUnfinishedChange(registry_, journal_));
  // An older version kept the passwords (perhaps plain) where users read.
  outcome.Note(MovePasswordsToProtectedPlace());
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
    case PasswordGate::Verdict::NotChecked:
      return Reply(ReplyKind::NotChecked, "the password could not be checked");
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
  if (std::optional<ServiceReply> refused = Refusal(request, caller)) return *refused;
  ServiceReply reply = Reply(ReplyKind::Match);
  switch (request.purpose) {
    case store::PasswordFor::StartupLock:
      if (startupLockPassed_) startupLockPassed_(caller.session);
      break;
    case store::PasswordFor::Tool:
      reply.ticket = tickets_.Issue(caller);
      break;
    case store::PasswordFor::Window:
      break;
  }
  return reply;
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

ServiceReply SettingsService::Status() {
  ServiceReply reply = Reply(ReplyKind::Done);
  reply.firstPasswordSet = !store::ReadPassword(registry_, store::setting::kUserPassword).empty();
  reply.secondPasswordSet = !store::ReadPassword(registry_, store::setting::kUserPassword2).empty();
  reply.unprotected = !reply.firstPasswordSet;
  return reply;
}

std::optional<ServiceReply> SettingsService::Unauthorized(const store::ServiceRequest& request,
                                                          const Caller& caller) {
  if (request.ticket.empty()) return Refusal(request, caller);
  if (tickets_.Valid(request.ticket, caller)) return std::nullopt;
  // A ticket is no guess at the password: it counts as no wrong try.
  return Reply(ReplyKind::Refused,
               "the configuration tool is no longer open with the password (it was closed, "
               "everything was locked again, the password changed, or half an hour passed)");
}

ServiceReply SettingsService::Handle(const store::ServiceRequest& request, const Caller& caller) {
  switch (request.kind) {
    case store::RequestKind::OpenForUser:
      return OpenForUser(request, caller);
    case store::RequestKind::Status:
      return Status();
    case store::RequestKind::EndTicket:
      tickets_.End(request.ticket, caller);
      return Reply(ReplyKind::Done);
    case store::RequestKind::CheckPassword:
      return PasswordChecked(request, caller);
    case store::RequestKind::Report:  // answered before the password (Serve)
      return Reply(ReplyKind::Refused, "a report is no change");
    case store::RequestKind::Change:
    case store::RequestKind::Export:
    case store::RequestKind::Import:
    case store::RequestKind::LeaveSession:
      break;
  }
  if (std::optional<ServiceReply> refused = Unauthorized(request, caller)) return *refused;
  ServiceReply reply;
  switch (request.kind) {
    case store::RequestKind::Change:
      reply = ApplyChecked(request.change);
      break;
    case store::RequestKind::Export:
      reply = Export();
      break;
    case store::RequestKind::Import:
      reply = Import();
      break;
    default:
      if (leaveSession_) leaveSession_(caller.session);
      return Reply(ReplyKind::Done);
  }
  if (reply.kind != ReplyKind::Done) return reply;
  // A change or an import may have made keys; an export made none.
  // Keys made below ours inherit their rules on Windows; this gives them
  // their own, as Wine passes nothing on.
  if (request.kind != store::RequestKind::Export) {
    platform::BestEffort(ProtectProductKeys(), "giving the settings' keys their rules");
  }
  if (passwordsChanged_) {
    // Every ticket was given for the old password; the tool that stored the
    // new one goes on with a new ticket.
    passwordsChanged_ = false;
    tickets_.EndAll();
    if (!request.ticket.empty()) reply.ticket = tickets_.Issue(caller);
  }
  reply.unprotected = store::ReadPassword(registry_, store::setting::kUserPassword).empty();
  return reply;
}

ServiceReply SettingsService::ApplyProtected(store::ChangeSet change) {
  // The passwords go where only the service reads them, whoever wrote them
  // into the Settings key (the tool, an import, an older version).
  store::KeepPasswordsProtected(change);
  const bool passwords = store::ChangesPasswords(change);
  ServiceReply reply = FromApply(store::ApplyChange(registry_, change, &journal_));
  if (reply.kind == ReplyKind::Done && passwords) passwordsChanged_ = true;
  return reply;
}

ServiceReply SettingsService::ApplyChecked(const store::ChangeSet& change) {
  for (const store::ChangeOp& op : change.ops) {
    if (!IsAllowedWrite(op)) {
      return Reply(ReplyKind::Refused,
                   "the settings may not make the write " + store::DescribeOp(op));
    }
  }
  return ApplyProtected(change);
}

ServiceReply SettingsService::Export() {
  // It carries the passwords' hashes, for an import on another PC: no user
  // may read it.
  return FromTransfer(store::ExportSettingsFile(registry_, programFolder_,
                                                store::kPasswordHashIterations,
                                                platform::FileReaders::AdministratorsOnly));
}

ServiceReply SettingsService::Import() {
  // The file's writes are recorded first, so they are applied through the
  // journal like any change.
  store::ChangeRecorder recorder(registry_);
  const store::TransferOutcome read = store::ImportSettingsFile(recorder, programFolder_);
  if (read.kind != store::TransferOutcome::Kind::Done) return FromTransfer(read);
  return ApplyProtected(recorder.TakeChange());
}

}  // namespace pm::service
