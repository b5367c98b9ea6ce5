#include "modes/export_formats.h"

#include "modes/decimal.h"
#include "modes/desktop_exports.h"
#include "modes/edid.h"
#include "modes/exports.h"
#include "modes/links_text.h"
#include "modes/modeline.h"
#include "modes/timing_text.h"

namespace zarn::modes {
namespace {

using Result = Expected<ExportText>;

template <class T>
Result Text(const Expected<T>& made, std::string (*write)(const T&)) {
  if (!made) return Result::Failure(made.error());
  return ExportText{write(*made), {}};
}

std::string Same(const std::string& text) { return text; }
std::string HexDescriptor(const DetailedTimingDescriptor& d) { return HexBytes(d); }

Result ReadableExport(const DisplayTiming& t, const ExportRequest&) { return ExportText{ReadableBlock(t), {}}; }
Result ModelineExport(const DisplayTiming& t, const ExportRequest&) { return ExportText{Modeline(t) + "\n", {}}; }
Result JsonExport(const DisplayTiming& t, const ExportRequest&) { return ExportText{JsonObject(t) + "\n", {}}; }
Result XrandrExport(const DisplayTiming& t, const ExportRequest& r) {
  return ExportText{XrandrCommands(t, r.output), {}};
}
Result SwayExport(const DisplayTiming& t, const ExportRequest& r) { return Text(SwayOutputLine(t, r.output), Same); }
Result KernelExport(const DisplayTiming& t, const ExportRequest& r) {
  const auto option = KernelModeOption(t, r.request, r.output);
  if (!option) return Result::Failure(option.error());
  return ExportText{option->option, option->note};
}
// An EDID format's timing: with --round-clock, the clock on the nearest
// 10 kHz step, and a note of the rate that gives.
Result WithClockNote(Result result, const DisplayTiming& asked, const DisplayTiming& written) {
  if (result && asked.pixel_clock_hz != written.pixel_clock_hz) {
    ExportText text = *result;
    text.note = "The pixel clock is rounded from " + ScaledDecimal(asked.pixel_clock_hz, 6, 0) + " to " +
                ScaledDecimal(written.pixel_clock_hz, 6, 0) + " MHz, the nearest 10 kHz step; the refresh rate is " +
                FixedDecimal(written.field_rate_hz(), 3) + " Hz instead of " + FixedDecimal(asked.field_rate_hz(), 3) +
                " Hz.";
    return text;
  }
  return result;
}

// The rate a custom mode asks for: a CVT request's own rate, where the
// compositor's CVT can make the same timing of it; the timing's rate otherwise.
double CustomModeRate(const DisplayTiming& t, const TimingRequest* request) {
  if (request != nullptr && request->source != nullptr && request->source->id == SourceId::Cvt) {
    const auto value = [&](std::string_view key) {
      return request->values[ParameterIndex(*request->source, key)].number;
    };
    if (value("blanking") == 0.0 && value("margins") == 0.0) return value("rate");
  }
  return t.field_rate_hz();
}

Result HyprlandExport(const DisplayTiming& t, const ExportRequest& r) {
  return Text(HyprlandMonitorLine(t, r.output), Same);
}
Result NiriExport(const DisplayTiming& t, const ExportRequest& r) { return Text(NiriOutputSection(t, r.output), Same); }
Result WestonExport(const DisplayTiming& t, const ExportRequest& r) {
  return Text(WestonOutputSection(t, r.output), Same);
}
Result WlrRandrExport(const DisplayTiming& t, const ExportRequest& r) {
  const auto made = WlrRandrCustomMode(t, CustomModeRate(t, r.request), r.output);
  if (!made) return Result::Failure(made.error());
  return ExportText{made->text, made->note};
}
Result XorgConfExport(const DisplayTiming& t, const ExportRequest& r) {
  return ExportText{XorgMonitorFile(t, r.output, r.monitor_edid), {}};
}

DisplayTiming EdidTiming(const DisplayTiming& t, const ExportRequest& r) {
  return r.round_clock ? WithDescriptorClock(t) : t;
}

Result DescriptorExport(const DisplayTiming& t, const ExportRequest& r) {
  const DisplayTiming written = EdidTiming(t, r);
  return WithClockNote(Text(DescribeTiming(written), HexDescriptor), t, written);
}
// A whole EDID, its bytes written by write, with a note of what its base
// block holds in place of a timing no descriptor holds.
Result EdidText(const DisplayTiming& t, const ExportRequest& r, std::string (*write)(const EdidBytes&)) {
  const DisplayTiming written = EdidTiming(t, r);
  const Expected<EdidEdited> made = WriteEdid(std::span<const DisplayTiming>(&written, 1), r.display_name);
  if (!made) return Result::Failure(made.error());
  Result text = WithClockNote(ExportText{write(made->bytes), {}}, t, written);
  for (const std::string& change : made->changes) {
    ExportText noted = *text;
    noted.note += (noted.note.empty() ? "" : " ") + change;
    text = noted;
  }
  return text;
}
std::string Binary(const EdidBytes& bytes) { return std::string(bytes.begin(), bytes.end()); }
std::string Hex(const EdidBytes& bytes) { return HexBytes(bytes); }
Result EdidExport(const DisplayTiming& t, const ExportRequest& r) { return EdidText(t, r, Binary); }
Result EdidHexExport(const DisplayTiming& t, const ExportRequest& r) { return EdidText(t, r, Hex); }

std::string ReadableList(std::span<const DisplayTiming> timings) {
  std::string text;
  for (const DisplayTiming& timing : timings) text += SummaryLine(timing) + "\n";
  return text;
}

std::string ModelineList(std::span<const DisplayTiming> timings) {
  std::string text;
  for (const DisplayTiming& timing : timings) text += Modeline(timing) + "\n";
  return text;
}

std::string JsonList(std::span<const DisplayTiming> timings) {
  std::string text = "[";
  for (std::size_t i = 0; i < timings.size(); ++i) text += (i == 0 ? "\n  " : ",\n  ") + JsonObject(timings[i]);
  return text + "\n]\n";
}

std::string JsonLinks(const DisplayTiming& timing) { return LinksJson(timing) + "\n"; }

constexpr ExportFormat kFormats[] = {
    {ExportId::Readable, "readable", "", "every figure, the totals, the rates and the polarities (the default)", false,
     false, false, ReadableExport, ReadableList, LinksTable, false},
    {ExportId::Modeline, "modeline", "Modeline (X11)", "an X11 Modeline line, as xorg.conf takes it", false, false,
     false, ModelineExport, ModelineList, nullptr, false},
    {ExportId::Json, "json", "", "one JSON object per mode (an array with --list)", false, false, false, JsonExport,
     JsonList, JsonLinks, false},
    {ExportId::Xrandr, "xrandr", "xrandr commands", "the xrandr --newmode and --addmode commands (--output NAME)", true,
     false, false, XrandrExport, nullptr, nullptr, false},
    {ExportId::Sway, "sway", "sway output line", "the \"output NAME modeline ...\" line of sway's configuration", true,
     false, false, SwayExport, nullptr, nullptr, false},
    {ExportId::Kernel, "kernel", "Kernel video= option", "the kernel's video= option, for CVT modes it can compute",
     true, false, false, KernelExport, nullptr, nullptr, false},
    {ExportId::EdidDtd, "edid-dtd", "EDID descriptor (hex)", "the 18-byte EDID detailed timing descriptor, in hex",
     false, false, false, DescriptorExport, nullptr, nullptr, false},
    {ExportId::Edid, "edid", "", "an EDID, binary, to the file -o FILE (DisplayID for a timing a DTD cannot hold)",
     false, true, true, EdidExport, nullptr, nullptr, false},
    {ExportId::EdidHex, "edid-hex", "EDID (hex)", "the same EDID in hex", false, true, false, EdidHexExport, nullptr,
     nullptr, false},
    {ExportId::Hyprland, "hyprland", "Hyprland monitor line",
     "the \"monitor = NAME, modeline ...\" line of hyprland.conf", true, false, false, HyprlandExport, nullptr, nullptr,
     false},
    {ExportId::Niri, "niri", "niri output section", "the output section of niri's config.kdl, with a modeline", true,
     false, false, NiriExport, nullptr, nullptr, false},
    {ExportId::WlrRandr, "wlr-randr", "wlr-randr custom mode",
     "wlr-randr --custom-mode: a size and rate (the compositor's own CVT)", true, false, false, WlrRandrExport, nullptr,
     nullptr, false},
    {ExportId::Weston, "weston", "weston.ini output section", "the [output] section of weston.ini, with a modeline",
     true, false, false, WestonExport, nullptr, nullptr, false},
    {ExportId::XorgConf, "xorg-conf", "Xorg configuration file",
     "a Monitor section for xorg.conf.d: the mode Xorg sets at every start", true, false, false, XorgConfExport,
     nullptr, nullptr, true},
};

}  // namespace

std::span<const ExportFormat> ExportFormats() { return kFormats; }

const ExportFormat& ExportFormatOf(ExportId id) { return kFormats[static_cast<std::size_t>(id)]; }

const ExportFormat* FindExportFormat(std::string_view name) {
  for (const ExportFormat& format : kFormats) {
    if (format.name == name) return &format;
  }
  return nullptr;
}

bool IsOutputName(std::string_view name) {
  for (const char c : name) {
    const bool safe =
        (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.';
    if (!safe) return false;
  }
  return true;
}

static_assert([] {
  for (std::size_t i = 0; i < std::size(kFormats); ++i) {
    if (static_cast<std::size_t>(kFormats[i].id) != i) return false;
  }
  return true;
}());

}  // namespace zarn::modes
