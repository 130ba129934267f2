// The owner's story on a PC where only the service may write the settings:
// the engine's own writes would be refused (the simulated registry refuses
// every write outside a call to the service), and everything the
// configuration tool saves goes through the service with the password that
// opened it.
#include "config/SetupDialogFixture.h"
#include "service/ServiceTestSupport.h"
#include "store/PasswordCheck.h"

namespace pm::tests {
namespace {

class SavingThroughTheServiceTest : public SetupDialogTest {
 protected:
  void SetUp() override {
    EXPECT_TRUE(store::WriteSetting(registry_, store::setting::kUserPassword,
                                    store::HashPassword("secret", kTestHashIterations)));
    LockItems({{"Registry Editor", true}});
    StartEngine();
    SetupForm().frmChangePassword.SetHashIterations(kTestHashIterations);
    State().SettingsService = &pipe_;
    pipe_.Open();
  }
  std::string Setting(std::string_view name) {
    return StoredText(registry_, store::kSettingsKey, name);
  }
  // What the service answers to a save of nothing with `ticket`.
  store::ServiceReply Reply(const std::string& ticket) {
    store::ServiceRequest request(store::RequestKind::Change, {});
    request.ticket = ticket;
    std::vector<std::uint8_t> bytes;
    pipe_.Transact(store::EncodeRequest(request), bytes);
    return store::DecodeReply(bytes).value_or(store::ServiceReply{});
  }

  MemoryJournal journal_;
  service::SettingsService service_{registry_, journal_, programFolder_,
                                    [] { return std::chrono::steady_clock::now(); }};
  InProcessService pipe_{registry_, service_};
};

TEST_F(SavingThroughTheServiceTest, TheToolSavesWithTheTicketItsPasswordGotUntilItCloses) {
  sim::SimWindow& setup = OpenSetup("Secret");
  const std::string opened = State().ToolTicket;
  EXPECT_FALSE(opened.empty()) << "the right password got the tool a ticket";
  setup.ChooseMenu(config::kmnublockinstall);
  setup.Click("cmdApply");
  EXPECT_EQ(Setting("BlockInstall"), "1");
  EXPECT_TRUE(world_.shownMessages.empty()) << world_.shownMessages.back().text;

  Ours(SetupForm().hwnd())->Click("Command1");
  sim::SimWindow* passwords = Window(SetupForm().frmChangePassword);
  ASSERT_NE(passwords, nullptr);
  for (int phase = 0; phase < 2; ++phase) {
    passwords->Type("txtPassword", "newpass");
    passwords->Type("txtPassword2", "second");
    passwords->Click("cmdOK");
  }
  world_.RunPending();  // the hashes come back
  EXPECT_TRUE(store::PasswordMatches(
      "newpass", store::ReadPassword(registry_, store::setting::kUserPassword)));
  EXPECT_EQ(Setting("UserPassword"), "") << "the service keeps it out of the Settings key";
  const std::string renewed = State().ToolTicket;
  EXPECT_FALSE(renewed.empty());
  EXPECT_NE(renewed, opened) << "a new password ends every ticket; the tool got a new one";
  EXPECT_EQ(Reply(opened).kind, store::ReplyKind::Refused) << "the old ticket is no good";

  // The tool's next save goes with the new ticket.
  setup.ChooseMenu(config::kmnulockzip);
  setup.Click("cmdOK");
  EXPECT_EQ(Setting("LockZip"), "1");
  EXPECT_TRUE(world_.shownMessages.empty()) << world_.shownMessages.back().text;
  EXPECT_TRUE(State().ToolTicket.empty()) << "the ticket is wiped when the tool unloads";
  EXPECT_EQ(Reply(renewed).kind, store::ReplyKind::Refused) << "and the service no longer takes it";
}

TEST_F(SavingThroughTheServiceTest, ARefusedSaveKeepsTheToolOpenAndLosesNothing) {
  sim::SimWindow& setup = OpenSetup("secret");
  // As if the ticket had been made up, or had run out.
  State().ToolTicket = "stale";
  setup.ChooseMenu(config::kmnublockinstall);
  setup.Click("cmdOK");
  ASSERT_EQ(world_.shownMessages.size(), 1u);
  EXPECT_NE(world_.shownMessages.back().text.find("no longer open with the password"),
            std::string::npos)
      << world_.shownMessages.back().text;
  EXPECT_TRUE(SetupForm().IsLoaded());
  EXPECT_TRUE(setup.MenuChecked(config::kmnublockinstall)) << "the edit is still there";
  EXPECT_EQ(Setting("BlockInstall"), "");
}

TEST_F(SavingThroughTheServiceTest, AToolOpenedDuringUnlockEverythingSaysHowToSave) {
  OpenSetup("secret").ChooseMenu(config::kmnuunlock);
  sim::SimWindow& setup = OpenSetup();
  EXPECT_TRUE(State().ToolTicket.empty()) << "no prompt, no ticket";
  setup.ChooseMenu(config::kmnublockinstall);
  setup.Click("cmdApply");
  ASSERT_FALSE(world_.shownMessages.empty());
  EXPECT_NE(world_.shownMessages.back().text.find("Relock Everything"), std::string::npos)
      << world_.shownMessages.back().text;
  EXPECT_EQ(Setting("BlockInstall"), "");
}

}  // namespace
}  // namespace pm::tests
