#include "cli/zarn_timing.h"

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string_view>
#include <utility>

#include "cli/help_texts.h"
#include "cli/number_text.h"
#include "cli/timing_text.h"
#include "modes/cta.h"
#include "modes/cvt.h"
#include "modes/decimal.h"
#include "modes/dmt.h"
#include "modes/gtf.h"
#include "modes/modeline.h"

namespace zarn::cli {
namespace {

using modes::DisplayTiming;
using modes::Expected;

// A malformed command line (exit 2) and a mode that cannot be had (exit 1),
// each with the one sentence the user reads.
struct UsageError {
  std::string message;
};
struct NoModeError {
  std::string message;
};

// Limits of what the command line reads; the generators have their own,
// narrower ones where their formulas need them.
constexpr std::uint64_t kMaxPixels = 65535;
constexpr double kMaxRateHz = 100000.0;
constexpr double kMaxLineRateKhz = 100000.0;
constexpr double kMaxPixelClockMhz = 1000000.0;

std::string Quoted(std::string_view text) { return "'" + std::string(text) + "'"; }

// The arguments of one command: positional values and options, each option
// given at most once. "--name value" and "--name=value" are the same.
class CommandLine {
 public:
  // options: every option the command takes, with its count of values.
  CommandLine(std::span<const std::string> arguments, const std::map<std::string, int, std::less<>>& options) {
    for (std::size_t i = 0; i < arguments.size(); ++i) {
      const std::string& argument = arguments[i];
      const bool looks_like_option = argument.size() > 1 && argument[0] == '-' &&
                                     !(argument[1] >= '0' && argument[1] <= '9') && argument[1] != '.' &&
                                     argument[1] != ',';
      if (!looks_like_option) {
        positional_.push_back(argument);
        continue;
      }
      std::string name = argument;
      std::optional<std::string> inline_value;
      if (const auto equals = argument.find('='); equals != std::string::npos) {
        name = argument.substr(0, equals);
        inline_value = argument.substr(equals + 1);
      }
      if (name == "-h") name = "--help";
      const auto option = options.find(name);
      if (option == options.end()) throw UsageError{"unknown option " + Quoted(name) + "; see --help."};
      if (values_.contains(name)) throw UsageError{"the option " + name + " is given twice."};
      std::vector<std::string> values;
      if (inline_value) {
        if (option->second != 1) throw UsageError{"the option " + name + " takes no value after '='."};
        values.push_back(*inline_value);
      } else {
        for (int n = 0; n < option->second; ++n) {
          if (++i >= arguments.size()) {
            throw UsageError{
                "the option " + name + " needs " +
                (option->second == 1 ? std::string("a value") : std::to_string(option->second) + " values") + "."};
          }
          values.push_back(arguments[i]);
        }
      }
      values_.emplace(name, std::move(values));
    }
  }

  bool Has(std::string_view name) const { return values_.contains(std::string(name)); }

  const std::vector<std::string>& Values(std::string_view name) const {
    return values_.find(std::string(name))->second;
  }

  std::optional<std::string> Value(std::string_view name) const {
    if (!Has(name)) return std::nullopt;
    return Values(name).front();
  }

  // The positional arguments, exactly count of them.
  const std::vector<std::string>& Positional(std::size_t count, std::string_view what) const {
    if (positional_.size() < count) throw UsageError{"missing " + std::string(what) + "; see --help."};
    if (positional_.size() > count) throw UsageError{"unexpected argument " + Quoted(positional_[count]) + "."};
    return positional_;
  }

 private:
  std::vector<std::string> positional_;
  std::map<std::string, std::vector<std::string>, std::less<>> values_;
};

int ReadSize(std::string_view text, std::string_view name) {
  const auto value = ReadWhole(text, kMaxPixels);
  if (!value || *value == 0) {
    throw UsageError{std::string(name) + " must be a whole number from 1 to " + std::to_string(kMaxPixels) + ", not " +
                     Quoted(text) + "."};
  }
  return static_cast<int>(*value);
}

int ReadCount(std::string_view text, std::string_view name, std::uint64_t min, std::uint64_t max) {
  const auto value = ReadWhole(text, max);
  if (!value || *value < min) {
    throw UsageError{std::string(name) + " must be a whole number from " + std::to_string(min) + " to " +
                     std::to_string(max) + ", not " + Quoted(text) + "."};
  }
  return static_cast<int>(*value);
}

double ReadPositive(std::string_view text, std::string_view name, double max, std::string_view unit) {
  const auto value = ReadDecimal(text, max);
  if (!value || !(*value > 0.0)) {
    throw UsageError{std::string(name) + " must be a number above 0 and at most " + modes::ShortestDecimal(max) + " " +
                     std::string(unit) + " (a dot or a comma as the decimal separator), not " + Quoted(text) + "."};
  }
  return *value;
}

// Hexadecimal "0x24" or decimal "36".
int ReadModeNumber(std::string_view text, std::string_view name) {
  std::optional<std::uint64_t> value;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    std::uint64_t hex = 0;
    bool ok = text.size() <= 10;
    for (const char c : text.substr(2)) {
      int digit = -1;
      if (c >= '0' && c <= '9') digit = c - '0';
      if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
      if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
      if (digit < 0) ok = false;
      hex = hex * 16 + static_cast<std::uint64_t>(digit < 0 ? 0 : digit);
    }
    if (ok) value = hex;
  } else {
    value = ReadWhole(text, 0xFFFFFFFF);
  }
  if (!value || *value > 0xFFFF) {
    throw UsageError{std::string(name) + " must be a number, decimal or hexadecimal with 0x, not " + Quoted(text) +
                     "."};
  }
  return static_cast<int>(*value);
}

bool ReadPolarity(const CommandLine& line, std::string_view option) {
  const auto value = line.Value(option);
  if (!value) return true;
  if (*value == "+") return true;
  if (*value == "-") return false;
  throw UsageError{"the option " + std::string(option) + " takes + or -, not " + Quoted(*value) + "."};
}

DisplayTiming Produced(const Expected<DisplayTiming>& timing) {
  if (!timing) throw NoModeError{timing.error()};
  return timing.value();
}

enum class Format { Readable, Modeline, Json };

Format ReadFormat(const CommandLine& line) {
  const auto value = line.Value("--format");
  if (!value || *value == "readable") return Format::Readable;
  if (*value == "modeline") return Format::Modeline;
  if (*value == "json") return Format::Json;
  throw UsageError{"unknown format " + Quoted(*value) + "; the formats are readable, modeline and json."};
}

std::string Show(const DisplayTiming& timing, Format format) {
  switch (format) {
    case Format::Readable:
      return ReadableBlock(timing);
    case Format::Modeline:
      return modes::Modeline(timing) + "\n";
    case Format::Json:
      return JsonObject(timing) + "\n";
  }
  return {};
}

std::string ShowList(const std::vector<DisplayTiming>& timings, Format format) {
  std::string text;
  if (format == Format::Json) {
    text = "[";
    for (std::size_t i = 0; i < timings.size(); ++i) text += (i == 0 ? "\n  " : ",\n  ") + JsonObject(timings[i]);
    return text + "\n]\n";
  }
  for (const DisplayTiming& timing : timings) {
    text += format == Format::Modeline ? modes::Modeline(timing) + "\n" : SummaryLine(timing) + "\n";
  }
  return text;
}

const std::map<std::string, int, std::less<>> kListOptions = {{"--help", 0}, {"--format", 1}, {"--list", 0}};
const std::map<std::string, int, std::less<>> kCvtOptions = {
    {"--help", 0},       {"--format", 1},    {"--rb", 1},
    {"--interlaced", 0}, {"--margins", 0},   {"--video-optimized", 0},
    {"--hblank", 1},     {"--vblank-us", 1}, {"--early-vsync", 0}};
const std::map<std::string, int, std::less<>> kGtfOptions = {
    {"--help", 0},       {"--format", 1},  {"--line-rate", 1}, {"--pixel-clock", 1},
    {"--interlaced", 0}, {"--margins", 0}, {"--secondary", 4}};
const std::map<std::string, int, std::less<>> kCustomOptions = {
    {"--help", 0},     {"--format", 1}, {"--pixel-clock", 1}, {"--horizontal", 1},
    {"--vertical", 1}, {"--hsync", 1},  {"--vsync", 1},       {"--interlaced", 0}};

std::string Dmt(const CommandLine& line, Format format) {
  if (line.Has("--list")) {
    line.Positional(0, "");
    std::vector<DisplayTiming> timings;
    for (const modes::DmtMode& mode : modes::DmtModes()) timings.push_back(modes::ToTiming(mode));
    return ShowList(timings, format);
  }
  const int id = ReadModeNumber(line.Positional(1, "the DMT ID")[0], "the DMT ID");
  return Show(Produced(modes::DmtTiming(id)), format);
}

std::string Vic(const CommandLine& line, Format format, bool hdmi) {
  if (line.Has("--list")) {
    line.Positional(0, "");
    std::vector<DisplayTiming> timings;
    for (const modes::CtaMode& mode : hdmi ? modes::HdmiVicModes() : modes::CtaModes()) {
      timings.push_back(Produced(hdmi ? modes::HdmiVicTiming(mode.vic) : modes::VicTiming(mode.vic)));
    }
    return ShowList(timings, format);
  }
  const std::string_view what = hdmi ? "the HDMI VIC" : "the VIC";
  const int number = ReadModeNumber(line.Positional(1, what)[0], what);
  return Show(Produced(hdmi ? modes::HdmiVicTiming(number) : modes::VicTiming(number)), format);
}

std::string Cvt(const CommandLine& line, Format format) {
  const auto& values = line.Positional(3, "WIDTH HEIGHT RATE");
  const int width = ReadSize(values[0], "WIDTH");
  const int height = ReadSize(values[1], "HEIGHT");
  const double rate = ReadPositive(values[2], "RATE", kMaxRateHz, "Hz");
  modes::CvtOptions options;
  if (const auto rb = line.Value("--rb")) {
    constexpr modes::CvtBlanking kVersions[] = {modes::CvtBlanking::Normal, modes::CvtBlanking::ReducedV1,
                                                modes::CvtBlanking::ReducedV2, modes::CvtBlanking::ReducedV3};
    options.blanking = kVersions[ReadCount(*rb, "--rb", 0, 3)];
  }
  options.interlaced = line.Has("--interlaced");
  options.margins = line.Has("--margins");
  options.video_optimized = line.Has("--video-optimized");
  options.early_vsync = line.Has("--early-vsync");
  if (const auto hblank = line.Value("--hblank")) options.h_blank = ReadCount(*hblank, "--hblank", 1, kMaxPixels);
  if (const auto vblank = line.Value("--vblank-us")) {
    options.v_blank_us = ReadCount(*vblank, "--vblank-us", 1, 1000000);
  }
  return Show(Produced(modes::CvtTiming(width, height, rate, options)), format);
}

std::string Gtf(const CommandLine& line, Format format) {
  const bool by_line_rate = line.Has("--line-rate");
  const bool by_pixel_clock = line.Has("--pixel-clock");
  if (by_line_rate && by_pixel_clock) throw UsageError{"give a rate, --line-rate or --pixel-clock, only one."};
  const bool by_rate = !by_line_rate && !by_pixel_clock;
  const auto& values = line.Positional(by_rate ? 3 : 2, by_rate ? "WIDTH HEIGHT RATE" : "WIDTH HEIGHT");
  const int width = ReadSize(values[0], "WIDTH");
  const int height = ReadSize(values[1], "HEIGHT");
  modes::GtfInput input = modes::GtfInput::FrameRate;
  double value = 0.0;
  if (by_rate) {
    value = ReadPositive(values[2], "RATE", kMaxRateHz, "Hz");
  } else if (by_line_rate) {
    input = modes::GtfInput::LineRate;
    value = ReadPositive(*line.Value("--line-rate"), "--line-rate", kMaxLineRateKhz, "kHz") * 1e3;
  } else {
    input = modes::GtfInput::PixelClock;
    value = ReadPositive(*line.Value("--pixel-clock"), "--pixel-clock", kMaxPixelClockMhz, "MHz") * 1e6;
  }
  modes::GtfOptions options;
  options.interlaced = line.Has("--interlaced");
  options.margins = line.Has("--margins");
  if (line.Has("--secondary")) {
    const auto& curve = line.Values("--secondary");
    options.secondary = true;
    options.curve = {ReadPositive(curve[0], "C", 1000.0, ""), ReadPositive(curve[1], "M", 100000.0, ""),
                     ReadPositive(curve[2], "K", 1000.0, ""), ReadPositive(curve[3], "J", 1000.0, "")};
  }
  return Show(Produced(modes::GtfTiming(width, height, input, value, options)), format);
}

// "1920,88,44,148": active, front porch, sync and back porch.
std::array<int, 4> ReadGeometry(const CommandLine& line, std::string_view option) {
  const auto text = line.Value(option);
  if (!text) throw UsageError{"custom needs " + std::string(option) + " ACTIVE,FRONT,SYNC,BACK."};
  std::array<int, 4> figures{};
  std::string_view rest = *text;
  constexpr std::string_view kNames[] = {"active", "front porch", "sync", "back porch"};
  for (std::size_t i = 0; i < 4; ++i) {
    const std::size_t comma = rest.find(',');
    if ((comma == std::string_view::npos) != (i == 3)) {
      throw UsageError{std::string(option) +
                       " takes four whole numbers separated by commas (ACTIVE,FRONT,SYNC,BACK), "
                       "not " +
                       Quoted(*text) + "."};
    }
    const std::string_view part = rest.substr(0, comma);
    const auto value = ReadWhole(part, kMaxPixels);
    if (!value || (i == 0 && *value == 0)) {
      throw UsageError{"the " + std::string(kNames[i]) + " of " + std::string(option) +
                       " must be a whole number from " + (i == 0 ? "1" : "0") + " to " + std::to_string(kMaxPixels) +
                       ", not " + Quoted(part) + "."};
    }
    figures[i] = static_cast<int>(*value);
    rest = comma == std::string_view::npos ? std::string_view{} : rest.substr(comma + 1);
  }
  return figures;
}

std::string Custom(const CommandLine& line, Format format) {
  line.Positional(0, "");
  const auto clock_text = line.Value("--pixel-clock");
  if (!clock_text) throw UsageError{"custom needs --pixel-clock MHZ."};
  const auto clock = ReadScaled(*clock_text, 6, static_cast<std::uint64_t>(kMaxPixelClockMhz) * 1000000);
  if (!clock || *clock == 0) {
    throw UsageError{"--pixel-clock must be a number of MHz above 0 and at most " +
                     modes::ShortestDecimal(kMaxPixelClockMhz) + ", to the hertz (six decimals at most), not " +
                     Quoted(*clock_text) + "."};
  }
  const auto h = ReadGeometry(line, "--horizontal");
  const auto v = ReadGeometry(line, "--vertical");
  DisplayTiming timing;
  timing.h_active = h[0];
  timing.h_front_porch = h[1];
  timing.h_sync = h[2];
  timing.h_back_porch = h[3];
  timing.v_active = v[0];
  timing.v_front_porch = v[1];
  timing.v_sync = v[2];
  timing.v_back_porch = v[3];
  timing.pixel_clock_hz = *clock;
  timing.h_sync_positive = ReadPolarity(line, "--hsync");
  timing.v_sync_positive = ReadPolarity(line, "--vsync");
  timing.interlaced = line.Has("--interlaced");
  timing.source = "Custom";
  return Show(timing, format);
}

Outcome Dispatch(const std::vector<std::string>& arguments) {
  if (arguments.empty()) throw UsageError{"no command given; see zarn-timing --help."};
  const std::string& command = arguments.front();
  if (command == "--help" || command == "-h" || command == "help") return {0, std::string(ProgramHelp()), {}};
  if (command == "--version") return {0, VersionLine(), {}};
  const std::span<const std::string> rest(arguments.begin() + 1, arguments.end());
  const std::map<std::string, int, std::less<>>* options = nullptr;
  if (command == "dmt" || command == "vic" || command == "hdmi-vic") options = &kListOptions;
  if (command == "cvt") options = &kCvtOptions;
  if (command == "gtf") options = &kGtfOptions;
  if (command == "custom") options = &kCustomOptions;
  if (options == nullptr) throw UsageError{"unknown command " + Quoted(command) + "; see zarn-timing --help."};
  // Help comes first: "zarn-timing cvt --help" answers whatever else is there.
  for (const std::string& argument : rest) {
    if (argument == "--help" || argument == "-h") return {0, std::string(CommandHelp(command)), {}};
  }
  const CommandLine line(rest, *options);
  const Format format = ReadFormat(line);
  if (command == "dmt") return {0, Dmt(line, format), {}};
  if (command == "vic") return {0, Vic(line, format, false), {}};
  if (command == "hdmi-vic") return {0, Vic(line, format, true), {}};
  if (command == "cvt") return {0, Cvt(line, format), {}};
  if (command == "gtf") return {0, Gtf(line, format), {}};
  return {0, Custom(line, format), {}};
}

}  // namespace

Outcome Run(const std::vector<std::string>& arguments) {
  try {
    return Dispatch(arguments);
  } catch (const UsageError& error) {
    return {kExitUsage, {}, "zarn-timing: " + error.message + "\n"};
  } catch (const NoModeError& error) {
    return {kExitNoMode, {}, "zarn-timing: " + error.message + "\n"};
  }
}

}  // namespace zarn::cli
