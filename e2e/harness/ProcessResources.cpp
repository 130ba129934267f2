#include "ProcessResources.h"

// psapi.h and winternl.h need the types of windows.h.
#include <psapi.h>
#include <winternl.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <vector>

namespace pm::e2e {
namespace {

using QueryProcess = NTSTATUS(NTAPI*)(HANDLE, ULONG, PVOID, ULONG, PULONG);
using QuerySystem = NTSTATUS(NTAPI*)(ULONG, PVOID, ULONG, PULONG);

template <typename Function>
Function NtdllFunction(const char* name) {
  // Through void*, as GetProcAddress's type fits no real function.
  return reinterpret_cast<Function>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), name)));
}

// --- GDI: the process's own handle table --------------------------------

// Where a 64-bit PEB keeps the address of the GDI handle table.
constexpr std::size_t kPebGdiTableOffset = 0xF8;
constexpr std::size_t kGdiTableEntries = 0x10000;

struct GdiTableEntry {
  std::uint64_t object;
  std::uint32_t owner;
  std::uint16_t unique;
  std::uint8_t type;  // 0: a free entry
  std::uint8_t flags;
  std::uint64_t userPointer;
};
static_assert(sizeof(GdiTableEntry) == 24);

struct GdiCount {
  unsigned long used = 0;
  std::map<int, unsigned long> byType;
};

std::optional<GdiCount> UsedGdiTableEntries(HANDLE process) {
  const auto query = NtdllFunction<QueryProcess>("NtQueryInformationProcess");
  if (query == nullptr) return std::nullopt;
  PROCESS_BASIC_INFORMATION basic{};
  ULONG length = 0;
  if (query(process, ProcessBasicInformation, &basic, sizeof(basic), &length) != 0) {
    return std::nullopt;
  }
  std::uint64_t table = 0;
  SIZE_T read = 0;
  if (!ReadProcessMemory(
          process,
          static_cast<const char*>(static_cast<void*>(basic.PebBaseAddress)) + kPebGdiTableOffset,
          &table, sizeof(table), &read) ||
      table == 0) {
    return std::nullopt;
  }
  std::vector<GdiTableEntry> entries(kGdiTableEntries);
  if (!ReadProcessMemory(process, reinterpret_cast<const void*>(table), entries.data(),
                         entries.size() * sizeof(GdiTableEntry), &read)) {
    return std::nullopt;
  }
  GdiCount count;
  for (const GdiTableEntry& entry : entries) {
    if (entry.type == 0) continue;
    ++count.used;
    ++count.byType[entry.type];
  }
  return count;
}

// --- USER: the windows the process owns --------------------------------

struct WindowCount {
  DWORD processId;
  unsigned long count = 0;
};

BOOL CALLBACK CountChild(HWND, LPARAM context) {
  ++reinterpret_cast<WindowCount*>(context)->count;
  return TRUE;
}

void CountWindowAndChildren(HWND window, WindowCount& counted) {
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != counted.processId) return;
  ++counted.count;
  // EnumChildWindows visits grandchildren too.
  EnumChildWindows(window, CountChild, reinterpret_cast<LPARAM>(&counted));
}

BOOL CALLBACK CountTopLevel(HWND window, LPARAM context) {
  CountWindowAndChildren(window, *reinterpret_cast<WindowCount*>(context));
  return TRUE;
}

unsigned long OwnedWindows(DWORD processId) {
  WindowCount counted{processId};
  EnumWindows(CountTopLevel, reinterpret_cast<LPARAM>(&counted));
  // Message-only windows are not top-level windows to EnumWindows.
  for (HWND window = FindWindowExW(HWND_MESSAGE, nullptr, nullptr, nullptr); window != nullptr;
       window = FindWindowExW(HWND_MESSAGE, window, nullptr, nullptr)) {
    CountWindowAndChildren(window, counted);
  }
  return counted.count;
}

// --- The system's lists ---------------------------------------------------

constexpr ULONG kSystemProcessInformation = 5;
constexpr ULONG kSystemHandleInformation = 16;
constexpr NTSTATUS kInfoLengthMismatch = static_cast<NTSTATUS>(0xC0000004);

// One of the system's lists, in a buffer grown until it fits; empty when the
// system does not answer.
std::vector<unsigned char> SystemList(ULONG kind) {
  const auto query = NtdllFunction<QuerySystem>("NtQuerySystemInformation");
  if (query == nullptr) return {};
  std::vector<unsigned char> buffer(256 * 1024);
  for (int attempt = 0; attempt < 8; ++attempt) {
    ULONG needed = 0;
    const NTSTATUS status = query(kind, buffer.data(), static_cast<ULONG>(buffer.size()), &needed);
    if (status == 0) return buffer;
    if (status != kInfoLengthMismatch) return {};
    buffer.resize(std::max<std::size_t>(buffer.size() * 2, needed + 4096));
  }
  return {};
}

struct SystemHandleEntry {
  USHORT processId;
  USHORT creatorBackTraceIndex;
  UCHAR objectType;
  UCHAR attributes;
  USHORT handle;
  PVOID object;
  ULONG grantedAccess;
};

std::optional<unsigned long> ListedHandles(DWORD processId) {
  const std::vector<unsigned char> buffer = SystemList(kSystemHandleInformation);
  if (buffer.empty()) return std::nullopt;
  // The count, then the entries at pointer alignment.
  const ULONG total = *reinterpret_cast<const ULONG*>(buffer.data());
  const std::size_t room = (buffer.size() - sizeof(void*)) / sizeof(SystemHandleEntry);
  const auto* entries = reinterpret_cast<const SystemHandleEntry*>(buffer.data() + sizeof(void*));
  unsigned long count = 0;
  for (std::size_t i = 0; i < std::min<std::size_t>(total, room); ++i) {
    // The list carries 16 bits of the process id.
    count += entries[i].processId == static_cast<USHORT>(processId) ? 1 : 0;
  }
  return count;
}

ResourceFigure Figure(unsigned long answer, const char* answerSource,
                      const std::optional<unsigned long>& standIn, const char* standInSource) {
  if (answer != 0) return {answer, answerSource, {}};
  return {standIn, std::string(answerSource) + " answers 0; stands in: " + standInSource, {}};
}

}  // namespace

ProcessResources ReadProcessResources(HANDLE process, DWORD processId) {
  ProcessResources resources;
  const DWORD gdiAnswer = GetGuiResources(process, GR_GDIOBJECTS);
  const std::optional<GdiCount> table = UsedGdiTableEntries(process);
  resources.gdiObjects = Figure(gdiAnswer, "GetGuiResources(GR_GDIOBJECTS)",
                                table ? std::optional<unsigned long>(table->used) : std::nullopt,
                                "used entries of its GDI handle table, by the table's object type");
  if (gdiAnswer == 0 && table) {
    for (const auto& [type, count] : table->byType) {
      resources.gdiObjects.detail += (resources.gdiObjects.detail.empty() ? "" : ", ") +
                                     std::string("type ") + std::to_string(type) + ": " +
                                     std::to_string(count);
    }
  }
  resources.userObjects =
      Figure(GetGuiResources(process, GR_USEROBJECTS), "GetGuiResources(GR_USEROBJECTS)",
             OwnedWindows(processId), "windows it owns, top-level and child");
  DWORD handles = 0;
  if (!GetProcessHandleCount(process, &handles)) handles = 0;
  resources.handles = Figure(handles, "GetProcessHandleCount", ListedHandles(processId),
                             "its entries in the system handle list");
  PROCESS_MEMORY_COUNTERS memory{};
  memory.cb = sizeof(memory);
  if (GetProcessMemoryInfo(process, &memory, sizeof(memory))) {
    resources.workingSetMiB = static_cast<double>(memory.WorkingSetSize) / (1024.0 * 1024.0);
  }
  return resources;
}

std::optional<double> CpuSeconds(DWORD processId) {
  const std::vector<unsigned char> buffer = SystemList(kSystemProcessInformation);
  for (std::size_t offset = 0; offset + sizeof(SYSTEM_PROCESS_INFORMATION) <= buffer.size();) {
    const auto* entry = reinterpret_cast<const SYSTEM_PROCESS_INFORMATION*>(buffer.data() + offset);
    if (reinterpret_cast<ULONG_PTR>(entry->UniqueProcessId) == processId) {
      return static_cast<double>(entry->UserTime.QuadPart + entry->KernelTime.QuadPart) / 1e7;
    }
    if (entry->NextEntryOffset == 0) break;
    offset += entry->NextEntryOffset;
  }
  return std::nullopt;
}

std::string Describe(const ResourceFigure& figure) {
  const std::string count = figure.count ? std::to_string(*figure.count) : "no figure";
  const std::string detail = figure.detail.empty() ? "" : " [" + figure.detail + "]";
  return count + detail + " (" + figure.source + ")";
}

}  // namespace pm::e2e
