#pragma once

namespace zarn::modes {

// Figures the CVT and GTF formulas share.
inline constexpr int kCell = 8;             // pixels of one character cell
inline constexpr int kMarginPerMille = 18;  // 1.8 % of the picture on every side
inline constexpr double kMinVSyncAndBackPorchUs = 550.0;
// Pixels of a line or lines of a field at most: keeps every count well inside
// int and every clock below 2^53 Hz, where a double holds each whole hertz.
inline constexpr double kMaxTotal = 1048576.0;

}  // namespace zarn::modes
