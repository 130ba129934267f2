// What the engine tells the service of its own commands (a window unlocked,
// Relock Everything, the automatic relock, Unlock Everything), so that the
// service writes them to the Event Log: the engine runs as the user and
// must not write the log as the product. A report carries no password; any
// program of the user's could send one, and the service words it as a
// report of that session's engine.
#pragma once

#include "store/ProgramState.h"
#include "store/ServiceProtocol.h"

namespace pm::store {

// Posted where the service runs, nothing otherwise: the engine goes on at
// once, and a report that cannot be delivered is dropped; no lock waits for
// its audit trail.
void ReportToService(const ProgramState& state, const EngineReport& report);

}  // namespace pm::store
