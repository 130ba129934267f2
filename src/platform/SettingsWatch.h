// Tells the engine that the stored settings changed, whoever changed them:
// an add-on, or the service on another program's request, saves without the
// engine knowing. Windows reports it (RegNotifyChangeKeyValue).
#pragma once

namespace pm::platform {

class SettingsWatch {
 public:
  virtual ~SettingsWatch() = default;
  // True once for every change (or burst of changes) since the last call.
  virtual bool ChangedSinceLastAsk() = 0;
};

}  // namespace pm::platform
