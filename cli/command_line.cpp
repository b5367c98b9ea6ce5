#include "cli/command_line.h"

#include <utility>

#include "modes/typed_text.h"

namespace zarn::cli {

std::string Quoted(std::string_view text) { return modes::Quoted(text, '\''); }

bool IsOption(std::string_view word) { return word.starts_with("--"); }

std::string Listed(std::span<const std::string> words, std::string_view last) {
  std::string text;
  for (std::size_t i = 0; i < words.size(); ++i) {
    if (i > 0) text += i + 1 == words.size() ? std::string(last) : ", ";
    text += words[i];
  }
  return text;
}

CommandLine::CommandLine(std::span<const std::string> arguments, const OptionTable& options) {
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    const bool looks_like_option = argument.size() > 1 && argument[0] == '-' &&
                                   !(argument[1] >= '0' && argument[1] <= '9') && argument[1] != '.' &&
                                   argument[1] != ',';
    if (!looks_like_option) {
      positional_.push_back(argument);
      continue;
    }
    std::string name = argument;
    std::optional<std::string> inline_value;
    if (const auto equals = argument.find('='); equals != std::string::npos) {
      name = argument.substr(0, equals);
      inline_value = argument.substr(equals + 1);
    }
    if (name == "-h") name = "--help";
    const auto option = options.find(name);
    if (option == options.end()) throw UsageError{"unknown option " + Quoted(name) + "; see --help."};
    if (values_.contains(name)) throw UsageError{"the option " + name + " is given twice."};
    std::vector<std::string> values;
    if (inline_value) {
      if (option->second != 1) throw UsageError{"the option " + name + " takes no value after '='."};
      values.push_back(*inline_value);
    } else {
      for (int n = 0; n < option->second; ++n) {
        if (++i >= arguments.size()) {
          throw UsageError{"the option " + name + " needs " +
                           (option->second == 1 ? std::string("a value") : std::to_string(option->second) + " values") +
                           "."};
        }
        values.push_back(arguments[i]);
      }
    }
    values_.emplace(name, std::move(values));
  }
}

std::optional<std::string> CommandLine::Value(std::string_view name) const {
  if (!Has(name)) return std::nullopt;
  return Values(name).front();
}

const std::vector<std::string>& CommandLine::Positional(std::size_t count, std::string_view what) const {
  if (positional_.size() < count) throw UsageError{"missing " + std::string(what) + "; see --help."};
  if (positional_.size() > count) throw UsageError{"unexpected argument " + Quoted(positional_[count]) + "."};
  return positional_;
}

}  // namespace zarn::cli
