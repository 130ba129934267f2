#include "platform/win32/Win32SettingsWatch.h"

#include <windows.h>

#include "platform/win32/Wide.h"

namespace pm::win32 {

Win32SettingsWatch::Win32SettingsWatch(std::string_view productKey)
    : path_(Wide(productKey)), changed_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
  Arm();
}

// Asks Windows to signal the event at the next change below the key. The key
// may not exist yet (nothing saved): then the next ask tries again.
bool Win32SettingsWatch::Arm() {
  if (!changed_) return false;
  if (!key_ && RegOpenKeyExW(HKEY_LOCAL_MACHINE, path_.c_str(), 0, KEY_NOTIFY, key_.put()) !=
                   ERROR_SUCCESS) {
    return false;
  }
  ResetEvent(changed_.get());
  constexpr DWORD kWhat = REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_LAST_SET;
  if (RegNotifyChangeKeyValue(key_.get(), TRUE, kWhat, changed_.get(), TRUE) != ERROR_SUCCESS) {
    key_.reset();
    return false;
  }
  return true;
}

bool Win32SettingsWatch::ChangedSinceLastAsk() {
  if (!key_) {
    // The key appeared since: everything in it is new.
    return Arm();
  }
  if (WaitForSingleObject(changed_.get(), 0) != WAIT_OBJECT_0) return false;
  // A key deleted and made again (a save rewrites the lists) is opened anew.
  key_.reset();
  Arm();
  return true;
}

}  // namespace pm::win32
