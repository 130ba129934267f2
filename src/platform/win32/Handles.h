// RAII owners for the Win32 handle kinds the backend uses. Each closes its
// handle with the function Windows pairs with it; one line names a kind.
#pragma once

#include <windows.h>

// These need the types of windows.h.
#include <commctrl.h>
#include <objbase.h>
#include <wtsapi32.h>

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
  // Closing leaves the thread's last error as it was, so an owner that goes
  // out of scope on a failure's way out does not change what the failure
  // left for GetLastError.
  void reset(T value = Invalid) noexcept {
    if (value_ != Invalid) {
      const DWORD lastError = GetLastError();
      Close(value_);
      SetLastError(lastError);
    }
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
using UniqueEventSource = UniqueHandle<HANDLE, DeregisterEventSource>;
using UniqueSid = UniqueHandle<PSID, FreeSid>;

// Memory the system allocated for the caller, each kind freed by the
// function its maker names: LocalFree (FormatMessage, ConvertSidToStringSid),
// CoTaskMemFree (the shell's paths) and WTSFreeMemory (session information).
template <typename T>
using UniqueLocalMemory = UniqueHandle<T*, LocalFree>;
template <typename T>
using UniqueCoTaskMemory = UniqueHandle<T*, CoTaskMemFree>;
template <typename T>
using UniqueWtsMemory = UniqueHandle<T*, WTSFreeMemory>;

// COM on this thread for as long as the object lives, in a single-threaded
// apartment. A thread that has COM already keeps it as it was: only an
// initialisation that succeeded here is undone at the end.
class ComApartment {
 public:
  ComApartment() noexcept : initialised_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ~ComApartment() {
    if (SUCCEEDED(initialised_)) CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

 private:
  HRESULT initialised_;
};

// CreateFile and CreateNamedPipe answer INVALID_HANDLE_VALUE, not null, when
// they fail; the owner holds null then.
inline UniqueKernelHandle OwnFileHandle(HANDLE raw) {
  return UniqueKernelHandle(raw == INVALID_HANDLE_VALUE ? nullptr : raw);
}

}  // namespace pm::win32
