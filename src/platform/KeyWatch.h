// Tells of changes at or below one registry key, as Windows' own change
// notification does, so a program learns of an administrator's new policy
// at once without reading every value again and again. The key need not
// exist: its coming and going are changes too.
#pragma once

namespace pm::platform {

class KeyWatch {
 public:
  virtual ~KeyWatch() = default;
  // Whether anything at or below the key changed since the watch began or
  // was last asked. Never waits; may also answer true for a change nearby
  // (reading the key again is always safe).
  virtual bool Changed() = 0;
};

}  // namespace pm::platform
