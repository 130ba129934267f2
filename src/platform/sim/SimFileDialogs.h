// File dialogs of the simulated PC: each answers the next path a test put
// in its queue, or empty (cancelled) when the queue is empty.
#pragma once

#include <deque>

#include "platform/FileDialogs.h"

namespace pm::sim {

class SimFileDialogs final : public platform::FileDialogs {
 public:
  std::string ChooseFile(const platform::Window*, std::string_view title) override {
    return Next(title);
  }
  std::string ChooseFolder(const platform::Window*, std::string_view title) override {
    return Next(title);
  }

  std::deque<std::string> answers;
  std::vector<std::string> titlesShown;

 private:
  std::string Next(std::string_view title) {
    titlesShown.emplace_back(title);
    if (answers.empty()) return {};
    std::string next = std::move(answers.front());
    answers.pop_front();
    return next;
  }
};

}  // namespace pm::sim
