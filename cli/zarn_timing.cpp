#include "cli/zarn_timing.h"

#include <map>
#include <optional>
#include <span>
#include <string_view>
#include <utility>

#include "cli/help_texts.h"
#include "modes/edid.h"
#include "modes/export_formats.h"
#include "modes/sources.h"
#include "modes/typed_text.h"

namespace zarn::cli {
namespace {

using modes::DisplayTiming;
using modes::Expected;
using modes::ExportFormat;
using modes::Parameter;
using modes::ValueKind;

// A malformed command line (exit 2) and a mode that cannot be had (exit 1),
// each with the one sentence the user reads.
struct UsageError {
  std::string message;
};
struct NoModeError {
  std::string message;
};

template <class T>
const T& Unwrapped(const Expected<T>& result, int exit_code) {
  if (!result) {
    if (exit_code == kExitUsage) throw UsageError{result.error()};
    throw NoModeError{result.error()};
  }
  return *result;
}

using OptionTable = std::map<std::string, int, std::less<>>;

std::string Quoted(std::string_view text) { return modes::Quoted(text, '\''); }

bool IsOption(std::string_view cli) { return cli.starts_with("--"); }

// "a, b and c", or with another last word.
std::string Listed(std::span<const std::string> words, std::string_view last) {
  std::string text;
  for (std::size_t i = 0; i < words.size(); ++i) {
    if (i > 0) text += i + 1 == words.size() ? std::string(last) : ", ";
    text += words[i];
  }
  return text;
}

// The names of the formats that pass a test.
template <class Test>
std::vector<std::string> FormatNames(Test test) {
  std::vector<std::string> names;
  for (const ExportFormat& format : modes::ExportFormats()) {
    if (test(format)) names.emplace_back(format.name);
  }
  return names;
}

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

  bool Has(std::string_view name) const { return values_.contains(name); }

  const std::vector<std::string>& Values(std::string_view name) const { return values_.find(name)->second; }

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

// How many words an option of a parameter takes.
int WordsOf(const Parameter& parameter) {
  if (parameter.kind == ValueKind::Flag) return 0;
  return parameter.kind == ValueKind::Curve ? 4 : 1;
}

// The options of a command: its parameters' and those every command takes.
OptionTable OptionsOf(const modes::SourceInfo& source) {
  OptionTable options = {{"--help", 0},  {"--format", 1}, {"--output", 1},     {"--name", 1},
                         {"--links", 0}, {"-o", 1},       {"--round-clock", 0}};
  if (source.list != nullptr) options.emplace("--list", 0);
  for (const Parameter& parameter : source.parameters) {
    if (IsOption(parameter.cli)) options.emplace(parameter.cli, WordsOf(parameter));
  }
  return options;
}

// What one mode is shown as, with the options the exports take.
struct Presentation {
  const ExportFormat* format = nullptr;
  std::string output;        // --output: the output name for the formats that name one
  std::string display_name;  // --name: the EDID's display name
  bool links = false;        // --links: the link check instead of the timing
  bool to_file = false;      // -o FILE
  bool round_clock = false;  // --round-clock: an EDID's clock on the nearest 10 kHz step
};

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

modes::ExportText Show(const DisplayTiming& timing, const modes::TimingRequest& request, const Presentation& p) {
  if (p.links) return {p.format->links(timing), {}};
  const modes::ExportRequest exportRequest{p.output, p.display_name, &request, p.round_clock};
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
modes::TimingRequest ReadRequest(const modes::SourceInfo& source, const CommandLine& line) {
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

Outcome Dispatch(const std::vector<std::string>& arguments) {
  if (arguments.empty()) throw UsageError{"no command given; see zarn-timing --help."};
  const std::string& command = arguments.front();
  if (command == "--help" || command == "-h" || command == "help") return Printed(ProgramHelp());
  if (command == "--version") return Printed(VersionLine());
  const std::span<const std::string> rest(arguments.begin() + 1, arguments.end());
  const modes::SourceInfo* source = modes::FindSource(command);
  if (source == nullptr) throw UsageError{"unknown command " + Quoted(command) + "; see zarn-timing --help."};
  // Help comes first: "zarn-timing cvt --help" answers whatever else is there.
  for (const std::string& argument : rest) {
    if (argument == "--help" || argument == "-h") return Printed(std::string(CommandHelp(command)));
  }
  const CommandLine line(rest, OptionsOf(*source));
  const Presentation presentation = ReadPresentation(line);
  modes::ExportText shown;
  if (line.Has("--list")) {
    line.Positional(0, "");
    shown.text = ShowList(*source, presentation);
  } else {
    const modes::TimingRequest request = ReadRequest(*source, line);
    const DisplayTiming timing = Unwrapped(modes::MakeTiming(request, modes::CommandLineStyle()), kExitNoMode);
    shown = Show(timing, request, presentation);
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
