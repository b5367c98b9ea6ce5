#include "cli/presentation.h"

#include <vector>

#include "modes/edid.h"

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

}  // namespace

OptionTable PresentationOptions() {
  return {{"--help", 0},  {"--format", 1}, {"--output", 1},     {"--name", 1},
          {"--links", 0}, {"-o", 1},       {"--round-clock", 0}};
}

Presentation ReadPresentation(const CommandLine& line) {
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
  const modes::ExportRequest exportRequest{p.output, p.display_name, request, p.round_clock};
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
