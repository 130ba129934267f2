// What can fail and is reported: a value, or why there is none. The reason
// is the system's error code (a Win32 code; 0 where the failure is ours
// alone) and/or words for the person who reads it. A result must be looked
// at: one dropped on purpose goes through BestEffort, which leaves a line
// for the developer when it failed.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>

namespace pm::platform {

struct Error {
  std::int32_t code = 0;  // a Win32 error code, or 0
  std::string message;    // words of ours, or empty: the system's words for `code`
};

// The words for a person: the message, or what the system says of the code.
std::string Describe(const Error& error);

template <typename T>
class [[nodiscard]] Result {
 public:
  Result(T value) : outcome_(std::in_place_index<0>, std::move(value)) {}
  Result(Error error) : outcome_(std::in_place_index<1>, std::move(error)) {}

  explicit operator bool() const noexcept { return outcome_.index() == 0; }
  T& value() & { return std::get<0>(outcome_); }
  const T& value() const& { return std::get<0>(outcome_); }
  T&& value() && { return std::get<0>(std::move(outcome_)); }
  T& operator*() & { return value(); }
  const T& operator*() const& { return value(); }
  T* operator->() { return &value(); }
  const T* operator->() const { return &value(); }
  const Error& error() const { return std::get<1>(outcome_); }

 private:
  std::variant<T, Error> outcome_;
};

template <>
class [[nodiscard]] Result<void> {
 public:
  Result() = default;  // done
  Result(Error error) : error_(std::move(error)) {}

  explicit operator bool() const noexcept { return !error_.has_value(); }
  const Error& error() const { return *error_; }
  // The system's error code of a failure; 0 when done.
  std::int32_t code() const noexcept { return error_ ? error_->code : 0; }

 private:
  std::optional<Error> error_;
};

// The result of a call that answers a Win32 error code: done for 0.
inline Result<void> ResultOf(std::int32_t code) {
  if (code == 0) return {};
  return Error{code, {}};
}

// Leaves the developer a line that `what` failed, and why.
void TraceFailure(std::string_view what, const Error& error) noexcept;

// A result dropped on purpose, where the program goes on either way: `what`
// names the attempt, and its failure leaves a trace.
template <typename T>
void BestEffort(const Result<T>& result, std::string_view what) noexcept {
  if (!result) TraceFailure(what, result.error());
}

}  // namespace pm::platform
