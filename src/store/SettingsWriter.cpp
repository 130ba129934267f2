#include "store/SettingsWriter.h"

#include "platform/Text.h"
#include "store/PasswordQuestion.h"
#include "store/SettingsFile.h"
#include "store/SettingsTransaction.h"

namespace pm::store {

namespace {

using Kind = WriteOutcome::Kind;

// The system's words for the failure and the write it stopped; a failure
// with no system error code (0) is said in `write` alone.
std::string FailedWriteText(std::int32_t status, std::string_view write) {
  if (status == 0) return std::string(write);
  std::string text = platform::SystemErrorText(status);
  if (!write.empty()) text += "\r\n(while " + std::string(write) + ")";
  return text;
}

WriteOutcome FromApply(const ApplyOutcome& applied) {
  if (applied) return {};
  if (!applied.undo) {
    return {Kind::Lost, FailedWriteText(applied.result.code(), applied.failedWrite) +
                            "\r\nPutting back what was stored before failed too: " +
                            platform::Describe(applied.undo.error())};
  }
  return {Kind::Failed, FailedWriteText(applied.result.code(), applied.failedWrite)};
}

WriteOutcome FromTransfer(const TransferOutcome& transfer) {
  switch (transfer.kind) {
    case TransferOutcome::Kind::Done:
      return {};
    case TransferOutcome::Kind::MissingFile:
      return {Kind::MissingFile, transfer.reason};
    case TransferOutcome::Kind::NotAnExport:
      return {Kind::NotAnExport, transfer.reason};
    case TransferOutcome::Kind::Lost:
      return {Kind::Lost, transfer.reason};
    case TransferOutcome::Kind::Failed:
      break;
  }
  return {Kind::Failed, transfer.reason};
}

WriteOutcome FromReply(const ServiceReply& reply) {
  WriteOutcome outcome;
  outcome.unprotected = reply.unprotected;
  switch (reply.kind) {
    case ReplyKind::Done:
    case ReplyKind::Match:
      return outcome;
    case ReplyKind::WrongPassword:
      return {Kind::Failed,
              "The password is not right, so the Pelmora Pro Service changed nothing."};
    case ReplyKind::Waiting:
      return {Kind::Failed,
              "Too many wrong passwords: the Pelmora Pro Service takes no password for " +
                  std::to_string(reply.waitSeconds) + " more seconds."};
    case ReplyKind::Refused:
      return {Kind::Failed, "The Pelmora Pro Service refused the change: " + reply.detail};
    case ReplyKind::NotChecked:
      return {Kind::Failed, std::string(kPasswordNotChecked)};
    case ReplyKind::Failed:
      return {Kind::Failed, FailedWriteText(reply.status, reply.detail)};
    case ReplyKind::Lost:
      // Without an error code the service's words say all of it.
      if (reply.status == 0) return {Kind::Lost, reply.detail};
      return {Kind::Lost, FailedWriteText(reply.status, reply.detail) +
                              "\r\nPutting back what was stored before failed too."};
    case ReplyKind::MissingFile:
      return {Kind::MissingFile, reply.detail};
    case ReplyKind::NotAnExport:
      return {Kind::NotAnExport, reply.detail};
  }
  return {Kind::Failed, "The Pelmora Pro Service gave an answer this program does not know."};
}

}  // namespace

std::string WriteOutcome::Explain(std::string_view notSaved) const {
  if (kind == Kind::Lost) {
    return "The settings could not be saved, and some of those stored before may be lost: "
           "check them and save again.\r\n\r\n" +
           reason;
  }
  return std::string(notSaved) + "\r\n\r\n" + reason;
}

WriteOutcome SettingsWriter::Ask(RequestKind kind, const ChangeSet& change) {
  ServiceRequest asked;
  asked.kind = kind;
  asked.ticket = state_.ToolTicket;
  asked.change = change;
  const ByteArray request = EncodeRequest(asked);
  ByteArray answer;
  if (const std::int32_t status = state_.SettingsService->Transact(request, answer); status != 0) {
    return {Kind::Failed, ServiceUnreachableText(status, "saves the settings")};
  }
  const std::optional<ServiceReply> reply = DecodeReply(answer);
  if (!reply) return {Kind::Failed, "The Pelmora Pro Service gave an answer that cannot be read."};
  if (!reply->ticket.empty()) {
    platform::WipeText(state_.ToolTicket);
    state_.ToolTicket = reply->ticket;
  }
  if (reply->kind == ReplyKind::WrongPassword && state_.ToolTicket.empty()) {
    // Opened during "Unlock Everything", the tool never had the password.
    return {Kind::Failed,
            "The configuration tool was opened without the password, during \"Unlock "
            "Everything\". Choose \"Relock Everything\", open the tool again and type the "
            "password, then save."};
  }
  return FromReply(*reply);
}

WriteOutcome SettingsChange::Commit(const RegResult& recorded) {
  if (!recorded) return {Kind::Failed, platform::Describe(recorded.error())};
  return Commit();
}

WriteOutcome SettingsWriter::Commit(const ChangeSet& change) {
  if (state_.SettingsService != nullptr) return Ask(RequestKind::Change, change);
  return FromApply(ApplyChange(registry_, change));
}

WriteOutcome SettingsWriter::Export(std::uint32_t hashIterations) {
  if (state_.SettingsService != nullptr) return Ask(RequestKind::Export, {});
  return FromTransfer(ExportSettingsFile(registry_, state_.AppFolder, hashIterations));
}

WriteOutcome SettingsWriter::Import() {
  if (state_.SettingsService != nullptr) return Ask(RequestKind::Import, {});
  return FromTransfer(ImportSettingsFile(registry_, state_.AppFolder));
}

bool AskServiceToOpen(platform::ServiceChannel& service, std::string_view what) {
  ServiceRequest request(RequestKind::OpenForUser, {});
  request.subject = std::string(what);
  ByteArray answer;
  if (service.Transact(EncodeRequest(request), answer) != 0) return false;
  const std::optional<ServiceReply> reply = DecodeReply(answer);
  return reply && reply->kind == ReplyKind::Done;
}

WriteOutcome SettingsWriter::LeaveSession() {
  if (state_.SettingsService != nullptr) return Ask(RequestKind::LeaveSession, {});
  return {};
}

}  // namespace pm::store
