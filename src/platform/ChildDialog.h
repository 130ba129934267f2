// A modeless dialog of another window: the owner disables itself before it
// opens one, and the dialog gives it back whenever it unloads.
#pragma once

#include "platform/Form.h"

namespace pm::platform {

class ChildDialog : public Form {
 public:
  ChildDialog(Toolkit& toolkit, const FormSpec& layout, Form& owner)
      : Form(toolkit, layout), owner_(owner) {}

 protected:
  void Form_Unload() override {
    if (owner_.IsLoaded()) owner_.SetEnabled(true);
  }
  Form& owner() { return owner_; }

 private:
  Form& owner_;
};

}  // namespace pm::platform
