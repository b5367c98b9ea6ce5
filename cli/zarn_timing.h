#pragma once

#include <functional>
#include <span>
#include <string>
#include <vector>

#include "modes/display_timing.h"
#include "platform/monitors.h"

namespace zarn::cli {

// What one run of zarn-timing prints and returns.
struct Outcome {
  int exit_code = 0;
  std::string out;  // standard output
  std::string err;  // standard error: empty, or sentences each on a line of its own
  // With -o FILE: what is written to the file instead of standard output.
  std::string file_path;
  std::string file_data;
};

// Exit codes: 0 done, 1 the mode does not exist or cannot be produced,
// 2 the command line is malformed.
inline constexpr int kExitNoMode = 1;
inline constexpr int kExitUsage = 2;

// Where zarn-timing reads what its command line only names: the monitors
// attached and standard input. Empty functions stand for the system's own.
struct Environment {
  std::function<std::vector<platform::MonitorEdid>()> monitors;
  std::function<std::string()> standard_input;
};

// Runs zarn-timing with these arguments (the program's name left out).
Outcome Run(const std::vector<std::string>& arguments, const Environment& environment = {});

// The timing of one request's words ("cvt 2560 1440 144 --rb 2"), read as
// that command reads its arguments, without the options of formats. Words
// that are not well formed throw UsageError, a timing the standard refuses
// NoModeError (cli/command_line.h).
modes::DisplayTiming TimingOfRequest(std::span<const std::string> words, const Environment& environment);

}  // namespace zarn::cli
