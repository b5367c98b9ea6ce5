#pragma once

#include <string>

#include "modes/display_timing.h"

namespace zarn::modes {

// Figures the CVT and GTF formulas share.
inline constexpr int kMinWidth = 8;  // one character cell
inline constexpr int kMaxSize = 32767;
inline constexpr double kMinRateHz = 1.0;
inline constexpr double kMaxRateHz = 10000.0;
inline constexpr int kCell = 8;             // pixels of one character cell
inline constexpr int kMarginPerMille = 18;  // 1.8 % of the picture on every side
inline constexpr double kMinVSyncAndBackPorchUs = 550.0;
// Pixels of a line or lines of a field at most: keeps every count well inside
// int and every clock below 2^53 Hz, where a double holds each whole hertz.
inline constexpr double kMaxTotal = 1048576.0;

// Why a size and field rate lie outside what the formulas take (an
// interlaced picture has at least two lines); empty when they lie within.
std::string SizeAndRateProblem(int width, int height, double rate_hz, bool interlaced);

// The aspect ratio the VESA formulas name (4:3, 16:9, 16:10, 5:4 or 15:9)
// that width:height is exactly; 0:0 for any other size.
AspectRatio CvtAspectRatio(int width, int height);

}  // namespace zarn::modes
