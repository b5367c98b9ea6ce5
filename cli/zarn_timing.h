#pragma once

#include <string>
#include <vector>

namespace zarn::cli {

// What one run of zarn-timing prints and returns.
struct Outcome {
  int exit_code = 0;
  std::string out;  // standard output
  std::string err;  // standard error: empty, or one sentence and a newline
  // With -o FILE: what is written to the file instead of standard output.
  std::string file_path;
  std::string file_data;
};

// Exit codes: 0 done, 1 the mode does not exist or cannot be produced,
// 2 the command line is malformed.
inline constexpr int kExitNoMode = 1;
inline constexpr int kExitUsage = 2;

// Runs zarn-timing with these arguments (the program's name left out).
Outcome Run(const std::vector<std::string>& arguments);

}  // namespace zarn::cli
