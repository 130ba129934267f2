#include "platform/win32/Win32Background.h"

#include <memory>
#include <utility>

#include "platform/DebugTrace.h"

namespace pm::win32 {

namespace {

constexpr wchar_t kWindowClass[] = L"PelmoraProBackground";
constexpr UINT kWorkDone = WM_APP + 1;

struct Job {
  std::function<void()> work;
  std::function<void()> done;
  HWND window = nullptr;
};

void RunGuarded(const std::function<void()>& f) noexcept {
  try {
    if (f) f();
  } catch (...) {
    // Nothing may unwind out of a thread or a window procedure; the caller
    // sees the work's result as it was left (a password check: no match).
    platform::TraceCaughtException("background work");
  }
}

}  // namespace

Win32Background::~Win32Background() = default;

bool Win32Background::EnsureWindow() {
  if (window_) return true;
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = &Win32Background::WindowProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = kWindowClass;
  RegisterClassExW(&windowClass);  // fails harmlessly when registered already
  window_.reset(CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                instance, nullptr));
  return static_cast<bool>(window_);
}

void Win32Background::Run(std::function<void()> work, std::function<void()> done) {
  auto job = std::make_unique<Job>(Job{std::move(work), std::move(done), nullptr});
  if (EnsureWindow()) {
    job->window = window_.get();
    const UniqueKernelHandle thread(
        CreateThread(nullptr, 0, &Win32Background::ThreadMain, job.get(), 0, nullptr));
    if (thread) {
      job.release();  // the thread owns it now, then the window procedure
      return;
    }
  }
  RunGuarded(job->work);
  RunGuarded(job->done);
}

DWORD WINAPI Win32Background::ThreadMain(void* context) {
  Job* job = static_cast<Job*>(context);
  RunGuarded(job->work);
  // The UI thread takes the job back with the message; if the window is
  // gone (the program ends), the job is left to the process's end.
  PostMessageW(job->window, kWorkDone, 0, reinterpret_cast<LPARAM>(job));
  return 0;
}

LRESULT CALLBACK Win32Background::WindowProc(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
  if (message == kWorkDone) {
    const std::unique_ptr<Job> job(reinterpret_cast<Job*>(lParam));
    RunGuarded(job->done);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace pm::win32
