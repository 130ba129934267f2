// The about window: the program's icon, name, version and legal notice, and
// where to find its maker. It also serves as the signal window of a second
// start.
#pragma once

#include "platform/Form.h"

namespace pm::about {

class frmabout : public platform::Form {
 public:
  explicit frmabout(platform::Toolkit& toolkit);

  // Shows the one instance, bringing it forward when it is open already.
  void ShowOrBringForward();

  platform::Control Image1{*this, "Image1"};
  platform::Control Label1{*this, "Label1"};
  platform::Control Label2{*this, "Label2"};
  platform::Control Label3{*this, "Label3"};

  // The text of Label1 for a version and legal notice.
  static std::string AboutText(const platform::ProgramVersion& version);

 protected:
  void Form_Load() override;
};

}  // namespace pm::about
