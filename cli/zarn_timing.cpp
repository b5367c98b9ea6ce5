#include "cli/zarn_timing.h"

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string_view>
#include <utility>

#include "cli/help_texts.h"
#include "cli/links_text.h"
#include "cli/number_text.h"
#include "modes/cta.h"
#include "modes/cvt.h"
#include "modes/decimal.h"
#include "modes/dmt.h"
#include "modes/edid.h"
#include "modes/exports.h"
#include "modes/gtf.h"
#include "modes/modeline.h"
#include "modes/timing_text.h"

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

using OptionTable = std::map<std::string, int, std::less<>>;

std::string Quoted(std::string_view text) { return "'" + std::string(text) + "'"; }

// The arguments of one command: positional values and options, each option
// given at most once. "--name value" and "--name=value" are the same.
class CommandLine {
 public:
  // options: every option the command takes, with its count of values.
  CommandLine(std::span<const std::string> arguments, const OptionTable& options) {
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

enum class Format { Readable, Modeline, Json, Xrandr, Sway, Kernel, EdidDtd, Edid, EdidHex };

constexpr std::pair<std::string_view, Format> kFormats[] = {
    {"readable", Format::Readable}, {"modeline", Format::Modeline}, {"json", Format::Json},
    {"xrandr", Format::Xrandr},     {"sway", Format::Sway},         {"kernel", Format::Kernel},
    {"edid-dtd", Format::EdidDtd},  {"edid", Format::Edid},         {"edid-hex", Format::EdidHex}};

Format ReadFormat(const CommandLine& line) {
  const auto value = line.Value("--format");
  if (!value) return Format::Readable;
  for (const auto& [name, format] : kFormats) {
    if (*value == name) return format;
  }
  throw UsageError{"unknown format " + Quoted(*value) +
                   "; the formats are readable, modeline, json, xrandr, sway, kernel, edid-dtd, edid and edid-hex."};
}

// What one mode is shown as, with the options the exports take.
struct Presentation {
  Format format = Format::Readable;
  std::string output;        // --output: the xrandr, sway or kernel output name
  std::string display_name;  // --name: the EDID's display name
  bool links = false;        // --links: the link check instead of the timing
  bool to_file = false;      // -o FILE
};

Presentation ReadPresentation(const CommandLine& line) {
  Presentation p;
  p.format = ReadFormat(line);
  p.output = line.Value("--output").value_or("");
  p.display_name = line.Value("--name").value_or("");
  p.links = line.Has("--links");
  p.to_file = line.Has("-o");
  for (const char c : p.output) {
    const bool safe =
        (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.';
    if (!safe) throw UsageError{"--output takes an output name of letters, digits, '-', '_' and '.', such as HDMI-1."};
  }
  if (p.display_name.size() > modes::kMaxDisplayNameLength) {
    throw UsageError{"--name takes at most 13 characters, the most an EDID display name holds."};
  }
  for (const char c : p.display_name) {
    if (c < 0x20 || c > 0x7E) throw UsageError{"--name takes printable ASCII characters only."};
  }
  if (p.format == Format::Edid && !p.to_file) {
    throw UsageError{"--format edid writes binary and needs -o FILE; --format edid-hex prints the same bytes as hex."};
  }
  if (p.links && p.format != Format::Readable && p.format != Format::Json) {
    throw UsageError{"--links shows a table (the readable format) or JSON, not " + *line.Value("--format") + "."};
  }
  return p;
}

template <class T>
T Exported(const Expected<T>& result) {
  if (!result) throw NoModeError{result.error()};
  return result.value();
}

std::string Show(const DisplayTiming& timing, const Presentation& p) {
  if (p.links) return p.format == Format::Json ? LinksJson(timing) + "\n" : LinksTable(timing);
  switch (p.format) {
    case Format::Readable:
      return modes::ReadableBlock(timing);
    case Format::Modeline:
      return modes::Modeline(timing) + "\n";
    case Format::Json:
      return modes::JsonObject(timing) + "\n";
    case Format::Xrandr:
      return modes::XrandrCommands(timing, p.output);
    case Format::Sway:
      return Exported(modes::SwayOutputLine(timing, p.output));
    case Format::Kernel:
      return Exported(modes::KernelModeOption(timing, p.output));
    case Format::EdidDtd:
      return modes::HexBytes(Exported(modes::DescribeTiming(timing)));
    case Format::EdidHex:
      return modes::HexBytes(Exported(modes::MakeEdid(timing, p.display_name)));
    case Format::Edid: {
      const modes::EdidBlock block = Exported(modes::MakeEdid(timing, p.display_name));
      return std::string(block.begin(), block.end());
    }
  }
  return {};
}

std::string ShowList(const std::vector<DisplayTiming>& timings, const Presentation& p) {
  if (p.links || (p.format != Format::Readable && p.format != Format::Modeline && p.format != Format::Json)) {
    throw UsageError{"--list shows the readable, modeline or json format only."};
  }
  std::string text;
  if (p.format == Format::Json) {
    text = "[";
    for (std::size_t i = 0; i < timings.size(); ++i)
      text += (i == 0 ? "\n  " : ",\n  ") + modes::JsonObject(timings[i]);
    return text + "\n]\n";
  }
  for (const DisplayTiming& timing : timings) {
    text += p.format == Format::Modeline ? modes::Modeline(timing) + "\n" : modes::SummaryLine(timing) + "\n";
  }
  return text;
}

// A command's options with those every command takes, each with its count of values.
OptionTable WithCommonOptions(OptionTable options) {
  options.insert({{"--help", 0}, {"--format", 1}, {"--output", 1}, {"--name", 1}, {"--links", 0}, {"-o", 1}});
  return options;
}

const OptionTable kListOptions = WithCommonOptions({{"--list", 0}});
const OptionTable kCvtOptions = WithCommonOptions({{"--rb", 1},
                                                   {"--interlaced", 0},
                                                   {"--margins", 0},
                                                   {"--video-optimized", 0},
                                                   {"--hblank", 1},
                                                   {"--vblank-us", 1},
                                                   {"--early-vsync", 0}});
const OptionTable kGtfOptions = WithCommonOptions(
    {{"--line-rate", 1}, {"--pixel-clock", 1}, {"--interlaced", 0}, {"--margins", 0}, {"--secondary", 4}});
const OptionTable kCustomOptions = WithCommonOptions({{"--pixel-clock", 1},
                                                      {"--horizontal", 1},
                                                      {"--vertical", 1},
                                                      {"--hsync", 1},
                                                      {"--vsync", 1},
                                                      {"--interlaced", 0}});

std::string Dmt(const CommandLine& line, const Presentation& format) {
  if (line.Has("--list")) {
    line.Positional(0, "");
    std::vector<DisplayTiming> timings;
    for (const modes::DmtMode& mode : modes::DmtModes()) timings.push_back(modes::ToTiming(mode));
    return ShowList(timings, format);
  }
  const int id = ReadModeNumber(line.Positional(1, "the DMT ID")[0], "the DMT ID");
  return Show(Produced(modes::DmtTiming(id)), format);
}

std::string Vic(const CommandLine& line, const Presentation& format, bool hdmi) {
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

std::string Cvt(const CommandLine& line, const Presentation& format) {
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

std::string Gtf(const CommandLine& line, const Presentation& format) {
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

std::string Custom(const CommandLine& line, const Presentation& format) {
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

Outcome Printed(std::string text) {
  Outcome outcome;
  outcome.out = std::move(text);
  return outcome;
}

Outcome Failed(int exit_code, const std::string& message) {
  Outcome outcome;
  outcome.exit_code = exit_code;
  outcome.err = "zarn-timing: " + message + "\n";
  return outcome;
}

Outcome Dispatch(const std::vector<std::string>& arguments) {
  if (arguments.empty()) throw UsageError{"no command given; see zarn-timing --help."};
  const std::string& command = arguments.front();
  if (command == "--help" || command == "-h" || command == "help") return Printed(std::string(ProgramHelp()));
  if (command == "--version") return Printed(VersionLine());
  const std::span<const std::string> rest(arguments.begin() + 1, arguments.end());
  const OptionTable* options = nullptr;
  if (command == "dmt" || command == "vic" || command == "hdmi-vic") options = &kListOptions;
  if (command == "cvt") options = &kCvtOptions;
  if (command == "gtf") options = &kGtfOptions;
  if (command == "custom") options = &kCustomOptions;
  if (options == nullptr) throw UsageError{"unknown command " + Quoted(command) + "; see zarn-timing --help."};
  // Help comes first: "zarn-timing cvt --help" answers whatever else is there.
  for (const std::string& argument : rest) {
    if (argument == "--help" || argument == "-h") return Printed(std::string(CommandHelp(command)));
  }
  const CommandLine line(rest, *options);
  const Presentation presentation = ReadPresentation(line);
  std::string text;
  if (command == "dmt") text = Dmt(line, presentation);
  if (command == "vic") text = Vic(line, presentation, false);
  if (command == "hdmi-vic") text = Vic(line, presentation, true);
  if (command == "cvt") text = Cvt(line, presentation);
  if (command == "gtf") text = Gtf(line, presentation);
  if (command == "custom") text = Custom(line, presentation);
  if (presentation.to_file) {
    Outcome outcome;
    outcome.file_path = *line.Value("-o");
    outcome.file_data = std::move(text);
    return outcome;
  }
  return Printed(std::move(text));
}

}  // namespace

Outcome Run(const std::vector<std::string>& arguments) {
  try {
    return Dispatch(arguments);
  } catch (const UsageError& error) {
    return Failed(kExitUsage, error.message);
  } catch (const NoModeError& error) {
    return Failed(kExitNoMode, error.message);
  }
}

}  // namespace zarn::cli
