// The token of a process the service started, read back by the harness (an
// administrator): its integrity level and its default DACL, which the
// threads and objects the program makes carry.
#pragma once

#include <windows.h>

#include <string>

namespace pm::e2e {

struct TokenReadBack {
  DWORD integrity = 0;  // 0: the system reports none
  std::wstring defaultDacl;
  // High integrity where the system reports a level, and the default DACL
  // the service gives.
  bool AsTheServiceGivesIt() const;
};

TokenReadBack ReadBackToken(DWORD processId);

}  // namespace pm::e2e
