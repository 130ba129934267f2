// RAII owners for the Win32 handle kinds the backend uses. Each closes its
// handle with the function Windows pairs with it.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <utility>

namespace pm::win32 {

template <typename T, typename Traits>
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(T value) : value_(value) {}
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept
      : value_(std::exchange(other.value_, Traits::Invalid())) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) reset(std::exchange(other.value_, Traits::Invalid()));
    return *this;
  }
  ~UniqueHandle() { reset(); }

  T get() const { return value_; }
  T* put() {
    reset();
    return &value_;
  }
  T release() { return std::exchange(value_, Traits::Invalid()); }
  void reset(T value = Traits::Invalid()) {
    if (value_ != Traits::Invalid()) Traits::Close(value_);
    value_ = value;
  }
  explicit operator bool() const { return value_ != Traits::Invalid(); }

 private:
  T value_ = Traits::Invalid();
};

struct KernelHandleTraits {
  static HANDLE Invalid() { return nullptr; }
  static void Close(HANDLE h) { CloseHandle(h); }
};
struct HkeyTraits {
  static HKEY Invalid() { return nullptr; }
  static void Close(HKEY h) { RegCloseKey(h); }
};
struct HwndTraits {
  static HWND Invalid() { return nullptr; }
  static void Close(HWND h) { DestroyWindow(h); }
};
struct HiconTraits {
  static HICON Invalid() { return nullptr; }
  static void Close(HICON h) { DestroyIcon(h); }
};
struct GdiObjectTraits {
  static HGDIOBJ Invalid() { return nullptr; }
  static void Close(HGDIOBJ h) { DeleteObject(h); }
};
struct ImageListTraits {
  static HIMAGELIST Invalid() { return nullptr; }
  static void Close(HIMAGELIST h) { ImageList_Destroy(h); }
};
struct HmenuTraits {
  static HMENU Invalid() { return nullptr; }
  static void Close(HMENU h) { DestroyMenu(h); }
};
struct WinEventHookTraits {
  static HWINEVENTHOOK Invalid() { return nullptr; }
  static void Close(HWINEVENTHOOK h) { UnhookWinEvent(h); }
};
struct HmoduleTraits {
  static HMODULE Invalid() { return nullptr; }
  static void Close(HMODULE h) { FreeLibrary(h); }
};

using UniqueKernelHandle = UniqueHandle<HANDLE, KernelHandleTraits>;
using UniqueHkey = UniqueHandle<HKEY, HkeyTraits>;
using UniqueHwnd = UniqueHandle<HWND, HwndTraits>;
using UniqueHicon = UniqueHandle<HICON, HiconTraits>;
using UniqueGdiObject = UniqueHandle<HGDIOBJ, GdiObjectTraits>;
using UniqueHmenu = UniqueHandle<HMENU, HmenuTraits>;
using UniqueImageList = UniqueHandle<HIMAGELIST, ImageListTraits>;
using UniqueWinEventHook = UniqueHandle<HWINEVENTHOOK, WinEventHookTraits>;
using UniqueHmodule = UniqueHandle<HMODULE, HmoduleTraits>;

// CreateFile and CreateNamedPipe answer INVALID_HANDLE_VALUE, not null, when
// they fail; the owner holds null then.
inline UniqueKernelHandle OwnFileHandle(HANDLE raw) {
  return UniqueKernelHandle(raw == INVALID_HANDLE_VALUE ? nullptr : raw);
}

}  // namespace pm::win32
