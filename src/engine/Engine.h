// Everything the lock engine is, wired together: the program-wide values and
// every window, on a given platform. The program's entry point owns one.
#pragma once

#include "about/frmabout.h"
#include "config/frmSetup.h"
#include "engine/frmMain.h"
#include "prompt/LockPrompt.h"
#include "prompt/frmBlank.h"
#include "store/ProgramState.h"

namespace pm::engine {

class Engine {
 public:
  explicit Engine(Platform platform)
      : frmBlank(platform.toolkit),
        frmPassword(platform.toolkit, platform.shell, platform.desktop, state, frmBlank),
        frmabout(platform.toolkit),
        frmSetup({platform.toolkit, platform.desktop, platform.shell, platform.registry}, state,
                 frmabout, frmMain),
        frmMain(platform, state, Forms{frmPassword, frmBlank, frmabout, frmSetup}) {}

  // Loads the main window, which runs the start-up sequence.
  void Start() { frmMain.Load(); }

  store::ProgramState state;
  prompt::frmBlank frmBlank;
  prompt::LockPrompt frmPassword;
  about::frmabout frmabout;
  config::frmSetup frmSetup;
  engine::frmMain frmMain;
};

}  // namespace pm::engine
