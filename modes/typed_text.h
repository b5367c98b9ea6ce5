#pragma once

#include <string>
#include <string_view>

namespace zarn::modes {

// What the user typed, quoted for a message: between the given quote marks,
// with control characters and bytes that are not UTF-8 escaped ("\n",
// "\x1b"), so that a message stays one line and never drives a terminal.
std::string Quoted(std::string_view typed, char quote = '\'');

}  // namespace zarn::modes
