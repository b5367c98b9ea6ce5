#pragma once

#include <optional>
#include <string>
#include <utility>

namespace zarn::modes {

// A value or the reason it could not be made: one sentence for the user.
template <class T>
class Expected {
 public:
  Expected(T value) : value_(std::move(value)) {}  // NOLINT: implicit by design

  static Expected Failure(std::string reason) {
    Expected result;
    result.error_ = std::move(reason);
    return result;
  }

  bool ok() const { return value_.has_value(); }
  explicit operator bool() const { return ok(); }
  const T& value() const { return *value_; }
  const T& operator*() const { return *value_; }
  const T* operator->() const { return &*value_; }
  const std::string& error() const { return error_; }

 private:
  Expected() = default;
  std::optional<T> value_;
  std::string error_;
};

}  // namespace zarn::modes
