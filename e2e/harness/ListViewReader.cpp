#include "ListViewReader.h"

#include <commctrl.h>

#include <algorithm>
#include <cstddef>

namespace pm::e2e {
namespace {

constexpr int kTextCapacity = 260;
// The block in the owner's memory: the LVITEMW, then the text it points to.
constexpr std::size_t kTextOffset = sizeof(LVITEMW);
constexpr std::size_t kBlockSize = kTextOffset + kTextCapacity * sizeof(wchar_t);

}  // namespace

ListViewReader::ListViewReader(HWND list) : list_(list) {
  DWORD processId = 0;
  GetWindowThreadProcessId(list, &processId);
  process_.reset(
      OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId));
  if (process_) {
    remote_ = VirtualAllocEx(process_.get(), nullptr, kBlockSize, MEM_COMMIT | MEM_RESERVE,
                             PAGE_READWRITE);
  }
}

ListViewReader::~ListViewReader() {
  if (remote_ != nullptr) VirtualFreeEx(process_.get(), remote_, 0, MEM_RELEASE);
}

int ListViewReader::Count() const {
  DWORD_PTR count = 0;
  if (!SendMessageTimeoutW(list_, LVM_GETITEMCOUNT, 0, 0, SMTO_ABORTIFHUNG, 2000, &count)) {
    return -1;
  }
  return static_cast<int>(count);
}

std::optional<std::wstring> ListViewReader::Text(int index) const {
  if (remote_ == nullptr) return std::nullopt;
  auto* remoteText = static_cast<std::byte*>(remote_) + kTextOffset;
  LVITEMW item{};
  item.mask = LVIF_TEXT;
  item.iItem = index;
  item.pszText = reinterpret_cast<LPWSTR>(remoteText);
  item.cchTextMax = kTextCapacity;
  if (!WriteProcessMemory(process_.get(), remote_, &item, sizeof(item), nullptr)) {
    return std::nullopt;
  }
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(list_, LVM_GETITEMTEXTW, static_cast<WPARAM>(index),
                           reinterpret_cast<LPARAM>(remote_), SMTO_ABORTIFHUNG, 2000, &length)) {
    return std::nullopt;
  }
  wchar_t text[kTextCapacity] = {};
  if (!ReadProcessMemory(process_.get(), remoteText, text, sizeof(text), nullptr)) {
    return std::nullopt;
  }
  return std::wstring(text, std::min<std::size_t>(length, kTextCapacity - 1));
}

int ListViewReader::StateImage(int index) const {
  DWORD_PTR state = 0;
  if (!SendMessageTimeoutW(list_, LVM_GETITEMSTATE, static_cast<WPARAM>(index), LVIS_STATEIMAGEMASK,
                           SMTO_ABORTIFHUNG, 2000, &state)) {
    return 0;
  }
  return static_cast<int>((state & LVIS_STATEIMAGEMASK) >> 12);
}

LPARAM ListViewReader::Param(int index) const {
  if (remote_ == nullptr) return 0;
  LVITEMW item{};
  item.mask = LVIF_PARAM;
  item.iItem = index;
  DWORD_PTR found = 0;
  if (!WriteProcessMemory(process_.get(), remote_, &item, sizeof(item), nullptr) ||
      !SendMessageTimeoutW(list_, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(remote_),
                           SMTO_ABORTIFHUNG, 2000, &found) ||
      !found || !ReadProcessMemory(process_.get(), remote_, &item, sizeof(item), nullptr)) {
    return 0;
  }
  return item.lParam;
}

void ListViewReader::PressSpaceOn(int index) const {
  if (remote_ == nullptr) return;
  LVITEMW item{};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  DWORD_PTR done = 0;
  if (!WriteProcessMemory(process_.get(), remote_, &item, sizeof(item), nullptr)) return;
  SendMessageTimeoutW(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(index),
                      reinterpret_cast<LPARAM>(remote_), SMTO_ABORTIFHUNG, 2000, &done);
  // Posted, as the keyboard's messages come.
  PostMessageW(list_, WM_KEYDOWN, VK_SPACE, 0x00390001);
  PostMessageW(list_, WM_KEYUP, VK_SPACE, 0xC0390001);
}

}  // namespace pm::e2e
