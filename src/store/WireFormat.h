// The byte form of what crosses the service's pipe and lands in its journal:
// little-endian integers and length-prefixed byte strings. The reader takes
// nothing on trust: every length is checked against what is left and against
// a limit of its own, and a short or overlong input fails as a whole.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "store/RegValue.h"

namespace pm::store {

class WireWriter {
 public:
  void U8(std::uint8_t value) { bytes_.push_back(value); }
  void U32(std::uint32_t value);
  void Bytes(std::span<const std::uint8_t> data);
  void Text(std::string_view text);
  ByteArray Take() { return std::move(bytes_); }

 private:
  ByteArray bytes_;
};

class WireReader {
 public:
  explicit WireReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
  bool U8(std::uint8_t& value);
  bool U32(std::uint32_t& value);
  bool Bytes(ByteArray& data, std::size_t limit);
  bool Text(std::string& text, std::size_t limit);
  bool AtEnd() const { return offset_ == bytes_.size(); }

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t offset_ = 0;
};

}  // namespace pm::store
