// What a change sent to the service may write. The service runs as
// LocalSystem, so it writes only the product's own subtree, Winlogon's two
// start-up lock values in the one form the start-up lock gives them, and
// the deletion of the RunOnce entry older versions wrote: a caller who
// knows the password still cannot make it write anything else, such as a
// RunOnce command.
#pragma once

#include "store/ChangeSet.h"

namespace pm::service {

bool IsAllowedWrite(const store::ChangeOp& op);

}  // namespace pm::service
