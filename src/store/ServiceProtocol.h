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
inline constexpr std::size_t kMaxReportTextBytes = 4096;

enum class RequestKind : std::uint8_t {
  Change = 1,  // apply the change, all or nothing
  Export = 2,  // write the export file in the program folder
  Import = 3,  // replace the settings by the export file's
  // "End Pelmora Pro": start no engine in the caller's session until its
  // next log-on.
  LeaveSession = 4,
  // An engine tells of one of its own commands, for the Event Log; needs no
  // password and changes nothing.
  Report = 5,
};

// What an engine tells the service (store/EngineReports.h).
struct EngineReport {
  enum class Kind : std::uint8_t {
    WindowUnlocked = 1,
    RelockEverything = 2,
    AutomaticRelock = 3,
    UnlockEverything = 4,
    WrongPassword = 5,  // at the engine's prompt
  };
  Kind kind = Kind::RelockEverything;
  std::string title = {};    // the window's first 40 title characters
  std::string program = {};  // WindowUnlocked: the program file that owns it
  std::uint32_t count = 0;   // AutomaticRelock: minutes; WrongPassword: in a row
  bool operator==(const EngineReport&) const = default;
};

struct ServiceRequest {
  RequestKind kind = RequestKind::Change;
  std::string password;      // as typed; the service lower-cases it as the prompts do
  ChangeSet change;          // Change only
  EngineReport report = {};  // Report only
  bool operator==(const ServiceRequest&) const = default;
};

enum class ReplyKind : std::uint8_t {
  Done = 0,
  WrongPassword = 1,
  Waiting = 2,      // too many wrong passwords in a row: `waitSeconds` to go
  Refused = 3,      // malformed, or a write the settings may not make
  Failed = 4,       // a write failed; everything was put back
  MissingFile = 5,  // import: no export file
  NotAnExport = 6,  // import: the file is not a settings export
  Lost = 7,         // a write failed and putting back failed too
};

struct ServiceReply {
  ReplyKind kind = ReplyKind::Done;
  std::int32_t status = 0;  // the Win32 error of a failed write
  std::string detail;       // which write failed, or why a file was refused
  std::uint32_t waitSeconds = 0;
  bool unprotected = false;  // no password is stored, so anyone may change the settings
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
