#include "contract/RegistryContract.h"

#include <filesystem>
#include <fstream>
#include <map>

#include "store/RegistryModule.h"
#include "store/modRegistry.h"

namespace pm::tests {

using platform::RootKey;
using store::ByteArray;
using store::RegValue;
namespace RegistryModule = store::RegistryModule;
namespace modRegistry = store::modRegistry;
namespace reg_type = platform::reg_type;

constexpr RootKey kHklm = RootKey::LocalMachine;

void RegistryContract::SetUp() {
  registry_ = GetParam().make();
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string test = info->name();
  for (char& c : test) {
    if (c == '/') c = '_';
  }
  base_ = "SOFTWARE\\Pelmora Pro Contract Tests\\" + test;
  RemoveBase();
}

void RegistryContract::TearDown() {
  RemoveBase();
}

void RegistryContract::RemoveBase() {
  const platform::RegStatus status = registry_->DeleteTree(kHklm, base_);
  EXPECT_TRUE(status == platform::reg_error::kSuccess ||
              status == platform::reg_error::kFileNotFound)
      << status;
}

std::string RegistryContract::Key(std::string_view subkey) const {
  return subkey.empty() ? base_ : base_ + "\\" + std::string(subkey);
}

void RegistryContract::SetRaw(std::string_view subkey, std::string_view name, std::uint32_t type,
                              std::vector<std::uint8_t> data) {
  platform::RegStatus status = 0;
  bool existed = false;
  const auto key = platform::RegKey::Create(*registry_, kHklm, Key(subkey),
                                            platform::reg_access::kAllAccess, status, existed);
  ASSERT_TRUE(key) << status;
  ASSERT_EQ(registry_->SetValue(key.get(), name, type, data), 0);
}

std::uint32_t RegistryContract::RawType(std::string_view subkey, std::string_view name,
                                        std::uint32_t& size) {
  platform::RegStatus status = 0;
  const auto key =
      platform::RegKey::Open(*registry_, kHklm, Key(subkey), platform::reg_access::kRead, status);
  std::uint32_t type = 0;
  std::vector<std::uint8_t> buffer(64);
  if (!key || registry_->QueryValue(key.get(), name, type, buffer, size) != 0) return 0xFFFFFFFF;
  return type;
}

std::string BackendName(const ::testing::TestParamInfo<RegistryBackend>& info) {
  return info.param.name;
}

namespace {

ByteArray Utf16Bytes(std::u16string_view text) {
  ByteArray bytes;
  for (char16_t unit : text) {
    bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
  }
  return bytes;
}

std::filesystem::path TempFile(const std::string& name) {
  return std::filesystem::temp_directory_path() / name;
}

}  // namespace

TEST_P(RegistryContract, AbsentKeyOrValueGivesTheDefaultOrEmpty) {
  SetRaw("", "Present", reg_type::kSz, Utf16Bytes(u"x"));
  for (const auto& [path, name] :
       {std::pair{Key("Missing"), "Present"}, std::pair{Key(), "Missing"}}) {
    SCOPED_TRACE(path + " / " + name);
    EXPECT_TRUE(RegistryModule::ReadValue(*registry_, kHklm, path, name).IsEmpty());
    EXPECT_EQ(RegistryModule::ReadValue(*registry_, kHklm, path, name, RegValue("dflt")),
              RegValue("dflt"));
  }
}

TEST_P(RegistryContract, TypesTheLayerDoesNotReadGiveTheDefault) {
  const std::uint32_t unreadTypes[] = {reg_type::kNone, reg_type::kDwordBigEndian, reg_type::kLink,
                                       11 /* REG_QWORD */};
  for (std::uint32_t type : unreadTypes) {
    SCOPED_TRACE(type);
    SetRaw("", "Odd", type, {0, 0, 0, 5, 0, 0, 0, 0});
    EXPECT_EQ(RegistryModule::ReadValue(*registry_, kHklm, Key(), "Odd", RegValue(std::int32_t{7})),
              RegValue(std::int32_t{7}));
    EXPECT_TRUE(RegistryModule::ReadValue(*registry_, kHklm, Key(), "Odd").IsEmpty());
  }
}

struct StoredString {
  const char* what;
  std::uint32_t type;
  ByteArray data;
  std::string expected;
};

TEST_P(RegistryContract, StoredStringsReadWithoutTheirTerminators) {
  const StoredString cases[] = {
      {"empty REG_SZ", reg_type::kSz, {}, ""},
      {"REG_SZ of one zero byte", reg_type::kSz, {0}, ""},
      {"REG_SZ of one zero character", reg_type::kSz, {0, 0}, ""},
      {"REG_SZ without terminator", reg_type::kSz, Utf16Bytes(u"abc"), "abc"},
      {"REG_SZ with odd size", reg_type::kSz, {'a', 0, 'b'}, "a"},
      {"REG_EXPAND_SZ not expanded", reg_type::kExpandSz, Utf16Bytes(u"%PATH%\0"), "%PATH%"},
      {"empty REG_MULTI_SZ", reg_type::kMultiSz, {}, ""},
      {"REG_MULTI_SZ of one byte", reg_type::kMultiSz, {0}, ""},
      {"REG_MULTI_SZ of two strings", reg_type::kMultiSz,
       Utf16Bytes(std::u16string_view(u"a\0b\0\0", 5)), std::string("a\0b", 3)},
  };
  for (const StoredString& c : cases) {
    SCOPED_TRACE(c.what);
    SetRaw("", "S", c.type, c.data);
    EXPECT_EQ(RegistryModule::ReadValue(*registry_, kHklm, Key(), "S"), RegValue(c.expected));
  }
}

// Values another program may have stored, read through the platform's own
// query: sizes at and around the first read's buffer, a megabyte, no
// terminators, broken UTF-16. Each reads whole or as the default, never more.
TEST_P(RegistryContract, HostileValuesReadWholeOrAsTheDefault) {
  const std::u16string megabyte(512 * 1024, u'm');
  ByteArray oddMegabyte = Utf16Bytes(megabyte);
  oddMegabyte.push_back('z');
  ByteArray multiWithOneZero = Utf16Bytes(std::u16string_view(u"a\0b\0", 4));
  const std::u16string exactlyFirstRead(512, u'q');  // 1024 bytes, no terminator
  const StoredString cases[] = {
      {"REG_SZ of 1024 bytes without terminator", reg_type::kSz, Utf16Bytes(exactlyFirstRead),
       std::string(512, 'q')},
      {"REG_SZ of 1025 bytes", reg_type::kSz,
       [&] {
         ByteArray b = Utf16Bytes(exactlyFirstRead);
         b.push_back(0);
         return b;
       }(),
       std::string(512, 'q')},
      {"REG_SZ of a megabyte without terminator", reg_type::kSz, Utf16Bytes(megabyte),
       std::string(megabyte.size(), 'm')},
      {"REG_SZ of a megabyte and an odd byte", reg_type::kSz, oddMegabyte,
       std::string(megabyte.size(), 'm')},
      {"REG_MULTI_SZ with a single final zero", reg_type::kMultiSz, multiWithOneZero,
       std::string("a\0b", 3)},
      {"REG_SZ of lone surrogates",
       reg_type::kSz,
       {0x00, 0xD8, 'x', 0, 0x00, 0xDC, 0, 0},
       "\xEF\xBF\xBDx\xEF\xBF\xBD"},
      {"REG_SZ of control characters", reg_type::kSz, Utf16Bytes(u"\x01\r\n\x1b\x7f"),
       "\x01\r\n\x1b\x7f"},
  };
  for (const StoredString& c : cases) {
    SCOPED_TRACE(c.what);
    SetRaw("", "S", c.type, c.data);
    EXPECT_EQ(RegistryModule::ReadValue(*registry_, kHklm, Key(), "S"), RegValue(c.expected));
  }
  const ByteArray binary(1024 * 1024, 0xA5);
  SetRaw("", "B", reg_type::kBinary, binary);
  EXPECT_EQ(RegistryModule::ReadValue(*registry_, kHklm, Key(), "B"), RegValue(binary));
  SetRaw("", "D", reg_type::kDword, {1, 0});
  EXPECT_TRUE(RegistryModule::ReadValue(*registry_, kHklm, Key(), "D").IsEmpty())
      << "a DWORD of two bytes is no number";
}

TEST_P(RegistryContract, WrittenValuesReadBackUnchanged) {
  const RegValue values[] = {
      RegValue("Registry Editor,1"),
      RegValue(std::string(5000, 'x') + "end"),  // beyond the first 1024-byte read
      RegValue("Диспетчер задач"),
      RegValue("locked \xF0\x9F\x94\x92 emoji"),
      RegValue(std::string("embedded\0zero", 13)),
      RegValue(std::int32_t{-123456}),
      RegValue(ByteArray{0, 1, 2, 255}),
      RegValue(ByteArray(3000, 0xAB)),
  };
  int index = 0;
  for (const RegValue& value : values) {
    const std::string name = "V" + std::to_string(index++);
    SCOPED_TRACE(name);
    ASSERT_TRUE(RegistryModule::WriteValue(*registry_, kHklm, Key(), name, value));
    EXPECT_EQ(RegistryModule::ReadValue(*registry_, kHklm, Key(), name), value);
  }
}

TEST_P(RegistryContract, SixteenBitIntegersAreStoredAsDwordAndReadAs32Bit) {
  for (std::int16_t n : {std::int16_t{5}, std::int16_t{-5}, std::int16_t{32767}}) {
    SCOPED_TRACE(n);
    ASSERT_TRUE(RegistryModule::WriteValue(*registry_, kHklm, Key(), "N", n));
    std::uint32_t size = 0;
    EXPECT_EQ(RawType("", "N", size), reg_type::kDword);
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(RegistryModule::ReadValue(*registry_, kHklm, Key(), "N"),
              RegValue(static_cast<std::int32_t>(n)));
  }
}

TEST_P(RegistryContract, StringsAreStoredAsRegSzWithTheirTerminator) {
  ASSERT_TRUE(RegistryModule::WriteValue(*registry_, kHklm, Key(), "S", "1"));
  std::uint32_t size = 0;
  EXPECT_EQ(RawType("", "S", size), reg_type::kSz);
  EXPECT_EQ(size, 4u);
}

TEST_P(RegistryContract, ValueAndKeyNamesCompareWithoutCase) {
  ASSERT_TRUE(RegistryModule::WriteValue(*registry_, kHklm, Key("Ключ"), "Пароль", "a"));
  ASSERT_TRUE(RegistryModule::WriteValue(*registry_, kHklm, Key("КЛЮЧ"), "ПАРОЛЬ", "b"));
  EXPECT_EQ(RegistryModule::ReadValue(*registry_, kHklm, Key("ключ"), "пароль"), RegValue("b"));
}

TEST_P(RegistryContract, WritingCreatesTheKeyAndItsMissingParents) {
  ASSERT_TRUE(RegistryModule::WriteValue(*registry_, kHklm, Key("a\\b\\c"), "V", "deep"));
  EXPECT_EQ(RegistryModule::ReadValue(*registry_, kHklm, Key("a\\b\\c"), "V"), RegValue("deep"));
  EXPECT_TRUE(RegistryModule::EnsureKey(*registry_, kHklm, Key("a\\b")));
}

TEST_P(RegistryContract, EnsureKeyTellsWhetherTheKeyExisted) {
  EXPECT_FALSE(RegistryModule::EnsureKey(*registry_, kHklm, Key("New")));
  EXPECT_TRUE(RegistryModule::EnsureKey(*registry_, kHklm, Key("New")));
}

TEST_P(RegistryContract, WritingAnEmptyValueRaises1001AndChangesNothing) {
  try {
    const store::RegResult unreached =
        RegistryModule::WriteValue(*registry_, kHklm, Key("K"), "V", RegValue());
    FAIL() << "no error raised";
  } catch (const store::RegistryError& error) {
    EXPECT_EQ(error.number(), 1001);
    EXPECT_STREQ(error.what(), "Unsupported value type");
  }
  EXPECT_FALSE(RegistryModule::EnsureKey(*registry_, kHklm, Key("K")));
}

TEST_P(RegistryContract, DeleteValueReportsWhetherItDeleted) {
  EXPECT_FALSE(modRegistry::DeleteValue(*registry_, kHklm, Key("Missing"), "V"));
  // The failed delete created nothing.
  EXPECT_FALSE(RegistryModule::EnsureKey(*registry_, kHklm, Key("Missing")));
  ASSERT_TRUE(RegistryModule::WriteValue(*registry_, kHklm, Key(), "V", "x"));
  EXPECT_FALSE(modRegistry::DeleteValue(*registry_, kHklm, Key(), "Other"));
  EXPECT_TRUE(modRegistry::DeleteValue(*registry_, kHklm, Key(), "V"));
  EXPECT_TRUE(RegistryModule::ReadValue(*registry_, kHklm, Key(), "V").IsEmpty());
}

TEST_P(RegistryContract, DeleteKeyRemovesAKeyOfValuesButNotOneWithSubkeys) {
  ASSERT_TRUE(RegistryModule::WriteValue(*registry_, kHklm, Key("Values"), "V", "x"));
  ASSERT_TRUE(RegistryModule::WriteValue(*registry_, kHklm, Key("Parent\\Child"), "V", "x"));
  EXPECT_TRUE(RegistryModule::DeleteKey(*registry_, kHklm, Key("Values")));
  EXPECT_FALSE(RegistryModule::EnsureKey(*registry_, kHklm, Key("Values")));
  EXPECT_FALSE(RegistryModule::DeleteKey(*registry_, kHklm, Key("Parent")));
  EXPECT_EQ(RegistryModule::ReadValue(*registry_, kHklm, Key("Parent\\Child"), "V"), RegValue("x"));
  EXPECT_EQ(RegistryModule::DeleteKey(*registry_, kHklm, Key("Nothing")).code(),
            platform::reg_error::kFileNotFound);
}

TEST_P(RegistryContract, EnumerationListsSubkeysAndTypedValues) {
  ASSERT_TRUE(RegistryModule::WriteValue(*registry_, kHklm, Key("Sub"), "V", "x"));
  ASSERT_TRUE(RegistryModule::WriteValue(*registry_, kHklm, Key(), "Text", "hello"));
  ASSERT_TRUE(RegistryModule::WriteValue(*registry_, kHklm, Key(), "Number", std::int32_t{9}));
  platform::RegStatus status = 0;
  const auto key =
      platform::RegKey::Open(*registry_, kHklm, Key(), platform::reg_access::kRead, status);
  ASSERT_TRUE(key);
  std::string name;
  ASSERT_EQ(registry_->EnumKey(key.get(), 0, name), 0);
  EXPECT_EQ(name, "Sub");
  EXPECT_EQ(registry_->EnumKey(key.get(), 1, name), platform::reg_error::kNoMoreItems);
  std::map<std::string, std::pair<std::uint32_t, std::size_t>> seen;
  std::uint32_t type = 0;
  ByteArray data;
  for (std::uint32_t i = 0; registry_->EnumValue(key.get(), i, name, type, data) == 0; ++i) {
    seen[name] = {type, data.size()};
  }
  EXPECT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen["Text"], std::make_pair(reg_type::kSz, std::size_t{12}));
  EXPECT_EQ(seen["Number"], std::make_pair(reg_type::kDword, std::size_t{4}));
}

TEST_P(RegistryContract, SaveKeyToFileReplacesAnExistingFile) {
  const std::filesystem::path file = TempFile("pm-contract-save-" + GetParam().name + ".hiv");
  { std::ofstream(file) << "an older export"; }
  ASSERT_TRUE(RegistryModule::WriteValue(*registry_, kHklm, Key(), "V", "saved"));
  EXPECT_TRUE(modRegistry::SaveKeyToFile(*registry_, kHklm, Key(), file.string()));
  std::ifstream in(file, std::ios::binary);
  const std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_NE(content, "an older export");
  EXPECT_FALSE(content.empty());
  in.close();
  std::filesystem::remove(file);
}

TEST_P(RegistryContract, RestoreKeyFromFileReplacesTheSubtree) {
  if (!GetParam().restoresHives) {
    GTEST_SKIP() << "Wine's RegRestoreKey reports success and restores nothing";
  }
  const std::filesystem::path file = TempFile("pm-contract-restore-" + GetParam().name + ".hiv");
  std::filesystem::remove(file);
  ASSERT_TRUE(RegistryModule::WriteValue(*registry_, kHklm, Key("Sub"), "Kept", "before"));
  ASSERT_TRUE(modRegistry::SaveKeyToFile(*registry_, kHklm, Key(), file.string()));
  ASSERT_TRUE(RegistryModule::WriteValue(*registry_, kHklm, Key("Sub"), "Kept", "after"));
  ASSERT_TRUE(RegistryModule::WriteValue(*registry_, kHklm, Key("Extra"), "New", "x"));
  EXPECT_TRUE(modRegistry::RestoreKeyFromFile(*registry_, kHklm, Key(), file.string()));
  EXPECT_EQ(RegistryModule::ReadValue(*registry_, kHklm, Key("Sub"), "Kept"), RegValue("before"));
  EXPECT_FALSE(RegistryModule::EnsureKey(*registry_, kHklm, Key("Extra")));
  std::filesystem::remove(file);
}

}  // namespace pm::tests
