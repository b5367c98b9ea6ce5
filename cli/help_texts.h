#pragma once

#include <string>
#include <string_view>

namespace zarn::cli {

std::string ProgramHelp();
// The help of one command ("cvt"); empty for any other word.
std::string_view CommandHelp(std::string_view command);
std::string VersionLine();

}  // namespace zarn::cli
