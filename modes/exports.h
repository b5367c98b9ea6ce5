#pragma once

#include <string>
#include <string_view>

#include "modes/display_timing.h"
#include "modes/expected.h"
#include "modes/sources.h"

namespace zarn::modes {

// The texts that hand a timing to Linux. Numbers keep a full stop whatever
// the user's locale. An empty output name stands for a placeholder, OUTPUT,
// to be replaced by the user.

// "xrandr --newmode NAME FIELDS" and "xrandr --addmode OUTPUT NAME", one a line.
std::string XrandrCommands(const DisplayTiming& timing, std::string_view output);

// The line sway's configuration takes: "output OUTPUT modeline FIELDS". sway's
// modeline has no interlace flag, so an interlaced timing is refused.
Expected<std::string> SwayOutputLine(const DisplayTiming& timing, std::string_view output);

// What a refusal of the kernel's option advises instead.
inline constexpr std::string_view kEdidOverrideAdvice =
    " Load it as an EDID override instead (zarn-timing --format edid, then the kernel's drm.edid_firmware= "
    "option).";

// The kernel's video= option, "video=HDMI-A-1:1920x1080M@60" (without a
// connector when output is empty). The kernel names a mode by a formula it
// computes itself, so only a timing whose request the kernel can name has
// one; any other is refused with the reason and the advice to override the
// EDID instead.
Expected<std::string> KernelModeOption(const DisplayTiming& timing, const TimingRequest* request,
                                       std::string_view output);

}  // namespace zarn::modes
