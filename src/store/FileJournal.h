// The service's journal as a file of its own beside it, written whole or
// not at all (platform::ReplaceFileDurably).
#pragma once

#include <string>

#include "store/SettingsTransaction.h"

namespace pm::store {

class FileJournal final : public ChangeJournal {
 public:
  explicit FileJournal(std::string path) : path_(std::move(path)) {}
  RegResult Write(std::span<const std::uint8_t> bytes) override;
  std::optional<ByteArray> Read() override;
  RegResult Clear() override;

 private:
  std::string path_;
};

}  // namespace pm::store
