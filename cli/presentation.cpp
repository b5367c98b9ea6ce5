#include "cli/presentation.h"

#include <optional>
#include <vector>

#include "cli/edid_commands.h"
#include "modes/edid.h"
#include "modes/edid_reader.h"

namespace zarn::cli {
namespace {

using modes::DisplayTiming;
using modes::ExportFormat;

// The names of the formats that pass a test.
template <class Test>
std::vector<std::string> FormatNames(Test test) {
  std::vector<std::string> names;
  for (const ExportFormat& format : modes::ExportFormats()) {
    if (test(format)) names.emplace_back(format.name);
  }
  return names;
}

// The monitor's EDID as --edid or --monitor names it: the bytes the command
// read already for an option of its own of that name (so that standard input
// is read once), else read now.
std::vector<std::uint8_t> MonitorEdidBytes(const modes::TimingRequest* request, const Presentation& p) {
  const std::string_view option = p.edid_file.empty() ? "--monitor" : "--edid";
  if (request != nullptr && request->source != nullptr) {
    const auto& parameters = request->source->parameters;
    for (std::size_t i = 0; i < parameters.size() && i < request->values.size(); ++i) {
      if (parameters[i].cli == option && request->values[i].given) return request->values[i].bytes;
    }
  }
  return p.edid_file.empty() ? LoadMonitorEdid(p.monitor, p.environment) : LoadEdidFile(p.edid_file, p.environment);
}

}  // namespace

OptionTable PresentationOptions() {
  return {{"--help", 0}, {"--format", 1},      {"--output", 1}, {"--name", 1},   {"--links", 0},
          {"-o", 1},     {"--round-clock", 0}, {"--edid", 1},   {"--monitor", 1}};
}

Presentation ReadPresentation(const CommandLine& line, const Environment& environment) {
  Presentation p;
  const std::string name = line.Value("--format").value_or(std::string(modes::ExportFormats().front().name));
  p.format = modes::FindExportFormat(name);
  if (p.format == nullptr) {
    throw UsageError{"unknown format " + Quoted(name) + "; the formats are " +
                     Listed(FormatNames([](const ExportFormat&) { return true; }), " and ") + "."};
  }
  p.output = line.Value("--output").value_or("");
  p.display_name = line.Value("--name").value_or("");
  p.links = line.Has("--links");
  p.to_file = line.Has("-o");
  p.round_clock = line.Has("--round-clock");
  p.edid_file = line.Value("--edid").value_or("");
  p.monitor = line.Value("--monitor").value_or("");
  p.environment = environment;
  if (line.Has("--edid") && line.Has("--monitor")) throw UsageError{"give --edid or --monitor, only one."};
  if (line.Has("--edid") && p.edid_file.empty())
    throw UsageError{"--edid needs the name of a file, or - for standard input."};
  if (p.to_file && line.Value("-o")->empty()) throw UsageError{"-o needs the name of a file."};
  if (!modes::IsOutputName(p.output)) {
    throw UsageError{"--output takes an output name of " + std::string(modes::kOutputNameRule) + "."};
  }
  if (line.Has("--name")) {
    if (std::string problem = modes::DisplayNameProblem(p.display_name); !problem.empty()) {
      throw UsageError{"--name: " + problem};
    }
  }
  if (p.format->binary && !p.to_file) {
    const ExportFormat* hex = modes::FindExportFormat(std::string(p.format->name) + "-hex");
    throw UsageError{
        "--format " + std::string(p.format->name) + " writes binary and needs -o FILE" +
        (hex != nullptr ? "; --format " + std::string(hex->name) + " prints the same bytes as hex." : ".")};
  }
  if (p.links && p.format->links == nullptr) {
    throw UsageError{"--links shows the " +
                     Listed(FormatNames([](const ExportFormat& f) { return f.links != nullptr; }), " or ") +
                     " format only, not " + name + "."};
  }
  return p;
}

modes::ExportText Show(const DisplayTiming& timing, const modes::TimingRequest* request, const Presentation& p) {
  if (p.links) return {p.format->links(timing), {}};
  std::optional<modes::DecodedEdid> monitor;
  if (p.format->reads_monitor_edid && (!p.edid_file.empty() || !p.monitor.empty())) {
    const auto decoded = modes::DecodeEdid(MonitorEdidBytes(request, p));
    const std::string where = p.edid_file.empty() ? "The monitor " + Quoted(p.monitor) : Quoted(p.edid_file);
    if (!decoded) throw NoModeError{where + " holds no EDID: " + decoded.error()};
    monitor = *decoded;
  }
  const modes::ExportRequest exportRequest{p.output, p.display_name, request, p.round_clock,
                                           monitor ? &*monitor : nullptr};
  return Unwrapped(p.format->make(timing, exportRequest), kExitNoMode);
}

std::string ShowList(const modes::SourceInfo& source, const Presentation& p) {
  if (p.links || p.format->list == nullptr) {
    throw UsageError{"--list shows the " +
                     Listed(FormatNames([](const ExportFormat& f) { return f.list != nullptr; }), " or ") +
                     " format only."};
  }
  return p.format->list(source.list());
}

}  // namespace zarn::cli
