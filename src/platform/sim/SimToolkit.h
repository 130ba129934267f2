// The simulated toolkit: one per simulated program, all on one SimWorld.
#pragma once

#include <optional>
#include <string>

#include "platform/Toolkit.h"
#include "platform/sim/SimWorld.h"
#include "pmp/Version.h"

namespace pm::sim {

class SimToolkit final : public platform::Toolkit {
 public:
  // One process running `programFile` from `programFolder`: its windows
  // are owned by that program file.
  explicit SimToolkit(SimWorld& world, std::uint32_t processId = 100,
                      std::string programFolder = "C:\\Program Files\\Pelmora Pro",
                      std::string_view programFile = "pmpro.exe");

  std::unique_ptr<platform::Window> CreateFormWindow(const platform::FormSpec& layout,
                                                     platform::WindowEvents& events,
                                                     const platform::Window* owner) override;
  platform::MessageResult MessageBox(const platform::Window* owner, std::string_view text,
                                     std::string_view caption, platform::MessageStyle style,
                                     platform::MessageIcon icon) override;
  void Beep() override { ++world_.beeps; }
  void DoEvents() override { world_.RunPending(); }
  void PumpUntil(const std::function<bool()>& done) override;
  int Run() override { return exitCode_.value_or(0); }
  // The work at once; `done` as a posted event, after the current handler.
  void RunInBackground(std::function<void()> work, std::function<void()> done) override {
    work();
    world_.Post(std::move(done));
  }
  void Quit(int exitCode) override { exitCode_ = exitCode; }
  platform::PicturePtr LoadPicture(std::string_view path) override;
  platform::PicturePtr BuiltInPicture(platform::BuiltIn picture) override;
  std::string ProgramFolder() const override { return programFolder_; }
  platform::ProgramVersion Version() const override { return version_; }
  void HideFromTaskList() override { hiddenFromTaskList_ = true; }

  std::optional<int> exitCode() const { return exitCode_; }
  bool hiddenFromTaskList() const { return hiddenFromTaskList_; }
  std::uint32_t processId() const { return processId_; }

 private:
  SimWorld& world_;
  std::uint32_t processId_;
  std::string programFolder_;
  platform::ProgramVersion version_{kVersionMajor, kVersionMinor, kVersionPatch,
                                    "Copyright (C) 2026 Pelmora Software."};
  std::optional<int> exitCode_;
  bool hiddenFromTaskList_ = false;
};

}  // namespace pm::sim
