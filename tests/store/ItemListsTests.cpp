#include "store/ItemLists.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "store/StoreTestSupport.h"

namespace pm::tests {
namespace {

using store::ListItem;

struct ItemValueCase {
  const char* stored;
  std::optional<ListItem> item;
};

class ItemValueTest : public ::testing::TestWithParam<ItemValueCase> {};

TEST_P(ItemValueTest, TheLastMarkDecidesAndTheRestIsTheText) {
  EXPECT_EQ(store::ParseItemValue(GetParam().stored), GetParam().item);
}

INSTANTIATE_TEST_SUITE_P(
    StoredValues, ItemValueTest,
    ::testing::Values(ItemValueCase{"Registry Editor,1", ListItem{"Registry Editor", true}},
                      ItemValueCase{"Notepad,0", ListItem{"Notepad", false}},
                      ItemValueCase{"Total,1,1", ListItem{"Total,1", true}},
                      ItemValueCase{"Ж,1", ListItem{"Ж", true}},
                      ItemValueCase{"Notepad", std::nullopt},
                      ItemValueCase{"Notepad,2", std::nullopt}, ItemValueCase{"1", std::nullopt},
                      ItemValueCase{"0", std::nullopt}, ItemValueCase{",1", std::nullopt},
                      ItemValueCase{"", std::nullopt}));

class ItemListsTest : public ::testing::Test {
 protected:
  sim::SimRegistry registry_;
};

TEST_F(ItemListsTest, ThreeItemsWithTheMiddleUncheckedAreStoredInRowOrder) {
  const std::vector<ListItem> items = {{"Alpha", true}, {"Beta", false}, {"Gamma", true}};
  ASSERT_TRUE(store::WriteLists(registry_, items, {}));
  EXPECT_EQ(ValueNames(registry_, store::kItemListKey),
            (std::vector<std::string>{"Window0", "Window1", "Window2"}));
  EXPECT_EQ(StoredText(registry_, store::kItemListKey, "Window0"), "Alpha,1");
  EXPECT_EQ(StoredText(registry_, store::kItemListKey, "Window1"), "Beta,0");
  EXPECT_EQ(StoredText(registry_, store::kItemListKey, "Window2"), "Gamma,1");
  EXPECT_EQ(store::ReadItemList(registry_), items);
  EXPECT_EQ(StoredText(registry_, store::kSettingsKey, "FirstTime"), "1");
}

TEST_F(ItemListsTest, AnEmptiedListLeavesNoValuesAndOffersNoDefaults) {
  ASSERT_TRUE(store::WriteLists(registry_, std::vector<ListItem>{{"Old", true}, {"Older", true}},
                                std::vector<std::string>{"keep out"}));
  ASSERT_TRUE(store::WriteLists(registry_, {}, {}));
  EXPECT_TRUE(ValueNames(registry_, store::kItemListKey).empty());
  EXPECT_TRUE(ValueNames(registry_, store::kIgnoreListKey).empty());
  EXPECT_FALSE(store::OffersDefaultItems(StoredText(registry_, store::kSettingsKey, "FirstTime"),
                                         !store::ReadItemList(registry_).empty()));
}

TEST_F(ItemListsTest, AnItemEndingInAMarkKeepsItThroughARoundTrip) {
  ASSERT_TRUE(store::WriteLists(registry_, std::vector<ListItem>{{"Report,1", false}}, {}));
  EXPECT_EQ(StoredText(registry_, store::kItemListKey, "Window0"), "Report,1,0");
  EXPECT_EQ(store::ReadItemList(registry_), (std::vector<ListItem>{{"Report,1", false}}));
}

TEST_F(ItemListsTest, EmptyIgnoreEntriesLeaveAHoleThatReadersSkip) {
  const std::vector<std::string> ignore = {"setup log", "", "install notes"};
  ASSERT_TRUE(store::WriteLists(registry_, {}, ignore));
  EXPECT_EQ(ValueNames(registry_, store::kIgnoreListKey),
            (std::vector<std::string>{"Window0", "Window2"}));
  EXPECT_EQ(store::ReadIgnoreList(registry_),
            (std::vector<std::string>{"setup log", "install notes"}));
}

TEST_F(ItemListsTest, ReadersStopAtPosition999AndIgnorePosition99) {
  std::vector<ListItem> items(1001, ListItem{"Item", true});
  items[999].text = "Last read";
  items[1000].text = "Never read";
  std::vector<std::string> ignore(101, "Ignored");
  ignore[100] = "Never read";
  ASSERT_TRUE(store::WriteLists(registry_, items, ignore));
  const auto read = store::ReadItemList(registry_);
  ASSERT_EQ(read.size(), 1000u);
  EXPECT_EQ(read.back().text, "Last read");
  const auto readIgnore = store::ReadIgnoreList(registry_);
  EXPECT_EQ(readIgnore.size(), 100u);
  EXPECT_EQ(std::count(readIgnore.begin(), readIgnore.end(), "Never read"), 0);
}

TEST_F(ItemListsTest, HolesAndBadMarksInTheItemListAreSkipped) {
  StoreText(registry_, store::kItemListKey, "Window0", "First,1");
  StoreText(registry_, store::kItemListKey, "Window2", "Second,0");
  StoreText(registry_, store::kItemListKey, "Window3", "No mark");
  StoreText(registry_, store::kItemListKey, "Window4", "1");
  StoreText(registry_, store::kItemListKey, "Window7", "Third,1");
  EXPECT_EQ(store::ReadItemList(registry_),
            (std::vector<ListItem>{{"First", true}, {"Second", false}, {"Third", true}}));
}

TEST_F(ItemListsTest, AFailedWriteIsReportedAndTheOtherRowsAreStillWritten) {
  registry_.FailValueWrite("Window1");
  const std::vector<ListItem> items = {{"A", true}, {"B", true}, {"C", true}};
  EXPECT_EQ(store::WriteLists(registry_, items, {}).code(), platform::reg_error::kWriteFault);
  EXPECT_EQ(ValueNames(registry_, store::kItemListKey),
            (std::vector<std::string>{"Window0", "Window2"}));
}

struct DefaultsCase {
  const char* firstTime;
  bool anyItemRead;
  bool offered;
};

class DefaultItemsTest : public ::testing::TestWithParam<DefaultsCase> {};

TEST_P(DefaultItemsTest, OfferedBeforeTheFirstSaveOrWhenFirstTimeIsZero) {
  EXPECT_EQ(store::OffersDefaultItems(GetParam().firstTime, GetParam().anyItemRead),
            GetParam().offered);
}

INSTANTIATE_TEST_SUITE_P(FirstTimeValues, DefaultItemsTest,
                         ::testing::Values(DefaultsCase{"", false, true},
                                           DefaultsCase{"", true, false},
                                           DefaultsCase{"0", true, true},
                                           DefaultsCase{"1", false, false},
                                           DefaultsCase{"yes", false, false}));

TEST(DefaultItemsListTest, HoldsTheFortyEightDistinctItems) {
  const auto defaults = store::DefaultItems();
  EXPECT_EQ(defaults.size(), 48u);
  std::vector<std::string_view> sorted(defaults.begin(), defaults.end());
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(std::adjacent_find(sorted.begin(), sorted.end()), sorted.end());
  EXPECT_NE(std::find(defaults.begin(), defaults.end(), "Outlook Express -"), defaults.end());
}

}  // namespace
}  // namespace pm::tests
