#include "modes/vesa_formula.h"

#include <array>
#include <cstdint>

#include "modes/decimal.h"

namespace zarn::modes {

std::string SizeAndRateProblem(int width, int height, double rate_hz, bool interlaced) {
  if (width < kMinWidth || width > kMaxSize) {
    return "The width must be from " + std::to_string(kMinWidth) + " to " + std::to_string(kMaxSize) + " pixels.";
  }
  const int min_height = interlaced ? 2 : 1;
  if (height < min_height || height > kMaxSize) {
    return "The height must be from " + std::to_string(min_height) + " to " + std::to_string(kMaxSize) + " lines.";
  }
  if (!(rate_hz >= kMinRateHz && rate_hz <= kMaxRateHz)) {
    return "The rate must be from " + SourceNumberText(kMinRateHz) + " to " + SourceNumberText(kMaxRateHz) + " Hz.";
  }
  return {};
}

AspectRatio CvtAspectRatio(int width, int height) {
  static constexpr std::array<AspectRatio, 5> kRatios = {{{4, 3}, {16, 9}, {16, 10}, {5, 4}, {15, 9}}};
  if (width <= 0 || height <= 0) return {};
  for (const AspectRatio& ratio : kRatios) {
    if (std::int64_t{width} * ratio.vertical == std::int64_t{height} * ratio.horizontal) return ratio;
  }
  return {};
}

}  // namespace zarn::modes
