#pragma once

#include <string>

#include "cli/command_line.h"
#include "cli/zarn_timing.h"
#include "modes/display_timing.h"
#include "modes/export_formats.h"
#include "modes/sources.h"

namespace zarn::cli {

// What one mode is shown as, with the options the exports take.
struct Presentation {
  const modes::ExportFormat* format = nullptr;
  std::string output;        // --output: the output name for the formats that name one
  std::string display_name;  // --name: the EDID's display name
  bool links = false;        // --links: the link check instead of the timing
  bool to_file = false;      // -o FILE
  bool round_clock = false;  // --round-clock: an EDID's clock on the nearest 10 kHz step
  std::string edid_file;     // --edid FILE: the monitor's EDID, for the formats that fit themselves to it
  std::string monitor;       // --monitor NAME: an attached monitor's EDID, the same way
  Environment environment;   // where --edid - and --monitor read
};

// The options every command that shows a timing takes, with their counts of values.
OptionTable PresentationOptions();

// environment: where --edid - and --monitor read (the system's own when empty).
Presentation ReadPresentation(const CommandLine& line, const Environment& environment = {});

// A timing in the chosen format (or its link check); request: how it was
// asked for, where that is known. A format that reads the monitor's EDID
// reads it here, only then: the EDID the command itself read where it takes
// the same option (kernel --edid), else the one --edid or --monitor names.
modes::ExportText Show(const modes::DisplayTiming& timing, const modes::TimingRequest* request,
                       const Presentation& presentation);

// Every mode of a table in the chosen format.
std::string ShowList(const modes::SourceInfo& source, const Presentation& presentation);

}  // namespace zarn::cli
