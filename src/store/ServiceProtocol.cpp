#include "store/ServiceProtocol.h"

#include "store/WireFormat.h"

namespace pm::store {

namespace {

constexpr std::uint32_t kRequestMagic = 0x53504d50;  // "PMPS"
constexpr std::uint32_t kReplyMagic = 0x52504d50;    // "PMPR"
constexpr std::uint32_t kJournalMagic = 0x4a504d50;  // "PMPJ"
constexpr std::uint32_t kVersion = 2;
// Magic and version, then the request's kind.
constexpr std::size_t kKindOffset = 8;

void WriteChange(WireWriter& out, const ChangeSet& change) {
  out.U32(static_cast<std::uint32_t>(change.ops.size()));
  for (const ChangeOp& op : change.ops) {
    out.U8(static_cast<std::uint8_t>(op.kind));
    out.Text(op.path);
    out.Text(op.name);
    out.U32(op.type);
    out.Bytes(op.data);
  }
}

bool ReadChange(WireReader& in, ChangeSet& change) {
  std::uint32_t count = 0;
  if (!in.U32(count) || count > kMaxOps) return false;
  change.ops.clear();
  for (std::uint32_t i = 0; i < count; ++i) {
    ChangeOp op;
    std::uint8_t kind = 0;
    if (!in.U8(kind) || kind < static_cast<std::uint8_t>(ChangeOp::Kind::CreateKey) ||
        kind > static_cast<std::uint8_t>(ChangeOp::Kind::DeleteTree)) {
      return false;
    }
    op.kind = static_cast<ChangeOp::Kind>(kind);
    if (!in.Text(op.path, kMaxPathBytes) || op.path.empty() ||
        !in.Text(op.name, kMaxValueNameBytes) || !in.U32(op.type) ||
        !in.Bytes(op.data, kMaxValueBytes)) {
      return false;
    }
    change.ops.push_back(std::move(op));
  }
  return true;
}

bool ReadReport(WireReader& in, EngineReport& report) {
  std::uint8_t kind = 0;
  if (!in.U8(kind) || kind < static_cast<std::uint8_t>(EngineReport::Kind::RelockEverything) ||
      kind > static_cast<std::uint8_t>(EngineReport::Kind::UnlockEverything)) {
    return false;
  }
  report.kind = static_cast<EngineReport::Kind>(kind);
  return in.U32(report.minutes);
}

bool ReadHeader(WireReader& in, std::uint32_t magic) {
  std::uint32_t found = 0;
  std::uint32_t version = 0;
  return in.U32(found) && found == magic && in.U32(version) && version == kVersion;
}

}  // namespace

ByteArray EncodeRequest(const ServiceRequest& request) {
  WireWriter out;
  out.U32(kRequestMagic);
  out.U32(kVersion);
  out.U8(static_cast<std::uint8_t>(request.kind));
  out.Text(request.password);
  WriteChange(out, request.change);
  out.U8(static_cast<std::uint8_t>(request.purpose));
  out.Text(request.subject);
  out.Text(request.ticket);
  if (request.kind == RequestKind::Report) {
    out.U8(static_cast<std::uint8_t>(request.report.kind));
    out.U32(request.report.minutes);
  }
  return out.Take();
}

std::size_t LargestRequest(std::span<const std::uint8_t> head) {
  WireReader in(head);
  std::uint8_t kind = 0;
  if (head.size() <= kKindOffset || !ReadHeader(in, kRequestMagic) || !in.U8(kind)) return 0;
  switch (static_cast<RequestKind>(kind)) {
    case RequestKind::Change:
      return kMaxRequestBytes;
    case RequestKind::Export:
    case RequestKind::Import:
    case RequestKind::LeaveSession:
    case RequestKind::CheckPassword:
    case RequestKind::OpenForUser:
    case RequestKind::EndTicket:
    case RequestKind::Status:
    case RequestKind::Report:
      return kMaxQuestionBytes;
  }
  return 0;
}

std::optional<ServiceRequest> DecodeRequest(std::span<const std::uint8_t> bytes) {
  WireReader in(bytes);
  ServiceRequest request;
  std::uint8_t kind = 0;
  std::uint8_t purpose = 0;
  if (bytes.size() > LargestRequest(bytes) || !ReadHeader(in, kRequestMagic) || !in.U8(kind) ||
      !in.Text(request.password, kMaxPasswordBytes) || !ReadChange(in, request.change) ||
      !in.U8(purpose) || purpose < static_cast<std::uint8_t>(PasswordFor::Window) ||
      purpose > static_cast<std::uint8_t>(PasswordFor::StartupLock) ||
      !in.Text(request.subject, kMaxSubjectBytes) || !in.Text(request.ticket, kMaxTicketBytes) ||
      (kind == static_cast<std::uint8_t>(RequestKind::Report) && !ReadReport(in, request.report)) ||
      !in.AtEnd()) {
    return std::nullopt;
  }
  request.kind = static_cast<RequestKind>(kind);
  request.purpose = static_cast<PasswordFor>(purpose);
  return request;
}

ByteArray EncodeReply(const ServiceReply& reply) {
  WireWriter out;
  out.U32(kReplyMagic);
  out.U32(kVersion);
  out.U8(static_cast<std::uint8_t>(reply.kind));
  out.U32(static_cast<std::uint32_t>(reply.status));
  out.Text(reply.detail.size() > kMaxReplyTextBytes ? reply.detail.substr(0, kMaxReplyTextBytes)
                                                    : reply.detail);
  out.U32(reply.waitSeconds);
  out.U8(reply.unprotected ? 1 : 0);
  out.Text(reply.ticket);
  out.U8((reply.firstPasswordSet ? 1 : 0) | (reply.secondPasswordSet ? 2 : 0));
  return out.Take();
}

std::optional<ServiceReply> DecodeReply(std::span<const std::uint8_t> bytes) {
  WireReader in(bytes);
  ServiceReply reply;
  std::uint8_t kind = 0;
  std::uint32_t status = 0;
  std::uint8_t unprotected = 0;
  std::uint8_t passwordsSet = 0;
  if (!ReadHeader(in, kReplyMagic) || !in.U8(kind) ||
      kind > static_cast<std::uint8_t>(ReplyKind::NotChecked) || !in.U32(status) ||
      !in.Text(reply.detail, kMaxReplyTextBytes) || !in.U32(reply.waitSeconds) ||
      !in.U8(unprotected) || unprotected > 1 || !in.Text(reply.ticket, kMaxTicketBytes) ||
      !in.U8(passwordsSet) || passwordsSet > 3 || !in.AtEnd()) {
    return std::nullopt;
  }
  reply.kind = static_cast<ReplyKind>(kind);
  reply.status = static_cast<std::int32_t>(status);
  reply.unprotected = unprotected == 1;
  reply.firstPasswordSet = (passwordsSet & 1) != 0;
  reply.secondPasswordSet = (passwordsSet & 2) != 0;
  return reply;
}

ByteArray EncodeChangeSet(const ChangeSet& change) {
  WireWriter out;
  out.U32(kJournalMagic);
  out.U32(kVersion);
  WriteChange(out, change);
  return out.Take();
}

std::optional<ChangeSet> DecodeChangeSet(std::span<const std::uint8_t> bytes) {
  WireReader in(bytes);
  ChangeSet change;
  if (!ReadHeader(in, kJournalMagic) || !ReadChange(in, change) || !in.AtEnd()) {
    return std::nullopt;
  }
  return change;
}

}  // namespace pm::store
