// What the program items say of each window: whether the program that owns
// it is a locked one, and whether it is a web browser. A window's program
// does not change while the window lives, so each window's owner is asked
// once, and only while there is something to ask it for.
#pragma once

#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "platform/Desktop.h"

namespace pm::engine {

class ProgramVerdicts {
 public:
  struct Verdict {
    std::string lockedProgram;  // the locked item's name; empty when not locked
    bool browser = false;       // the window is a web browser's
  };

  // The locked program items: program file paths, or Store apps' ids after
  // "shell:AppsFolder\". Paths are compared as Windows compares them.
  void Build(const std::vector<std::string>& programs);
  bool HasPrograms() const { return !paths_.empty() || !appIds_.empty(); }

  const Verdict& Judge(platform::Hwnd window, platform::Desktop& desktop);
  // Forgets the windows not judged since the last call: closed ones.
  void EndPass();

 private:
  struct Entry {
    Verdict verdict;
    unsigned pass = 0;
  };
  // Program files by their path's spelling for comparison; Store apps'
  // names by their ids.
  std::unordered_set<std::string> paths_;
  std::unordered_map<std::string, std::string> appIds_;
  std::unordered_map<platform::Hwnd, Entry> entries_;
  unsigned pass_ = 0;
};

// The spelling of a program file's path that two paths of one file share.
std::string ProgramPathKey(std::string_view path);

}  // namespace pm::engine
