// The File menu's export and import commands: do it, by the service where
// there is one, and tell the owner how it went in a message box.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/Registry.h"
#include "platform/Toolkit.h"
#include "store/ProgramState.h"

namespace pm::config {

// Import answers true when the settings were replaced; the caller then asks
// the engine to reload and closes the setup window. A password still stored
// as plain text is exported as its hash, made with `hashIterations`.
void ExportSettings(platform::Toolkit& toolkit, const platform::Window* owner,
                    platform::Registry& registry, store::ProgramState& state,
                    std::uint32_t hashIterations);
bool ImportSettings(platform::Toolkit& toolkit, const platform::Window* owner,
                    platform::Registry& registry, store::ProgramState& state);

}  // namespace pm::config
