// zarn-timing: standard video timings on the command line.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cli/zarn_timing.h"

int main(int argc, char* argv[]) {
  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i) arguments.emplace_back(argv[i]);
  const zarn::cli::Outcome outcome = zarn::cli::Run(arguments);
  if (!outcome.file_path.empty()) {
    std::FILE* file = std::fopen(outcome.file_path.c_str(), "wb");
    const bool written = file != nullptr && std::fwrite(outcome.file_data.data(), 1, outcome.file_data.size(), file) ==
                                                outcome.file_data.size();
    const int error = errno;
    if (file != nullptr && std::fclose(file) != 0) return 1;
    if (!written) {
      std::fprintf(stderr, "zarn-timing: cannot write %s: %s.\n", outcome.file_path.c_str(), std::strerror(error));
      return zarn::cli::kExitNoMode;
    }
  }
  std::fwrite(outcome.out.data(), 1, outcome.out.size(), stdout);
  std::fwrite(outcome.err.data(), 1, outcome.err.size(), stderr);
  return outcome.exit_code;
}
