// PBKDF2-HMAC-SHA256 and the random source, run with each backend: BCrypt
// under Wine and the portable implementation natively, both against the
// published test vectors, so a password hashed by one is checked by the other.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "platform/Crypto.h"

namespace pm::platform {
namespace {

std::string Hex(const std::vector<std::uint8_t>& bytes) {
  std::string out;
  char two[3];
  for (std::uint8_t b : bytes) {
    std::snprintf(two, sizeof two, "%02x", b);
    out += two;
  }
  return out;
}

std::span<const std::uint8_t> Bytes(std::string_view text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

struct Vector {
  const char* name;
  std::string_view password;
  std::string_view salt;
  std::uint32_t iterations;
  std::size_t length;
  const char* derivedHex;
};

class Pbkdf2Sha256Test : public ::testing::TestWithParam<Vector> {};

TEST_P(Pbkdf2Sha256Test, DerivesThePublishedKey) {
  const Vector& v = GetParam();
  EXPECT_EQ(Hex(Pbkdf2Sha256(v.password, Bytes(v.salt), v.iterations, v.length)), v.derivedHex);
}

using namespace std::string_view_literals;

// The first five are the widely published PBKDF2-HMAC-SHA256 vectors, the two
// "rfc7914" ones are from RFC 7914 section 11; the last three cover a key
// longer than a block, a salt that spills into a second block with a partial
// output block, and a UTF-8 password, checked with Python's hashlib.
INSTANTIATE_TEST_SUITE_P(
    Vectors, Pbkdf2Sha256Test,
    ::testing::Values(
        Vector{"one", "password", "salt", 1, 32,
               "120fb6cffcf8b32c43e7225256c4f837a86548c92ccc35480805987cb70be17b"},
        Vector{"two", "password", "salt", 2, 32,
               "ae4d0c95af6b46d32d0adff928f06dd02a303f8ef3c251dfd6e2d85a95474c43"},
        Vector{"many", "password", "salt", 4096, 32,
               "c5e478d59288c841aa530db6845c4c8d962893a001ce4e11a4963873aa98134a"},
        Vector{"long", "passwordPASSWORDpassword", "saltSALTsaltSALTsaltSALTsaltSALTsalt", 4096, 40,
               "348c89dbcbd32b2f32d814b8116e84cf2b17347ebc1800181c4e2a1fb8dd53e1c635518c7dac47e9"},
        Vector{"nul", "pass\0word"sv, "sa\0lt"sv, 4096, 16, "89b69d0516f829893c696226650a8687"},
        Vector{"rfc7914_one", "passwd", "salt", 1, 64,
               "55ac046e56e3089fec1691c22544b605f94185216dde0465e68b9d57c20dacbc"
               "49ca9cccf179b645991664b39d77ef317c71b845b1e30bd509112041d3a19783"},
        Vector{"rfc7914_many", "Password", "NaCl", 80000, 64,
               "4ddcd8f60b98be21830cee5ef22701f9641a4418d04c0414aeff08876b34ab56"
               "a1d425a1225833549adb841b51c9b3176a272bdebba1d078478f62b397f33c8d"},
        Vector{"key_over_a_block",
               "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx"
               "xxxxxxxxxxxxxxxxx",
               "salt", 3, 32, "59bfa49750dd5462ce38370a1e7abe0736ff334cf1c2f0d84f23a03435d660d1"},
        Vector{"salt_over_a_block",
               "yyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyy",
               "zzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzz", 2, 33,
               "0fcfd12fcabf32140ea7dc60838ddf73bc898e08faa107cea94e147570ce793b00"},
        Vector{"utf8", "\xD0\xBF\xD0\xB0\xD1\x80\xD0\xBE\xD0\xBB\xD1\x8C",
               "\x00\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0a\x0b\x0c\x0d\x0e\x0f"sv, 1000, 32,
               "dc3cbb7b0809ab4b7c1931756f52a95b49d5744cae86294b174c56107ed5c2a0"}),
    [](const ::testing::TestParamInfo<Vector>& info) { return std::string(info.param.name); });

TEST(Pbkdf2RandomBytesTest, GivesTheCountAskedForAndDiffersEachTime) {
  EXPECT_TRUE(RandomBytes(0).empty());
  const auto first = RandomBytes(16);
  const auto second = RandomBytes(16);
  ASSERT_EQ(first.size(), 16u);
  ASSERT_EQ(second.size(), 16u);
  // Equal salts from a working source have a chance of 2^-128.
  EXPECT_NE(first, second);
  EXPECT_NE(first, std::vector<std::uint8_t>(16, 0));
}

}  // namespace
}  // namespace pm::platform
