#pragma once

#include <string>

#include "modes/kernel_frame.h"
#include "modes/kernel_mode.h"

namespace zarn::modes {

// The mode the kernel computes for a video= request when the monitor offers
// none of its size and rate, and what becomes of it.
struct KernelComputation {
  enum class Outcome {
    Valid,      // the kernel adds the mode and uses it
    Discarded,  // its mode fails the kernel's basic checks and is dropped
    Unknown,    // the kernel divides by zero, or makes a clock below zero
  };
  Outcome outcome = Outcome::Unknown;
  KernelFrame frame;   // the mode's figures, unless Unknown
  std::string reason;  // why it is not Valid: one sentence for the user
};

// Linux 6.1's drm_mode_create_from_cmdline_mode: drm_cvt_mode or
// drm_gtf_mode with its integer arithmetic, 32-bit and 16-bit, wrapping
// where the kernel's does (a line period beyond 100 us wraps its blanking
// share into nonsense that it may still accept), the fix-up of 1366-pixel
// widths, then the checks of drm_mode_validate_basic.
KernelComputation ComputeKernelMode(const KernelModeRequest& request);

}  // namespace zarn::modes
