#include "engine/KeywordMatcher.h"

#include <gtest/gtest.h>

#include <random>

namespace pm::engine {
namespace {

struct MatchCase {
  std::vector<std::string> keywords;
  const char* text;
  bool found;
};

class KeywordMatcherTest : public ::testing::TestWithParam<MatchCase> {};

TEST_P(KeywordMatcherTest, FindsAnyKeywordAnywhereInTheText) {
  KeywordMatcher matcher;
  matcher.Build(GetParam().keywords);
  EXPECT_EQ(matcher.FoundIn(GetParam().text), GetParam().found);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, KeywordMatcherTest,
    ::testing::Values(MatchCase{{"registry editor"}, "registry editor - hklm", true},
                      MatchCase{{"editor"}, "registry editor", true},
                      MatchCase{{"registry editor"}, "registry edito", false},
                      MatchCase{{}, "anything", false},
                      // a keyword inside another's prefix needs the fail links
                      MatchCase{{"abcd", "bc"}, "xabcx", true}, MatchCase{{"aab"}, "aaab", true},
                      MatchCase{{"he", "she", "his", "hers"}, "ushers", true},
                      MatchCase{{"setup", "zip"}, "setu zi", false},
                      MatchCase{{"диспетчер"}, "windows диспетчер задач", true},
                      MatchCase{{"x"}, "", false}));

TEST(KeywordMatcherRandomTest, AgreesWithPlainSubstringSearch) {
  std::mt19937 random(7);
  const auto word = [&](int length) {
    std::string s;
    for (int i = 0; i < length; ++i) s += static_cast<char>('a' + random() % 3);
    return s;
  };
  for (int round = 0; round < 300; ++round) {
    std::vector<std::string> keywords;
    for (int k = 0; k < 1 + static_cast<int>(random() % 6); ++k) {
      keywords.push_back(word(1 + random() % 4));
    }
    const std::string text = word(static_cast<int>(random() % 12));
    bool expected = false;
    for (const auto& keyword : keywords) expected |= text.find(keyword) != std::string::npos;
    KeywordMatcher matcher;
    matcher.Build(keywords);
    EXPECT_EQ(matcher.FoundIn(text), expected) << text;
  }
}

}  // namespace
}  // namespace pm::engine
