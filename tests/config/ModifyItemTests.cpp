// The owner changes the text of an item: it is replaced, or it joins an
// equal item, and whatever it becomes is checked.
#include "config/SetupDialogFixture.h"

namespace pm::tests {
namespace {

using store::ListItem;

struct ModifyCase {
  const char* name;
  std::string_view current;  // empty: no current entry
  std::string_view typed;
  std::vector<ListItem> items;  // after OK
  std::string_view currentAfter;
};

class ModifyFixture : public SetupDialogTest {
 protected:
  sim::SimWindow& OpenModify(std::string_view current) {
    LockItems({{"Beta", false}, {"Delta", true}, {"Omega", false}});
    sim::SimWindow& setup = OpenSetup();
    if (current.empty()) {
      List1().SetListIndex(-1);
    } else {
      Select(current);
    }
    setup.Click("cmdModify");
    sim::SimWindow* dialog = Window(SetupForm().frmModify);
    EXPECT_NE(dialog, nullptr);
    return *dialog;
  }
};

class ModifyItemTest : public ModifyFixture, public ::testing::WithParamInterface<ModifyCase> {};

TEST_P(ModifyItemTest, ReplacesOrJoinsAndChecks) {
  sim::SimWindow& dialog = OpenModify(GetParam().current);
  EXPECT_EQ(dialog.TextOf("txtModify"), GetParam().current);
  dialog.Type("txtModify", GetParam().typed);
  dialog.Click("cmdOK");
  EXPECT_FALSE(SetupForm().frmModify.IsLoaded());
  EXPECT_TRUE(SetupForm().Enabled());
  EXPECT_EQ(Items(), GetParam().items);
  EXPECT_EQ(CurrentItem(), GetParam().currentAfter);
  EXPECT_TRUE(ApplyEnabled());
}

INSTANTIATE_TEST_SUITE_P(
    Edits, ModifyItemTest,
    ::testing::Values(ModifyCase{"unchanged",
                                 "Beta",
                                 "Beta",
                                 {{"Beta", true}, {"Delta", true}, {"Omega", false}},
                                 "Beta"},
                      ModifyCase{"equal_to_another",
                                 "Beta",
                                 "Omega",
                                 {{"Beta", false}, {"Delta", true}, {"Omega", true}},
                                 "Omega"},
                      ModifyCase{"case_changed",
                                 "Beta",
                                 "BETA",
                                 {{"BETA", true}, {"Delta", true}, {"Omega", false}},
                                 "BETA"},
                      ModifyCase{"moves_to_its_place",
                                 "Beta",
                                 "Zeta",
                                 {{"Delta", true}, {"Omega", false}, {"Zeta", true}},
                                 "Zeta"},
                      ModifyCase{"checked_item_edited",
                                 "Delta",
                                 "Alpha",
                                 {{"Alpha", true}, {"Beta", false}, {"Omega", false}},
                                 "Alpha"},
                      ModifyCase{
                          "no_current_entry_only_adds",
                          "",
                          "Gamma",
                          {{"Beta", false}, {"Delta", true}, {"Gamma", true}, {"Omega", false}},
                          "Gamma"}),
    [](const auto& info) { return std::string(info.param.name); });

using ModifyRefusalTest = ModifyFixture;

TEST_F(ModifyRefusalTest, AnEmptyTextIsRefusedSilentlyAndCancelChangesNothing) {
  sim::SimWindow& dialog = OpenModify("Beta");
  const std::vector<ListItem> before = Items();
  dialog.Type("txtModify", "");
  dialog.Click("cmdOK");
  EXPECT_TRUE(SetupForm().frmModify.IsLoaded());
  EXPECT_TRUE(world_.shownMessages.empty());
  EXPECT_EQ(Items(), before);
  dialog.Type("txtModify", "Changed");
  dialog.Click("cmdCancel");
  EXPECT_FALSE(SetupForm().frmModify.IsLoaded());
  EXPECT_TRUE(SetupForm().Enabled());
  EXPECT_EQ(Items(), before);
  EXPECT_FALSE(ApplyEnabled());
}

}  // namespace
}  // namespace pm::tests
