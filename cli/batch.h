#pragma once

#include <string_view>

#include "cli/zarn_timing.h"

namespace zarn::cli {

// Many requests in one run: one command a line (the words of a command line,
// with simple quoting), exactly one line out for each line in. A result of
// one line is written as it is; one of several lines as {"line": N,
// "output": "..."}; a failure as {"line": N, "error": "...", "exit": 1 or 2},
// with the message and the line's number on standard error too, and the
// lines after it go on. Blank lines and lines starting with # give blank
// lines. Binary formats and -o are refused. The exit code is 0 when every
// line succeeded, else the highest of the failed lines'.
Outcome RunBatch(std::string_view input, const Environment& environment);

}  // namespace zarn::cli
