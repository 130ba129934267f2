#include "platform/win32/Win32Background.h"

#include <utility>

#include "platform/DebugTrace.h"

namespace pm::win32 {

namespace {

constexpr wchar_t kWindowClass[] = L"PelmoraProBackground";
constexpr UINT kWorkDone = WM_APP + 1;

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

Win32Background::~Win32Background() {
  // The window goes first, so no `done` runs on a half-destroyed object.
  window_.reset();
}

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
  if (!window_) return false;
  SetWindowLongPtrW(window_.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  return true;
}

void Win32Background::Run(std::function<void()> work, std::function<void()> done) {
  auto job = std::make_shared<Job>();
  job->work = std::move(work);
  job->done = std::move(done);
  if (EnsureWindow()) {
    job->number = ++lastNumber_;
    job->window = window_.get();
    auto forThread = std::make_unique<std::shared_ptr<Job>>(job);
    const UniqueKernelHandle thread(
        CreateThread(nullptr, 0, &Win32Background::ThreadMain, forThread.get(), 0, nullptr));
    if (thread) {
      forThread.release();  // the thread's now
      running_.emplace(job->number, std::move(job));
      return;
    }
  }
  RunGuarded(job->work);
  RunGuarded(job->done);
}

DWORD WINAPI Win32Background::ThreadMain(void* context) {
  const std::unique_ptr<std::shared_ptr<Job>> held(static_cast<std::shared_ptr<Job>*>(context));
  Job& job = **held;
  RunGuarded(job.work);
  job.finished.store(true, std::memory_order_release);
  // If the window is gone (the program ends), nobody waits for the answer.
  PostMessageW(job.window, kWorkDone, static_cast<WPARAM>(job.number), 0);
  return 0;
}

void Win32Background::Finish(std::uint64_t number) {
  const auto found = running_.find(number);
  // A number of no job of ours, or of one still at work: another program's
  // message, which changes nothing.
  if (found == running_.end() || !found->second->finished.load(std::memory_order_acquire)) return;
  const std::shared_ptr<Job> job = std::move(found->second);
  running_.erase(found);
  RunGuarded(job->done);
}

LRESULT CALLBACK Win32Background::WindowProc(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
  if (message == kWorkDone) {
    if (auto* background =
            reinterpret_cast<Win32Background*>(GetWindowLongPtrW(window, GWLP_USERDATA))) {
      background->Finish(static_cast<std::uint64_t>(wParam));
    }
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace pm::win32
