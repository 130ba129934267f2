#include "about/frmabout.h"

#include "about/frmaboutLayout.h"

namespace pm::about {

using platform::Event;

namespace {
// A line break as Windows' static text shows one.
constexpr std::string_view kLineBreak = "\r\n";
}  // namespace

frmabout::frmabout(platform::Toolkit& toolkit) : Form(toolkit, kfrmaboutSpec) {
  On(Ids::Image1, Event::Click, [this] { Unload(); });
  On(Ids::Label1, Event::Click, [this] { Unload(); });
  OnForm(Event::DblClick, [this] { Unload(); });
}

std::string frmabout::AboutText(const platform::ProgramVersion& version) {
  std::string text = "Pelmora Pro 2003";
  text += kLineBreak;
  text += "Version " + std::to_string(version.major) + "." + std::to_string(version.minor) + "." +
          std::to_string(version.revision);
  text += std::string(kLineBreak) + std::string(kLineBreak);
  text += version.legalCopyright;
  text += std::string(kLineBreak) + std::string(kLineBreak);
  return text;
}

void frmabout::Form_Load() {
  Image1.SetPicture(toolkit_.BuiltInPicture(platform::BuiltIn::LockedIcon));
  Label1.SetCaption(AboutText(toolkit_.Version()));
}

void frmabout::ShowOrBringForward() {
  const bool wasLoaded = IsLoaded();
  Show();
  if (wasLoaded) window().BringToFront();
}

}  // namespace pm::about
