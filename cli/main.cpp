// zarn-timing: standard video timings on the command line.
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/zarn_timing.h"
#include "platform/safe_file.h"

#ifdef _WIN32
#include "platform/win32/wide_text.h"
#endif

namespace {

int RunWith(const std::vector<std::string>& arguments) {
#ifdef SIGXFSZ
  // Past a file-size limit a write fails and says so, instead of the
  // process being killed with nothing said.
  std::signal(SIGXFSZ, SIG_IGN);
#endif
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

}  // namespace

#ifdef _WIN32
// The arguments in UTF-8 from the wide ones: those of main are in the ANSI
// code page, which loses what it cannot spell (a file in a folder named
// after the user, in another script).
int wmain(int argc, wchar_t* argv[]) {
  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i) arguments.push_back(zarn::platform::Narrow(argv[i]));
  return RunWith(arguments);
}
#else
int main(int argc, char* argv[]) {
  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i) arguments.emplace_back(argv[i]);
  return RunWith(arguments);
}
#endif
