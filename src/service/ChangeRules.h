// What a change sent to the service may write. The service runs as
// LocalSystem, so it writes only the product's own subtree and the start-up
// lock's three system values, each in the one form the start-up lock gives
// it: a caller who knows the password still cannot make it write anything
// else, such as a RunOnce command of their own choosing.
#pragma once

#include <string_view>

#include "store/ChangeSet.h"

namespace pm::service {

// `programFolder` ends in a backslash; the RunOnce value may name only the
// start-up locker in it.
bool IsAllowedWrite(const store::ChangeOp& op, std::string_view programFolder);

}  // namespace pm::service
