// The one road by which the programs change stored settings. Where the
// program has the service (a standard user cannot write HKEY_LOCAL_MACHINE
// or the program folder on Windows), a change travels there with the ticket
// the password that unlocked the configuration tool got, and is applied by
// the service; elsewhere it is applied here. Either way it is all or nothing, and
// the outcome says why when it was not done.
#pragma once

#include <string>
#include <string_view>

#include "platform/Registry.h"
#include "store/ChangeRecorder.h"
#include "store/ChangeSet.h"
#include "store/ProgramState.h"
#include "store/ServiceProtocol.h"

namespace pm::store {

struct [[nodiscard]] WriteOutcome {
  enum class Kind {
    Done,
    MissingFile,  // import: no export file
    NotAnExport,  // import: the file is not a whole settings export
    Failed,       // nothing changed
    Lost,         // a write failed and putting back what was stored failed too
  };
  Kind kind = Kind::Done;
  std::string reason;        // why, in words, for any kind but Done
  bool unprotected = false;  // saved, but no password protects the settings
  explicit operator bool() const { return kind == Kind::Done; }

  // The message for the owner: `notSaved` ("The settings could not be saved,
  // and the settings stored before are kept.") and the reason, or the
  // warning that what was stored before may be lost.
  std::string Explain(std::string_view notSaved) const;
};

class SettingsWriter {
 public:
  SettingsWriter(platform::Registry& registry, ProgramState& state)
      : registry_(registry), state_(state) {}

  WriteOutcome Commit(const ChangeSet& change);
  // The export file in the program folder, and the import from it. A
  // password still stored as plain text is exported as its hash, made here
  // with `hashIterations` (the service uses its own count).
  WriteOutcome Export(std::uint32_t hashIterations);
  WriteOutcome Import();
  // "End Pelmora Pro": the service starts no engine in this session again
  // until the next log-on (it would start one at once otherwise).
  WriteOutcome LeaveSession();

 private:
  WriteOutcome Ask(RequestKind kind, const ChangeSet& change);

  platform::Registry& registry_;
  // Its ticket goes with each request, and a new one the service gives is
  // kept in it.
  ProgramState& state_;
};

// Asks the service to open a file, an address or a program for the
// caller's user, at the user's ordinary level; false when it could not.
bool AskServiceToOpen(platform::ServiceChannel& service, std::string_view what);

// One change as the writers make it: they write to registry() as they would
// to the registry itself, and Commit() applies all they wrote at once.
class SettingsChange {
 public:
  SettingsChange(platform::Registry& registry, ProgramState& state)
      : recorder_(registry), writer_(registry, state) {}
  platform::Registry& registry() { return recorder_; }
  WriteOutcome Commit() { return writer_.Commit(recorder_.TakeChange()); }
  // Commits what the writers recorded when `recorded` says they all could,
  // and otherwise changes nothing and says why.
  WriteOutcome Commit(const RegResult& recorded);

 private:
  ChangeRecorder recorder_;
  SettingsWriter writer_;
};

}  // namespace pm::store
