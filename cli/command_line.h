#pragma once

#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cli/zarn_timing.h"
#include "modes/expected.h"

namespace zarn::cli {

// A malformed command line (exit 2) and a request that cannot be met (exit
// 1), each with the one sentence the user reads.
struct UsageError {
  std::string message;
};
struct NoModeError {
  std::string message;
};

// The value of a result, or the error it carries thrown as one of the two.
template <class T>
const T& Unwrapped(const modes::Expected<T>& result, int exit_code) {
  if (!result) {
    if (exit_code == kExitUsage) throw UsageError{result.error()};
    throw NoModeError{result.error()};
  }
  return *result;
}

// Every option a command takes, with its count of values.
using OptionTable = std::map<std::string, int, std::less<>>;

// What the user typed, quoted for a message.
std::string Quoted(std::string_view text);
bool IsOption(std::string_view word);
// "a, b and c", or with another last word.
std::string Listed(std::span<const std::string> words, std::string_view last);

// The arguments of one command: positional values and options, each option
// given at most once. "--name value" and "--name=value" are the same.
class CommandLine {
 public:
  // options: every option the command takes, with its count of values.
  CommandLine(std::span<const std::string> arguments, const OptionTable& options);

  bool Has(std::string_view name) const { return values_.contains(name); }
  const std::vector<std::string>& Values(std::string_view name) const { return values_.find(name)->second; }
  std::optional<std::string> Value(std::string_view name) const;
  // The positional arguments, exactly count of them.
  const std::vector<std::string>& Positional(std::size_t count, std::string_view what) const;
  // All of them, however many.
  const std::vector<std::string>& Positional() const { return positional_; }

 private:
  std::vector<std::string> positional_;
  std::map<std::string, std::vector<std::string>, std::less<>> values_;
};

}  // namespace zarn::cli
