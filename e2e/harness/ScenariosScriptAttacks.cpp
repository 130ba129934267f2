// A standard user with a script, against the engine and the service, with
// the setup installed: the few lines such a user would write (UserScripts.h)
// run with a standard user's token, and none of them gets past the lock.
// The service's programs carry the tokens it gives them; a close or a
// made-up message changes nothing and crashes nothing; one caller's wrong
// passwords make no other caller wait; an idle client on the pipe holds no
// save back; the switches a script finds in the README are out of its
// reach, and a foreground report it forges changes nothing; an engine ended
// by an administrator is replaced before a locked window shown meanwhile can
// be read.
//
// Wine neither enforces integrity levels nor isolates user interfaces: on
// Windows a program at the user's ordinary level cannot post these messages
// to the programs at all. Here they arrive, and the programs' own checks
// are what the story shows.
#include <windows.h>
// tlhelp32.h needs the types of windows.h.
#include <tlhelp32.h>

#include <algorithm>
#include <string>
#include <vector>

#include "Fixtures.h"
#include "ServiceControl.h"
#include "StandardUser.h"
#include "Tokens.h"
#include "UserScripts.h"
#include "config/frmSetupLayout.h"
#include "platform/win32/Wide.h"
#include "platform/win32/Win32Paths.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32Security.h"
#include "platform/win32/Win32ServiceChannel.h"
#include "store/ChangeRecorder.h"
#include "store/PolicySettings.h"
#include "store/ServiceProtocol.h"
#include "store/SettingsCatalogue.h"

namespace pm::e2e {

using namespace std::chrono_literals;
using win32::Narrow;
using win32::Wide;

namespace {

constexpr DWORD kScriptLimitMs = 30000;

// A process as the system's list names it at the moment of the snapshot:
// one that ends a moment later keeps its name and parent here.
struct ProcessSeen {
  DWORD id = 0;
  DWORD parent = 0;
  std::wstring name;
};

std::vector<ProcessSeen> Processes() {
  std::vector<ProcessSeen> seen;
  const win32::UniqueKernelHandle snapshot =
      win32::OwnFileHandle(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return seen;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot.get(), &entry); more;
       more = Process32NextW(snapshot.get(), &entry)) {
    seen.push_back({entry.th32ProcessID, entry.th32ParentProcessID, entry.szExeFile});
  }
  return seen;
}

bool EndsWith(const std::wstring& text, const std::wstring& end) {
  return text.size() >= end.size() &&
         _wcsicmp(text.c_str() + text.size() - end.size(), end.c_str()) == 0;
}

// The policy a user's script writes for itself under HKCU, gone after the
// story; the machine's policy key with it.
class UserPolicyCleared {
 public:
  explicit UserPolicyCleared(std::string path) : path_(std::move(path)) {}
  ~UserPolicyCleared() {
    RegDeleteTreeW(HKEY_CURRENT_USER, Wide(path_).c_str());
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, Wide(store::kPolicyKey).c_str());
  }
  UserPolicyCleared(const UserPolicyCleared&) = delete;
  UserPolicyCleared& operator=(const UserPolicyCleared&) = delete;

 private:
  std::string path_;
};

// Whether the key below HKLM holds no value (or is not there).
bool HoldsNoValue(std::string_view path) {
  win32::UniqueHkey key;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, Wide(path).c_str(), 0, KEY_READ, key.put()) !=
      ERROR_SUCCESS) {
    return true;
  }
  DWORD values = 0;
  return RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values,
                          nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
         values == 0;
}

// The user's message font as it was, put back after the story.
class MessageFontKept {
 public:
  MessageFontKept() {
    metrics_.cbSize = sizeof(metrics_);
    kept_ = SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics_), &metrics_, 0) != 0;
  }
  ~MessageFontKept() {
    if (kept_) {
      SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof(metrics_), &metrics_,
                            SPIF_UPDATEINIFILE);
    }
  }
  MessageFontKept(const MessageFontKept&) = delete;
  MessageFontKept& operator=(const MessageFontKept&) = delete;

 private:
  NONCLIENTMETRICSW metrics_{};
  bool kept_ = false;
};

// Whether the whole window lies on its monitor.
bool OnItsMonitor(HWND window) {
  RECT place{};
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  return GetWindowRect(window, &place) &&
         GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor) &&
         place.left >= monitor.rcMonitor.left && place.top >= monitor.rcMonitor.top &&
         place.right <= monitor.rcMonitor.right && place.bottom <= monitor.rcMonitor.bottom;
}

class ScriptAttacksScenario : public ServiceScenario {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(ServiceScenario::SetUp());
    ASSERT_TRUE(StoreSettings(key, {}));
    engineId = BringUpEngine(engines);
    ASSERT_NE(engineId, 0u);
  }

  std::optional<DWORD> RunScript(const wchar_t* name) {
    return RunAsStandardUser(UserScriptCommand(name, folder), kScriptLimitMs);
  }
  bool StillRuns(DWORD processId) {
    const win32::UniqueKernelHandle process(OpenProcess(SYNCHRONIZE, FALSE, processId));
    return process && WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT;
  }

  ProductKey key;
  Engines engines{options().program, /*standardUser=*/true};
  const std::wstring folder = FolderOf(options().program) + L"\\";
  DWORD engineId = 0;
};

}  // namespace

TEST_F(ScriptAttacksScenario, ScriptAttacks) {
  Say("the token the service gave the engine");
  const TokenReadBack token = ReadBackToken(engineId);
  Say("  integrity level 0x%lx, default DACL %s", token.integrity, Utf8(token.defaultDacl).c_str());
  EXPECT_TRUE(token.AsTheServiceGivesIt())
      << "high integrity where the system reports one, and the engine's own protection on what "
         "it makes";

  Say("WM_CLOSE posted to the engine by a standard user");
  EXPECT_EQ(RunScript(L"close-engine"), DWORD{1}) << "the script finds the engine's window";
  PumpFor(2000ms);
  EXPECT_TRUE(StillRuns(engineId)) << "two seconds later the same engine runs: it refused to close";
  const HWND main = FindTopLevel(MainWindowQuery());
  EXPECT_TRUE(main != nullptr && ProcessOf(main) == engineId) << "and it is the only engine";
  EXPECT_EQ(RunScript(L"open-our-processes"), DWORD{0})
      << "the standard user can open no process of ours to end or suspend it, nor any of its "
         "threads (1: a process opened, 2: a thread)";

  Say("a locked window given back: the engine's background work has its window now");
  {
    TargetWindow editor(L"Registry Editor", L"PmHarnessRegedit", true);
    const Prompt prompt = PromptFor(editor, "Registry Editor");
    ASSERT_TRUE(prompt);
    EXPECT_TRUE(GivenBack(editor, prompt, L"secret"));
  }

  Say("made-up messages, posted and sent by a standard user to every window of ours, the "
      "prompt's among them");
  {
    TargetWindow editor(L"Registry Editor", L"PmHarnessRegedit2", true);
    const Prompt prompt = PromptFor(editor, "Registry Editor");
    ASSERT_TRUE(prompt);
    const std::optional<DWORD> windows = RunScript(L"forge-messages");
    EXPECT_TRUE(windows && *windows >= 3)
        << "the script reaches the main window, the prompt and the background work's window ("
        << windows.value_or(0) << ")";
    PumpFor(1000ms);
    EXPECT_TRUE(StillRuns(engineId)) << "the same engine still runs";
    EXPECT_TRUE(prompt.StillShown() && !editor.visible())
        << "the prompt still asks, and the window stays hidden: a label click nobody made "
           "closed nothing";
    EXPECT_TRUE(GivenBack(editor, prompt, L"secret")) << "the right password still gives it back";
  }

  Say("the help page, opened from the tool, by the service at the user's ordinary level");
  {
    const HWND tool = OpenTool(engines, engineId, L"secret");
    ASSERT_NE(tool, nullptr);
    const std::vector<ProcessSeen> before = Processes();
    PostMessageW(tool, WM_COMMAND, MAKEWPARAM(config::kmnuHelpTopics, 0), 0);
    // Windows' handler, started by the service; it may end quickly, so each
    // snapshot is looked at as it is taken.
    const auto isNew = [&](const ProcessSeen& process) {
      return std::none_of(before.begin(), before.end(),
                          [&](const ProcessSeen& old) { return old.id == process.id; });
    };
    ProcessSeen opener;
    const bool opened = WaitFor(
        [&] {
          for (const ProcessSeen& process : Processes()) {
            if (!isNew(process) || _wcsicmp(process.name.c_str(), L"rundll32.exe") != 0) continue;
            opener = process;
            return true;
          }
          return false;
        },
        kReactLimit);
    const std::wstring parent = win32::ProcessImagePath(opener.parent);
    // Wine accepts a token's new integrity level and keeps the old one, so
    // what it would read back says nothing; on Windows it is medium.
    Say("  %s started for it by %s", Utf8(opener.name).c_str(), Utf8(parent).c_str());
    EXPECT_TRUE(opened && EndsWith(parent, Wide(platform::service::kProgram)))
        << "the service opens it with Windows' own handler, on the user's token: nothing the "
           "engine opens inherits the engine's";
    PostMessageW(tool, WM_COMMAND, MAKEWPARAM(config::kmnuClose, 0), 0);
    EXPECT_TRUE(ToolGone(engineId, "closed"));
  }

  Say("five wrong passwords from a standard user");
  const std::optional<DWORD> wait = RunScript(L"guess-passwords");
  EXPECT_TRUE(wait && *wait > 0) << "the standard user's next try must wait";
  win32::Win32ServiceChannel channel(Narrow(folder));
  store::ByteArray answer;
  const bool asked =
      channel.Transact(store::EncodeRequest({store::RequestKind::CheckPassword, "secret"}),
                       answer) == 0;
  const std::optional<store::ServiceReply> reply = store::DecodeReply(answer);
  EXPECT_TRUE(asked && reply && reply->kind == store::ReplyKind::Match)
      << "the owner, another caller, is answered at once and not told to wait";

  Say("an idle client on the service's pipe");
  PROCESS_INFORMATION holder{};
  ASSERT_TRUE(CreateStandardUserProcess(UserScriptCommand(L"hold-pipe", folder), nullptr, holder));
  const win32::UniqueKernelHandle holderProcess(holder.hProcess);
  const win32::UniqueKernelHandle holderThread(holder.hThread);
  PumpFor(1000ms);
  store::ServiceRequest save(store::RequestKind::Change, "secret");
  win32::Win32Registry registry;
  store::ChangeRecorder recorder(registry);
  EXPECT_TRUE(store::WriteSetting(recorder, store::Info(store::Switch::LockZip).valueName, "1"));
  save.change = recorder.TakeChange();
  const auto started = std::chrono::steady_clock::now();
  const bool saved = channel.Transact(store::EncodeRequest(save), answer) == 0 &&
                     store::DecodeReply(answer) &&
                     store::DecodeReply(answer)->kind == store::ReplyKind::Done;
  const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now() - started);
  Say("  a save beside it took %lld ms", static_cast<long long>(took.count()));
  EXPECT_TRUE(saved && key.ReadSetting(store::Info(store::Switch::LockZip).valueName) == "1")
      << "the save is done while the idle client holds its connection";
  TerminateProcess(holderProcess.get(), 0);

  Say("a standard user's script switches the watch off where the README names its switches");
  // On Windows a key made below HKLM\\SOFTWARE\\Pelmora Pro or
  // HKLM\\SOFTWARE\\Policies takes its parent's rules, so a standard user can
  // make none there; Wine passes no rule on and checks no parent, so the
  // keys stand here as Windows would make them.
  const std::string policyIgnore = PolicyIgnoreListKey();
  const UserPolicyCleared userPolicy(policyIgnore);
  ASSERT_TRUE(ProtectAsWindowsDoes(store::kBenchmarkKey) && ProtectAsWindowsDoes(policyIgnore));
  EXPECT_EQ(RunScript(L"switch-off-the-watch"), DWORD{kWroteUserPolicy})
      << "only the user's own HKCU takes the script's writes (1: the benchmark's switches, 2: "
         "the administrator's policy)";
  EXPECT_TRUE(HoldsNoValue(store::kBenchmarkKey) && HoldsNoValue(policyIgnore))
      << "nothing the script wrote is under HKLM";

  Say("a standard user's script reports a window of its own as brought to the front");
  EXPECT_EQ(RunScript(L"report-foreground"), DWORD{1}) << "the script raised the event";
  {
    // The window in front renamed: Wine reports no new title from another
    // program, so here the engine's foreground poll sees it (in about 20 ms),
    // or, had the forged report stopped the poll, the 500 ms timer.
    TargetWindow renamed(L"Untitled - Notepad", L"PmHarnessRenamed", true);
    SetForegroundWindow(renamed.handle());
    PumpFor(300ms);
    const auto started = std::chrono::steady_clock::now();
    SetWindowTextW(renamed.handle(), L"Registry Editor");
    const bool hidden = WaitFor([&] { return !renamed.visible(); }, kReactLimit);
    Say("  the window in front, renamed to a locked title, hidden after %lld ms",
        static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                   std::chrono::steady_clock::now() - started)
                                   .count()));
    EXPECT_TRUE(hidden) << "the lock holds whatever the script reported";
  }

  Say("a standard user's script makes the message font enormous, for the next engine");
  const MessageFontKept font;
  EXPECT_EQ(RunScript(L"enlarge-message-font"), DWORD{1}) << "the script set the font";

  Say("the engine ended by an administrator, a locked window shown at once");
  const win32::UniqueKernelHandle engine(OpenProcess(PROCESS_TERMINATE, FALSE, engineId));
  ASSERT_TRUE(engine);
  const auto killed = std::chrono::steady_clock::now();
  TerminateProcess(engine.get(), 1);
  TargetWindow editor(L"Registry Editor", L"PmHarnessRegedit3", true);
  SetForegroundWindow(editor.handle());
  const bool hidden = WaitFor([&] { return !editor.visible(); }, kServiceLimit);
  const auto after = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now() - killed);
  Say("  from the kill until a new engine hid the window: %lld ms",
      static_cast<long long>(after.count()));
  EXPECT_TRUE(hidden) << "a new engine hides the locked window: the ignore entry the script "
                         "wrote for itself under HKCU counts for nothing";
  const Prompt prompt = Prompt::WaitVisible(kReactLimit);
  ASSERT_TRUE(prompt) << "the new engine asks for the password";
  RECT place{};
  GetWindowRect(prompt.handle(), &place);
  Say("  its prompt, laid out by the script's %d-pixel font: %ld x %ld pixels", kEnormousFontPixels,
      place.right - place.left, place.bottom - place.top);
  EXPECT_TRUE(OnItsMonitor(prompt.handle()))
      << "the prompt stays whole on the screen, its password box and OK on it";
  if (const HWND next = FindTopLevel(MainWindowQuery())) engines.Adopt(ProcessOf(next));
}

}  // namespace pm::e2e
