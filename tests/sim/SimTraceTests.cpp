// A handler that fails stops at the form's edge, and the developer can find
// out why: the simulation writes the trace to standard error.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "platform/Form.h"
#include "platform/sim/SimToolkit.h"
#include "platform/sim/SimWindow.h"
#include "platform/sim/SimWorld.h"

namespace pm::tests {
namespace {

using platform::ControlKind;

constexpr platform::ControlSpec kControls[] = {
    {ControlKind::Button, "cmdGo", "Go", 0, 0, 1200, 360},
};
constexpr platform::FormSpec kSpec = {.caption = "Trace", .controls = kControls};

class FailingForm final : public platform::Form {
 public:
  explicit FailingForm(platform::Toolkit& toolkit) : Form(toolkit, kSpec) {
    On(platform::IdOf(kControls, "cmdGo"), platform::Event::Click,
       [] { throw std::runtime_error("the disk is full"); });
  }
};

TEST(DebugTrace, AFailedHandlerLeavesATraceAndTheFormGoesOn) {
  sim::SimWorld world;
  sim::SimToolkit toolkit(world);
  FailingForm form(toolkit);
  form.Show();
  ::testing::internal::CaptureStderr();
  world.Find(form.hwnd())->ours->Click("cmdGo");
  const std::string trace = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(trace.find("a form's handler: the disk is full"), std::string::npos) << trace;
  EXPECT_TRUE(form.Visible());
}

}  // namespace
}  // namespace pm::tests
