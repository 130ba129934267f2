// What a process holds: GDI and USER objects and kernel handles, read from
// another process. Windows answers through GetGuiResources and
// GetProcessHandleCount. Wine 8 answers 0 to all three, so where they answer
// 0 a stand-in is read instead and named in `source`:
//   GDI objects    the used entries of the process's own GDI handle table,
//                  which Wine keeps in the process and publishes in its PEB
//   USER objects   the windows the process owns, top-level and child
//   handles        the process's entries in the system handle list
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace pm::e2e {

struct ResourceFigure {
  std::optional<unsigned long> count;  // empty: neither way gave a figure
  std::string source;
  std::string detail;  // what the count is made of, where known
};

struct ProcessResources {
  ResourceFigure gdiObjects;
  ResourceFigure userObjects;
  ResourceFigure handles;
  double workingSetMiB = 0;
};

// `process` needs PROCESS_QUERY_INFORMATION and PROCESS_VM_READ.
ProcessResources ReadProcessResources(HANDLE process, DWORD processId);

// The CPU time, user and kernel, the process has used so far, from the
// system's process list. GetProcessTimes is not used: Wine 8 answers it for
// another process with the caller's own times.
std::optional<double> CpuSeconds(DWORD processId);

// One line per figure, with where it came from.
std::string Describe(const ResourceFigure& figure);

}  // namespace pm::e2e
