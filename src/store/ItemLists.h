// The locked-item list and the ignore list as they are stored: one REG_SZ per
// entry named "Window" + position, items marked ",1" (locked) or ",0"
// (listed only), and the 48 items offered before the first save.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Registry.h"
#include "store/RegValue.h"
#include "store/SettingsCatalogue.h"

namespace pm::store {

inline constexpr std::string_view kItemListKey = "SOFTWARE\\Pelmora Pro\\Windows";
inline constexpr std::string_view kIgnoreListKey = "SOFTWARE\\Pelmora Pro\\Windows3";
// The same lists lie under the PC's own key and the administrator's.
inline constexpr std::string_view kItemListSubkey = "Windows";
inline constexpr std::string_view kIgnoreListSubkey = "Windows3";
// Readers look at these many positions and no further.
inline constexpr int kItemPositions = 1000;
inline constexpr int kIgnorePositions = 100;

struct ListItem {
  std::string text;
  bool checked = false;
  bool operator==(const ListItem&) const = default;
};

std::string PositionValueName(int position);

// An item value is its text and a two-character mark; a value that ends in
// neither mark, or has no text before it, is no item.
std::optional<ListItem> ParseItemValue(std::string_view stored);
std::string FormatItemValue(const ListItem& item);

// The items at positions 0 to 999 in position order, of the lists under
// `under`: the PC's own (kProductKey) or the administrator's (kPolicyKey).
std::vector<ListItem> ReadItemList(platform::Registry& registry,
                                   std::string_view under = kProductKey);
// The non-empty ignore entries at positions 0 to 99 in position order.
std::vector<std::string> ReadIgnoreList(platform::Registry& registry,
                                        std::string_view under = kProductKey);

// Rewrites both lists whole: deletes both keys, marks "FirstTime", then
// writes every item at its row and every non-empty ignore entry at its row.
// The first failure is returned.
RegResult WriteLists(platform::Registry& registry, std::span<const ListItem> items,
                     std::span<const std::string> ignoreEntries);

// Whether the configuration tool offers the default items: before the first
// save with nothing read, or whenever "FirstTime" is "0".
bool OffersDefaultItems(std::string_view firstTime, bool anyItemRead);
std::span<const std::string_view> DefaultItems();

}  // namespace pm::store
