#pragma once

#include <span>
#include <string>
#include <string_view>

#include "modes/expected.h"

namespace zarn::platform {

// What a program run to its end gave: its exit code and what it wrote.
struct ProgramRun {
  int exit_code = 0;
  std::string out;
  std::string err;
};

// Programs are named by their path in UTF-8, or by a bare name looked up
// along the PATH.

// Runs a program with these arguments (UTF-8) and waits for it, with what it
// writes to standard output and standard error kept; its standard input is
// empty. Fails with the reason when it cannot be started.
modes::Expected<ProgramRun> RunProgram(const std::string& program, std::span<const std::string> arguments);

// Runs a program with the administrator's rights, which the system asks the
// user for: through pkexec on Linux (its output kept), through the User
// Account Control prompt on Windows (its output not: the exit code tells).
// Fails with the reason when it cannot be started or the user says no.
modes::Expected<ProgramRun> RunProgramElevated(const std::string& program, std::span<const std::string> arguments);

// The path of a program installed beside the one running ("zarn-timing":
// zarn-timing.exe on Windows).
std::string ProgramBesideThisOne(std::string_view name);

// One argument as a Windows command line carries it, so that the program's
// own parsing (CommandLineToArgvW, the C runtime's) gives it back unchanged.
std::string QuotedWindowsArgument(std::string_view argument);

}  // namespace zarn::platform
