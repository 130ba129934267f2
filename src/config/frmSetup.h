// The configuration tool's window. Its title makes it a locked window; its
// unlock lasts until it unloads.
#pragma once

#include "platform/Form.h"
#include "store/ProgramState.h"

namespace pm::config {

class frmSetup : public platform::Form {
 public:
  frmSetup(platform::Toolkit& toolkit, store::ProgramState& state);

 protected:
  void Form_Unload() override;

 private:
  store::ProgramState& state_;
};

}  // namespace pm::config
