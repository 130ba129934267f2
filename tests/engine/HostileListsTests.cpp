// Item and ignore lists as another program or a damaged registry may leave
// them: huge values, a full list of long items, gaps, numbering out of the
// list's order, values of the wrong type. Both readers look at every
// position in range and skip what is no entry; the engine's tick still
// blocks by them, and the tool shows each item with its own mark.
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "config/SetupDialogFixture.h"
#include "store/RegFileTestSupport.h"

namespace pm::tests {
namespace {

namespace reg_type = platform::reg_type;
using store::ListItem;

constexpr std::size_t kMegabyte = 1024 * 1024;

void Item(platform::Registry& registry, int position, std::string_view text) {
  StoreText(registry, store::kItemListKey, store::PositionValueName(position), text);
}
void Ignore(platform::Registry& registry, int position, std::string_view text) {
  StoreText(registry, store::kIgnoreListKey, store::PositionValueName(position), text);
}

// The text of item `n` of a full list: 255 characters, different in front.
std::string LongItem(int n) {
  std::string text = "Item " + std::to_string(n) + " ";
  text.resize(255, 'x');
  return text;
}

struct ListScenario {
  std::function<void(platform::Registry&)> store;
  // What the engine locks and ignores, lower case, after "configuration tool".
  std::vector<std::string> keywords;
  std::vector<std::string> ignored;
  // What the tool shows, in its sorted order.
  std::vector<ListItem> shown;
  std::string blockedTitle;  // a window the tick must hide
  std::string freeTitle;     // a window it must leave alone
};

struct ListCase {
  std::string name;
  // Made when the test runs, so the large lists cost nothing at start-up.
  std::function<ListScenario()> make;
};

// Named in the test output by its name alone.
void PrintTo(const ListCase& value, std::ostream* out) {
  *out << value.name;
}

ListScenario FullListOfLongItems() {
  ListScenario full{[](platform::Registry& r) {
                      for (int n = 0; n < store::kItemPositions; ++n) {
                        Item(r, n, LongItem(n) + ",1");
                      }
                    },
                    {},
                    {},
                    {},
                    LongItem(999),
                    "Item 1000 " + std::string(245, 'x')};
  for (int n = 0; n < store::kItemPositions; ++n) {
    full.keywords.push_back(platform::LowerCase(LongItem(n)));
    full.shown.push_back({LongItem(n), true});
  }
  std::sort(full.shown.begin(), full.shown.end(), [](const ListItem& a, const ListItem& b) {
    return platform::LowerCase(a.text) < platform::LowerCase(b.text);
  });
  return full;
}

ListScenario MegabyteEntries() {
  const std::string huge(kMegabyte, 'h');
  return {[huge](platform::Registry& r) {
            Item(r, 0, huge + ",1");
            Item(r, 1, "Registry Editor,1");
            Ignore(r, 0, huge);
          },
          {huge, "registry editor"},
          {huge},
          {{huge, true}, {"Registry Editor", true}},
          "Registry Editor",
          std::string(255, 'h')};
}

std::vector<ListCase> ListCases() {
  return {
      {"MegabyteItemAndIgnoreEntry", MegabyteEntries},
      {"GapsDoNotEndTheLists",
       [] {
         return ListScenario{[](platform::Registry& r) {
                               Item(r, 3, "Notepad,1");
                               Item(r, 999, "Paint,0");
                               Item(r, 1000, "Beyond The Last Position,1");
                               Ignore(r, 5, "Notes");
                               Ignore(r, 99, "Last Entry");
                               Ignore(r, 100, "Beyond");
                             },
                             {"notepad"},
                             {"notes", "last entry"},
                             {{"Notepad", true}, {"Paint", false}},
                             "Untitled - Notepad",
                             "Beyond The Last Position"};
       }},
      {"NumberingOutOfTheListsOrder",
       [] {
         return ListScenario{[](platform::Registry& r) {
                               Item(r, 0, "Zeta,1");
                               Item(r, 1, "Alpha,0");
                               Item(r, 2, "Mid,1");
                             },
                             {"zeta", "mid"},
                             {},
                             {{"Alpha", false}, {"Mid", true}, {"Zeta", true}},
                             "Mid - Document",
                             "Alpha - Document"};
       }},
      {"ValuesOfOtherTypesAndBrokenMarks",
       [] {
         return ListScenario{[](platform::Registry& r) {
                               SetRaw(r, store::kRootKey, store::kItemListKey, "Window0",
                                      reg_type::kDword, DwordData(0x2C31));
                               SetRaw(r, store::kRootKey, store::kItemListKey, "Window1",
                                      reg_type::kBinary, StringData("Binary,1"));
                               Item(r, 2, ",1");
                               Item(r, 3, "1");
                               Item(r, 4, "Broken,x");
                               Item(r, 5, "Calc\x01\r\n,1");
                               SetRaw(r, store::kRootKey, store::kIgnoreListKey, "Window0",
                                      reg_type::kDword, DwordData(1));
                             },
                             {"calc\x01\r\n"},
                             {},
                             {{"Calc\x01\r\n", true}},
                             "Calc\x01\r\n",
                             "Binary"};
       }},
      {"ThousandItemsOf255Characters", FullListOfLongItems},
  };
}

class HostileListTest : public SetupDialogTest, public ::testing::WithParamInterface<ListCase> {};

TEST_P(HostileListTest, EveryPositionIsReadAndTheTickStillBlocksByThem) {
  const ListScenario scenario = GetParam().make();
  StorePasswords();
  scenario.store(registry_);
  Store(store::setting::kFirstTime, "1");
  StartEngine();

  std::vector<std::string> keywords{"configuration tool"};
  keywords.insert(keywords.end(), scenario.keywords.begin(), scenario.keywords.end());
  EXPECT_EQ(Engine().frmMain.LockedKeywords(), keywords);
  EXPECT_EQ(Engine().frmMain.IgnoreKeywords(), scenario.ignored);

  const platform::Hwnd free = OpenWindow(scenario.freeTitle, "FreeClass");
  Pass(500);
  EXPECT_TRUE(Visible(free));
  const platform::Hwnd blocked = OpenWindow(scenario.blockedTitle, "BlockedClass");
  Pass(500);
  EXPECT_FALSE(Visible(blocked));
  Answer("secret");
  EXPECT_TRUE(Visible(blocked));

  OpenSetup("secret");
  EXPECT_EQ(Items(), scenario.shown);
}

INSTANTIATE_TEST_SUITE_P(Lists, HostileListTest, ::testing::ValuesIn(ListCases()),
                         [](const auto& info) { return info.param.name; });

// Saving such a list from the tool writes it back as the tool shows it:
// numbered from 0 without gaps, in the shown order, marks kept.
TEST_F(SetupDialogTest, SavingAListReadWithGapsAndOutOfOrderRenumbersIt) {
  StorePasswords();
  Item(registry_, 7, "Zeta,1");
  Item(registry_, 2, "Alpha,0");
  Ignore(registry_, 40, "Notes");
  sim::SimWindow& setup = OpenSetup("secret");
  setup.Click("cmdOK");
  world_.RunPending();
  EXPECT_EQ(ValueNames(registry_, store::kItemListKey),
            (std::vector<std::string>{"Window0", "Window1"}));
  EXPECT_EQ(StoredText(registry_, store::kItemListKey, "Window0"), "Alpha,0");
  EXPECT_EQ(StoredText(registry_, store::kItemListKey, "Window1"), "Zeta,1");
  EXPECT_EQ(ValueNames(registry_, store::kIgnoreListKey), std::vector<std::string>{"Window0"});
}

}  // namespace
}  // namespace pm::tests
