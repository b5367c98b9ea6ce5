#pragma once

#include <string>

#include "modes/display_timing.h"

namespace zarn::modes {

// The size and rate part of a mode's name: "1920x1080_60.00", with "i"
// after the height for interlaced modes and the field rate to two decimals.
// Different timings can share it (VIC 5 and GTF 1920x1080i at 60 Hz).
std::string ShortModeName(const DisplayTiming& timing);

// The mode's name as modelines and xrandr carry it: the short name and a
// fingerprint of every figure, "1920x1080_60.00_5f3c08a1", so that two
// different timings added to one X server never share a name (xrandr
// refuses the second --newmode of a name, and --addmode then attaches the
// first mode).
std::string ModeName(const DisplayTiming& timing);

// The X11 modeline fields after the name, in xorg.conf's order: the clock in
// MHz, the four horizontal positions, the four vertical positions (of the
// whole frame when interlaced), then "interlace" where it applies and the
// sync polarities.
std::string ModelineFields(const DisplayTiming& timing);

// Modeline "1920x1080_60.00" 148.50 1920 2008 2052 2200 1080 1084 1089 1125 +hsync +vsync
std::string Modeline(const DisplayTiming& timing);

}  // namespace zarn::modes
