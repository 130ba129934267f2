// A change of the stored settings made all or nothing. Everything the change
// may touch is copied before the first write; the copy, as the writes that
// would put it back, goes to a journal first where there is one; a write that
// fails puts the copy back. A change cut short by a crash or a power cut is
// undone from the journal at the next start, so the owner finds the old
// settings or the new ones, never a mix.
#pragma once

#include <optional>
#include <span>
#include <string>

#include "platform/Registry.h"
#include "store/ChangeSet.h"
#include "store/RegValue.h"

namespace pm::store {

// Where the copy waits while a change is made. Write must be durable when it
// answers done: the change starts only then.
class ChangeJournal {
 public:
  virtual ~ChangeJournal() = default;
  virtual RegResult Write(std::span<const std::uint8_t> bytes) = 0;
  // Nothing when no change was left unfinished.
  virtual std::optional<ByteArray> Read() = 0;
  virtual RegResult Clear() = 0;
};

struct [[nodiscard]] ApplyOutcome {
  RegResult result;         // the first failure, or success
  std::string failedWrite;  // which write failed, in words
  RegResult undo;           // putting back failed too: what was stored may be lost
  explicit operator bool() const { return static_cast<bool>(result); }
};

// True for a key path in the product's own subtree.
bool IsProductPath(std::string_view path);

ApplyOutcome ApplyChange(platform::Registry& registry, const ChangeSet& change,
                         ChangeJournal* journal = nullptr);

// Puts back what an unfinished change's journal holds, then clears it. A
// journal that cannot be read was never complete, so no write followed it.
RegResult RecoverUnfinishedChange(platform::Registry& registry, ChangeJournal& journal);

}  // namespace pm::store
