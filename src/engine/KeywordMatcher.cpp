#include "engine/KeywordMatcher.h"

#include <algorithm>
#include <deque>

namespace pm::engine {

namespace {
int Child(const std::vector<std::pair<std::uint8_t, int>>& next, std::uint8_t byte) {
  const auto it = std::lower_bound(next.begin(), next.end(), std::make_pair(byte, 0),
                                   [](const auto& a, const auto& b) { return a.first < b.first; });
  return it != next.end() && it->first == byte ? it->second : -1;
}
}  // namespace

void KeywordMatcher::Build(const std::vector<std::string>& keywords, std::size_t longestText) {
  nodes_.assign(1, Node{});
  for (const std::string& keyword : keywords) {
    if (keyword.size() > longestText) continue;
    int node = 0;
    for (const char c : keyword) {
      const auto byte = static_cast<std::uint8_t>(c);
      int child = Child(nodes_[node].next, byte);
      if (child < 0) {
        child = static_cast<int>(nodes_.size());
        nodes_.emplace_back();
        auto& next = nodes_[node].next;
        next.insert(
            std::upper_bound(next.begin(), next.end(), std::make_pair(byte, 0),
                             [](const auto& a, const auto& b) { return a.first < b.first; }),
            {byte, child});
      }
      node = child;
    }
    nodes_[node].ends = true;
  }
  // Fail links breadth first, so a node's fail target is finished before it.
  std::deque<int> queue;
  for (const auto& [byte, child] : nodes_[0].next) queue.push_back(child);
  while (!queue.empty()) {
    const int node = queue.front();
    queue.pop_front();
    for (const auto& [byte, child] : nodes_[node].next) {
      nodes_[child].fail = node == 0 ? 0 : Next(nodes_[node].fail, byte);
      if (nodes_[nodes_[child].fail].ends) nodes_[child].ends = true;
      queue.push_back(child);
    }
  }
}

int KeywordMatcher::Next(int node, std::uint8_t byte) const {
  while (true) {
    const int child = Child(nodes_[node].next, byte);
    if (child >= 0) return child;
    if (node == 0) return 0;
    node = nodes_[node].fail;
  }
}

bool KeywordMatcher::FoundIn(std::string_view text) const {
  if (nodes_[0].ends) return true;  // an empty keyword is in every text
  int node = 0;
  for (const char c : text) {
    node = Next(node, static_cast<std::uint8_t>(c));
    if (nodes_[node].ends) return true;
  }
  return false;
}

}  // namespace pm::engine
