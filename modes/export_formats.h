#pragma once

#include <span>
#include <string>
#include <string_view>

#include "modes/display_timing.h"
#include "modes/edid_model.h"
#include "modes/expected.h"
#include "modes/sources.h"

namespace zarn::modes {

// The formats a timing is handed on in.
enum class ExportId {
  Readable,
  Modeline,
  Json,
  Xrandr,
  Sway,
  Kernel,
  EdidDtd,
  Edid,
  EdidHex,
  Hyprland,
  Niri,
  WlrRandr,
  Weston,
  XorgConf
};

// What an export takes besides the timing.
struct ExportRequest {
  std::string_view output;                    // the output (connector) name; empty: a placeholder
  std::string_view display_name;              // an EDID's display name
  const TimingRequest* request = nullptr;     // how the timing was asked for, where that is known
  bool round_clock = false;                   // EDID formats: the clock moved to the nearest 10 kHz step
  const DecodedEdid* monitor_edid = nullptr;  // the monitor's EDID, decoded, where one is given
};

// An export: its text (bytes for a binary format), and a note for the user
// beside it (shown, never part of what is pasted or written).
struct ExportText {
  std::string text;
  std::string note;
};

// One export format. The command line's --format values, its help and the
// windows' list of formats are all read from the table of these.
struct ExportFormat {
  ExportId id;
  std::string_view name;     // "xrandr": the command line's --format value
  std::string_view label;    // "xrandr commands": the windows' list; empty where windows do not offer it
  std::string_view summary;  // the command line's help
  bool needs_output;         // it names an output (connector)
  bool needs_display_name;   // it carries an EDID display name
  bool binary;               // bytes, for a file, not text
  Expected<ExportText> (*make)(const DisplayTiming& timing, const ExportRequest& request);
  // A whole table of modes in this format (--list); nullptr where it has none.
  std::string (*list)(std::span<const DisplayTiming> timings);
  // The link check in this format (--links); nullptr where it has none.
  std::string (*links)(const DisplayTiming& timing);
  bool reads_monitor_edid;  // it fits itself to the monitor's EDID where one is given
};

std::span<const ExportFormat> ExportFormats();
const ExportFormat& ExportFormatOf(ExportId id);
// The format of a --format value; nullptr when there is none.
const ExportFormat* FindExportFormat(std::string_view name);

// Whether a text is a plain output name: letters, digits, '-', '_' and '.'
// (the names xrandr, sway and the kernel give outputs: "HDMI-1", "DP-2").
bool IsOutputName(std::string_view name);
// Why an output name is refused, for messages.
inline constexpr std::string_view kOutputNameRule = "letters, digits, '-', '_' and '.', such as HDMI-1";

}  // namespace zarn::modes
