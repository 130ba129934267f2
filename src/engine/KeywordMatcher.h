// Whether a text contains any of a set of keywords, in one pass over the
// text whatever the number of keywords (an Aho-Corasick automaton over
// bytes), so the watch tick stays cheap with a thousand locked items.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pm::engine {

class KeywordMatcher {
 public:
  KeywordMatcher() { Build({}); }
  // Keywords longer than the longest text ever searched can never be found
  // and are left out, so a huge stored item costs no memory.
  void Build(const std::vector<std::string>& keywords, std::size_t longestText = std::string::npos);
  bool FoundIn(std::string_view text) const;

 private:
  struct Node {
    std::vector<std::pair<std::uint8_t, int>> next;  // sorted by byte
    int fail = 0;
    bool ends = false;  // a keyword ends here, or at a node on its fail chain
  };
  int Next(int node, std::uint8_t byte) const;
  std::vector<Node> nodes_;
};

}  // namespace pm::engine
