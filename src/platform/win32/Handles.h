// RAII owners for the Win32 handle kinds the backend uses. Each closes its
// handle with the function Windows pairs with it; one line names a kind.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <utility>

namespace pm::win32 {

template <typename T, auto Close, T Invalid = T{}>
class UniqueHandle {
 public:
  UniqueHandle() noexcept = default;
  explicit UniqueHandle(T value) noexcept : value_(value) {}
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept : value_(other.release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  ~UniqueHandle() { reset(); }

  T get() const noexcept { return value_; }
  T* put() noexcept {
    reset();
    return &value_;
  }
  T release() noexcept { return std::exchange(value_, Invalid); }
  void reset(T value = Invalid) noexcept {
    if (value_ != Invalid) Close(value_);
    value_ = value;
  }
  explicit operator bool() const noexcept { return value_ != Invalid; }

 private:
  T value_ = Invalid;
};

using UniqueKernelHandle = UniqueHandle<HANDLE, CloseHandle>;
using UniqueFindHandle = UniqueHandle<HANDLE, FindClose>;
using UniqueHkey = UniqueHandle<HKEY, RegCloseKey>;
using UniqueHwnd = UniqueHandle<HWND, DestroyWindow>;
using UniqueHicon = UniqueHandle<HICON, DestroyIcon>;
using UniqueGdiObject = UniqueHandle<HGDIOBJ, DeleteObject>;
using UniqueHfont = UniqueHandle<HFONT, DeleteObject>;
using UniqueHbrush = UniqueHandle<HBRUSH, DeleteObject>;
using UniqueHpen = UniqueHandle<HPEN, DeleteObject>;
using UniqueHbitmap = UniqueHandle<HBITMAP, DeleteObject>;
using UniqueMemoryDc = UniqueHandle<HDC, DeleteDC>;
using UniqueHmenu = UniqueHandle<HMENU, DestroyMenu>;
using UniqueImageList = UniqueHandle<HIMAGELIST, ImageList_Destroy>;
using UniqueWinEventHook = UniqueHandle<HWINEVENTHOOK, UnhookWinEvent>;
using UniqueHhook = UniqueHandle<HHOOK, UnhookWindowsHookEx>;
using UniqueHmodule = UniqueHandle<HMODULE, FreeLibrary>;

// CreateFile and CreateNamedPipe answer INVALID_HANDLE_VALUE, not null, when
// they fail; the owner holds null then.
inline UniqueKernelHandle OwnFileHandle(HANDLE raw) {
  return UniqueKernelHandle(raw == INVALID_HANDLE_VALUE ? nullptr : raw);
}

}  // namespace pm::win32
