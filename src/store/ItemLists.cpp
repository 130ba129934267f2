#include "store/ItemLists.h"

#include <array>

#include "platform/Text.h"
#include "store/RegistryModule.h"
#include "store/SettingsCatalogue.h"

namespace pm::store {
namespace {

constexpr std::string_view kLockedMark = ",1";
constexpr std::string_view kListedMark = ",0";

constexpr std::array<std::string_view, 48> kDefaultItems = {
    "Disk Cleanup",
    "Create Shortcut",
    "Exploring",
    "Registry Editor",
    "ScanDisk",
    "MS-DOS Prompt",
    "Command Prompt",
    "Disk Defragmenter",
    "Backup",
    "Folder Options",
    "File Manager",
    "Recycle Bin",
    "Control Panel",
    "Date/Time Properties",
    "Date and Time Properties",
    "Display Properties",
    "Taskbar Properties",
    "Run",
    "Find: All Files",
    "Add/Remove Programs Properties",
    "Add or Remove Programs",
    "Internet Properties",
    "Network Properties",
    "System Properties",
    "System Configuration Editor",
    "System Policy Editor",
    "System Configuration Utility",
    "Microsoft System Information",
    "Windows Task Manager",
    "Windows Explorer",
    "Taskbar and Start Menu Properties",
    "System Information",
    "Notepad",
    "Internet Explorer",
    "Microsoft Word",
    "Outlook Express -",
    "Windows Media Player",
    "Internet Options",
    "Windows Messenger",
    "WordPad",
    "Paint",
    "Volume Control",
    "Sound Recorder",
    "Address Book",
    "Printers and Faxes",
    "Network Connections",
    "User Accounts",
    "Network Neighborhood",
};

std::string ReadListValue(platform::Registry& registry, std::string_view key, int position) {
  return RegistryModule::ReadValue(registry, kRootKey, key, PositionValueName(position)).Text();
}

std::string ListKey(std::string_view under, std::string_view list) {
  return std::string(under) + "\\" + std::string(list);
}

}  // namespace

std::string PositionValueName(int position) {
  return "Window" + std::to_string(position);
}

std::optional<ListItem> ParseItemValue(std::string_view stored) {
  if (stored.empty()) return std::nullopt;
  const char mark = stored.back();
  if (mark != '1' && mark != '0') return std::nullopt;
  // An empty text would be a keyword found in every title.
  const std::string_view text = platform::DropLastCodePoints(stored, 2);
  if (text.empty()) return std::nullopt;
  return ListItem{std::string(text), mark == '1'};
}

std::string FormatItemValue(const ListItem& item) {
  return item.text + std::string(item.checked ? kLockedMark : kListedMark);
}

std::vector<ListItem> ReadItemList(platform::Registry& registry, std::string_view under) {
  const std::string key = ListKey(under, kItemListSubkey);
  std::vector<ListItem> items;
  for (int position = 0; position < kItemPositions; ++position) {
    if (auto item = ParseItemValue(ReadListValue(registry, key, position))) {
      items.push_back(std::move(*item));
    }
  }
  return items;
}

std::vector<std::string> ReadIgnoreList(platform::Registry& registry, std::string_view under) {
  const std::string key = ListKey(under, kIgnoreListSubkey);
  std::vector<std::string> entries;
  for (int position = 0; position < kIgnorePositions; ++position) {
    std::string entry = ReadListValue(registry, key, position);
    if (!entry.empty()) entries.push_back(std::move(entry));
  }
  return entries;
}

RegResult WriteLists(platform::Registry& registry, std::span<const ListItem> items,
                     std::span<const std::string> ignoreEntries) {
  FirstFailure outcome;
  for (std::string_view key : {kItemListKey, kIgnoreListKey}) {
    outcome.NoteDeletion(RegistryModule::DeleteKey(registry, kRootKey, key));
  }
  outcome.Note(WriteSetting(registry, setting::kFirstTime, "1"));
  for (std::size_t row = 0; row < items.size(); ++row) {
    outcome.Note(RegistryModule::WriteValue(registry, kRootKey, kItemListKey,
                                            PositionValueName(static_cast<int>(row)),
                                            FormatItemValue(items[row])));
  }
  for (std::size_t row = 0; row < ignoreEntries.size(); ++row) {
    if (ignoreEntries[row].empty()) continue;
    outcome.Note(RegistryModule::WriteValue(registry, kRootKey, kIgnoreListKey,
                                            PositionValueName(static_cast<int>(row)),
                                            ignoreEntries[row]));
  }
  return outcome.result();
}

bool OffersDefaultItems(std::string_view firstTime, bool anyItemRead) {
  return (firstTime.empty() && !anyItemRead) || firstTime == "0";
}

std::span<const std::string_view> DefaultItems() {
  return kDefaultItems;
}

}  // namespace pm::store
