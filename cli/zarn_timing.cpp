#include "cli/zarn_timing.h"

#include <map>
#include <optional>
#include <span>
#include <string_view>
#include <utility>

#include "cli/batch.h"
#include "cli/command_line.h"
#include "cli/edid_commands.h"
#include "cli/help_texts.h"
#include "cli/presentation.h"
#include "modes/edid.h"
#include "modes/export_formats.h"
#include "modes/sources.h"
#include "modes/typed_text.h"

namespace zarn::cli {
namespace {

using modes::DisplayTiming;
using modes::Parameter;
using modes::ValueKind;

// How many words an option of a parameter takes.
int WordsOf(const Parameter& parameter) {
  if (parameter.kind == ValueKind::Flag) return 0;
  return parameter.kind == ValueKind::Curve ? 4 : 1;
}

// The options of a command: its parameters' and those every command takes.
const OptionTable& OptionsOf(const modes::SourceInfo& source) {
  // Made once a source: a batch reads thousands of lines.
  static std::map<const modes::SourceInfo*, OptionTable> tables;
  auto [table, made] = tables.try_emplace(&source);
  if (made) {
    table->second = PresentationOptions();
    if (source.list != nullptr) table->second.emplace("--list", 0);
    for (const Parameter& parameter : source.parameters) {
      if (IsOption(parameter.cli)) table->second.emplace(parameter.cli, WordsOf(parameter));
    }
  }
  return table->second;
}

// How a positional parameter is named when it is missing.
std::string MissingName(const Parameter& parameter) {
  return std::string(parameter.kind == ValueKind::ModeNumber ? parameter.name : parameter.cli);
}

// "give a rate, --line-rate or --pixel-clock, only one."
std::string OneOfGroup(std::span<const Parameter> parameters, int group) {
  std::vector<std::string> names;
  for (const Parameter& parameter : parameters) {
    if (parameter.group != group) continue;
    names.push_back(IsOption(parameter.cli) ? std::string(parameter.cli)
                                            : "a " + std::string(parameter.name.substr(parameter.name.find(' ') + 1)));
  }
  return "give " + Listed(names, " or ") + ", only one.";
}

// The values of a source's parameters from the command line, each read for
// its kind; the limits are the source's to check.
modes::TimingRequest ReadRequest(const modes::SourceInfo& source, const CommandLine& line,
                                 const Environment& environment) {
  const std::span<const Parameter> parameters = source.parameters;
  const modes::InputStyle style = modes::CommandLineStyle();
  // A positional parameter is left out when another of its group is given.
  std::map<int, int> given;
  for (const Parameter& parameter : parameters) {
    if (parameter.group != 0 && IsOption(parameter.cli) && line.Has(parameter.cli)) ++given[parameter.group];
  }
  for (const auto& [group, count] : given) {
    if (count > 1) throw UsageError{OneOfGroup(parameters, group)};
  }
  std::vector<const Parameter*> positional;
  std::string what;
  for (const Parameter& parameter : parameters) {
    if (IsOption(parameter.cli) || given.contains(parameter.group)) continue;
    positional.push_back(&parameter);
    what += (what.empty() ? "" : " ") + MissingName(parameter);
  }
  const std::vector<std::string>& words = line.Positional(positional.size(), what);

  modes::TimingRequest request;
  request.source = &source;
  std::size_t next = 0;
  for (const Parameter& parameter : parameters) {
    modes::Value value;
    if (!IsOption(parameter.cli)) {
      if (!given.contains(parameter.group))
        value = Unwrapped(modes::ReadValue(parameter, words[next++], style), kExitUsage);
    } else if (!line.Has(parameter.cli)) {
      if (parameter.required) {
        throw UsageError{std::string(source.command) + " needs " + std::string(parameter.cli) + " " +
                         std::string(parameter.value) + "."};
      }
    } else if (parameter.kind == ValueKind::Flag) {
      value = Unwrapped(modes::ReadValue(parameter, "", style), kExitUsage);
    } else if (parameter.kind == ValueKind::Curve) {
      value.given = true;
      const auto& parts = line.Values(parameter.cli);
      for (std::size_t i = 0; i < parts.size(); ++i) {
        value.parts[i] = Unwrapped(modes::ReadPart(parameter, i, parts[i], style), kExitUsage);
      }
    } else {
      value = Unwrapped(modes::ReadValue(parameter, *line.Value(parameter.cli), style), kExitUsage);
    }
    request.values.push_back(std::move(value));
  }
  // What only names an EDID: its bytes.
  for (modes::Value& value : request.values) {
    const std::size_t index = static_cast<std::size_t>(&value - request.values.data());
    if (!value.given) continue;
    if (parameters[index].kind == ValueKind::EdidFile) value.bytes = LoadEdidFile(value.word, environment);
    if (parameters[index].kind == ValueKind::Monitor) value.bytes = LoadMonitorEdid(value.word, environment);
  }
  // An option of one choice only, such as --hblank of reduced blanking v3.
  for (const Parameter& parameter : parameters) {
    if (parameter.needs < 0 || !line.Has(parameter.cli)) continue;
    const Parameter& needed = parameters[static_cast<std::size_t>(parameter.needs)];
    if (request.values[static_cast<std::size_t>(parameter.needs)].Int() != parameter.needs_choice) {
      throw UsageError{std::string(parameter.cli) + " goes with " + std::string(needed.cli) + " " +
                       std::to_string(parameter.needs_choice) + " only."};
    }
  }
  return request;
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

Outcome Dispatch(const std::vector<std::string>& arguments, const Environment& environment) {
  if (arguments.empty()) throw UsageError{"no command given; see zarn-timing --help."};
  const std::string& command = arguments.front();
  if (command == "--help" || command == "-h" || command == "help") return Printed(ProgramHelp());
  if (command == "--version") return Printed(VersionLine());
  // Many requests in one run: "-" reads them from standard input, --batch
  // FILE from a file.
  if (command == "-" || command == "--batch") {
    if (command == "--batch" && arguments.size() != 2) throw UsageError{"--batch takes one FILE."};
    if (command == "-" && arguments.size() != 1) throw UsageError{"unexpected argument " + Quoted(arguments[1]) + "."};
    return RunBatch(command == "-" ? ReadInput("-", environment, kMaxRequestBytes)
                                   : ReadInput(arguments[1], environment, kMaxRequestBytes),
                    environment);
  }
  const std::span<const std::string> rest(arguments.begin() + 1, arguments.end());
  // Help comes first: "zarn-timing cvt --help" answers whatever else is there.
  for (const std::string& argument : rest) {
    if (argument == "--help" || argument == "-h") {
      const std::string_view help = CommandHelp(command);
      if (!help.empty()) return Printed(std::string(help));
    }
  }
  if (command == "monitors") return Monitors(rest, environment);
  if (command == "edid") return Edid(rest, environment);
  const modes::SourceInfo* source = modes::FindSource(command);
  if (source == nullptr) throw UsageError{"unknown command " + Quoted(command) + "; see zarn-timing --help."};
  const CommandLine line(rest, OptionsOf(*source));
  const Presentation presentation = ReadPresentation(line, environment);
  modes::ExportText shown;
  if (line.Has("--list")) {
    line.Positional(0, "");
    shown.text = ShowList(*source, presentation);
  } else {
    const modes::TimingRequest request = ReadRequest(*source, line, environment);
    const DisplayTiming timing = Unwrapped(modes::MakeTiming(request, modes::CommandLineStyle()), kExitNoMode);
    shown = Show(timing, &request, presentation);
  }
  Outcome outcome;
  if (presentation.to_file) {
    outcome.file_path = *line.Value("-o");
    outcome.file_data = std::move(shown.text);
  } else {
    outcome.out = std::move(shown.text);
  }
  if (!shown.note.empty()) outcome.err = "zarn-timing: " + shown.note + "\n";
  return outcome;
}

}  // namespace

modes::DisplayTiming TimingOfRequest(std::span<const std::string> words, const Environment& environment) {
  if (words.empty()) throw UsageError{"no timing given; a request is a command and its arguments, such as 'dmt 0x52'."};
  const modes::SourceInfo* source = modes::FindSource(words.front());
  if (source == nullptr) throw UsageError{"unknown timing command " + Quoted(words.front()) + "; see --help."};
  OptionTable options;
  for (const Parameter& parameter : source->parameters) {
    if (IsOption(parameter.cli)) options.emplace(parameter.cli, WordsOf(parameter));
  }
  const CommandLine line(words.subspan(1), options);
  const modes::TimingRequest request = ReadRequest(*source, line, environment);
  return Unwrapped(modes::MakeTiming(request, modes::CommandLineStyle()), kExitNoMode);
}

Outcome Run(const std::vector<std::string>& arguments, const Environment& environment) {
  try {
    return Dispatch(arguments, environment);
  } catch (const UsageError& error) {
    return Failed(kExitUsage, error.message);
  } catch (const NoModeError& error) {
    return Failed(kExitNoMode, error.message);
  }
}

}  // namespace zarn::cli
