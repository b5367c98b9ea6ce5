#pragma once

#include <string>

#include "modes/display_timing.h"

namespace zarn::modes {

// The link check as a table: the data rate at each colour depth and
// sampling, then each link's capacity and the deepest colour it carries in
// each sampling. Figures in Mbit/s.
std::string LinksTable(const DisplayTiming& timing);

// The same as one JSON object: source, pixel_clock_hz, data_rate_mbps (per
// sampling and depth; null where the format does not exist) and links (name,
// capacity_mbps, carries per sampling and depth).
std::string LinksJson(const DisplayTiming& timing);

}  // namespace zarn::modes
