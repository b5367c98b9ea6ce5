#include "modes/desktop_exports.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <vector>

#include "modes/cvt.h"
#include "modes/decimal.h"
#include "modes/modeline.h"

namespace zarn::modes {
namespace {

constexpr std::string_view kPlaceholder = "OUTPUT";

std::string OutputOrPlaceholder(std::string_view output) { return std::string(output.empty() ? kPlaceholder : output); }

// A progressive timing's eight modeline positions: the horizontal display,
// sync start, sync end and total, then the same four vertical ones.
std::array<int, 8> Positions(const DisplayTiming& t) {
  return {t.h_active, t.h_active + t.h_front_porch, t.h_active + t.h_front_porch + t.h_sync, t.h_total(),
          t.v_active, t.v_active + t.v_front_porch, t.v_active + t.v_front_porch + t.v_sync, t.v_total()};
}

// Why a target whose modeline has no interlace flag refuses a timing; empty
// when it is progressive.
std::string InterlaceProblem(const DisplayTiming& t, std::string_view target) {
  if (!t.interlaced) return {};
  return std::string(target) + " has no interlace flag, so it cannot carry an interlaced timing.";
}

// Why a target that reads each position into a field of at most `largest`
// refuses a timing; empty when every position fits.
std::string RangeProblem(const DisplayTiming& t, std::string_view target, int largest) {
  const std::array<int, 8> positions = Positions(t);
  const int most = *std::max_element(positions.begin(), positions.end());
  if (most <= largest) return {};
  return std::string(target) + " takes modeline positions up to " + std::to_string(largest) + ", and this timing's " +
         (t.h_total() >= t.v_total() ? "horizontal" : "vertical") + " total is " + std::to_string(most) + ".";
}

// The rate as wlr-randr takes it: at most three decimals, no trailing zeros.
std::string RateText(double rate_hz) {
  std::string text = FixedDecimal(rate_hz, 3);
  while (text.back() == '0') text.pop_back();
  if (text.back() == '.') text.pop_back();
  return text;
}

// What differs between the compositor's mode and the timing, in words.
std::string Differences(const DisplayTiming& theirs, const DisplayTiming& ours) {
  std::vector<std::string> parts;
  if (theirs.h_active != ours.h_active) {
    parts.push_back("the width (" + std::to_string(theirs.h_active) + " pixels, not " + std::to_string(ours.h_active) +
                    ")");
  }
  if (theirs.pixel_clock_hz != ours.pixel_clock_hz) {
    parts.push_back("the pixel clock (" + ScaledDecimal(theirs.pixel_clock_hz, 6, 2) + " MHz, not " +
                    ScaledDecimal(ours.pixel_clock_hz, 6, 2) + ")");
  }
  if (theirs.h_front_porch != ours.h_front_porch || theirs.h_sync != ours.h_sync ||
      theirs.h_back_porch != ours.h_back_porch) {
    parts.emplace_back("the horizontal blanking");
  }
  if (theirs.v_front_porch != ours.v_front_porch || theirs.v_sync != ours.v_sync ||
      theirs.v_back_porch != ours.v_back_porch) {
    parts.emplace_back("the vertical blanking");
  }
  if (theirs.h_sync_positive != ours.h_sync_positive || theirs.v_sync_positive != ours.v_sync_positive) {
    parts.emplace_back("the sync polarities");
  }
  if (FixedDecimal(theirs.field_rate_hz(), 3) != FixedDecimal(ours.field_rate_hz(), 3)) {
    parts.push_back("the refresh rate (" + FixedDecimal(theirs.field_rate_hz(), 3) + " Hz, not " +
                    FixedDecimal(ours.field_rate_hz(), 3) + ")");
  }
  std::string text;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    text += (i == 0 ? "" : i + 1 == parts.size() ? " and " : ", ") + parts[i];
  }
  return text;
}

// The line rates (kHz) and refresh rates (Hz) a monitor takes, as Xorg reads
// them from its EDID: the range limits descriptor, or else the span of the
// timings it offers.
struct SyncRanges {
  double h_low_khz = 0, h_high_khz = 0, v_low_hz = 0, v_high_hz = 0;
  std::string origin;
};

std::optional<SyncRanges> MonitorRanges(const DecodedEdid& edid) {
  if (edid.range_limits) {
    const EdidRangeLimits& r = *edid.range_limits;
    return SyncRanges{static_cast<double>(r.min_h_rate_khz), static_cast<double>(r.max_h_rate_khz),
                      static_cast<double>(r.min_v_rate_hz), static_cast<double>(r.max_v_rate_hz),
                      "its EDID's range limits"};
  }
  if (edid.timings.empty()) return std::nullopt;
  SyncRanges span{1e300, 0, 1e300, 0, "the span of the timings its EDID offers"};
  for (const EdidTiming& offered : edid.timings) {
    const double h = offered.timing.line_rate_hz() / 1000.0;
    const double v = offered.timing.field_rate_hz();
    span.h_low_khz = std::min(span.h_low_khz, h);
    span.h_high_khz = std::max(span.h_high_khz, h);
    span.v_low_hz = std::min(span.v_low_hz, v);
    span.v_high_hz = std::max(span.v_high_hz, v);
  }
  return span;
}

std::string WholeRange(double low, double high) {
  return FixedDecimal(std::floor(low), 0) + "-" + FixedDecimal(std::ceil(high), 0);
}

}  // namespace

Expected<std::string> HyprlandMonitorLine(const DisplayTiming& timing, std::string_view output) {
  if (std::string problem = InterlaceProblem(timing, "Hyprland's modeline"); !problem.empty()) {
    return Expected<std::string>::Failure(problem);
  }
  return "monitor = " + OutputOrPlaceholder(output) + ", modeline " + ModelineFields(timing) + ", auto, 1\n";
}

Expected<std::string> NiriOutputSection(const DisplayTiming& timing, std::string_view output) {
  using Result = Expected<std::string>;
  if (std::string problem = InterlaceProblem(timing, "niri's modeline"); !problem.empty()) {
    return Result::Failure(problem);
  }
  if (std::string problem = RangeProblem(timing, "niri", 65535); !problem.empty()) return Result::Failure(problem);
  const int smallest = std::min({timing.h_front_porch, timing.h_sync, timing.h_back_porch, timing.v_front_porch,
                                 timing.v_sync, timing.v_back_porch});
  if (smallest < 1) {
    return Result::Failure(
        "niri takes a modeline only where each position lies past the one before it: every front porch, sync and "
        "back porch of at least one pixel or line, and this timing has one of 0.");
  }
  std::string fields;
  for (const int position : Positions(timing)) fields += " " + std::to_string(position);
  return "output \"" + OutputOrPlaceholder(output) + "\" {\n    modeline " +
         ScaledDecimal(timing.pixel_clock_hz, 6, 2) + fields +
         (timing.h_sync_positive ? " \"+hsync\"" : " \"-hsync\"") +
         (timing.v_sync_positive ? " \"+vsync\"" : " \"-vsync\"") + "\n}\n";
}

Expected<std::string> WestonOutputSection(const DisplayTiming& timing, std::string_view output) {
  using Result = Expected<std::string>;
  if (std::string problem = InterlaceProblem(timing, "weston's modeline"); !problem.empty()) {
    return Result::Failure(problem);
  }
  if (std::string problem = RangeProblem(timing, "weston", 32767); !problem.empty()) return Result::Failure(problem);
  return "[output]\nname=" + OutputOrPlaceholder(output) + "\nmode=" + ModelineFields(timing) + "\n";
}

Expected<DisplayTiming> CompositorCvtMode(int width, int height, double rate_hz) {
  // cvt(1) computes a width that is not a multiple of the 8-pixel cell as
  // the next multiple up.
  Expected<DisplayTiming> made = CvtTiming((width + 7) / 8 * 8, height, rate_hz);
  if (!made) return made;
  // Its sync is not CVT's 8 % of the line rounded to the cell: it ends in
  // the middle of the blanking and starts 8 % of the line (in whole pixels)
  // before that, moved on to the next cell boundary, a whole cell on when it
  // lies on one already.
  DisplayTiming t = *made;
  const int sync_end = t.h_active + t.h_blank() / 2;
  int sync_start = sync_end - t.h_total() * 8 / 100;
  sync_start += 8 - sync_start % 8;
  t.h_back_porch = t.h_total() - sync_end;
  t.h_front_porch = sync_start - t.h_active;
  t.h_sync = sync_end - sync_start;
  // And its vertical sync and back porch take at least the sync and 3 lines
  // (CVT: the sync and 6), else the lines of 550 microseconds by its
  // estimate of the line period, plus one.
  const double line_us = (1e6 / rate_hz - 550.0) / (t.v_active + 3);
  const int sync_and_back_porch = std::max(t.v_sync + 3, static_cast<int>(550.0 / line_us) + 1);
  t.v_back_porch = sync_and_back_porch - t.v_sync;
  return t;
}

Expected<DesktopText> WlrRandrCustomMode(const DisplayTiming& timing, double rate_hz, std::string_view output) {
  using Result = Expected<DesktopText>;
  if (timing.interlaced) {
    return Result::Failure("wlr-randr's custom mode is always progressive, so it cannot carry an interlaced timing.");
  }
  const std::string size = std::to_string(timing.h_active) + "x" + std::to_string(timing.v_active);
  const std::string rate = RateText(rate_hz);
  DesktopText made;
  made.text = "wlr-randr --output " + OutputOrPlaceholder(output) + " --custom-mode " + size + "@" + rate + "Hz\n";
  const std::string computes = "wlr-randr names a size and a rate only, and from " + size + "@" + rate +
                               "Hz the compositor computes a mode of its own by CVT (wlroots: as cvt " +
                               std::to_string(timing.h_active) + " " + std::to_string(timing.v_active) + " " + rate +
                               " prints it)";
  const std::string instead = " sway, Hyprland and niri take this timing itself: --format sway, hyprland or niri.";
  // The rate the compositor reads: the text written, not the one asked for.
  const double written = ToDouble(*ReadExactDecimal(rate, DecimalGrammar{}));
  const Expected<DisplayTiming> theirs = CompositorCvtMode(timing.h_active, timing.v_active, written);
  if (!theirs) {
    made.note = computes + ", and CVT makes none of it: " + theirs.error() + instead;
  } else if (ModelineFields(*theirs) != ModelineFields(timing)) {
    made.note = computes + ", " + ModelineFields(*theirs) + ", which differs from this timing in " +
                Differences(*theirs, timing) + "." + instead;
  }
  return made;
}

std::string XorgMonitorFile(const DisplayTiming& timing, std::string_view output, const DecodedEdid* monitor_edid) {
  const std::string name = OutputOrPlaceholder(output);
  const std::string mode = ModeName(timing);
  std::string text = "# /etc/X11/xorg.conf.d/10-monitor-" + name + ".conf: the mode Xorg sets on " + name +
                     " at every start.\n# Xorg takes the Monitor section whose Identifier is the output's name.\n"
                     "Section \"Monitor\"\n    Identifier \"" +
                     name + "\"\n    Modeline \"" + mode + "\" " + ModelineFields(timing) +
                     "\n    Option \"PreferredMode\" \"" + mode + "\"\n";
  // Xorg's line rate of a mode is the clock over the total pixels of a
  // line; its refresh rate is the field rate.
  const double h_khz = timing.line_rate_hz() / 1000.0;
  const double v_hz = timing.field_rate_hz();
  const std::optional<SyncRanges> ranges = monitor_edid ? MonitorRanges(*monitor_edid) : std::nullopt;
  if (ranges) {
    const bool inside = h_khz >= ranges->h_low_khz && h_khz <= ranges->h_high_khz && v_hz >= ranges->v_low_hz &&
                        v_hz <= ranges->v_high_hz;
    if (!inside) {
      text += "    # HorizSync and VertRefresh replace the monitor's own ranges (" + ranges->origin + ":\n    # " +
              WholeRange(ranges->h_low_khz, ranges->h_high_khz) + " kHz, " +
              WholeRange(ranges->v_low_hz, ranges->v_high_hz) +
              " Hz), which leave this mode out; these cover both.\n    HorizSync " +
              WholeRange(std::min(ranges->h_low_khz, h_khz), std::max(ranges->h_high_khz, h_khz)) +
              "\n    VertRefresh " + WholeRange(std::min(ranges->v_low_hz, v_hz), std::max(ranges->v_high_hz, v_hz)) +
              "\n";
    }
  } else {
    text +=
        "    # HorizSync and VertRefresh replace the ranges the monitor's EDID states. These cover this mode\n"
        "    # alone: widen them for the monitor's other modes (--edid FILE or --monitor NAME reads its own).\n"
        "    HorizSync " +
        WholeRange(h_khz, h_khz) + "\n    VertRefresh " + WholeRange(v_hz, v_hz) + "\n";
  }
  return text + "EndSection\n";
}

}  // namespace zarn::modes
