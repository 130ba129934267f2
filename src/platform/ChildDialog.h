// A modeless dialog of another window: the owner disables itself before it
// opens one, and the dialog gives it back whenever it unloads. Its window is
// owned by the owner's, so it opens centred on it and stays in front of it.
#pragma once

#include "platform/Form.h"

namespace pm::platform {

class ChildDialog : public Form {
 public:
  ChildDialog(Toolkit& toolkit, const FormSpec& layout, Form& owner)
      : Form(toolkit, layout, &owner) {}

 protected:
  void Form_Unload() override {
    // Before the window goes: Windows then gives the activation back to the
    // owner, not to another program.
    if (owner().IsLoaded()) owner().SetEnabled(true);
  }
  Form& owner() const { return *ownerForm(); }
};

}  // namespace pm::platform
