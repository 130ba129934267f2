// The tagged value that crosses the registry access layer: nothing, a 16-bit
// or 32-bit integer, a string, or an array of bytes.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

#include "platform/Registry.h"
#include "platform/Result.h"

namespace pm::store {

using ByteArray = std::vector<std::uint8_t>;

class RegValue {
 public:
  using Storage = std::variant<std::monostate, std::int16_t, std::int32_t, std::string, ByteArray>;

  RegValue() = default;
  RegValue(std::int16_t v) : value_(v) {}
  RegValue(std::int32_t v) : value_(v) {}
  RegValue(std::string v) : value_(std::move(v)) {}
  RegValue(const char* v) : value_(std::string(v)) {}
  RegValue(ByteArray v) : value_(std::move(v)) {}

  bool IsEmpty() const { return std::holds_alternative<std::monostate>(value_); }
  bool IsString() const { return std::holds_alternative<std::string>(value_); }
  bool IsInt16() const { return std::holds_alternative<std::int16_t>(value_); }
  bool IsInt32() const { return std::holds_alternative<std::int32_t>(value_); }
  bool IsBytes() const { return std::holds_alternative<ByteArray>(value_); }

  const std::string& String() const { return std::get<std::string>(value_); }
  std::int32_t Int32() const { return std::get<std::int32_t>(value_); }
  std::int16_t Int16() const { return std::get<std::int16_t>(value_); }
  const ByteArray& Bytes() const { return std::get<ByteArray>(value_); }

  // The value as the settings readers take it: a string as it is, anything
  // else (absent, a number, bytes) as the empty text, so a value of the wrong
  // type counts as absent rather than being guessed at.
  std::string Text() const { return IsString() ? String() : std::string(); }

  const Storage& storage() const { return value_; }
  bool operator==(const RegValue&) const = default;

 private:
  Storage value_;
};

// The one error the access layer raises: 1001 "Unsupported value type".
class RegistryError : public std::runtime_error {
 public:
  RegistryError(int number, const std::string& description)
      : std::runtime_error(description), number_(number) {}
  int number() const { return number_; }

 private:
  int number_;
};

inline constexpr int kUnsupportedValueType = 1001;

// The outcome of a registry change: true when it was done, and otherwise the
// system's error code, so a caller can say why a save failed.
using RegResult = platform::Result<void>;

// Collects the outcome of a run of changes that all go ahead even when one
// fails: the first failure is the one reported.
class FirstFailure {
 public:
  void Note(RegResult result) {
    if (first_ && !result) first_ = result;
  }
  // Notes a deletion, where finding nothing to delete is what was wanted.
  void NoteDeletion(RegResult result) {
    if (result.code() != platform::reg_error::kFileNotFound) Note(result);
  }
  RegResult result() const { return first_; }

 private:
  RegResult first_;
};

}  // namespace pm::store
