// zarn-timing: standard video timings on the command line.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/zarn_timing.h"

int main(int argc, char* argv[]) {
  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i) arguments.emplace_back(argv[i]);
  const zarn::cli::Outcome outcome = zarn::cli::Run(arguments);
  std::fwrite(outcome.out.data(), 1, outcome.out.size(), stdout);
  std::fwrite(outcome.err.data(), 1, outcome.err.size(), stderr);
  return outcome.exit_code;
}
