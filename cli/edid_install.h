#pragma once

#include <span>
#include <string>

#include "cli/zarn_timing.h"

namespace zarn::cli {

// zarn-timing edid install FILE and edid uninstall (arguments from the word
// install or uninstall on): an EDID override
//   --connector NAME [--root DIR]  for the Linux kernel: the EDID file in
//                                  /usr/lib/firmware/edid and in the initial
//                                  RAM disk, the monitor's own EDID kept, and
//                                  how to set drm.edid_firmware=
//   --inf FILE                     a monitor driver INF that sets it (Windows)
//   --registry --monitor NAME      EDID_OVERRIDE in the Windows registry
// Each change to the system is asked about first (a line of standard input;
// with an environment's standard_input, its first line) unless --yes;
// --dry-run says what would be done and does nothing.
Outcome EdidInstall(std::span<const std::string> arguments, const Environment& environment);

}  // namespace zarn::cli
