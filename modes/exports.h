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

// The kernel's video= option for a timing, and a note of what the kernel
// builds from it where that differs from the timing.
struct KernelOption {
  std::string option;  // "video=HDMI-A-1:1920x1080M@60\n"
  std::string note;    // empty when the kernel builds this very timing
};

// The kernel's video= option, "video=HDMI-A-1:1920x1080M@60" (without a
// connector when output is empty), for a timing whose request the kernel can
// name. The kernel first takes a mode of the monitor's own list with that
// size and rate; only when there is none does it compute one, with its own
// integer CVT or GTF, whose figures often differ from the standard's: the
// note says where. A timing the kernel cannot name, or of whose option it
// would make another size, is refused with the reason and a route that
// works: an EDID override where one can carry the timing (with the clock
// rounded to the 10 kHz step a descriptor holds, where that is what it
// takes), or why none can.
Expected<KernelOption> KernelModeOption(const DisplayTiming& timing, const TimingRequest* request,
                                        std::string_view output);

// Where the timing can go instead of a kernel option: an EDID override, as
// one sentence (with a leading space) for messages.
std::string EdidOverrideRoute(const DisplayTiming& timing);

}  // namespace zarn::modes
