// What the configuration tool may ask of the running lock engine at once.
#pragma once

namespace pm::config {

class EngineCommands {
 public:
  virtual ~EngineCommands() = default;
  // Stops the watch (and starts the relock count when a relock time is set).
  virtual void UnlockEverything() = 0;
  // Starts the watch again and forgets every unlock by password.
  virtual void RelockEverything() = 0;
  // Removes the tray icon and ends the program without restarting it.
  virtual void EndProgram() = 0;
};

}  // namespace pm::config
