#pragma once

#include <array>
#include <string>
#include <string_view>

#include "modes/display_timing.h"
#include "modes/expected.h"

namespace zarn::modes {

// The blanking versions, in the order of their numbers (reduced blanking v1
// is 1), and their names.
enum class CvtBlanking { Normal, ReducedV1, ReducedV2, ReducedV3 };
inline constexpr std::array<std::string_view, 4> kCvtBlankingNames = {"Normal blanking", "Reduced blanking v1",
                                                                      "Reduced blanking v2", "Reduced blanking v3"};

// The choices reduced blanking v3 offers.
inline constexpr int kCvtRb3MinHBlank = 80;  // pixels; also the default
inline constexpr int kCvtRb3MaxHBlank = 200;
inline constexpr double kCvtRb3MinVBlankUs = 460.0;  // also the default
inline constexpr double kCvtRb3MaxVBlankUs = 705.0;

struct CvtOptions {
  CvtBlanking blanking = CvtBlanking::Normal;
  bool interlaced = false;       // the rate is then fields per second
  bool margins = false;          // 1.8 % margins on every side
  bool video_optimized = false;  // reduced blanking v2: the rate times 1000/1001
  int h_blank = 0;               // reduced blanking v3: 80 to 200 pixels; 0 for the default 80
  int v_blank_us = 0;            // reduced blanking v3: 460 to 705 microseconds; 0 for the default 460
  bool early_vsync = false;      // reduced blanking v3
};

// The VESA Coordinated Video Timing for a size and a rate in hertz. Anything
// the formula cannot produce (a size or rate out of range, an option the
// chosen version lacks) is a failure with its reason. The source reads
// "CVT 1920x1080@60", "CVT-RB2 1920x1080@60" and so on. With margins each
// border is counted in the porch beside it (right and bottom in the front
// porches, left and top in the back porches), so h_active stays the width asked.
Expected<DisplayTiming> CvtTiming(int width, int height, double rate_hz, const CvtOptions& options = {});

}  // namespace zarn::modes
