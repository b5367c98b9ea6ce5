#pragma once

#include <array>
#include <string>
#include <vector>

#include "engine/number_locale.h"
#include "modes/display_timing.h"

namespace zarn::forms {

// What the Timings window shows of one timing, as texts in the user's
// locale: whole counts, the pixel clock exactly, the rates to three decimals
// (the exports carry them exactly).
struct TimingFigures {
  std::string source;  // "DMT 0x24", "CVT-RB2 2560x1440@144"
  // Active, front porch, sync, back porch, blanking and total: pixels, and
  // lines (of one field when interlaced).
  std::array<std::string, 6> horizontal;
  std::array<std::string, 6> vertical;
  std::string pixelClock;   // "135 MHz"
  std::string lineRate;     // "79.97630331753555 kHz"
  std::string refreshRate;  // frames per second: "75.02467478192828 Hz"
  std::string fieldRate;    // fields per second; empty unless interlaced
  std::string hsync;        // "Positive" or "Negative"
  std::string vsync;
  std::string details;  // scan, reduced blanking, pixel repetition, picture aspect

  bool operator==(const TimingFigures&) const = default;
};

TimingFigures FiguresOf(const modes::DisplayTiming& timing, const engine::NumberLocale& locale);

// A table of texts: a header for each column, a name for each row, and the
// cells row by row.
struct TextTable {
  std::vector<std::string> columns;
  std::vector<std::string> rows;
  std::vector<std::vector<std::string>> cells;

  bool operator==(const TextTable&) const = default;
};

// The video's data rate in Mbit/s for each sampling (rows) and colour depth
// (columns); a dash where the format does not exist.
TextTable DataRateTable(const modes::DisplayTiming& timing, const engine::NumberLocale& locale);

// Each link (rows) with its capacity in Mbit/s and the deepest colour, in
// bits per component, it carries in each sampling; a dash for none.
TextTable LinkTable(const modes::DisplayTiming& timing, const engine::NumberLocale& locale);

// The dash of a table cell that holds nothing.
inline constexpr const char* kNoneText = "\xE2\x80\x93";  // EN DASH

}  // namespace zarn::forms
