#pragma once

#include <cassert>
#include <optional>
#include <string>
#include <utility>

namespace zarn::modes {

// A value or the reason it could not be made: one sentence for the user.
// Ignoring one is a compile-time warning; reading the value of a failure is
// a programming error, caught by an assertion in debug builds.
template <class T>
class [[nodiscard]] Expected {
 public:
  Expected(T value) : value_(std::move(value)) {}  // NOLINT: implicit by design

  [[nodiscard]] static Expected Failure(std::string reason) {
    Expected result;
    result.error_ = std::move(reason);
    return result;
  }

  [[nodiscard]] bool ok() const { return value_.has_value(); }
  explicit operator bool() const { return ok(); }
  [[nodiscard]] const T& value() const {
    assert(ok() && "value() of a failure");
    return *value_;
  }
  const T& operator*() const { return value(); }
  const T* operator->() const { return &value(); }
  [[nodiscard]] const std::string& error() const { return error_; }

 private:
  Expected() = default;
  std::optional<T> value_;
  std::string error_;
};

}  // namespace zarn::modes
