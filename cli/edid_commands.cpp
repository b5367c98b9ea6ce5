#include "cli/edid_commands.h"

#include <cstdio>
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif
#include <fstream>

#include "cli/command_line.h"
#include "cli/edid_install.h"
#include "cli/presentation.h"
#include "modes/decimal.h"
#include "modes/edid_hex.h"
#include "modes/edid_reader.h"
#include "modes/edid_text.h"
#include "modes/modeline.h"
#include "modes/timing_text.h"

namespace zarn::cli {
namespace {

using modes::DecodedEdid;

// The most a file may hold to be taken for an EDID: 256 blocks, as hex text
// with room for labels. Anything longer is not one (and /dev/zero never ends).
constexpr std::size_t kMaxEdidFileBytes = 1 << 20;
// All of standard input, in binary (on Windows too), up to one byte past
// limit.
std::string ReadStandardInput(std::size_t limit) {
#ifdef _WIN32
  _setmode(_fileno(stdin), _O_BINARY);
#endif
  std::string content;
  char buffer[4096];
  while (content.size() <= limit) {
    const std::size_t read = std::fread(buffer, 1, sizeof buffer, stdin);
    if (read == 0) break;
    content.append(buffer, read);
  }
  return content;
}

std::vector<platform::MonitorEdid> MonitorsOf(const Environment& environment) {
  return environment.monitors ? environment.monitors() : platform::AttachedMonitors();
}

std::string MonitorNames(const std::vector<platform::MonitorEdid>& monitors) {
  std::vector<std::string> names;
  for (const auto& monitor : monitors) names.push_back(monitor.connector);
  return names.empty() ? std::string("none has an EDID") : "the monitors are " + Listed(names, " and ");
}

std::vector<std::uint8_t> BytesOf(const std::string& content, const std::string& where) {
  const auto bytes = modes::EdidBytesFromFile(content);
  if (!bytes) throw NoModeError{where + " holds no EDID: " + bytes.error()};
  return *bytes;
}

DecodedEdid Decoded(const std::vector<std::uint8_t>& bytes, const std::string& where) {
  const auto edid = modes::DecodeEdid(bytes);
  if (!edid) throw NoModeError{where + " holds no EDID: " + edid.error()};
  return *edid;
}

// "DEL A0A2" and the rest of a monitor's line.
std::string MonitorLine(const platform::MonitorEdid& monitor) {
  const auto edid = modes::DecodeEdid(monitor.edid);
  std::string line = modes::PadRight(monitor.connector, 12);
  if (!edid) return line + "(no EDID it can read: " + edid.error() + ")";
  char product[8];
  std::snprintf(product, sizeof product, "%04X", static_cast<unsigned>(edid->product_code & 0xFFFF));
  line += modes::PadRight(edid->manufacturer + " " + product, 10);
  line += modes::PadRight(modes::ValidUtf8(edid->name.value_or("-")), 15);
  line += modes::PadRight(edid->screen_width_cm > 0 ? std::to_string(edid->screen_width_cm) + "x" +
                                                          std::to_string(edid->screen_height_cm) + " cm"
                                                    : std::string("-"),
                          11);
  for (const auto& timing : edid->timings) {
    if (!timing.preferred) continue;
    return line + modes::ShortModeName(timing.timing) + " (" + timing.origin + ", " +
           modes::ScaledDecimal(timing.timing.pixel_clock_hz, 6, 0) + " MHz)";
  }
  return line + "-";
}

std::string MonitorJson(const platform::MonitorEdid& monitor) {
  const auto edid = modes::DecodeEdid(monitor.edid);
  const std::string connector = "{\"connector\": " + modes::JsonString(modes::ValidUtf8(monitor.connector));
  if (!edid) return connector + ", \"error\": " + modes::JsonString(edid.error()) + "}";
  return connector + ", \"edid\": " + modes::EdidJson(*edid) + "}";
}

}  // namespace

std::string ReadInput(const std::string& path, const Environment& environment, std::size_t limit,
                      std::string_view tooLarge) {
  std::string content;
  if (path == "-") {
    content = environment.standard_input ? environment.standard_input() : ReadStandardInput(limit);
  } else {
    std::ifstream file(path, std::ios::binary);
    if (!file) throw NoModeError{"Cannot read " + Quoted(path) + "."};
    // In pieces, so that a small file costs what it holds and a huge one
    // stops just past the limit.
    char piece[1 << 16];
    while (content.size() <= limit && file.read(piece, sizeof piece).gcount() > 0) {
      content.append(piece, static_cast<std::size_t>(file.gcount()));
    }
  }
  if (content.size() > limit) throw NoModeError{Quoted(path) + " " + std::string(tooLarge)};
  return content;
}

std::vector<std::uint8_t> LoadEdidFile(const std::string& path, const Environment& environment) {
  const std::string content = ReadInput(path, environment, kMaxEdidFileBytes, "is too large to be an EDID.");
  return BytesOf(content, path == "-" ? std::string("Standard input") : Quoted(path));
}

platform::MonitorEdid AttachedMonitor(const std::string& name, const Environment& environment) {
  const auto monitors = MonitorsOf(environment);
  const platform::MonitorEdid* monitor = platform::FindMonitor(monitors, name);
  if (monitor == nullptr) {
    throw NoModeError{"No monitor attached is called " + Quoted(name) + "; " + MonitorNames(monitors) + "."};
  }
  return *monitor;
}

std::vector<std::uint8_t> LoadMonitorEdid(const std::string& name, const Environment& environment) {
  return AttachedMonitor(name, environment).edid;
}

Outcome Monitors(std::span<const std::string> arguments, const Environment& environment) {
  const CommandLine line(arguments, {{"--help", 0}, {"--format", 1}});
  line.Positional(0, "");
  const std::string format = line.Value("--format").value_or("readable");
  const bool json = format == "json";
  if (!json && format != "readable") throw UsageError{"monitors shows the readable or json format only."};
  Outcome outcome;
  const auto monitors = MonitorsOf(environment);
  if (monitors.empty()) {
    outcome.err = "zarn-timing: no monitor with an EDID is attached.\n";
    return outcome;
  }
  if (!json) {
    outcome.out = modes::PadRight("CONNECTOR", 12) + modes::PadRight("VENDOR", 10) + modes::PadRight("NAME", 15) +
                  modes::PadRight("SIZE", 11) + "PREFERRED\n";
  }
  for (const auto& monitor : monitors) outcome.out += (json ? MonitorJson(monitor) : MonitorLine(monitor)) + "\n";
  return outcome;
}

Outcome Edid(std::span<const std::string> arguments, const Environment& environment) {
  if (!arguments.empty() && (arguments.front() == "install" || arguments.front() == "uninstall")) {
    return EdidInstall(arguments, environment);
  }
  if (!arguments.empty() && arguments.front() == "edit") return EdidEdit(arguments.subspan(1), environment);
  if (arguments.empty() || arguments.front() != "show") {
    throw UsageError{"edid takes a subcommand: show, edit, install or uninstall; see zarn-timing edid --help."};
  }
  OptionTable options = PresentationOptions();
  options.emplace("--monitor", 1);
  options.emplace("--timing", 1);
  const CommandLine line(arguments.subspan(1), options);
  Presentation presentation = ReadPresentation(line, environment);
  const bool json = presentation.format->id == modes::ExportId::Json;
  const bool readable = presentation.format->id == modes::ExportId::Readable;
  // Where the EDIDs come from.
  std::vector<std::pair<std::string, std::vector<std::uint8_t>>> sources;
  if (const auto monitor = line.Value("--monitor")) {
    line.Positional(0, "");
    sources.emplace_back(*monitor, LoadMonitorEdid(*monitor, environment));
  } else {
    if (line.Positional().empty()) throw UsageError{"missing FILE, - or --monitor NAME; see --help."};
    for (const std::string& path : line.Positional()) sources.emplace_back(path, std::vector<std::uint8_t>{});
  }

  Outcome outcome;
  if (const auto chosen = line.Value("--timing")) {
    if (sources.size() != 1) throw UsageError{"--timing takes one EDID, not " + std::to_string(sources.size()) + "."};
    if (sources[0].second.empty()) sources[0].second = LoadEdidFile(sources[0].first, environment);
    const DecodedEdid edid = Decoded(sources[0].second, Quoted(sources[0].first));
    modes::DecimalGrammar whole;
    whole.fraction = false;
    const auto number = modes::ReadExactDecimal(*chosen, whole);
    const auto index = number ? modes::ScaledUnits(*number, 0, 100000) : std::nullopt;
    if (!index || *index == 0)
      throw UsageError{"--timing takes the number of a timing, 1 or more, not " + Quoted(*chosen) + "."};
    if (*index > edid.timings.size()) {
      throw NoModeError{"The EDID offers " + std::to_string(edid.timings.size()) + " timings, not " +
                        std::to_string(*index) + "; edid show lists them."};
    }
    // A format that fits itself to the monitor takes the EDID shown.
    if (presentation.edid_file.empty() && presentation.monitor.empty() && sources[0].first != "-" &&
        !line.Has("--monitor")) {
      presentation.edid_file = sources[0].first;
    }
    const modes::ExportText shown = Show(edid.timings[*index - 1].timing, nullptr, presentation);
    (presentation.to_file ? outcome.file_data : outcome.out) = shown.text;
    if (presentation.to_file) outcome.file_path = *line.Value("-o");
    if (!shown.note.empty()) outcome.err = "zarn-timing: " + shown.note + "\n";
    return outcome;
  }
  if (!json && !readable) {
    throw UsageError{
        "edid show without --timing shows the readable or json format; --timing N picks a timing "
        "for the others."};
  }
  if (presentation.links) throw UsageError{"--links needs --timing N: which of the EDID's timings."};
  // Every EDID in turn: one report each (a JSON object a line); one that
  // cannot be read says so and the rest go on.
  std::string text;
  for (auto& [where, bytes] : sources) {
    try {
      if (bytes.empty()) bytes = LoadEdidFile(where, environment);
      const DecodedEdid edid = Decoded(bytes, Quoted(where));
      if (json) {
        text += modes::EdidJson(edid) + "\n";
      } else {
        if (sources.size() > 1) text += (text.empty() ? "" : "\n") + std::string("== ") + where + "\n";
        text += modes::EdidReport(edid);
      }
    } catch (const NoModeError& error) {
      outcome.err += "zarn-timing: " + error.message + "\n";
      outcome.exit_code = kExitNoMode;
    }
  }
  (presentation.to_file ? outcome.file_data : outcome.out) = text;
  if (presentation.to_file) outcome.file_path = *line.Value("-o");
  return outcome;
}

}  // namespace zarn::cli
