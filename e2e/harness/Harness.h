// What the end-to-end scenarios share: starting and ending copies of the
// engine, windows of the harness's own that stand in for the programs a user
// locks, finding the engine's windows, and waiting without spinning. The
// scenarios are GoogleTest tests on the fixtures of Fixtures.h, which says
// how to write one; Scenarios.h holds the steps they share.
#pragma once

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win32/Handles.h"
#include "platform/win32/Win32Registry.h"
#include "store/ItemLists.h"

namespace pm::e2e {

// The class every window of ours has.
inline constexpr wchar_t kOurWindowClass[] = L"PelmoraProWindow";

// Prints a line to stdout at once, so a failing scenario's log shows how far
// it went.
void Say(const char* format, ...);

// A path as the harness was given it, for Windows: under Wine, CTest passes
// Unix paths, which Wine's own function turns into a Z: path.
std::wstring WindowsPath(std::wstring_view path);
// The folder of a file's path, without its closing separator.
std::wstring FolderOf(const std::wstring& path);

// Every copy of the program under test a scenario started, the copies those
// started (a restart), and any other program the scenario ran, ended when
// the scenario ends whatever happened.
class Engines {
 public:
  // With `standardUser`, every copy runs with a standard user's token.
  explicit Engines(std::wstring programPath, bool standardUser = false)
      : programPath_(std::move(programPath)), standardUser_(standardUser) {}
  ~Engines() { EndAll(); }
  Engines(const Engines&) = delete;
  Engines& operator=(const Engines&) = delete;

  // Starts a copy in its own folder; answers its process id, 0 on failure.
  DWORD Start();
  // Starts another program, found on the search path like a typed command.
  DWORD StartOther(std::wstring_view commandLine);
  // Takes a copy someone else started (the service) as one of the
  // scenario's; false when it cannot be opened.
  bool Adopt(DWORD processId);
  HANDLE Process(DWORD processId) const;
  // The exit code once the process has ended within `limit`.
  std::optional<DWORD> ExitCode(DWORD processId, std::chrono::milliseconds limit) const;
  void End(DWORD processId);
  void EndAll();

  const std::wstring& programPath() const { return programPath_; }

 private:
  struct Started {
    DWORD processId = 0;
    win32::UniqueKernelHandle process;
  };
  DWORD Launch(const wchar_t* application, std::wstring commandLine, const wchar_t* folder);

  std::wstring programPath_;
  bool standardUser_ = false;
  std::vector<Started> started_;
};

// Ends every process that runs this program file, found by the file and not
// by a window, which a copy just started may not have yet.
void EndEveryCopyOf(const std::wstring& programPath);

// The product's whole registry key, empty at the start of a scenario and
// removed at its end. What a scenario writes carries Windows' rules.
class ProductKey {
 public:
  ProductKey();
  ~ProductKey();
  ProductKey(const ProductKey&) = delete;
  ProductKey& operator=(const ProductKey&) = delete;

  bool WriteSetting(std::string_view name, std::string_view text);
  std::string ReadSetting(std::string_view name);
  // A password as the service reads it: from the passwords' own key where
  // the service keeps it, else from Settings.
  std::string ReadPassword(std::string_view name);
  // Removes the key where the service keeps the passwords.
  bool ForgetProtectedPasswords();
  bool WriteLockedItems(const std::vector<store::ListItem>& items);

 private:
  bool Protected(store::RegResult written);
  win32::Win32Registry registry_;
};

// A top-level window of the harness that plays another program's window. It
// counts the WM_CLOSE it receives, notes when the first one came, and stays
// open.
class TargetWindow {
 public:
  TargetWindow(std::wstring_view title, std::wstring_view className, bool visible);
  ~TargetWindow();
  TargetWindow(const TargetWindow&) = delete;
  TargetWindow& operator=(const TargetWindow&) = delete;

  HWND handle() const { return window_.get(); }
  int closeRequests() const;
  // QueryPerformanceCounter's reading when the first WM_CLOSE reached the
  // window procedure; 0 before.
  LONGLONG firstCloseTicks() const;
  bool visible() const { return IsWindowVisible(window_.get()) != FALSE; }

 private:
  std::wstring className_;
  win32::UniqueHwnd window_;
};

struct WindowQuery {
  std::wstring title;
  std::wstring className = kOurWindowClass;
  enum class Visibility { Any, Visible, Hidden } visibility = Visibility::Any;
  DWORD processId = 0;     // 0 = any process
  DWORD notProcessId = 0;  // 0 = none excluded
  int withoutChildId = 0;  // 0 = no condition; else no child with this id
};
// The first top-level window that matches, or null.
HWND FindTopLevel(const WindowQuery& query);
std::vector<HWND> FindAllTopLevel(const WindowQuery& query);
DWORD ProcessOf(HWND window);

// Handles the harness's own messages (the engine hides and shows our windows
// with messages our thread must answer) until `done` holds or time runs out.
bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds limit);
void PumpFor(std::chrono::milliseconds duration);
void PumpPending();

std::wstring TextOf(HWND window);
std::string Utf8(std::wstring_view text);

// A control of one of our windows, found among all its descendants (the
// controls inside a frame are the frame's children): its id is
// platform::kControlIdBase + its index in the form's control table.
HWND FindControl(HWND window, int controlId);

// The engine's main window: hidden, titled as a running copy, and without the
// prompt's password box (the prompt has the same title and class).
WindowQuery MainWindowQuery(DWORD processId = 0);
WindowQuery VisiblePromptQuery();

// The visible password prompt, of pmpro or of pmpstart, driven as a user
// would: text typed into its box, its buttons pressed.
class Prompt {
 public:
  Prompt() = default;
  // The visible prompt once it is up; an empty Prompt when none came in time.
  static Prompt WaitVisible(std::chrono::milliseconds limit);
  explicit operator bool() const { return window_ != nullptr; }
  HWND handle() const { return window_; }

  HWND Control(std::string_view name) const;
  std::wstring Text(std::string_view control) const;
  bool Enabled(std::string_view control) const;
  bool StillShown() const;
  void Type(const wchar_t* text) const;
  // Posted: the click may open a message box, and a sent message would wait
  // for it to close.
  void Click(std::string_view button) const;
  void Answer(const wchar_t* password) const {
    Type(password);
    Click("cmdOK");
  }

 private:
  explicit Prompt(HWND window) : window_(window) {}
  HWND window_ = nullptr;
};

}  // namespace pm::e2e
