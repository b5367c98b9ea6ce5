#pragma once

#include "modes/display_timing.h"
#include "modes/expected.h"

namespace zarn::modes {

// What OVT takes: sizes as 16-bit timing descriptors carry them, and whole
// rates whose frame outlasts the 460 us of vertical blanking alone.
inline constexpr int kOvtMaxSize = 65535;
inline constexpr int kOvtMinRateHz = 1;
inline constexpr int kOvtMaxRateHz = 2173;

// CTA-861 Optimized Video Timing (OVT) for a picture size and a whole frame
// rate in hertz: the smallest blanking that leaves room for the vertical
// blanking time, the audio packets of a line and a pixel clock on whole
// kilohertz. The rates of a family (24, 25 and 30 Hz; 48, 50 and 60 Hz; 100
// and 120; 200 and 240; 300 and 360; 400 and 480) share one pixel clock and
// line rate and differ only in the vertical front porch. Both syncs are
// positive. Anything the formula does not allow (a size or rate out of
// range, a rate that is not a whole number of hertz) is a failure with its
// reason. The source reads "OVT 3840x2160@120"; the aspect ratio is that of
// the RID of that size, if any.
Expected<DisplayTiming> OvtTiming(int width, int height, double rate_hz);

// The OVT timing of a RID at one of its frame rates, with the RID's aspect
// ratio; the source reads "RID 1 @ 60". This is the OVT timing even where a
// VIC is the same format (RidVic in modes/rid.h names it).
Expected<DisplayTiming> RidTiming(int rid, double rate_hz);

}  // namespace zarn::modes
