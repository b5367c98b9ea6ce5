#pragma once

#include <string>
#include <string_view>

#include "modes/display_timing.h"
#include "modes/expected.h"

namespace zarn::modes {

// The texts that hand a timing to Linux. Numbers keep a full stop whatever
// the user's locale. An empty output name stands for a placeholder, OUTPUT,
// to be replaced by the user.

// "xrandr --newmode NAME FIELDS" and "xrandr --addmode OUTPUT NAME", one a line.
std::string XrandrCommands(const DisplayTiming& timing, std::string_view output);

// The line sway's configuration takes: "output OUTPUT modeline FIELDS". sway's
// modeline has no interlace flag, so an interlaced timing is refused.
Expected<std::string> SwayOutputLine(const DisplayTiming& timing, std::string_view output);

// The kernel's video= option, "video=HDMI-A-1:1920x1080M@60" (without a
// connector when output is empty). The kernel names a mode by the CVT
// formula only (M, R for reduced blanking v1, i, m) and at a whole refresh
// rate, so any other timing is refused with the reason and the advice to
// override the EDID instead.
Expected<std::string> KernelModeOption(const DisplayTiming& timing, std::string_view output);

}  // namespace zarn::modes
