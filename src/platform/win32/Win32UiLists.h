// A form's lists: plain list boxes, and lists with check boxes (list
// views), filled and read by the form. A sorted list keeps its entries in
// the order of their lower-cased text. What the program changes in a list
// is no event of the user's.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "platform/win32/Win32UiControls.h"

namespace pm::win32 {

class Win32UiLists {
 public:
  explicit Win32UiLists(const Win32UiControls& controls) : controls_(controls) {}

  int Add(int control, std::string_view text);
  void Remove(int control, int index);
  void Clear(int control);
  int Count(int control) const;
  std::string Text(int control, int index) const;
  void SetChecked(int control, int index, bool checked);
  bool Checked(int control, int index) const;
  void SetIndex(int control, int index);
  int Index(int control) const;

  // The list of `control` when it holds an entry at `index`; null if not.
  HWND ListHolding(int control, int index) const;
  // Whether the notice in hand comes of the program's own change.
  bool ChangingByProgram() const { return changing_; }

 private:
  // Marks the program's change for as long as it lives.
  class ProgramChange {
   public:
    explicit ProgramChange(bool& changing) : changing_(changing) { changing_ = true; }
    ProgramChange(const ProgramChange&) = delete;
    ProgramChange& operator=(const ProgramChange&) = delete;
    ~ProgramChange() { changing_ = false; }

   private:
    bool& changing_;
  };

  bool IsListView(int control) const;

  const Win32UiControls& controls_;
  bool changing_ = false;
};

}  // namespace pm::win32
