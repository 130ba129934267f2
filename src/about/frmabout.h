// The about window: the program's icon, name, version and legal notice, and
// where to find its maker. It also serves as the signal window of a second
// start.
#pragma once

#include "about/frmaboutLayout.h"
#include "platform/Form.h"

namespace pm::about {

class frmabout : public platform::Form {
 protected:
  using Ids = frmaboutIds;

 public:
  explicit frmabout(platform::Toolkit& toolkit);

  // Shows the one instance, bringing it forward when it is open already.
  void ShowOrBringForward();

  platform::Control Image1{*this, Ids::Image1};
  platform::Control Label1{*this, Ids::Label1};
  platform::Control Label2{*this, Ids::Label2};
  platform::Control Label3{*this, Ids::Label3};

  // The text of Label1 for a version and legal notice.
  static std::string AboutText(const platform::ProgramVersion& version);

 protected:
  void Form_Load() override;
};

}  // namespace pm::about
