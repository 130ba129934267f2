#include "platform/sim/SimToolkit.h"

#include "platform/sim/SimPictures.h"
#include "platform/sim/SimWindow.h"

namespace pm::sim {

SimToolkit::SimToolkit(SimWorld& world, std::uint32_t processId, std::string programFolder,
                       std::string_view programFile)
    : world_(world), processId_(processId), programFolder_(std::move(programFolder)) {
  world_.SetProgramPath(processId_, programFolder_ + "\\" + std::string(programFile));
}

std::unique_ptr<platform::Window> SimToolkit::CreateFormWindow(const platform::FormSpec& layout,
                                                               platform::WindowEvents& events,
                                                               const platform::Window* owner) {
  const WindowRecord* record = owner != nullptr ? world_.Find(owner->handle()) : nullptr;
  return std::make_unique<SimWindow>(world_, layout, events, processId_,
                                     record != nullptr ? record->ours : nullptr);
}

platform::MessageResult SimToolkit::MessageBox(const platform::Window*, std::string_view text,
                                               std::string_view caption,
                                               platform::MessageStyle style,
                                               platform::MessageIcon) {
  world_.shownMessages.push_back(
      {std::string(text), caption.empty() ? "Pelmora Pro" : std::string(caption), style});
  if (!world_.messageAnswers.empty()) {
    const platform::MessageResult answer = world_.messageAnswers.front();
    world_.messageAnswers.pop_front();
    return answer;
  }
  switch (style) {
    case platform::MessageStyle::YesNo:
    case platform::MessageStyle::YesNoCancel:
      return platform::MessageResult::Yes;
    default:
      return platform::MessageResult::Ok;
  }
}

void SimToolkit::PumpUntil(const std::function<bool()>& done) {
  // Lets virtual time pass from timer to timer; a wait nothing can end stops.
  world_.RunPending();
  while (!done()) {
    const auto next = world_.NextTimerDue();
    if (!next) return;
    world_.Advance(*next - world_.Now());
  }
}

platform::PicturePtr SimToolkit::LoadPicture(std::string_view path) {
  return LoadSimPicture(path);
}

platform::PicturePtr SimToolkit::BuiltInPicture(platform::BuiltIn picture) {
  return BuiltInSimPicture(picture);
}

}  // namespace pm::sim
