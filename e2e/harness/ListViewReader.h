// Reads a list-view control of another process. Counts and states come back
// as message results; a text needs an LVITEM and a buffer in the owner's
// memory, since the control writes through the pointers it is given.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "platform/win32/Handles.h"

namespace pm::e2e {

class ListViewReader {
 public:
  explicit ListViewReader(HWND list);
  ~ListViewReader();
  ListViewReader(const ListViewReader&) = delete;
  ListViewReader& operator=(const ListViewReader&) = delete;

  // Whether the owner's memory could be reached; texts need it.
  bool ready() const { return remote_ != nullptr; }
  int Count() const;
  std::optional<std::wstring> Text(int index) const;
  // The state image: 1 for an unchecked box, 2 for a checked one, 0 for none.
  int StateImage(int index) const;
  bool Checked(int index) const { return StateImage(index) == 2; }
  // The entry's item data; 0 when it cannot be read.
  LPARAM Param(int index) const;
  // Makes the entry the focused one, then presses the space bar on the
  // control, as a user toggles the entry's box with the keyboard.
  void PressSpaceOn(int index) const;

 private:
  HWND list_;
  win32::UniqueKernelHandle process_;
  void* remote_ = nullptr;
};

}  // namespace pm::e2e
