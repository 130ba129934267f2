// A form's window under Wine when building it fails: wherever an allocation
// of ours fails while the toolkit builds a form, the error reaches the
// caller and no window of the form is left behind; and whenever a form's
// window is destroyed, its messages no longer reach the object behind it.
#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <iostream>
#include <new>
#include <vector>

#include "win32/Win32ToolkitRig.h"

namespace {

// How many allocations from now the one to fail is; 0: none fails.
std::atomic<long> allocationsUntilFailure{0};

}  // namespace

// Every allocation of the test program comes here, so that a test can make
// one of them fail as memory running out would. (The replacements pair
// malloc and free themselves, which the compiler cannot see.)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size) {
  if (allocationsUntilFailure.load() > 0 && --allocationsUntilFailure == 0) {
    throw std::bad_alloc();
  }
  if (void* memory = std::malloc(size != 0 ? size : 1)) return memory;
  throw std::bad_alloc();
}

void operator delete(void* memory) noexcept {
  std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept {
  std::free(memory);
}

namespace pm::tests {
namespace {

// What a hook on this thread sees of the program's form windows: each one
// made, and what each one's GWLP_USERDATA held when it was destroyed.
struct FormWindowsSeen {
  std::vector<HWND> made;
  std::vector<LONG_PTR> objectAtDestroy;
};
FormWindowsSeen seen;

LRESULT CALLBACK WatchFormWindows(int code, WPARAM wParam, LPARAM lParam) {
  const auto& message = *reinterpret_cast<const CWPSTRUCT*>(lParam);
  if (code == HC_ACTION && ClassOf(message.hwnd) == L"PelmoraProWindow") {
    if (message.message == WM_NCCREATE) seen.made.push_back(message.hwnd);
    if (message.message == WM_DESTROY) {
      seen.objectAtDestroy.push_back(GetWindowLongPtrW(message.hwnd, GWLP_USERDATA));
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST(FormBuild, AFailedBuildLeavesNoWindowAndNoDestroyedWindowReachesItsObject) {
  const win32::UniqueHhook hook(
      SetWindowsHookExW(WH_CALLWNDPROC, &WatchFormWindows, nullptr, GetCurrentThreadId()));
  ASSERT_TRUE(hook);
  constexpr long kMostAllocations = 20000;
  int failuresWithAWindow = 0;
  std::unique_ptr<platform::Window> built;
  EventRecorder events;
  long failing = 1;
  for (; failing < kMostAllocations && !built; ++failing) {
    seen = {};
    allocationsUntilFailure = failing;
    try {
      built = TheToolkit().CreateFormWindow(kTestForm, events, nullptr);
    } catch (const std::bad_alloc&) {
      allocationsUntilFailure = 0;
      SCOPED_TRACE("allocation " + std::to_string(failing) + " failed");
      failuresWithAWindow += seen.made.empty() ? 0 : 1;
      for (HWND made : seen.made) EXPECT_FALSE(IsWindow(made)) << "a half-built form is left";
      ASSERT_EQ(seen.objectAtDestroy.size(), seen.made.size());
      for (LONG_PTR object : seen.objectAtDestroy) EXPECT_EQ(object, 0);
      continue;
    }
    // The build went through before the failure was due.
    const bool noneFailed = allocationsUntilFailure.exchange(0) > 0;
    if (!noneFailed) built.reset();
  }
  ASSERT_NE(built, nullptr) << "no build went through";
  std::cout << "each of the build's first " << failing - 2 << " allocations failed once, "
            << failuresWithAWindow << " of them after its window was made\n";
  EXPECT_GT(failuresWithAWindow, 0) << "no allocation failed while the window was being built";
  seen = {};
  built.reset();
  ASSERT_EQ(seen.objectAtDestroy.size(), 1u);
  EXPECT_EQ(seen.objectAtDestroy[0], 0) << "the destroyed window still reached its object";
}

}  // namespace
}  // namespace pm::tests
