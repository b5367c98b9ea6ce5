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

bool SameFigures(const DisplayTiming& a, const DisplayTiming& b) {
  return a.pixel_clock_hz == b.pixel_clock_hz && a.h_active == b.h_active && a.h_front_porch == b.h_front_porch &&
         a.h_sync == b.h_sync && a.h_back_porch == b.h_back_porch && a.v_active == b.v_active &&
         a.v_front_porch == b.v_front_porch && a.v_sync == b.v_sync && a.v_back_porch == b.v_back_porch &&
         a.h_sync_positive == b.h_sync_positive && a.v_sync_positive == b.v_sync_positive &&
         a.interlaced == b.interlaced;
}

}  // namespace zarn::modes
