#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zarn::cli {

// Splits one line of commands into its words as a shell would for simple
// cases: blanks separate words; 'single quotes' keep everything up to the
// next single quote; "double quotes" keep everything but a backslash before
// " or \; elsewhere a backslash keeps the next character. nullopt when a quote
// is left open or the line ends in a lone backslash.
std::optional<std::vector<std::string>> SplitCommandWords(std::string_view line);

}  // namespace zarn::cli
