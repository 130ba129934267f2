// The one password check: salted hashes of the lower-case password, and the
// plain lower-case values earlier versions stored, which must keep working.
#include <gtest/gtest.h>

#include <string>

#include "engine/EngineFixture.h"
#include "platform/sim/SimCrypto.h"
#include "platform/sim/SimDesktop.h"
#include "platform/sim/SimRegistry.h"
#include "platform/sim/SimShell.h"
#include "platform/sim/SimToolkit.h"
#include "platform/sim/SimWindow.h"
#include "prompt/frmPassword.h"
#include "startup/Form1.h"
#include "store/PasswordCheck.h"
#include "store/PasswordQuestion.h"
#include "store/SettingsCatalogue.h"

namespace pm::tests {
namespace {

using store::HashPassword;
using store::PasswordMatches;

constexpr std::uint32_t kFewRounds = 1000;

struct PlainCase {
  const char* name;
  std::string_view stored;
  std::string_view typed;
  bool matches;
};

class PlainPasswordTest : public ::testing::TestWithParam<PlainCase> {};

TEST_P(PlainPasswordTest, IsComparedByItsFirstSixteenCharactersInAnyCase) {
  EXPECT_EQ(store::PasswordMatches(GetParam().typed, GetParam().stored), GetParam().matches);
}

// A plain value is replaced by its hash when the settings are next written:
// the same texts, and only those, must open the hash.
TEST_P(PlainPasswordTest, OpensForTheSameTextsOnceReplacedByItsHash) {
  const std::string hashed = store::HashPlainPassword(GetParam().stored, kFewRounds);
  EXPECT_EQ(hashed.empty(), GetParam().stored.empty());
  if (!hashed.empty()) {
    EXPECT_TRUE(store::IsHashedPassword(hashed)) << hashed;
    EXPECT_EQ(store::HashPlainPassword(hashed, kFewRounds), hashed) << "hashed only once";
  }
  EXPECT_EQ(store::PasswordMatches(GetParam().typed, hashed), GetParam().matches);
}

INSTANTIATE_TEST_SUITE_P(
    StoredBefore, PlainPasswordTest,
    ::testing::Values(PlainCase{"same", "secret", "secret", true},
                      PlainCase{"capitals", "secret", "SeCrEt", true},
                      PlainCase{"other", "secret", "secrets", false},
                      PlainCase{"blank_added", "secret", "secret ", false},
                      PlainCase{"cut_to_sixteen", "abcdefghijklmnopqrs", "ABCDEFGHIJKLMNOP", true},
                      PlainCase{"cyrillic", "пароль", "ПАРОЛЬ", true},
                      // Written by another program: no typing opens it.
                      PlainCase{"capitals_stored", "Secret", "secret", false},
                      PlainCase{"capitals_stored_typed", "Secret", "Secret", false},
                      PlainCase{"none_stored_empty_box", "", "", true},
                      PlainCase{"none_stored_typed", "", "x", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(HashedPasswordTest, IsStoredSelfDescribingAndMatchesInAnyCase) {
  const std::string stored = store::HashPassword("Secret", kFewRounds);
  EXPECT_EQ(stored.rfind("pbkdf2-sha256$1000$", 0), 0u) << stored;
  EXPECT_EQ(stored.find("ecret"), std::string::npos);
  EXPECT_TRUE(store::PasswordMatches("secret", stored));
  EXPECT_TRUE(store::PasswordMatches("SECRET", stored));
  EXPECT_FALSE(store::PasswordMatches("secret2", stored));
  EXPECT_FALSE(store::PasswordMatches("secre", stored));
  EXPECT_FALSE(store::PasswordMatches("", stored));
}

TEST(HashedPasswordTest, EachHashHasItsOwnSalt) {
  const std::string first = store::HashPassword("secret", kFewRounds);
  const std::string second = store::HashPassword("secret", kFewRounds);
  EXPECT_NE(first, second);
  EXPECT_TRUE(store::PasswordMatches("secret", second));
}

TEST(HashedPasswordTest, OnlyTheFirstSixteenCharactersCountAsForAPlainOne) {
  const std::string stored = store::HashPassword("abcdefghijklmnopqrs", kFewRounds);
  EXPECT_TRUE(store::PasswordMatches("ABCDEFGHIJKLMNOP", stored));
  EXPECT_FALSE(store::PasswordMatches("abcdefghijklmno", stored));
}

TEST(HashedPasswordTest, NoPasswordStaysEmpty) {
  EXPECT_EQ(store::HashPassword(""), "");
}

// Values in the hashed form that are damaged or tampered with open nothing,
// not even to their own text: a hash cut to sixteen characters by an older
// reader must not become a plain password anyone can read.
class DamagedHashTest : public ::testing::TestWithParam<std::string> {};

TEST_P(DamagedHashTest, MatchesNothing) {
  const std::string& stored = GetParam();
  EXPECT_FALSE(store::PasswordMatches("secret", stored)) << stored;
  EXPECT_FALSE(store::PasswordMatches(stored, stored)) << stored;
  EXPECT_FALSE(store::PasswordMatches("", stored)) << stored;
}

std::string WithPart(int index, const std::string& replacement) {
  std::string stored = store::HashPassword("secret", kFewRounds);
  std::size_t begin = 0;
  for (int i = 0; i < index; ++i) begin = stored.find('$', begin) + 1;
  const std::size_t end = stored.find('$', begin);
  return stored.replace(begin, end == std::string::npos ? std::string::npos : end - begin,
                        replacement);
}

std::string FlippedLastHashCharacter() {
  std::string stored = store::HashPassword("secret", kFewRounds);
  // The second character of the last group: all its bits are the hash's.
  const std::size_t at = stored.size() - 3;
  stored[at] = stored[at] == 'A' ? 'B' : 'A';
  return stored;
}

INSTANTIATE_TEST_SUITE_P(Damaged, DamagedHashTest,
                         ::testing::Values(store::HashPassword("secret", kFewRounds).substr(0, 16),
                                           "pbkdf2-sha256$", "pbkdf2-sha256$1000$$",
                                           WithPart(1, "0"), WithPart(1, "99999999"),
                                           WithPart(1, "1000x"), WithPart(2, "@@@@"),
                                           WithPart(3, "c2VjcmV0"), WithPart(3, ""),
                                           FlippedLastHashCharacter(),
                                           store::HashPassword("secret", kFewRounds) + "$more"));

TEST(HashedPasswordTest, TheRealCountIsTheDefault) {
  // One hash with the full count, to see that it is the one stored.
  const std::string stored = store::HashPassword("secret");
  EXPECT_EQ(stored.rfind("pbkdf2-sha256$600000$", 0), 0u) << stored;
  EXPECT_EQ(store::kPasswordHashIterations, 600000u);
}

struct ReadCase {
  const char* name;
  std::string stored;
  std::string read;
};

class ReadPasswordTest : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ReadPasswordTest, CutsAPlainPasswordButKeepsAHashWhole) {
  sim::SimRegistry registry;
  EXPECT_TRUE(store::WriteSetting(registry, store::setting::kUserPassword, GetParam().stored));
  EXPECT_EQ(store::ReadPassword(registry, store::setting::kUserPassword), GetParam().read);
}

const std::string kStoredHash = store::HashPassword("secret", kFewRounds);

std::string Repeat(std::string_view text, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += text;
  return out;
}

INSTANTIATE_TEST_SUITE_P(
    Stored, ReadPasswordTest,
    ::testing::Values(ReadCase{"plain", "secret", "secret"},
                      ReadCase{"plain_too_long", "abcdefghijklmnopqrs", "abcdefghijklmnop"},
                      ReadCase{"plain_multibyte", Repeat("ä", 18), Repeat("ä", 16)},
                      ReadCase{"hash", kStoredHash, kStoredHash}, ReadCase{"none", "", ""}),
    [](const auto& info) { return std::string(info.param.name); });

// The start-up locker reads the stored password itself; a hash works there too.
TEST(StartupPasswordHashTest, TheStartUpLockerOpensWithTheHashedPasswordInCapitals) {
  sim::SimWorld world;
  sim::SimRegistry registry;
  sim::SimToolkit toolkit(world, 300);
  sim::SimDesktop desktop(world);
  sim::SimShell shell(world);
  EXPECT_TRUE(store::WriteSetting(registry, store::setting::kUserPassword,
                                  store::HashPassword("Secret", kFewRounds)));
  startup::Form1 form1(toolkit, desktop, shell, registry);
  form1.Load();
  world.RunPending();
  sim::SimWindow* prompt = world.Find(form1.prompt().hwnd())->ours;
  ASSERT_NE(prompt, nullptr);
  prompt->Type("txtPassword", "wrong");
  prompt->Click("cmdOK");
  world.RunPending();  // the check ends on the UI thread
  EXPECT_FALSE(toolkit.exitCode());
  prompt->Type("txtPassword", "SECRET");
  prompt->Click("cmdOK");
  world.RunPending();
  EXPECT_EQ(toolkit.exitCode(), 0);
}

// When the system's crypto provider fails, nobody can say whether the
// password is right: the locked window stays hidden behind the prompt, which
// says why and takes the next try at once, and nothing counts as a wrong
// password (a wrong one would close the window). Once the provider works,
// the right password gives the window back.
TEST_F(EngineTest, APasswordTheSystemCannotCheckLeavesTheWindowHiddenAndCountsNoTry) {
  Store(store::setting::kUserPassword, store::HashPassword("secret", kFewRounds));
  LockItems({{"Registry Editor", true}});
  StartEngine();
  const auto editor = OpenWindow("Registry Editor");
  Pass(500);
  {
    const sim::CryptoOutage outage;
    for (int attempt = 0; attempt < 6; ++attempt) {
      ::testing::internal::CaptureStderr();
      Answer("secret");
      const std::string trace = ::testing::internal::GetCapturedStderr();
      EXPECT_NE(trace.find("checking a password"), std::string::npos) << trace;
      ASSERT_NE(Prompt(), nullptr) << "the prompt stays up";
      EXPECT_EQ(Prompt()->TextOf("Label1"),
                std::string(store::kPasswordNotChecked) + " " + std::string(prompt::kTryAgainHint));
      EXPECT_TRUE(Prompt()->EnabledOf("cmdOK")) << "no wait after a try that did not count";
      EXPECT_FALSE(Visible(editor));
      EXPECT_EQ(CloseRequests(editor), 0);
    }
  }
  Answer("secret");
  EXPECT_TRUE(Visible(editor));
  EXPECT_EQ(Prompt(), nullptr);
}

}  // namespace
}  // namespace pm::tests
