#pragma once

#include <cstddef>
#include <optional>
#include <span>

#include "modes/display_timing.h"
#include "modes/edid_model.h"
#include "modes/expected.h"
#include "modes/kernel_mode.h"

namespace zarn::modes {

// Where an EDID holds a mode, in the order Linux 6.1 adds the modes to the
// connector (_drm_edid_connector_update in drm_edid.c).
enum class EdidModeSource {
  Detailed,     // detailed timing descriptors: the base block's, then the extensions'
  CvtCode,      // CVT 3-byte code descriptors
  Standard,     // standard timings, then standard timing descriptors
  Established,  // established timings I and II, then III
  CtaVideo,     // CTA-861 short video descriptors and HDMI VICs
  DisplayId,    // DisplayID detailed timings
  Inferred,     // what the kernel adds from the range limits of a monitor of continuous frequencies
};

// One of a monitor's modes, as an EDID reader lists it.
struct MonitorMode {
  DisplayTiming timing;
  EdidModeSource source = EdidModeSource::Detailed;
  bool preferred = false;
};

// Which mode the kernel shows for a video= request on a monitor offering
// these modes (in the order an EDID reader lists them): the index of one of
// them, or nullopt when the kernel uses the mode it computes itself
// (KernelTiming). The kernel's rules (drm_probe_helper.c,
// drm_client_modeset.c):
//  1. It holds the modes in the order it reads them: by source as above, in
//     the EDID's order within one, except established timings I and II,
//     which it takes from the lowest bit up (800x600@60 first, then 800x600@56,
//     640x480@75, ...), before III.
//  2. The first of them with the request's size and, when the request gives
//     a rate, with that rate as drm_mode_vrefresh rounds it (fields per
//     second when interlaced) becomes the user's mode. M, R, i and m play no
//     part in it: 1280x720MR@60 takes the monitor's own 1280x720@60.
//  3. Only when none matches does it compute its own. It then sorts the
//     modes and takes the user's one. Its second search, by size, rate and
//     interlace, looks at the same modes with stricter rules, so it finds
//     nothing the first missed: when the kernel drops the mode it computed
//     (KernelTiming says why), it ignores the option and shows the preferred
//     mode, and that is a failure here.
// The size the kernel holds is the frame's, except for interlaced detailed
// timings of sizes CTA-861 has no interlaced format of: the kernel keeps
// those at one field's lines. The limits of the graphics driver, which may
// drop any mode, are not known here.
Expected<std::optional<std::size_t>> KernelModeChoice(const KernelModeRequest& request,
                                                      std::span<const MonitorMode> modes);

// The mode the kernel shows for the request on the monitor of this EDID: one
// of the monitor's own (its source saying which, "Kernel 1920x1080M@60:
// the monitor's DTD 1"), or the one the kernel computes.
Expected<DisplayTiming> KernelModeOnMonitor(const KernelModeRequest& request, const DecodedEdid& edid);

}  // namespace zarn::modes
