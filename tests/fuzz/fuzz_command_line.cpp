// Arbitrary command lines for zarn-timing: the bytes split into arguments at
// each 0x00 byte. Whatever comes in, the program must not crash, hang or trip
// a sanitizer; it must exit 0 with its output (and at most a one-line note on
// standard error; an empty list of monitors has only the note), or 1 or 2
// with nothing on standard output (a batch answers every line there) and a
// line on standard error, a line that holds no control character.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "cli/zarn_timing.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> arguments;
  while (!rest.empty() && arguments.size() < 32) {
    const std::size_t end = rest.find('\0');
    arguments.emplace_back(rest.substr(0, end));
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
  }
  // Long lists print every mode, and files are the system's: keep the fuzzer
  // on the parser.
  if (std::find(arguments.begin(), arguments.end(), "--list") != arguments.end()) return 0;
  for (const std::string& argument : arguments) {
    if (argument.find('/') != std::string::npos || argument == "--batch") return 0;
  }
  // No monitors attached; standard input holds two requests.
  zarn::cli::Environment environment;
  environment.monitors = [] { return std::vector<zarn::platform::MonitorEdid>{}; };
  environment.standard_input = [] { return std::string("cvt 1920 1080 60\ndmt 0x99\n"); };
  const zarn::cli::Outcome outcome = zarn::cli::Run(arguments, environment);
  if (!outcome.file_path.empty() && outcome.exit_code != 0) std::abort();
  if (outcome.exit_code == 0) {
    // Only the list of monitors may be empty, and then a note says why.
    const bool listing = !arguments.empty() && arguments.front() == "monitors";
    if (outcome.out.empty() && outcome.file_data.empty() && !(listing && !outcome.err.empty())) std::abort();
  } else {
    if (outcome.exit_code != zarn::cli::kExitNoMode && outcome.exit_code != zarn::cli::kExitUsage) std::abort();
    // A batch answers every line, failed ones too, on standard output.
    const bool batch = !arguments.empty() && arguments.front() == "-";
    if (!batch && !outcome.out.empty()) std::abort();
    if (outcome.err.empty()) std::abort();
  }
  // Each message (or note beside the output) is one line that never drives a
  // terminal: no control character but its final newline. (A batch or
  // several EDIDs may give one a line.)
  if (!outcome.err.empty()) {
    if (!outcome.err.ends_with("\n")) std::abort();
    std::string_view messages = outcome.err;
    while (!messages.empty()) {
      const std::string_view message = messages.substr(0, messages.find('\n'));
      messages.remove_prefix(message.size() + 1);
      if (!message.starts_with("zarn-timing: ")) std::abort();
      const auto control = [](char c) { return (c >= 0 && c < 0x20) || c == 0x7F; };
      if (std::any_of(message.begin(), message.end(), control)) std::abort();
    }
  }
  return 0;
}
