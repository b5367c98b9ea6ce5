#pragma once

#include <string>

#include "modes/display_timing.h"

namespace zarn::cli {

// The readable block: source, clock, every horizontal and vertical figure,
// totals, line rate, refresh rate and polarities.
std::string ReadableBlock(const modes::DisplayTiming& timing);

// One line for a list: "DMT 0x24  1280x1024  75.024675 Hz  79.976303 kHz  135 MHz".
std::string SummaryLine(const modes::DisplayTiming& timing);

// One JSON object on one line, with the keys source, pixel_clock_hz, h, v,
// h_sync_positive, v_sync_positive, interlaced, line_rate_hz,
// refresh_rate_hz and, for interlaced timings, field_rate_hz.
std::string JsonObject(const modes::DisplayTiming& timing);

}  // namespace zarn::cli
