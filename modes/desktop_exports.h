#pragma once

#include <string>
#include <string_view>

#include "modes/display_timing.h"
#include "modes/edid_model.h"
#include "modes/expected.h"

namespace zarn::modes {

// The texts that give a timing to the desktops that keep it in their own
// configuration: Hyprland, niri, the wlroots compositors through wlr-randr,
// weston and Xorg. An empty output name stands for a placeholder, OUTPUT.
// Each refuses, with the reason, a timing its target would reject.

// A configuration text and a note for the user beside it (empty when there
// is nothing to add).
struct DesktopText {
  std::string text;
  std::string note;
};

// Hyprland's monitor rule with a modeline in place of the resolution:
// "monitor = OUTPUT, modeline 148.50 1920 ... +hsync +vsync, auto, 1". Its
// modeline has no interlace flag.
Expected<std::string> HyprlandMonitorLine(const DisplayTiming& timing, std::string_view output);

// niri's output section with a modeline node: the clock, the eight
// positions and the polarities as strings ("+hsync" "-vsync"). niri takes
// each position below 65536 and strictly above the one before it, and no
// interlace flag.
Expected<std::string> NiriOutputSection(const DisplayTiming& timing, std::string_view output);

// weston.ini's [output] section, name= and mode= with a modeline (the clock,
// eight positions below 32768 and the two polarities; no interlace flag).
Expected<std::string> WestonOutputSection(const DisplayTiming& timing, std::string_view output);

// The wlr-randr command that sets a custom mode: a size and a rate only.
// The compositor computes the timing itself, by CVT as cvt(1) does; the note
// says where that differs from this timing. rate_hz: the rate to ask for
// (the rate the timing was asked at, where known; else its own).
Expected<DesktopText> WlrRandrCustomMode(const DisplayTiming& timing, double rate_hz, std::string_view output);

// The CVT mode (normal blanking) a wlroots compositor makes of a custom
// mode's size and rate, as cvt(1) computes it; a failure where CVT has none.
Expected<DisplayTiming> CompositorCvtMode(int width, int height, double rate_hz);

// A file for /etc/X11/xorg.conf.d/: a Monitor section named after the
// output, with the Modeline and Option "PreferredMode". HorizSync and
// VertRefresh replace the monitor's own ranges, so they are written only
// where the mode falls outside those (the EDID's range limits, or else the
// span of the timings it offers) and then cover both; without an EDID
// (monitor_edid null) they cover the mode, with a comment that the monitor's
// other modes may need them widened.
std::string XorgMonitorFile(const DisplayTiming& timing, std::string_view output, const DecodedEdid* monitor_edid);

}  // namespace zarn::modes
