// The registry editor's export format: what we write is what regedit writes
// and reads, every value comes back byte for byte, and a file that is not
// exactly such an export is refused with a reason.
#include <gtest/gtest.h>

#include "platform/Text.h"
#include "store/RegFile.h"
#include "store/RegFileTestSupport.h"
#include "store/RegFileTree.h"

namespace pm::tests {
namespace {

using store::ByteArray;
using store::KeySnapshot;
namespace reg_type = platform::reg_type;

// The file's text; fails the test when the encoding is not the editor's.
std::string FileText(const ByteArray& bytes) {
  EXPECT_GE(bytes.size(), 2u);
  EXPECT_EQ(bytes[0], 0xFF);
  EXPECT_EQ(bytes[1], 0xFE);
  EXPECT_EQ(bytes.size() % 2, 0u);
  std::u16string units;
  for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
    units.push_back(static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8)));
  }
  return platform::Utf16ToUtf8(units);
}

KeySnapshot Tree(std::vector<KeySnapshot::Value> values,
                 std::vector<std::pair<std::string, KeySnapshot>> subkeys = {}) {
  KeySnapshot tree;
  tree.exists = true;
  tree.values = std::move(values);
  tree.subkeys = std::move(subkeys);
  return tree;
}

KeySnapshot ReadBack(const ByteArray& bytes) {
  const platform::Result<store::RegFileRead> parsed = store::ParseRegFile(bytes, kProductRootName);
  EXPECT_TRUE(parsed) << parsed.error().message;
  return parsed ? store::ToKeySnapshot(parsed->content) : KeySnapshot{};
}

struct ValueCase {
  std::string name;
  KeySnapshot::Value value;
  std::string line;  // the line regedit writes for it
};

class RegFileValueTest : public ::testing::TestWithParam<ValueCase> {};

TEST_P(RegFileValueTest, IsWrittenAsTheEditorWritesItAndReadsBackByteForByte) {
  const KeySnapshot tree = Tree({GetParam().value});
  const platform::Result<store::ByteArray> written =
      store::WriteRegFile(kProductRootName, store::FromKeySnapshot(tree));
  ASSERT_TRUE(written) << written.error().message;
  const std::string text = FileText(*written);
  EXPECT_NE(text.find("\r\n" + GetParam().line + "\r\n"), std::string::npos) << text;
  EXPECT_EQ(Describe(ReadBack(*written)), Describe(tree));
}

std::vector<ValueCase> ValueCases() {
  return {
      {"PlainText",
       {"UserPassword", reg_type::kSz, StringData("secret")},
       "\"UserPassword\"=\"secret\""},
      {"QuotesAndBackslashes",
       {"Say \"hi\"\\now", reg_type::kSz, StringData("C:\\Pictures\\\"my\" pic.bmp")},
       R"("Say \"hi\"\\now"="C:\\Pictures\\\"my\" pic.bmp")"},
      {"UnicodeBeyondTheBasicPlane",
       {"Пароль", reg_type::kSz, StringData("Größe 密码 😀")},
       "\"Пароль\"=\"Größe 密码 😀\""},
      {"EmptyText", {"FirstTime", reg_type::kSz, StringData("")}, "\"FirstTime\"=\"\""},
      {"DefaultValue", {"", reg_type::kSz, StringData("default")}, "@=\"default\""},
      {"TextWithALineBreakAsHex1",
       {"Note", reg_type::kSz, StringData("a\r\nb")},
       "\"Note\"=hex(1):61,00,0d,00,0a,00,62,00,00,00"},
      {"TextWithoutItsZeroAsHex1", {"Raw", reg_type::kSz, {0x41, 0x00}}, "\"Raw\"=hex(1):41,00"},
      {"ExpandableText",
       {"Path", reg_type::kExpandSz, StringData("%SystemRoot%")},
       "\"Path\"=hex(2):25,00,53,00,79,00,73,00,74,00,65,00,6d,00,52,00,6f,00,6f,00,74,\\\r\n"
       "  00,25,00,00,00"},
      {"MultiText",
       {"List", reg_type::kMultiSz, MultiStringData({"a", "bc"})},
       "\"List\"=hex(7):61,00,00,00,62,00,63,00,00,00,00,00"},
      {"Dword", {"Switch", reg_type::kDword, DwordData(0x1234ABCD)}, "\"Switch\"=dword:1234abcd"},
      {"DwordOfOddSizeAsHex4", {"Short", reg_type::kDword, {1, 2, 3}}, "\"Short\"=hex(4):01,02,03"},
      {"Binary", {"Blob", reg_type::kBinary, {0xDE, 0xAD, 0x00, 0xEF}}, "\"Blob\"=hex:de,ad,00,ef"},
      {"EmptyBinary", {"Nothing", reg_type::kBinary, {}}, "\"Nothing\"=hex:"},
      {"NoneType", {"Marker", reg_type::kNone, {7}}, "\"Marker\"=hex(0):07"},
      {"Qword", {"Big", 11, {1, 2, 3, 4, 5, 6, 7, 8}}, "\"Big\"=hex(b):01,02,03,04,05,06,07,08"},
      {"UnusualTypeNumber", {"Odd", 0x80004711u, {0xFF}}, "\"Odd\"=hex(80004711):ff"},
  };
}

INSTANTIATE_TEST_SUITE_P(EveryType, RegFileValueTest, ::testing::ValuesIn(ValueCases()),
                         [](const auto& info) { return info.param.name; });

TEST(RegFileTest, LongDataWrapsAtEightyColumnsAndReadsBack) {
  ByteArray blob(300);
  for (std::size_t i = 0; i < blob.size(); ++i) blob[i] = static_cast<std::uint8_t>(i * 7);
  const KeySnapshot tree = Tree({{"PasswordPictureData", reg_type::kBinary, blob}});
  const platform::Result<store::ByteArray> written =
      store::WriteRegFile(kProductRootName, store::FromKeySnapshot(tree));
  ASSERT_TRUE(written);
  const std::string text = FileText(*written);
  std::size_t lines = 0;
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = text.find("\r\n", start);
    ASSERT_NE(end, std::string::npos) << "every line ends with CR LF";
    EXPECT_LE(end - start, 80u) << text.substr(start, end - start);
    EXPECT_EQ(text.substr(start, end - start).find('\n'), std::string::npos);
    start = end + 2;
    ++lines;
  }
  EXPECT_GT(lines, 12u) << "300 bytes take more than ten lines";
  EXPECT_EQ(Describe(ReadBack(*written)), Describe(tree));
}

TEST(RegFileTest, NestedKeysComeBackWithTheAddOnKeysAndAnEmptyKey) {
  const KeySnapshot tree = Tree(
      {{"Version", reg_type::kSz, StringData("5.5")}},
      {{"Settings", Tree({{"UserPassword", reg_type::kSz, StringData("pbkdf2$...")}})},
       {"Windows", Tree({{"Window0", reg_type::kSz, StringData("Notepad,1")}})},
       {"Addon", Tree({}, {{"Settings", Tree({{"Enabled", reg_type::kDword, DwordData(1)}})}})},
       {"Addon2", Tree({}, {{"Settings", Tree({{"Level", reg_type::kDword, DwordData(2)}})}})},
       {"Empty", Tree({})}});
  const platform::Result<store::ByteArray> written =
      store::WriteRegFile(kProductRootName, store::FromKeySnapshot(tree));
  ASSERT_TRUE(written);
  const std::string text = FileText(*written);
  EXPECT_EQ(text.rfind("Windows Registry Editor Version 5.00\r\n\r\n[" +
                           std::string(kProductRootName) + "]\r\n",
                       0),
            0u);
  EXPECT_NE(text.find("\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Pelmora Pro\\Addon\\Settings]\r\n"),
            std::string::npos);
  EXPECT_NE(text.find("\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Pelmora Pro\\Empty]\r\n"),
            std::string::npos);
  EXPECT_EQ(Describe(ReadBack(*written)), Describe(tree));
}

TEST(RegFileTest, ANameWithALineBreakCannotBeWritten) {
  EXPECT_FALSE(store::WriteRegFile(kProductRootName,
                                   store::FromKeySnapshot(Tree({{"a\nb", reg_type::kSz, {}}}))));
  EXPECT_FALSE(store::WriteRegFile(kProductRootName,
                                   store::FromKeySnapshot(Tree({}, {{"a\rb", Tree({})}}))));
}

// Files as a person or another registry editor may write them.
TEST(RegFileTest, ReadsWhatOtherEditorsWrite) {
  const std::string root(kProductRootName);
  const platform::Result<store::RegFileRead> parsed =
      store::ParseRegFile(RegFileBytes("Windows Registry Editor Version 5.00\r\n"
                                       "; a comment\r\n"
                                       "[hkey_local_machine\\software\\PELMORA PRO]\r\n"
                                       "\"Wrapped\"=hex:01,AB,\\\r\n"
                                       "  Cd,\\\r\n"
                                       "\t02\r\n"
                                       "\"Short\"=dword:1\r\n"
                                       "\"Lines\"=\"a\\nb\\rc\"\r\n"
                                       "\"Twice\"=\"first\"\r\n"
                                       "[" +
                                       root +
                                       "\\Deep\\Below]\r\n"
                                       "@=\"d\"\r\n"
                                       "[" +
                                       root +
                                       "]\r\n"
                                       "\"TWICE\"=\"second\"\r\n"),
                          kProductRootName);
  ASSERT_TRUE(parsed) << parsed.error().message;
  const KeySnapshot expected =
      Tree({{"Wrapped", reg_type::kBinary, {0x01, 0xAB, 0xCD, 0x02}},
            {"Short", reg_type::kDword, DwordData(1)},
            {"Lines", reg_type::kSz, StringData("a\nb\rc")},
            {"Twice", reg_type::kSz, StringData("second")}},
           {{"Deep", Tree({}, {{"Below", Tree({{"", reg_type::kSz, StringData("d")}})}})}});
  EXPECT_EQ(Describe(store::ToKeySnapshot(parsed->content)), Describe(expected));
}

class RegFileBadFileTest : public ::testing::TestWithParam<BadFileCase> {};

TEST_P(RegFileBadFileTest, IsRefusedWithTheReason) {
  const platform::Result<store::RegFileRead> parsed =
      store::ParseRegFile(GetParam().bytes, kProductRootName);
  // A refused file gives nothing to import: the result holds only the reason.
  ASSERT_FALSE(parsed);
  EXPECT_NE(parsed.error().message.find(GetParam().errorPart), std::string::npos)
      << parsed.error().message;
}

INSTANTIATE_TEST_SUITE_P(EachFault, RegFileBadFileTest, ::testing::ValuesIn(BadExportFiles()),
                         [](const auto& info) { return info.param.name; });

TEST(RegFileTest, AFileOverTheSizeLimitIsRefusedUnread) {
  ByteArray huge = RegFileBytes("Windows Registry Editor Version 5.00\r\n");
  huge.resize(store::kMaxRegFileBytes + 2, 0x20);
  EXPECT_FALSE(store::ParseRegFile(huge, kProductRootName));
}

TEST(RegFileTest, KeysNestedBeyondTheLimitAreRefused) {
  std::string deep = std::string(kProductRootName);
  for (std::size_t i = 0; i <= store::kMaxRegFileDepth; ++i) deep += "\\k";
  const platform::Result<store::RegFileRead> parsed =
      store::ParseRegFile(RegFileBytes("Windows Registry Editor Version 5.00\r\n[" +
                                       std::string(kProductRootName) + "]\r\n[" + deep + "]\r\n"),
                          kProductRootName);
  ASSERT_FALSE(parsed);
  EXPECT_NE(parsed.error().message.find("nested"), std::string::npos) << parsed.error().message;
}

struct DecodeCase {
  std::string name;
  std::string text;
  bool ok;
  std::uint32_t type;
  ByteArray data;
};

class RegDataDecodeTest : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(RegDataDecodeTest, GivesTheTypedBytesOrRefuses) {
  const platform::Result<store::RegData> decoded = store::DecodeRegData(GetParam().text);
  ASSERT_EQ(static_cast<bool>(decoded), GetParam().ok)
      << (decoded ? std::string() : decoded.error().message);
  if (!decoded) {
    EXPECT_FALSE(decoded.error().message.empty());
    return;
  }
  EXPECT_EQ(decoded->type, GetParam().type);
  EXPECT_EQ(decoded->data, GetParam().data);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, RegDataDecodeTest,
    ::testing::Values(
        DecodeCase{"QuotedText", "\"a\\\\b\"", true, reg_type::kSz, StringData("a\\b")},
        DecodeCase{"EmptyHex2", "hex(2):", true, reg_type::kExpandSz, {}},
        DecodeCase{"HexTypeInCapitals", "hex(B):0a", true, 11, {0x0A}},
        DecodeCase{"LargestType", "hex(ffffffff):", true, 0xFFFFFFFFu, {}},
        DecodeCase{"TypeTooLong", "hex(100000000):", false, 0, {}},
        DecodeCase{"LargestDword", "dword:ffffffff", true, reg_type::kDword, DwordData(~0u)},
        DecodeCase{"EmptyDword", "dword:", false, 0, {}},
        DecodeCase{"LoneQuote", "\"", false, 0, {}},
        DecodeCase{"EscapeAtTheEnd", "\"a\\", false, 0, {}},
        DecodeCase{"Nothing", "", false, 0, {}},
        DecodeCase{"LeadingComma", "hex:,01", false, 0, {}},
        DecodeCase{"HexWithoutColon", "hex(1)01", false, 0, {}},
        DecodeCase{"UpperCaseHexWord", "HEX:01", false, 0, {}}),
    [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace pm::tests
