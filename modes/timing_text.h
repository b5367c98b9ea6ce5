#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "modes/display_timing.h"

namespace zarn::modes {

// The readable block: source, clock, every horizontal and vertical figure,
// totals, line rate, refresh rate and polarities.
std::string ReadableBlock(const DisplayTiming& timing);

// One line for a list: "DMT 0x24  1280x1024  75.024675 Hz  79.976303 kHz  135 MHz".
std::string SummaryLine(const DisplayTiming& timing);

// One JSON object on one line, with the keys source, pixel_clock_hz, h, v,
// h_sync_positive, v_sync_positive, interlaced, line_rate_hz,
// refresh_rate_hz and, for interlaced timings, field_rate_hz.
std::string JsonObject(const DisplayTiming& timing);

// A text padded with spaces on the left or the right to a width, for columns.
std::string PadLeft(const std::string& text, std::size_t width);
std::string PadRight(const std::string& text, std::size_t width);

// A JSON string with the quotes, escaping what JSON requires (quotes,
// backslashes and control characters; other UTF-8 passes unchanged).
std::string JsonString(std::string_view text);

}  // namespace zarn::modes
