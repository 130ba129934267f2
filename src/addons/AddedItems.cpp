#include "addons/AddedItems.h"

#include "platform/Files.h"
#include "platform/ProgramPath.h"
#include "platform/Text.h"
#include "store/ItemLists.h"
#include "store/ProgramList.h"
#include "store/RegistryModule.h"
#include "store/SettingsCatalogue.h"

namespace pm::addons {

namespace {

bool EndsWithNoCase(std::string_view text, std::string_view end) {
  return text.size() >= end.size() &&
         platform::EqualsNoCase(text.substr(text.size() - end.size()), end);
}

// The value of the first position whose item has this text exactly, or the
// position after the last value present (a list's positions may have gaps).
int PositionFor(platform::Registry& registry, std::string_view key, std::string (*valueName)(int),
                int positions, std::string_view text) {
  int after = 0;
  for (int position = 0; position < positions; ++position) {
    const std::string stored =
        store::RegistryModule::ReadValue(registry, store::kRootKey, key, valueName(position))
            .Text();
    if (stored.empty()) continue;
    after = position + 1;
    if (const auto item = store::ParseItemValue(stored); item && item->text == text) {
      return position;
    }
  }
  return after;
}

}  // namespace

std::string AddedItem::Description() const {
  switch (kind) {
    case Kind::Program:
      return "every window of the program " + text;
    case Kind::Title:
      return "every window whose title contains \"" + text + "\"";
    case Kind::None:
      break;
  }
  return {};
}

AddedItem ItemForPath(std::string_view path) {
  // A Store app, typed as the shell names it: no file to look at.
  if (!store::StoreAppId(path).empty()) return {AddedItem::Kind::Program, std::string(path)};
  std::string canonical(path);
  while (canonical.size() > 3 && (canonical.back() == '\\' || canonical.back() == '/')) {
    canonical.pop_back();
  }
  if (canonical.empty()) return {};
  const std::string_view name = platform::FileNameOf(canonical);
  switch (platform::KindOfPath(canonical)) {
    case platform::PathKind::Folder:
      // A drive's root has no name of its own to look for.
      if (name.empty() || name.back() == ':') return {};
      return {AddedItem::Kind::Title, std::string(name)};
    case platform::PathKind::Missing:
      return {};
    case platform::PathKind::File:
      break;
  }
  if (EndsWithNoCase(name, ".lnk")) {
    const std::string target = platform::ShortcutTarget(canonical);
    if (EndsWithNoCase(target, ".exe")) return {AddedItem::Kind::Program, target};
  }
  if (EndsWithNoCase(name, ".exe")) return {AddedItem::Kind::Program, canonical};
  return {AddedItem::Kind::Title, std::string(name)};
}

store::RegResult WriteAddedItem(platform::Registry& target, const AddedItem& item) {
  const bool program = item.kind == AddedItem::Kind::Program;
  const std::string_view key = program ? store::kProgramListKey : store::kItemListKey;
  const int positions = program ? store::kProgramPositions : store::kItemPositions;
  const auto valueName = program ? &store::ProgramValueName : &store::PositionValueName;
  const int position = PositionFor(target, key, valueName, positions, item.text);
  if (position >= positions) return platform::ResultOf(platform::reg_error::kWriteFault);
  return store::RegistryModule::WriteValue(target, store::kRootKey, key, valueName(position),
                                           store::FormatItemValue({item.text, true}));
}

}  // namespace pm::addons
