#include "modes/cta.h"

#include <array>
#include <cstddef>
#include <string>
#include <utility>

#include "modes/row_figures.h"

namespace zarn::modes {
namespace {

constexpr AspectRatio k4x3{4, 3};
constexpr AspectRatio k16x9{16, 9};
constexpr AspectRatio k64x27{64, 27};
constexpr AspectRatio k256x135{256, 135};

// Sync polarity, scan and half line, spelled so that each row below reads as one line of the format table.
constexpr bool kPos = true;
constexpr bool kNeg = false;
constexpr bool kInt = true;    // interlaced
constexpr bool kProg = false;  // progressive
constexpr bool kHalf = true;   // the frame has an odd number of lines: each field carries half a line more
constexpr bool kWhole = false;

// Pixel repetition. The 1440-wide standard-definition formats (480i, 576i, 240p and 288p, also at the higher
// field rates) are 720 pixels sent twice: that factor belongs to the format. The 1440-wide 480p and 576p and all
// the 2880-wide formats let the source pick the factor (1 or 2, or 1 to 10 for 2880 pixels), so the table gives
// them 1: the figures describe the line as sent, whatever the source put into it.
constexpr int kOnce = 1;
constexpr int kTwice = 2;

// Columns: VIC; horizontal active, front porch, sync, back porch; vertical active, front porch, sync, back porch
// (of one field when interlaced); pixel clock in Hz; H and V sync polarity; scan; half line; repetition; picture.
// A VIC stands for both a whole rate and that rate divided by 1.001 (60 and 59.94 Hz); each row holds the one
// clock in whole hertz that names the format: 74.25 MHz rather than 74.25/1.001 MHz for 1280x720, but 27 MHz
// (59.94 Hz) for 720x480 and 25.175 MHz (59.94 Hz) for 640x480.
constexpr std::array<CtaMode, 154> kVics = {{
    // 1 to 34: the original standard- and high-definition formats.
    {1, 640, 16, 96, 48, 480, 10, 2, 33, 25'175'000, kNeg, kNeg, kProg, kWhole, kOnce, k4x3},
    {2, 720, 16, 62, 60, 480, 9, 6, 30, 27'000'000, kNeg, kNeg, kProg, kWhole, kOnce, k4x3},
    {3, 720, 16, 62, 60, 480, 9, 6, 30, 27'000'000, kNeg, kNeg, kProg, kWhole, kOnce, k16x9},
    {4, 1280, 110, 40, 220, 720, 5, 5, 20, 74'250'000, kPos, kPos, kProg, kWhole, kOnce, k16x9},
    {5, 1920, 88, 44, 148, 540, 2, 5, 15, 74'250'000, kPos, kPos, kInt, kHalf, kOnce, k16x9},
    {6, 1440, 38, 124, 114, 240, 4, 3, 15, 27'000'000, kNeg, kNeg, kInt, kHalf, kTwice, k4x3},
    {7, 1440, 38, 124, 114, 240, 4, 3, 15, 27'000'000, kNeg, kNeg, kInt, kHalf, kTwice, k16x9},
    {8, 1440, 38, 124, 114, 240, 4, 3, 15, 27'000'000, kNeg, kNeg, kProg, kWhole, kTwice, k4x3},
    {9, 1440, 38, 124, 114, 240, 4, 3, 15, 27'000'000, kNeg, kNeg, kProg, kWhole, kTwice, k16x9},
    {10, 2880, 76, 248, 228, 240, 4, 3, 15, 54'000'000, kNeg, kNeg, kInt, kHalf, kOnce, k4x3},
    {11, 2880, 76, 248, 228, 240, 4, 3, 15, 54'000'000, kNeg, kNeg, kInt, kHalf, kOnce, k16x9},
    {12, 2880, 76, 248, 228, 240, 4, 3, 15, 54'000'000, kNeg, kNeg, kProg, kWhole, kOnce, k4x3},
    {13, 2880, 76, 248, 228, 240, 4, 3, 15, 54'000'000, kNeg, kNeg, kProg, kWhole, kOnce, k16x9},
    {14, 1440, 32, 124, 120, 480, 9, 6, 30, 54'000'000, kNeg, kNeg, kProg, kWhole, kOnce, k4x3},
    {15, 1440, 32, 124, 120, 480, 9, 6, 30, 54'000'000, kNeg, kNeg, kProg, kWhole, kOnce, k16x9},
    {16, 1920, 88, 44, 148, 1080, 4, 5, 36, 148'500'000, kPos, kPos, kProg, kWhole, kOnce, k16x9},
    {17, 720, 12, 64, 68, 576, 5, 5, 39, 27'000'000, kNeg, kNeg, kProg, kWhole, kOnce, k4x3},
    {18, 720, 12, 64, 68, 576, 5, 5, 39, 27'000'000, kNeg, kNeg, kProg, kWhole, kOnce, k16x9},
    {19, 1280, 440, 40, 220, 720, 5, 5, 20, 74'250'000, kPos, kPos, kProg, kWhole, kOnce, k16x9},
    {20, 1920, 528, 44, 148, 540, 2, 5, 15, 74'250'000, kPos, kPos, kInt, kHalf, kOnce, k16x9},
    {21, 1440, 24, 126, 138, 288, 2, 3, 19, 27'000'000, kNeg, kNeg, kInt, kHalf, kTwice, k4x3},
    {22, 1440, 24, 126, 138, 288, 2, 3, 19, 27'000'000, kNeg, kNeg, kInt, kHalf, kTwice, k16x9},
    {23, 1440, 24, 126, 138, 288, 2, 3, 19, 27'000'000, kNeg, kNeg, kProg, kWhole, kTwice, k4x3},
    {24, 1440, 24, 126, 138, 288, 2, 3, 19, 27'000'000, kNeg, kNeg, kProg, kWhole, kTwice, k16x9},
    {25, 2880, 48, 252, 276, 288, 2, 3, 19, 54'000'000, kNeg, kNeg, kInt, kHalf, kOnce, k4x3},
    {26, 2880, 48, 252, 276, 288, 2, 3, 19, 54'000'000, kNeg, kNeg, kInt, kHalf, kOnce, k16x9},
    {27, 2880, 48, 252, 276, 288, 2, 3, 19, 54'000'000, kNeg, kNeg, kProg, kWhole, kOnce, k4x3},
    {28, 2880, 48, 252, 276, 288, 2, 3, 19, 54'000'000, kNeg, kNeg, kProg, kWhole, kOnce, k16x9},
    {29, 1440, 24, 128, 136, 576, 5, 5, 39, 54'000'000, kNeg, kNeg, kProg, kWhole, kOnce, k4x3},
    {30, 1440, 24, 128, 136, 576, 5, 5, 39, 54'000'000, kNeg, kNeg, kProg, kWhole, kOnce, k16x9},
    {31, 1920, 528, 44, 148, 1080, 4, 5, 36, 148'500'000, kPos, kPos, kProg, kWhole, kOnce, k16x9},
    {32, 1920, 638, 44, 148, 1080, 4, 5, 36, 74'250'000, kPos, kPos, kProg, kWhole, kOnce, k16x9},
    {33, 1920, 528, 44, 148, 1080, 4, 5, 36, 74'250'000, kPos, kPos, kProg, kWhole, kOnce, k16x9},
    {34, 1920, 88, 44, 148, 1080, 4, 5, 36, 74'250'000, kPos, kPos, kProg, kWhole, kOnce, k16x9},
    // 35 to 59: double-width progressive formats, the 1250-line 1080i and the 100 to 240 Hz rates.
    {35, 2880, 64, 248, 240, 480, 9, 6, 30, 108'000'000, kNeg, kNeg, kProg, kWhole, kOnce, k4x3},
    {36, 2880, 64, 248, 240, 480, 9, 6, 30, 108'000'000, kNeg, kNeg, kProg, kWhole, kOnce, k16x9},
    {37, 2880, 48, 256, 272, 576, 5, 5, 39, 108'000'000, kNeg, kNeg, kProg, kWhole, kOnce, k4x3},
    {38, 2880, 48, 256, 272, 576, 5, 5, 39, 108'000'000, kNeg, kNeg, kProg, kWhole, kOnce, k16x9},
    {39, 1920, 32, 168, 184, 540, 23, 5, 57, 72'000'000, kPos, kNeg, kInt, kWhole, kOnce, k16x9},
    {40, 1920, 528, 44, 148, 540, 2, 5, 15, 148'500'000, kPos, kPos, kInt, kHalf, kOnce, k16x9},
    {41, 1280, 440, 40, 220, 720, 5, 5, 20, 148'500'000, kPos, kPos, kProg, kWhole, kOnce, k16x9},
    {42, 720, 12, 64, 68, 576, 5, 5, 39, 54'000'000, kNeg, kNeg, kProg, kWhole, kOnce, k4x3},
    {43, 720, 12, 64, 68, 576, 5, 5, 39, 54'000'000, kNeg, kNeg, kProg, kWhole, kOnce, k16x9},
    {44, 1440, 24, 126, 138, 288, 2, 3, 19, 54'000'000, kNeg, kNeg, kInt, kHalf, kTwice, k4x3},
    {45, 1440, 24, 126, 138, 288, 2, 3, 19, 54'000'000, kNeg, kNeg, kInt, kHalf, kTwice, k16x9},
    {46, 1920, 88, 44, 148, 540, 2, 5, 15, 148'500'000, kPos, kPos, kInt, kHalf, kOnce, k16x9},
    {47, 1280, 110, 40, 220, 720, 5, 5, 20, 148'500'000, kPos, kPos, kProg, kWhole, kOnce, k16x9},
    {48, 720, 16, 62, 60, 480, 9, 6, 30, 54'000'000, kNeg, kNeg, kProg, kWhole, kOnce, k4x3},
    {49, 720, 16, 62, 60, 480, 9, 6, 30, 54'000'000, kNeg, kNeg, kProg, kWhole, kOnce, k16x9},
    {50, 1440, 38, 124, 114, 240, 4, 3, 15, 54'000'000, kNeg, kNeg, kInt, kHalf, kTwice, k4x3},
    {51, 1440, 38, 124, 114, 240, 4, 3, 15, 54'000'000, kNeg, kNeg, kInt, kHalf, kTwice, k16x9},
    {52, 720, 12, 64, 68, 576, 5, 5, 39, 108'000'000, kNeg, kNeg, kProg, kWhole, kOnce, k4x3},
    {53, 720, 12, 64, 68, 576, 5, 5, 39, 108'000'000, kNeg, kNeg, kProg, kWhole, kOnce, k16x9},
    {54, 1440, 24, 126, 138, 288, 2, 3, 19, 108'000'000, kNeg, kNeg, kInt, kHalf, kTwice, k4x3},
    {55, 1440, 24, 126, 138, 288, 2, 3, 19, 108'000'000, kNeg, kNeg, kInt, kHalf, kTwice, k16x9},
    {56, 720, 16, 62, 60, 480, 9, 6, 30, 108'000'000, kNeg, kNeg, kProg, kWhole, kOnce, k4x3},
    {57, 720, 16, 62, 60, 480, 9, 6, 30, 108'000'000, kNeg, kNeg, kProg, kWhole, kOnce, k16x9},
    {58, 1440, 38, 124, 114, 240, 4, 3, 15, 108'000'000, kNeg, kNeg, kInt, kHalf, kTwice, k4x3},
    {59, 1440, 38, 124, 114, 240, 4, 3, 15, 108'000'000, kNeg, kNeg, kInt, kHalf, kTwice, k16x9},
    // 60 to 64: 720p at film rates, 1080p at 100 and 120 Hz.
    {60, 1280, 1760, 40, 220, 720, 5, 5, 20, 59'400'000, kPos, kPos, kProg, kWhole, kOnce, k16x9},
    {61, 1280, 2420, 40, 220, 720, 5, 5, 20, 74'250'000, kPos, kPos, kProg, kWhole, kOnce, k16x9},
    {62, 1280, 1760, 40, 220, 720, 5, 5, 20, 74'250'000, kPos, kPos, kProg, kWhole, kOnce, k16x9},
    {63, 1920, 88, 44, 148, 1080, 4, 5, 36, 297'000'000, kPos, kPos, kProg, kWhole, kOnce, k16x9},
    {64, 1920, 528, 44, 148, 1080, 4, 5, 36, 297'000'000, kPos, kPos, kProg, kWhole, kOnce, k16x9},
    // 65 to 92: the 64:27 pictures; 720 and 1080 lines repeat the 16:9 timings, 1680 and 2560 wide are their own.
    {65, 1280, 1760, 40, 220, 720, 5, 5, 20, 59'400'000, kPos, kPos, kProg, kWhole, kOnce, k64x27},
    {66, 1280, 2420, 40, 220, 720, 5, 5, 20, 74'250'000, kPos, kPos, kProg, kWhole, kOnce, k64x27},
    {67, 1280, 1760, 40, 220, 720, 5, 5, 20, 74'250'000, kPos, kPos, kProg, kWhole, kOnce, k64x27},
    {68, 1280, 440, 40, 220, 720, 5, 5, 20, 74'250'000, kPos, kPos, kProg, kWhole, kOnce, k64x27},
    {69, 1280, 110, 40, 220, 720, 5, 5, 20, 74'250'000, kPos, kPos, kProg, kWhole, kOnce, k64x27},
    {70, 1280, 440, 40, 220, 720, 5, 5, 20, 148'500'000, kPos, kPos, kProg, kWhole, kOnce, k64x27},
    {71, 1280, 110, 40, 220, 720, 5, 5, 20, 148'500'000, kPos, kPos, kProg, kWhole, kOnce, k64x27},
    {72, 1920, 638, 44, 148, 1080, 4, 5, 36, 74'250'000, kPos, kPos, kProg, kWhole, kOnce, k64x27},
    {73, 1920, 528, 44, 148, 1080, 4, 5, 36, 74'250'000, kPos, kPos, kProg, kWhole, kOnce, k64x27},
    {74, 1920, 88, 44, 148, 1080, 4, 5, 36, 74'250'000, kPos, kPos, kProg, kWhole, kOnce, k64x27},
    {75, 1920, 528, 44, 148, 1080, 4, 5, 36, 148'500'000, kPos, kPos, kProg, kWhole, kOnce, k64x27},
    {76, 1920, 88, 44, 148, 1080, 4, 5, 36, 148'500'000, kPos, kPos, kProg, kWhole, kOnce, k64x27},
    {77, 1920, 528, 44, 148, 1080, 4, 5, 36, 297'000'000, kPos, kPos, kProg, kWhole, kOnce, k64x27},
    {78, 1920, 88, 44, 148, 1080, 4, 5, 36, 297'000'000, kPos, kPos, kProg, kWhole, kOnce, k64x27},
    {79, 1680, 1360, 40, 220, 720, 5, 5, 20, 59'400'000, kPos, kPos, kProg, kWhole, kOnce, k64x27},
    {80, 1680, 1228, 40, 220, 720, 5, 5, 20, 59'400'000, kPos, kPos, kProg, kWhole, kOnce, k64x27},
    {81, 1680, 700, 40, 220, 720, 5, 5, 20, 59'400'000, kPos, kPos, kProg, kWhole, kOnce, k64x27},
    {82, 1680, 260, 40, 220, 720, 5, 5, 20, 82'500'000, kPos, kPos, kProg, kWhole, kOnce, k64x27},
    {83, 1680, 260, 40, 220, 720, 5, 5, 20, 99'000'000, kPos, kPos, kProg, kWhole, kOnce, k64x27},
    {84, 1680, 60, 40, 220, 720, 5, 5, 95, 165'000'000, kPos, kPos, kProg, kWhole, kOnce, k64x27},
    {85, 1680, 60, 40, 220, 720, 5, 5, 95, 198'000'000, kPos, kPos, kProg, kWhole, kOnce, k64x27},
    {86, 2560, 998, 44, 148, 1080, 4, 5, 11, 99'000'000, kPos, kPos, kProg, kWhole, kOnce, k64x27},
    {87, 2560, 448, 44, 148, 1080, 4, 5, 36, 90'000'000, kPos, kPos, kProg, kWhole, kOnce, k64x27},
    {88, 2560, 768, 44, 148, 1080, 4, 5, 36, 118'800'000, kPos, kPos, kProg, kWhole, kOnce, k64x27},
    {89, 2560, 548, 44, 148, 1080, 4, 5, 36, 185'625'000, kPos, kPos, kProg, kWhole, kOnce, k64x27},
    {90, 2560, 248, 44, 148, 1080, 4, 5, 11, 198'000'000, kPos, kPos, kProg, kWhole, kOnce, k64x27},
    {91, 2560, 218, 44, 148, 1080, 4, 5, 161, 371'250'000, kPos, kPos, kProg, kWhole, kOnce, k64x27},
    {92, 2560, 548, 44, 148, 1080, 4, 5, 161, 495'000'000, kPos, kPos, kProg, kWhole, kOnce, k64x27},
    // 93 to 107: 2160 lines at 24 to 60 Hz.
    {93, 3840, 1276, 88, 296, 2160, 8, 10, 72, 297'000'000, kPos, kPos, kProg, kWhole, kOnce, k16x9},
    {94, 3840, 1056, 88, 296, 2160, 8, 10, 72, 297'000'000, kPos, kPos, kProg, kWhole, kOnce, k16x9},
    {95, 3840, 176, 88, 296, 2160, 8, 10, 72, 297'000'000, kPos, kPos, kProg, kWhole, kOnce, k16x9},
    {96, 3840, 1056, 88, 296, 2160, 8, 10, 72, 594'000'000, kPos, kPos, kProg, kWhole, kOnce, k16x9},
    {97, 3840, 176, 88, 296, 2160, 8, 10, 72, 594'000'000, kPos, kPos, kProg, kWhole, kOnce, k16x9},
    {98, 4096, 1020, 88, 296, 2160, 8, 10, 72, 297'000'000, kPos, kPos, kProg, kWhole, kOnce, k256x135},
    {99, 4096, 968, 88, 128, 2160, 8, 10, 72, 297'000'000, kPos, kPos, kProg, kWhole, kOnce, k256x135},
    {100, 4096, 88, 88, 128, 2160, 8, 10, 72, 297'000'000, kPos, kPos, kProg, kWhole, kOnce, k256x135},
    {101, 4096, 968, 88, 128, 2160, 8, 10, 72, 594'000'000, kPos, kPos, kProg, kWhole, kOnce, k256x135},
    {102, 4096, 88, 88, 128, 2160, 8, 10, 72, 594'000'000, kPos, kPos, kProg, kWhole, kOnce, k256x135},
    {103, 3840, 1276, 88, 296, 2160, 8, 10, 72, 297'000'000, kPos, kPos, kProg, kWhole, kOnce, k64x27},
    {104, 3840, 1056, 88, 296, 2160, 8, 10, 72, 297'000'000, kPos, kPos, kProg, kWhole, kOnce, k64x27},
    {105, 3840, 176, 88, 296, 2160, 8, 10, 72, 297'000'000, kPos, kPos, kProg, kWhole, kOnce, k64x27},
    {106, 3840, 1056, 88, 296, 2160, 8, 10, 72, 594'000'000, kPos, kPos, kProg, kWhole, kOnce, k64x27},
    {107, 3840, 176, 88, 296, 2160, 8, 10, 72, 594'000'000, kPos, kPos, kProg, kWhole, kOnce, k64x27},
    // 108 to 127: 48 Hz, 2160 lines at 100 and 120 Hz, and 5120x2160.
    {108, 1280, 960, 40, 220, 720, 5, 5, 20, 90'000'000, kPos, kPos, kProg, kWhole, kOnce, k16x9},
    {109, 1280, 960, 40, 220, 720, 5, 5, 20, 90'000'000, kPos, kPos, kProg, kWhole, kOnce, k64x27},
    {110, 1680, 810, 40, 220, 720, 5, 5, 20, 99'000'000, kPos, kPos, kProg, kWhole, kOnce, k64x27},
    {111, 1920, 638, 44, 148, 1080, 4, 5, 36, 148'500'000, kPos, kPos, kProg, kWhole, kOnce, k16x9},
    {112, 1920, 638, 44, 148, 1080, 4, 5, 36, 148'500'000, kPos, kPos, kProg, kWhole, kOnce, k64x27},
    {113, 2560, 998, 44, 148, 1080, 4, 5, 11, 198'000'000, kPos, kPos, kProg, kWhole, kOnce, k64x27},
    {114, 3840, 1276, 88, 296, 2160, 8, 10, 72, 594'000'000, kPos, kPos, kProg, kWhole, kOnce, k16x9},
    {115, 4096, 1020, 88, 296, 2160, 8, 10, 72, 594'000'000, kPos, kPos, kProg, kWhole, kOnce, k256x135},
    {116, 3840, 1276, 88, 296, 2160, 8, 10, 72, 594'000'000, kPos, kPos, kProg, kWhole, kOnce, k64x27},
    {117, 3840, 1056, 88, 296, 2160, 8, 10, 72, 1'188'000'000, kPos, kPos, kProg, kWhole, kOnce, k16x9},
    {118, 3840, 176, 88, 296, 2160, 8, 10, 72, 1'188'000'000, kPos, kPos, kProg, kWhole, kOnce, k16x9},
    {119, 3840, 1056, 88, 296, 2160, 8, 10, 72, 1'188'000'000, kPos, kPos, kProg, kWhole, kOnce, k64x27},
    {120, 3840, 176, 88, 296, 2160, 8, 10, 72, 1'188'000'000, kPos, kPos, kProg, kWhole, kOnce, k64x27},
    {121, 5120, 1996, 88, 296, 2160, 8, 10, 22, 396'000'000, kPos, kPos, kProg, kWhole, kOnce, k64x27},
    {122, 5120, 1696, 88, 296, 2160, 8, 10, 22, 396'000'000, kPos, kPos, kProg, kWhole, kOnce, k64x27},
    {123, 5120, 664, 88, 128, 2160, 8, 10, 22, 396'000'000, kPos, kPos, kProg, kWhole, kOnce, k64x27},
    {124, 5120, 746, 88, 296, 2160, 8, 10, 297, 742'500'000, kPos, kPos, kProg, kWhole, kOnce, k64x27},
    {125, 5120, 1096, 88, 296, 2160, 8, 10, 72, 742'500'000, kPos, kPos, kProg, kWhole, kOnce, k64x27},
    {126, 5120, 164, 88, 128, 2160, 8, 10, 72, 742'500'000, kPos, kPos, kProg, kWhole, kOnce, k64x27},
    {127, 5120, 1096, 88, 296, 2160, 8, 10, 72, 1'485'000'000, kPos, kPos, kProg, kWhole, kOnce, k64x27},
    // 193 to 219: 5120x2160 at 120 Hz, 7680x4320, 10240x4320, 4096x2160 at 100 and 120 Hz.
    {193, 5120, 164, 88, 128, 2160, 8, 10, 72, 1'485'000'000, kPos, kPos, kProg, kWhole, kOnce, k64x27},
    {194, 7680, 2552, 176, 592, 4320, 16, 20, 144, 1'188'000'000, kPos, kPos, kProg, kWhole, kOnce, k16x9},
    {195, 7680, 2352, 176, 592, 4320, 16, 20, 44, 1'188'000'000, kPos, kPos, kProg, kWhole, kOnce, k16x9},
    {196, 7680, 552, 176, 592, 4320, 16, 20, 44, 1'188'000'000, kPos, kPos, kProg, kWhole, kOnce, k16x9},
    {197, 7680, 2552, 176, 592, 4320, 16, 20, 144, 2'376'000'000, kPos, kPos, kProg, kWhole, kOnce, k16x9},
    {198, 7680, 2352, 176, 592, 4320, 16, 20, 44, 2'376'000'000, kPos, kPos, kProg, kWhole, kOnce, k16x9},
    {199, 7680, 552, 176, 592, 4320, 16, 20, 44, 2'376'000'000, kPos, kPos, kProg, kWhole, kOnce, k16x9},
    {200, 7680, 2112, 176, 592, 4320, 16, 20, 144, 4'752'000'000, kPos, kPos, kProg, kWhole, kOnce, k16x9},
    {201, 7680, 352, 176, 592, 4320, 16, 20, 144, 4'752'000'000, kPos, kPos, kProg, kWhole, kOnce, k16x9},
    {202, 7680, 2552, 176, 592, 4320, 16, 20, 144, 1'188'000'000, kPos, kPos, kProg, kWhole, kOnce, k64x27},
    {203, 7680, 2352, 176, 592, 4320, 16, 20, 44, 1'188'000'000, kPos, kPos, kProg, kWhole, kOnce, k64x27},
    {204, 7680, 552, 176, 592, 4320, 16, 20, 44, 1'188'000'000, kPos, kPos, kProg, kWhole, kOnce, k64x27},
    {205, 7680, 2552, 176, 592, 4320, 16, 20, 144, 2'376'000'000, kPos, kPos, kProg, kWhole, kOnce, k64x27},
    {206, 7680, 2352, 176, 592, 4320, 16, 20, 44, 2'376'000'000, kPos, kPos, kProg, kWhole, kOnce, k64x27},
    {207, 7680, 552, 176, 592, 4320, 16, 20, 44, 2'376'000'000, kPos, kPos, kProg, kWhole, kOnce, k64x27},
    {208, 7680, 2112, 176, 592, 4320, 16, 20, 144, 4'752'000'000, kPos, kPos, kProg, kWhole, kOnce, k64x27},
    {209, 7680, 352, 176, 592, 4320, 16, 20, 144, 4'752'000'000, kPos, kPos, kProg, kWhole, kOnce, k64x27},
    {210, 10240, 1492, 176, 592, 4320, 16, 20, 594, 1'485'000'000, kPos, kPos, kProg, kWhole, kOnce, k64x27},
    {211, 10240, 2492, 176, 592, 4320, 16, 20, 44, 1'485'000'000, kPos, kPos, kProg, kWhole, kOnce, k64x27},
    {212, 10240, 288, 176, 296, 4320, 16, 20, 144, 1'485'000'000, kPos, kPos, kProg, kWhole, kOnce, k64x27},
    {213, 10240, 1492, 176, 592, 4320, 16, 20, 594, 2'970'000'000, kPos, kPos, kProg, kWhole, kOnce, k64x27},
    {214, 10240, 2492, 176, 592, 4320, 16, 20, 44, 2'970'000'000, kPos, kPos, kProg, kWhole, kOnce, k64x27},
    {215, 10240, 288, 176, 296, 4320, 16, 20, 144, 2'970'000'000, kPos, kPos, kProg, kWhole, kOnce, k64x27},
    {216, 10240, 2192, 176, 592, 4320, 16, 20, 144, 5'940'000'000, kPos, kPos, kProg, kWhole, kOnce, k64x27},
    {217, 10240, 288, 176, 296, 4320, 16, 20, 144, 5'940'000'000, kPos, kPos, kProg, kWhole, kOnce, k64x27},
    {218, 4096, 800, 88, 296, 2160, 8, 10, 72, 1'188'000'000, kPos, kPos, kProg, kWhole, kOnce, k256x135},
    {219, 4096, 88, 88, 128, 2160, 8, 10, 72, 1'188'000'000, kPos, kPos, kProg, kWhole, kOnce, k256x135},
}};

// The HDMI vendor block's own numbers for four 2160-line formats; their timings are those of VICs 95, 94, 93
// and 98.
constexpr std::array<CtaMode, 4> kHdmiVics = {{
    {1, 3840, 176, 88, 296, 2160, 8, 10, 72, 297'000'000, kPos, kPos, kProg, kWhole, kOnce, k16x9},
    {2, 3840, 1056, 88, 296, 2160, 8, 10, 72, 297'000'000, kPos, kPos, kProg, kWhole, kOnce, k16x9},
    {3, 3840, 1276, 88, 296, 2160, 8, 10, 72, 297'000'000, kPos, kPos, kProg, kWhole, kOnce, k16x9},
    {4, 4096, 1020, 88, 296, 2160, 8, 10, 72, 297'000'000, kPos, kPos, kProg, kWhole, kOnce, k256x135},
}};

constexpr int kLastLowVic = 127;
constexpr int kFirstHighVic = 193;
constexpr int kLastHighVic = 219;

// Where a VIC's row is in kVics; -1 when no format has that number.
constexpr int VicIndex(int vic) {
  if (vic >= 1 && vic <= kLastLowVic) return vic - 1;
  if (vic >= kFirstHighVic && vic <= kLastHighVic) return kLastLowVic + vic - kFirstHighVic;
  return -1;
}

// Every row sits where VicIndex looks for it, so a row lost or doubled in the table does not compile.
template <std::size_t N>
constexpr bool RowsInPlace(const std::array<CtaMode, N>& rows, int (*index)(int)) {
  for (std::size_t i = 0; i < N; ++i) {
    if (index(rows[i].vic) != static_cast<int>(i)) return false;
  }
  return true;
}

constexpr int HdmiVicIndex(int hdmi_vic) { return hdmi_vic >= 1 && hdmi_vic <= 4 ? hdmi_vic - 1 : -1; }

static_assert(kVics.size() == kLastLowVic + (kLastHighVic - kFirstHighVic + 1));
static_assert(RowsInPlace(kVics, VicIndex));
static_assert(RowsInPlace(kHdmiVics, HdmiVicIndex));

DisplayTiming ToTiming(const CtaMode& mode, std::string source) {
  DisplayTiming timing;
  CopyRowFigures(mode, timing);
  timing.v_half_line = mode.v_half_line;
  timing.reduced_blanking = false;
  timing.pixel_repetition = mode.pixel_repetition;
  timing.aspect = mode.aspect;
  timing.source = std::move(source);
  return timing;
}

}  // namespace

std::span<const CtaMode> CtaModes() { return kVics; }

std::span<const CtaMode> HdmiVicModes() { return kHdmiVics; }

Expected<DisplayTiming> VicTiming(int vic) {
  const int index = VicIndex(vic);
  if (index < 0) {
    return Expected<DisplayTiming>::Failure("There is no CTA-861 video format with VIC " + std::to_string(vic) +
                                            "; VICs run from 1 to 127 and 193 to 219.");
  }
  return ToTiming(kVics[static_cast<std::size_t>(index)], "VIC " + std::to_string(vic));
}

Expected<DisplayTiming> HdmiVicTiming(int hdmi_vic) {
  const int index = HdmiVicIndex(hdmi_vic);
  if (index < 0) {
    return Expected<DisplayTiming>::Failure("There is no HDMI video format with HDMI VIC " + std::to_string(hdmi_vic) +
                                            "; HDMI VICs run from 1 to 4.");
  }
  return ToTiming(kHdmiVics[static_cast<std::size_t>(index)], "HDMI VIC " + std::to_string(hdmi_vic));
}

}  // namespace zarn::modes
