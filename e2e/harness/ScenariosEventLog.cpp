// The audit trail of the installed service, end to end. Wine's event log
// keeps nothing: its ReportEvent names the event's id on the advapi
// channel and prints each insert on the eventlog channel of the process
// that writes. install-test.sh starts Wine's services with those channels
// traced into a file (PMP_EVENTLOG_TRACE), and this story reads the
// service's events back from it, while a guesser, the owner and the
// administrator do what the events are about.
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include "Fixtures.h"
#include "config/frmSetupLayout.h"
#include "platform/win32/Wide.h"
#include "platform/win32/Win32ServiceChannel.h"
#include "pmp/Version.h"
#include "service/AuditEvents.h"
#include "store/ChangeRecorder.h"
#include "store/PolicySettings.h"
#include "store/RegistryModule.h"
#include "store/ServiceProtocol.h"

namespace pm::e2e {

using namespace std::chrono_literals;
using service::EventId;
using win32::Narrow;
using win32::Wide;

namespace {

constexpr std::chrono::milliseconds kServiceLimit{20000};

struct TracedEvent {
  std::uint32_t id = 0;
  std::vector<std::string> inserts;
};

// debugstr_w's quoting undone: L"..." with \\ \" \n and \t (our texts are ASCII). Wine
// cuts a long insert and marks the cut with "...": its start is kept.
std::string Unquote(std::string_view quoted) {
  std::string out;
  for (std::size_t i = 0; i < quoted.size(); ++i) {
    if (quoted[i] != '\\' || i + 1 == quoted.size()) {
      out += quoted[i];
      continue;
    }
    const char next = quoted[++i];
    out += next == 'n' ? '\n' : next == 't' ? '\t' : next == 'r' ? '\r' : next;
  }
  return out;
}

// Every event of the trace in the order written: the id from the advapi
// line, the inserts from the eventlog lines of the same thread after it.
std::vector<TracedEvent> ReadTrace(const std::wstring& path) {
  static const std::regex kId(
      R"re(^([0-9a-f]+):fixme:advapi:ReportEventW \([^,]*,[^,]*,[^,]*,0x([0-9a-f]{8}),)re");
  static const std::regex kInsert(
      R"re(^([0-9a-f]+):(trace|warn|err):eventlog:ReportEventW L"(.*)"(\.\.\.)?$)re");
  std::vector<TracedEvent> events;
  std::map<std::string, std::size_t> lastOfThread;
  std::ifstream file{std::filesystem::path(path)};
  std::string line;
  std::smatch match;
  while (std::getline(file, line)) {
    if (std::regex_search(line, match, kId)) {
      events.push_back({static_cast<std::uint32_t>(std::stoul(match[2], nullptr, 16)), {}});
      lastOfThread[match[1]] = events.size() - 1;
    } else if (std::regex_search(line, match, kInsert)) {
      const auto last = lastOfThread.find(match[1]);
      if (last != lastOfThread.end())
        events[last->second].inserts.push_back(Unquote(match[3].str()));
    }
  }
  return events;
}

class EventLogScenario : public ServiceScenario {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(ServiceScenario::SetUp());
    wchar_t path[MAX_PATH] = {};
    ASSERT_GT(GetEnvironmentVariableW(L"PMP_EVENTLOG_TRACE", path, MAX_PATH), 0u)
        << "install-test.sh names the trace file";
    trace = L"Z:" + std::wstring(path);
    for (wchar_t& c : trace) c = c == L'/' ? L'\\' : c;
    ASSERT_TRUE(StoreSettings(key, {.locked = {{"Registry Editor", true}}}));
    // Stopped and started again: both are events, and the keys get their rules.
    EXPECT_TRUE(StopService(service.get()) && StartService(service.get()));
  }
  ~EventLogScenario() override {
    win32::Win32Registry registry;
    const platform::RegStatus removed = registry.DeleteTree(store::kRootKey, store::kPolicyKey);
    EXPECT_TRUE(removed == 0 || removed == platform::reg_error::kFileNotFound) << removed;
  }

  // The first event of `id` after the `seen` first ones that `holds`.
  testing::AssertionResult Written(EventId id, const std::function<bool(const TracedEvent&)>& holds,
                                   const std::string& what) {
    const std::uint32_t wanted = service::MessageIdOf(id);
    std::vector<TracedEvent> events;
    const bool found = WaitFor(
        [&] {
          events = ReadTrace(trace);
          return std::any_of(events.begin(), events.end(), [&](const TracedEvent& event) {
            return event.id == wanted && holds(event);
          });
        },
        kServiceLimit);
    if (found) {
      Say("event %u: %s", static_cast<unsigned>(id), what.c_str());
      return testing::AssertionSuccess();
    }
    return testing::AssertionFailure() << "no event " << static_cast<int>(id) << " (" << what
                                       << ") among the " << events.size() << " traced";
  }
  static bool Mentions(const TracedEvent& event, std::string_view text) {
    return std::any_of(event.inserts.begin(), event.inserts.end(), [&](const std::string& insert) {
      return insert.find(text) != std::string::npos;
    });
  }

  ProductKey key;
  std::wstring trace;
  const std::wstring folder = FolderOf(options().program) + L"\\";
};

}  // namespace

TEST_F(EventLogScenario, EventLog) {
  EXPECT_TRUE(Written(
      EventId::ServiceStopped, [](const TracedEvent&) { return true; }, "the service stopped"));
  EXPECT_TRUE(Written(
      EventId::ServiceStarted, [](const TracedEvent& e) { return Mentions(e, kVersionText); },
      "the service started, with its version"));

  Say("a guesser and the owner at the engine's prompt");
  Engines engines(options().program, /*standardUser=*/false);
  const DWORD engineId = BringUpEngine(engines);
  ASSERT_NE(engineId, 0u);
  {
    TargetWindow editor(L"Registry Editor", L"PmHarnessEditorLog", true);
    ASSERT_TRUE(LockedOnArrival(editor, "Registry Editor"));
    if (const Prompt prompt = WaitForPrompt()) prompt.Answer(L"guess");
    // The answer is checked before the next window is: it closes this one.
    EXPECT_TRUE(WaitFor([&] { return editor.closeRequests() > 0; }, kReactLimit));
  }
  {
    TargetWindow editor(L"Registry Editor", L"PmHarnessEditorLogTwo", true);
    ASSERT_TRUE(LockedOnArrival(editor, "Registry Editor"));
    if (const Prompt prompt = WaitForPrompt()) prompt.Answer(L"secret");
    EXPECT_TRUE(WaitFor([&] { return editor.visible(); }, kReactLimit));
  }
  EXPECT_TRUE(Written(
      EventId::WrongPassword,
      [](const TracedEvent& e) { return Mentions(e, "for the locked window \"Registry Editor\""); },
      "a wrong password at the prompt, for the window, with the count"));
  EXPECT_TRUE(Written(
      EventId::WindowPasswordGiven,
      [](const TracedEvent& e) { return Mentions(e, "Registry Editor"); },
      "the password given for the window"));

  Say("the owner saves a switch in the configuration tool");
  const HWND tool = OpenTool(engines, engineId, L"secret");
  ASSERT_NE(tool, nullptr);
  PostMessageW(tool, WM_COMMAND, MAKEWPARAM(config::kmnublockinstall, 0), 0);
  PumpFor(300ms);
  PostMessageW(tool, WM_COMMAND, MAKEWPARAM(config::kmnuClose, 0), 0);
  EXPECT_TRUE(Written(
      EventId::SettingsSaved,
      [](const TracedEvent& e) { return Mentions(e, "Settings\\BlockInstall"); },
      "the settings saved, naming what changed"));

  Say("requests of another program");
  win32::Win32ServiceChannel channel(Narrow(folder));
  store::ByteArray answer;
  store::ServiceRequest guess;
  guess.password = "guess";
  EXPECT_EQ(channel.Transact(store::EncodeRequest(guess), answer), 0);
  EXPECT_TRUE(Written(
      EventId::WrongPassword,
      [](const TracedEvent& e) { return Mentions(e, "with a change of the settings"); },
      "a wrong password with a change, with the count in a row"));
  store::ServiceRequest outside;
  outside.password = "secret";
  outside.change.ops.push_back({store::ChangeOp::Kind::SetValue,
                                "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", "Forged",
                                platform::reg_type::kSz, store::RegistryModule::EncodeString("x")});
  EXPECT_EQ(channel.Transact(store::EncodeRequest(outside), answer), 0);
  EXPECT_TRUE(Written(
      EventId::RequestRefused,
      [](const TracedEvent& e) { return Mentions(e, "CurrentVersion\\Run"); },
      "a write outside our keys refused"));

  Say("the administrator's policy arrives");
  {
    win32::Win32Registry registry;
    EXPECT_TRUE(store::RegistryModule::WriteValue(registry, store::kRootKey,
                                                  "SOFTWARE\\Policies\\Pelmora Pro\\Windows",
                                                  "Window0", std::string("Calculator,1")));
    EXPECT_TRUE(store::RegistryModule::WriteValue(
        registry, store::kRootKey, store::kPolicySettingsKey, "BlankScreen", std::string("1")));
  }
  EXPECT_TRUE(Written(
      EventId::PolicyApplied,
      [](const TracedEvent& e) {
        return Mentions(e, "BlankScreen = 1") && e.inserts.size() >= 3 && e.inserts[2] == "1";
      },
      "the policy in force, what it sets"));

  Say("the engine ended by an administrator");
  {
    const win32::UniqueKernelHandle engine(OpenProcess(PROCESS_TERMINATE, FALSE, engineId));
    ASSERT_TRUE(engine && TerminateProcess(engine.get(), 1));
  }
  EXPECT_TRUE(Written(
      EventId::EngineRestarted, [](const TracedEvent&) { return true; },
      "the keeper saw the engine end and starts it again"));

  // Never a password or a hash in any event.
  for (const TracedEvent& event : ReadTrace(trace)) {
    for (const std::string& insert : event.inserts) {
      EXPECT_EQ(insert.find("secret"), std::string::npos) << insert;
      EXPECT_EQ(insert.find("guess"), std::string::npos) << insert;
      EXPECT_EQ(insert.find("pbkdf2"), std::string::npos) << insert;
    }
  }
}

}  // namespace pm::e2e
