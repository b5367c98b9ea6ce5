#pragma once

#include <string>
#include <string_view>

namespace zarn::engine {

// How the user writes numbers. Only the decimal separator matters to Zarn: it
// is the one accepted when reading a field and the one written into results.
// The window fills it from the system locale; nothing in the engine reads a
// global locale.
struct NumberLocale {
  std::string decimalSeparator = ".";  // UTF-8, usually "." or ","

  // The separator in use: a full stop where none is set.
  std::string_view Separator() const {
    return decimalSeparator.empty() ? std::string_view(".") : std::string_view(decimalSeparator);
  }
};

}  // namespace zarn::engine
