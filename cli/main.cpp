// zarn-timing: standard video timings on the command line.
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/zarn_timing.h"
#include "platform/safe_file.h"

int main(int argc, char* argv[]) {
#ifdef SIGXFSZ
  // Past a file-size limit a write fails and says so, instead of the
  // process being killed with nothing said.
  std::signal(SIGXFSZ, SIG_IGN);
#endif
  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i) arguments.emplace_back(argv[i]);
  zarn::cli::Outcome outcome = zarn::cli::Run(arguments);
  if (!outcome.file_path.empty()) {
    // The whole file or none: an existing file is replaced only once the new
    // one is safely on the disk.
    const auto written = zarn::platform::WriteFileSafely(outcome.file_path, outcome.file_data);
    if (!written) {
      outcome.err += "zarn-timing: " + written.error() + "\n";
      outcome.exit_code = zarn::cli::kExitNoMode;
    }
  }
  std::fwrite(outcome.out.data(), 1, outcome.out.size(), stdout);
  std::fwrite(outcome.err.data(), 1, outcome.err.size(), stderr);
  if (std::fflush(stdout) != 0 && outcome.exit_code == 0) return zarn::cli::kExitNoMode;
  return outcome.exit_code;
}
