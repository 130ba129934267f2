// Settings that some other program or a damaged registry stored in forms the
// system never writes: wrong types, huge texts, control characters, broken
// UTF-16. The engine and the configuration tool read each as the catalogue's
// default (a string that is no valid setting reads as what the catalogue
// makes of that text), and neither crashes.
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "config/SetupDialogFixture.h"
#include "platform/Text.h"
#include "platform/sim/SimPictures.h"
#include "store/RegFileTestSupport.h"

namespace pm::tests {
namespace {

namespace reg_type = platform::reg_type;
using store::ByteArray;

struct HostileForm {
  std::string name;
  std::uint32_t type;
  // Made when the test runs, so the large ones cost nothing at start-up.
  std::function<ByteArray()> data;
  // Whether the value reads as a non-empty text (a string type); the others
  // read as if absent.
  bool readsAsText;
};

// About one megabyte of data.
constexpr std::size_t kMegabyteOfText = 512 * 1024;

// Named in the test output by its name alone.
void PrintTo(const HostileForm& value, std::ostream* out) {
  *out << value.name;
}

ByteArray Units(std::u16string_view units) {
  return Utf16Data(units);
}

std::vector<HostileForm> HostileForms() {
  using namespace std::string_view_literals;
  return {
      {"Dword", reg_type::kDword, [] { return DwordData(1); }, false},
      {"ShortDword", reg_type::kDword,
       [] {
         return ByteArray{1, 0};
       },
       false},
      {"BigEndianDword", reg_type::kDwordBigEndian,
       [] {
         return ByteArray{0, 0, 0, 1};
       },
       false},
      {"Binary", reg_type::kBinary, [] { return StringData("1"); }, false},
      {"Link", reg_type::kLink, [] { return StringData("1"); }, false},
      {"UnknownType", 0x4711, [] { return StringData("1"); }, false},
      {"EmptyString", reg_type::kSz, [] { return ByteArray{}; }, false},
      {"MultiString", reg_type::kMultiSz,
       [] {
         return MultiStringData({"1", "1"});
       },
       true},
      {"MultiStringWithoutDoubleZero", reg_type::kMultiSz, [] { return StringData("1\x1f"); },
       true},
      {"MegabyteOfText", reg_type::kSz,
       [] { return StringData(std::string(kMegabyteOfText, '1')); }, true},
      {"ControlCharacters", reg_type::kSz,
       [] {
         return StringData(
             "\x01"
             "1\r\n\x1b[0m\x7f");
       },
       true},
      {"EmbeddedZero", reg_type::kSz,
       [] {
         return Units(
             u"1\0"
             u"1\0"sv);
       },
       true},
      {"LoneSurrogates", reg_type::kSz,
       [] {
         return Units(
             u"1\xD800"
             u"1\xDC00\0"sv);
       },
       true},
      {"OddLengthWithoutTerminator", reg_type::kSz,
       [] {
         ByteArray bytes = Units(u"yes");
         bytes.push_back(0x31);
         return bytes;
       },
       true},
  };
}

// Every value of the settings key, as the catalogue names them.
std::vector<std::string> CatalogueValues() {
  std::vector<std::string> names;
  for (const store::SwitchInfo& info : store::Switches()) names.emplace_back(info.valueName);
  for (std::string_view name :
       {store::setting::kUserPassword, store::setting::kUserPassword2,
        store::setting::kPasswordPicture, store::setting::kBadPasswordPic,
        store::setting::kTimeDelay, store::setting::kRelock, store::setting::kFirstTime}) {
    names.emplace_back(name);
  }
  return names;
}

using HostileCase = std::tuple<std::string, HostileForm>;

class HostileSettingTest : public SetupDialogTest,
                           public ::testing::WithParamInterface<HostileCase> {
 protected:
  const std::string& Name() const { return std::get<0>(GetParam()); }
  const HostileForm& Form() const { return std::get<1>(GetParam()); }
  bool Is(std::string_view name) const { return platform::EqualsNoCase(Name(), name); }
};

TEST_P(HostileSettingTest, ReadsAsTheCatalogueDefaultInTheEngineAndTheTool) {
  SetRaw(registry_, store::kRootKey, store::kSettingsKey, Name(), Form().type, Form().data());
  StartEngine();

  // The engine: no switch on, no feature keyword, no timers, no start-up lock.
  EXPECT_EQ(Engine().frmMain.LockedKeywords(), std::vector<std::string>{"configuration tool"});
  EXPECT_EQ(State().TimeDelay, 0);
  EXPECT_EQ(State().RelockMinutes, 0);
  EXPECT_FALSE(State().TrayIconDisabled);
  EXPECT_TRUE(world_.tray.has_value());
  EXPECT_FALSE(ValueExists(registry_, store::kRunOnceKey, store::kRunOnceValue));
  for (const std::string& password : {State().UserPassword, State().UserPassword2}) {
    if (!Form().readsAsText || !(Is("UserPassword") || Is("UserPassword2"))) {
      EXPECT_EQ(password, "");
    } else {
      EXPECT_LE(platform::CodePointCount(password), store::kPasswordLength);
    }
  }

  // The prompt comes up for the tool, plain, with its built-in picture.
  Engine().frmMain.mnuPMISetup_Click();
  world_.RunPending();
  ASSERT_NE(Prompt(), nullptr);
  EXPECT_FALSE(Engine().frmBlank.IsLoaded() && world_.Find(Engine().frmBlank.hwnd())->visible);
  const auto picture = Prompt()->PictureOf("Image2");
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(static_cast<const sim::SimPicture&>(*picture).source(), "built-in prompt picture");
  Answer(State().UserPassword);
  ASSERT_TRUE(SetupForm().IsLoaded());

  // The tool: every switch unchecked, the timer unset, the default items
  // offered unless a text was stored as "FirstTime".
  const sim::SimWindow& setup = *Ours(SetupForm().hwnd());
  for (std::size_t i = 0; i < store::Switches().size(); ++i) {
    EXPECT_FALSE(setup.MenuChecked(config::SwitchMenuId(i))) << store::Switches()[i].valueName;
  }
  EXPECT_EQ(State().SetupTimeDelay, 0);
  const bool firstTimeText = Is("FirstTime") && Form().readsAsText;
  // 48 titles and the 8 programs Windows 10/11 shows them in.
  EXPECT_EQ(List1().ListCount(), firstTimeText ? 0 : 56);
}

INSTANTIATE_TEST_SUITE_P(EveryValueInEveryForm, HostileSettingTest,
                         ::testing::Combine(::testing::ValuesIn(CatalogueValues()),
                                            ::testing::ValuesIn(HostileForms())),
                         [](const auto& info) {
                           return std::get<0>(info.param) + "_" + std::get<1>(info.param).name;
                         });

}  // namespace
}  // namespace pm::tests
