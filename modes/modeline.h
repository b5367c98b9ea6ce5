#pragma once

#include <string>

#include "modes/display_timing.h"

namespace zarn::modes {

// The mode's name as X11 modelines carry it: "1920x1080_60.00", with "i"
// after the height for interlaced modes and the field rate to two decimals.
std::string ModeName(const DisplayTiming& timing);

// The X11 modeline fields after the name, in xorg.conf's order: the clock in
// MHz, the four horizontal positions, the four vertical positions (of the
// whole frame when interlaced), then "interlace" where it applies and the
// sync polarities.
std::string ModelineFields(const DisplayTiming& timing);

// Modeline "1920x1080_60.00" 148.50 1920 2008 2052 2200 1080 1084 1089 1125 +hsync +vsync
std::string Modeline(const DisplayTiming& timing);

}  // namespace zarn::modes
