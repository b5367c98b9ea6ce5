// zarn-timing edid edit: an EDID with timings added, removed or made
// preferred, its range limits, variable refresh range or name set, or its
// checksums mended, written to a file; what changed on standard output.
#include <algorithm>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "cli/command_line.h"
#include "cli/command_words.h"
#include "cli/edid_commands.h"
#include "modes/edid_edit.h"
#include "modes/edid_reader.h"
#include "modes/sources.h"

namespace zarn::cli {
namespace {

using Bytes = std::vector<std::uint8_t>;

// The options that may come more than once, each use its own edit, in order.
constexpr std::string_view kRepeated[] = {"--add", "--remove"};

struct EditLine {
  std::vector<std::pair<std::string, std::string>> repeated;  // --add and --remove, in order
  std::vector<std::string> rest;                              // everything else, for CommandLine
};

EditLine SplitRepeated(std::span<const std::string> arguments) {
  EditLine line;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    const std::string name = argument.substr(0, argument.find('='));
    if (std::find(std::begin(kRepeated), std::end(kRepeated), name) == std::end(kRepeated)) {
      line.rest.push_back(argument);
    } else if (name.size() < argument.size()) {
      line.repeated.emplace_back(name, argument.substr(name.size() + 1));
    } else if (i + 1 < arguments.size() && !(arguments[i + 1].size() > 1 && arguments[i + 1][0] == '-')) {
      line.repeated.emplace_back(name, arguments[++i]);
    } else {
      throw UsageError{name + (name == "--add" ? " needs a timing request, such as --add 'dmt 0x52'."
                                               : " needs a timing, such as --remove 'DTD 3' or --remove 5.")};
    }
  }
  return line;
}

// A whole number of at most six digits.
std::optional<int> WholeNumber(std::string_view text) {
  if (text.empty() || text.size() > 6 ||
      !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return std::nullopt;
  }
  return std::stoi(std::string(text));
}

// "48-144" as two whole numbers.
std::pair<int, int> Span(std::string_view text, std::string_view option) {
  const std::size_t dash = text.find('-');
  const auto low = WholeNumber(text.substr(0, dash));
  const auto high = dash == std::string_view::npos ? std::nullopt : WholeNumber(text.substr(dash + 1));
  if (!low || !high) {
    throw UsageError{std::string(option) + " takes whole numbers MIN-MAX, such as 48-144, not " + Quoted(text) + "."};
  }
  return {*low, *high};
}

// --range V:48-144,H:30-250,CLOCK:600 (any of the three, in any order).
void ReadRange(std::string_view text, modes::RangeLimitsEdit& range) {
  const std::string rule =
      "--range takes V:MIN-MAX, H:MIN-MAX and CLOCK:MHZ, separated by commas, such as "
      "V:48-144,H:30-250,CLOCK:600";
  if (text.empty()) throw UsageError{rule + "."};
  while (!text.empty()) {
    const std::size_t comma = text.find(',');
    const std::string_view part = text.substr(0, comma);
    text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
    const std::size_t colon = part.find(':');
    std::string key(part.substr(0, colon));
    std::transform(key.begin(), key.end(), key.begin(), [](char c) { return c >= 'a' && c <= 'z' ? c - 32 : c; });
    const std::string_view value = colon == std::string_view::npos ? std::string_view() : part.substr(colon + 1);
    if (key == "V" && !range.min_v_rate_hz) {
      std::tie(range.min_v_rate_hz, range.max_v_rate_hz) = Span(value, "--range V:");
    } else if (key == "H" && !range.min_h_rate_khz) {
      std::tie(range.min_h_rate_khz, range.max_h_rate_khz) = Span(value, "--range H:");
    } else if (key == "CLOCK" && !range.max_pixel_clock_mhz && WholeNumber(value)) {
      range.max_pixel_clock_mhz = WholeNumber(value);
    } else {
      throw UsageError{rule + "; each once, not " + Quoted(part) + "."};
    }
  }
}

modes::EdidEdited Checked(const modes::Expected<modes::EdidEdited>& result, std::vector<std::string>& changes) {
  if (!result) throw NoModeError{result.error()};
  changes.insert(changes.end(), result->changes.begin(), result->changes.end());
  return *result;
}

std::vector<std::string> WordsOf(const std::string& option, const std::string& text) {
  const auto words = SplitCommandWords(text);
  if (!words) throw UsageError{option + " " + Quoted(text) + " leaves a quote open or ends in a lone backslash."};
  return *words;
}

// The timing of a request's words, with the option named in a message about it.
modes::DisplayTiming RequestedTiming(const std::string& option, const std::string& text,
                                     const Environment& environment) {
  try {
    return TimingOfRequest(WordsOf(option, text), environment);
  } catch (const UsageError& error) {
    throw UsageError{option + " " + Quoted(text) + ": " + error.message};
  } catch (const NoModeError& error) {
    throw NoModeError{option + " " + Quoted(text) + ": " + error.message};
  }
}

// --prefer: a request, or a timing the EDID offers by its number or origin.
modes::DisplayTiming PreferredTiming(const std::string& text, const Bytes& bytes, const Environment& environment) {
  const std::vector<std::string> words = WordsOf("--prefer", text);
  if (!words.empty() && modes::FindSource(words.front()) != nullptr) {
    return RequestedTiming("--prefer", text, environment);
  }
  const auto edid = modes::DecodeEdid(bytes);
  if (edid) {
    const auto number = WholeNumber(text);
    for (std::size_t i = 0; i < edid->timings.size(); ++i) {
      if ((number && static_cast<std::size_t>(*number) == i + 1) || edid->timings[i].origin == text) {
        return edid->timings[i].timing;
      }
    }
  }
  throw UsageError{
      "--prefer takes a timing request, such as 'cvt 2560 1440 144 --rb 2', or a timing of the EDID by "
      "its number or origin as edid show lists them, not " +
      Quoted(text) + "."};
}

}  // namespace

Outcome EdidEdit(std::span<const std::string> arguments, const Environment& environment) {
  const EditLine split = SplitRepeated(arguments);
  const CommandLine line(split.rest, {{"--help", 0},
                                      {"-o", 1},
                                      {"--monitor", 1},
                                      {"--prefer", 1},
                                      {"--range", 1},
                                      {"--max-clock", 1},
                                      {"--vrr", 1},
                                      {"--name", 1},
                                      {"--round-clock", 0},
                                      {"--mend-checksums", 0}});
  Bytes bytes;
  if (const auto monitor = line.Value("--monitor")) {
    line.Positional(0, "");
    bytes = LoadMonitorEdid(*monitor, environment);
  } else {
    bytes = LoadEdidFile(line.Positional(1, "FILE, - or --monitor NAME").front(), environment);
  }
  const auto out = line.Value("-o");
  if (!out) throw UsageError{"edid edit writes the edited EDID to a file: -o FILE."};
  modes::RangeLimitsEdit range;
  if (const auto text = line.Value("--range")) ReadRange(*text, range);
  if (const auto text = line.Value("--vrr")) {
    if (range.min_v_rate_hz) throw UsageError{"--vrr and --range V: both give the vertical rates; give one."};
    std::tie(range.min_v_rate_hz, range.max_v_rate_hz) = Span(*text, "--vrr");
    range.range_limits_only = true;
  }
  if (const auto text = line.Value("--max-clock")) {
    if (range.max_pixel_clock_mhz || !WholeNumber(*text)) {
      throw UsageError{"--max-clock takes the maximum pixel clock in whole MHz, once (not also in --range)."};
    }
    range.max_pixel_clock_mhz = WholeNumber(*text);
  }
  const bool range_given = range.min_v_rate_hz || range.min_h_rate_khz || range.max_pixel_clock_mhz;
  if (split.repeated.empty() && !range_given && !line.Has("--prefer") && !line.Has("--name") &&
      !line.Has("--mend-checksums")) {
    throw UsageError{
        "edid edit needs an edit: --prefer, --add, --remove, --range, --max-clock, --vrr, --name or "
        "--mend-checksums; see --help."};
  }
  modes::TimingEditOptions options;
  options.round_clock = line.Has("--round-clock");

  // In this order: the checksums, the removals (as edid show numbers the EDID
  // given), the additions, the preferred timing, the range limits, the name.
  std::vector<std::string> changes;
  if (line.Has("--mend-checksums")) bytes = Checked(modes::MendChecksums(bytes), changes).bytes;
  std::vector<std::string> removed;
  for (const auto& [option, value] : split.repeated) {
    if (option == "--remove") removed.push_back(value);
  }
  if (!removed.empty()) bytes = Checked(modes::RemoveTimings(bytes, removed), changes).bytes;
  for (const auto& [option, value] : split.repeated) {
    if (option != "--add") continue;
    const modes::DisplayTiming timing = RequestedTiming("--add", value, environment);
    bytes = Checked(modes::AddTiming(bytes, timing, options), changes).bytes;
  }
  if (const auto text = line.Value("--prefer")) {
    const modes::DisplayTiming timing = PreferredTiming(*text, bytes, environment);
    bytes = Checked(modes::PreferTiming(bytes, timing, options), changes).bytes;
  }
  if (range_given) bytes = Checked(modes::SetRangeLimits(bytes, range), changes).bytes;
  if (const auto name = line.Value("--name")) bytes = Checked(modes::SetDisplayName(bytes, *name), changes).bytes;

  Outcome outcome;
  for (const std::string& change : changes) outcome.out += change + "\n";
  if (changes.empty()) outcome.out = "Nothing changed: the EDID is written as it was.\n";
  outcome.file_path = *out;
  outcome.file_data.assign(bytes.begin(), bytes.end());
  return outcome;
}

}  // namespace zarn::cli
