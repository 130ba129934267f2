// What the programs and the service say to each other over the service's
// pipe: one request, one reply, each one message. A request carries the
// owner's password and what to do; the reply says how it went, with the
// failing write and its Win32 error when a write failed.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/ServiceChannel.h"
#include "store/ChangeSet.h"

namespace pm::store {

using platform::service::kMaxRequestBytes;
inline constexpr std::size_t kMaxPasswordBytes = 1024;
inline constexpr std::size_t kMaxOps = 200'000;
inline constexpr std::size_t kMaxPathBytes = 4096;
inline constexpr std::size_t kMaxValueNameBytes = 16384 * 3;
inline constexpr std::size_t kMaxValueBytes = 4 * 1024 * 1024;
inline constexpr std::size_t kMaxReplyTextBytes = 64 * 1024;
inline constexpr std::size_t kMaxSubjectBytes = 1024;
inline constexpr std::size_t kMaxTicketBytes = 128;
// A request that carries no change: its password and subject, and room.
inline constexpr std::size_t kMaxQuestionBytes = 4096;

enum class RequestKind : std::uint8_t {
  Change = 1,  // apply the change, all or nothing
  Export = 2,  // write the export file in the program folder
  Import = 3,  // replace the settings by the export file's
  // "End Pelmora Pro": start no engine in the caller's session until its
  // next log-on.
  LeaveSession = 4,
  // A prompt's question: is this the password? Asked for `purpose`.
  CheckPassword = 5,
  // Open `subject` (a file, an address, a program) for the caller, in its
  // session and at its user's ordinary level: what the engine, which runs
  // above that level, opens for the user. It needs no password, since it
  // does nothing the user could not do.
  OpenForUser = 6,
  // The configuration tool closes, or everything is locked again: its
  // ticket ends.
  EndTicket = 7,
  // Whether passwords are stored, which the programs cannot read themselves
  // where the service keeps them. Needs no password.
  Status = 8,
  // An engine tells of one of its own commands, for the Event Log; needs no
  // password and changes nothing.
  Report = 9,
};

// What an engine tells the service (store/EngineReports.h).
struct EngineReport {
  enum class Kind : std::uint8_t {
    RelockEverything = 2,
    AutomaticRelock = 3,
    UnlockEverything = 4,
  };
  Kind kind = Kind::RelockEverything;
  std::uint32_t minutes = 0;  // AutomaticRelock
  bool operator==(const EngineReport&) const = default;
};

// What a prompt asks the password for. The start-up lock's is the one that
// counts for more than its answer: a match ends the start-up lock of the
// caller's session, which only the service can decide.
enum class PasswordFor : std::uint8_t {
  Window = 1,       // a locked window, named in `subject`
  Tool = 2,         // the configuration tool
  StartupLock = 3,  // the start-up lock of the caller's session
};

struct ServiceRequest {
  ServiceRequest() = default;
  ServiceRequest(RequestKind kind, std::string password, ChangeSet change = {})
      : kind(kind), password(std::move(password)), change(std::move(change)) {}

  RequestKind kind = RequestKind::Change;
  std::string password;  // as typed; the service lower-cases it as the prompts do
  // What the prompt in front of the configuration tool got for the right
  // password: its saves, exports and imports carry it instead of the
  // password. With a ticket the password plays no part.
  std::string ticket;
  ChangeSet change;                           // Change only
  PasswordFor purpose = PasswordFor::Window;  // CheckPassword only
  std::string subject;       // CheckPassword: the locked window's title; OpenForUser: what to open
  EngineReport report = {};  // Report only
  bool operator==(const ServiceRequest&) const = default;
};

// The most bytes a request may have, judged from its first bytes (at least
// its header): a change may be large, a question is small. 0 for bytes
// that begin no request of ours. So a request is refused before it is read
// whole when it is larger than its kind may need.
std::size_t LargestRequest(std::span<const std::uint8_t> head);

enum class ReplyKind : std::uint8_t {
  Done = 0,
  WrongPassword = 1,
  Waiting = 2,      // too many wrong passwords in a row: `waitSeconds` to go
  Refused = 3,      // malformed, or a write the settings may not make
  Failed = 4,       // a write failed; everything was put back
  MissingFile = 5,  // import: no export file
  NotAnExport = 6,  // import: the file is not a settings export
  Lost = 7,         // a write failed and putting back failed too
  // CheckPassword: the password is right. (A wrong one is WrongPassword,
  // with `waitSeconds` before the next try counts.)
  Match = 8,
  // The system could not hash the password: it is neither right nor wrong,
  // and counts as no try.
  NotChecked = 9,
};

struct ServiceReply {
  ReplyKind kind = ReplyKind::Done;
  std::int32_t status = 0;        // the Win32 error of a failed write
  std::string detail;             // which write failed, or why a file was refused
  std::uint32_t waitSeconds = 0;  // Waiting, and WrongPassword: before the next try counts
  bool unprotected = false;       // no password is stored, so anyone may change the settings
  // CheckPassword for the tool, and a change that stored a new password
  // with a ticket: the ticket for the tool's next requests.
  std::string ticket;
  // Status: each of the two passwords that is stored.
  bool firstPasswordSet = false;
  bool secondPasswordSet = false;
  bool operator==(const ServiceReply&) const = default;
};

ByteArray EncodeRequest(const ServiceRequest& request);
std::optional<ServiceRequest> DecodeRequest(std::span<const std::uint8_t> bytes);
ByteArray EncodeReply(const ServiceReply& reply);
std::optional<ServiceReply> DecodeReply(std::span<const std::uint8_t> bytes);

// A change alone, as the service journals it.
ByteArray EncodeChangeSet(const ChangeSet& change);
std::optional<ChangeSet> DecodeChangeSet(std::span<const std::uint8_t> bytes);

}  // namespace pm::store
