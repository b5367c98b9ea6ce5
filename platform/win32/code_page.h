#pragma once

#include <string>
#include <string_view>

namespace zarn::platform {

// UTF-8 to and from the system's ANSI code page, for the "A" entry points.
std::string Utf8ToAnsi(std::string_view utf8);
std::string AnsiToUtf8(std::string_view ansi);

}  // namespace zarn::platform
