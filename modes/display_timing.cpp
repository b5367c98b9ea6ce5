#include "modes/display_timing.h"

namespace zarn::modes {

double DisplayTiming::line_rate_hz() const {
  if (h_total() <= 0) return 0.0;
  return static_cast<double>(pixel_clock_hz) / h_total();
}

double DisplayTiming::frame_rate_hz() const {
  const double pixels = static_cast<double>(h_total()) * static_cast<double>(v_frame_total());
  if (pixels <= 0.0) return 0.0;
  return static_cast<double>(pixel_clock_hz) / pixels;
}

double DisplayTiming::field_rate_hz() const { return interlaced ? 2.0 * frame_rate_hz() : frame_rate_hz(); }

}  // namespace zarn::modes
