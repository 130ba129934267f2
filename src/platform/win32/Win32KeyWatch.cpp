#include "platform/win32/Win32KeyWatch.h"

#include "platform/Result.h"

namespace pm::win32 {

Win32KeyWatch::Win32KeyWatch(HKEY root, std::wstring path)
    : root_(root), path_(std::move(path)), changed_(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {
  Arm();
}

void Win32KeyWatch::Arm() {
  key_.reset();
  if (!changed_) return;
  // The key itself, or the nearest one above it that exists.
  for (std::wstring path = path_;;) {
    if (RegOpenKeyExW(root_, path.c_str(), 0, KEY_NOTIFY, key_.put()) == ERROR_SUCCESS) break;
    const std::size_t cut = path.find_last_of(L'\\');
    if (cut == std::wstring::npos) return;
    path.resize(cut);
  }
  // Names and values at any depth; the key's own deletion signals too.
  // Unarmed, the watch hears of nothing more; the trace says why.
  platform::BestEffort(platform::ResultOf(RegNotifyChangeKeyValue(
                           key_.get(), TRUE, REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_LAST_SET,
                           changed_.get(), TRUE)),
                       "asking to be told of a key's changes");
}

bool Win32KeyWatch::Changed() {
  if (!changed_ || WaitForSingleObject(changed_.get(), 0) != WAIT_OBJECT_0) return false;
  // A notice is given once: ask for the next, on the key as it is now.
  Arm();
  return true;
}

}  // namespace pm::win32
