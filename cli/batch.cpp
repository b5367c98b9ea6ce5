#include "cli/batch.h"

#include <algorithm>
#include <string>
#include <vector>

#include "cli/command_words.h"
#include "modes/timing_text.h"

namespace zarn::cli {
namespace {

// The message of a failed run, without the program's name and the newline.
std::string MessageOf(const Outcome& outcome) {
  std::string message = outcome.err;
  if (message.starts_with("zarn-timing: ")) message.erase(0, 13);
  while (!message.empty() && message.back() == '\n') message.pop_back();
  return message;
}

}  // namespace

Outcome RunBatch(std::string_view input, const Environment& environment) {
  Outcome batch;
  std::size_t number = 0;
  while (!input.empty()) {
    const std::size_t end = input.find('\n');
    std::string_view line = input.substr(0, end);
    input = end == std::string_view::npos ? std::string_view() : input.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const std::string prefix = "{\"line\": " + std::to_string(++number);
    const auto fail = [&](int exit_code, const std::string& message) {
      batch.out +=
          prefix + ", \"error\": " + modes::JsonString(message) + ", \"exit\": " + std::to_string(exit_code) + "}\n";
      batch.err += "zarn-timing: line " + std::to_string(number) + ": " + message + "\n";
      batch.exit_code = std::max(batch.exit_code, exit_code);
    };
    const std::size_t first = line.find_first_not_of(" \t");
    if (first == std::string_view::npos || line[first] == '#') {
      batch.out += "\n";
      continue;
    }
    const auto words = SplitCommandWords(line);
    if (!words) {
      fail(kExitUsage, "a quote is left open.");
      continue;
    }
    const bool nested = !words->empty() && ((*words)[0] == "-" || (*words)[0] == "--batch");
    if (nested || std::find(words->begin(), words->end(), "-o") != words->end() ||
        std::any_of(words->begin(), words->end(), [](const std::string& w) { return w.starts_with("-o="); })) {
      fail(kExitUsage, nested ? "a batch runs no batch." : "a batch writes no file: -o is for one command.");
      continue;
    }
    const Outcome outcome = Run(*words, environment);
    if (outcome.exit_code != 0) {
      fail(outcome.exit_code, MessageOf(outcome));
      continue;
    }
    if (!outcome.file_path.empty()) {
      fail(kExitUsage, "a batch writes no file.");
      continue;
    }
    const std::string& text = outcome.out;
    const std::size_t newline = text.find('\n');
    if (newline != std::string::npos && newline + 1 == text.size()) {
      batch.out += text;  // one line already
    } else {
      std::string output = text;
      if (!output.empty() && output.back() == '\n') output.pop_back();
      batch.out += prefix + ", \"output\": " + modes::JsonString(output) + "}\n";
    }
    if (!outcome.err.empty())
      batch.err += "zarn-timing: line " + std::to_string(number) + ": " + MessageOf(outcome) + "\n";
  }
  return batch;
}

}  // namespace zarn::cli
