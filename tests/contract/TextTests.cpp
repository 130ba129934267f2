// Text functions, run with each backend's lower-casing: Windows' own natively
// under Wine and the simulated one natively, so both agree on the cases the
// watch loop relies on.
#include <gtest/gtest.h>

#include "platform/Text.h"

namespace pm::platform {
namespace {

struct CaseMapping {
  const char* mixed;
  const char* lower;
};

class LowerCaseTest : public ::testing::TestWithParam<CaseMapping> {};

TEST_P(LowerCaseTest, LowersEveryScriptTheTitlesUse) {
  EXPECT_EQ(LowerCase(GetParam().mixed), GetParam().lower);
}

INSTANTIATE_TEST_SUITE_P(Scripts, LowerCaseTest,
                         ::testing::Values(CaseMapping{"Registry Editor", "registry editor"},
                                           CaseMapping{"ÄÖÜ Éclair", "äöü éclair"},
                                           CaseMapping{"ДИСПЕТЧЕР Задач Ё", "диспетчер задач ё"},
                                           CaseMapping{"ΣΎΣΤΗΜΑ Ω", "σύστημα ω"},
                                           CaseMapping{"ŁÓDŹ ŒUVRE", "łódź œuvre"},
                                           CaseMapping{"emoji \xF0\x9F\x94\x92 STAYS",
                                                       "emoji \xF0\x9F\x94\x92 stays"},
                                           CaseMapping{"123 #32770 ", "123 #32770 "}));

struct CompatibleForm {
  const char* name;
  const char* text;
  const char* plain;
};

class CompatibilityFormTest : public ::testing::TestWithParam<CompatibleForm> {};

// The forms a title can take to look like plain letters without being them;
// the system's normalisation and the simulated one agree on each.
TEST_P(CompatibilityFormTest, GivesThePlainLettersAndDigits) {
  EXPECT_EQ(CompatibilityForm(GetParam().text), GetParam().plain);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, CompatibilityFormTest,
    ::testing::Values(CompatibleForm{"Plain", "Registry Editor", "Registry Editor"},
                      CompatibleForm{"FullWidth",
                                     "\uFF32\uFF45\uFF47\uFF45\uFF44\uFF49\uFF54 \uFF11",
                                     "Regedit 1"},
                      CompatibleForm{"NoBreakAndIdeographicSpaces", "a\u00A0b\u3000c", "a b c"},
                      CompatibleForm{"Ligatures", "\uFB01le \uFB02ow", "file flow"},
                      CompatibleForm{"MathematicalBold", "\U0001D411\U0001D41E\U0001D420", "Reg"},
                      CompatibleForm{"Circled", "\u24C7\u24D4\u2460", "Re1"},
                      CompatibleForm{"Superscript", "x\u00B2\u2075", "x25"},
                      CompatibleForm{"CyrillicStaysCyrillic", "\u0435", "\u0435"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TextTest, LimitsCountCodePointsAndNeverSplitACharacter) {
  const std::string title =
      "Ж\xF0\x9F\x94\x92"
      "ab";  // 4 code points in 8 bytes
  EXPECT_EQ(CodePointCount(title), 4u);
  EXPECT_EQ(FirstCodePoints(title, 2), "Ж\xF0\x9F\x94\x92");
  EXPECT_EQ(FirstCodePoints(title, 40), title);
  EXPECT_EQ(DropLastCodePoints(title, 2), "Ж\xF0\x9F\x94\x92");
  EXPECT_EQ(DropLastCodePoints("ab", 2), "");
}

TEST(TextTest, MalformedUtf8BecomesReplacementCharacters) {
  EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16("a\xFF"
                                    "b\xC3")),
            "a\xEF\xBF\xBD"
            "b\xEF\xBF\xBD");
  EXPECT_EQ(Utf16ToUtf8(std::u16string(u"x\xD800y")), "x\xEF\xBF\xBDy");
}

TEST(TextTest, Utf16RoundTripKeepsSupplementaryCharacters) {
  const std::string text = "Пароль \xF0\x9F\x94\x92 ü";
  EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16(text)), text);
  EXPECT_EQ(Utf8ToUtf16("\xF0\x9F\x94\x92").size(), 2u);
}

}  // namespace
}  // namespace pm::platform
