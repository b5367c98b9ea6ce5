#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "modes/display_timing.h"

namespace zarn::modes {

// Colour depths (bits per component) and sampling the link check covers.
inline constexpr std::array<int, 5> kColourDepths = {6, 8, 10, 12, 16};
enum class Sampling { Rgb444, YCbCr422, YCbCr420 };
inline constexpr std::array<Sampling, 3> kSamplings = {Sampling::Rgb444, Sampling::YCbCr422, Sampling::YCbCr420};
const char* SamplingName(Sampling sampling);  // "RGB/4:4:4", "4:2:2", "4:2:0"
const char* SamplingKey(Sampling sampling);   // "rgb444", "ycbcr422", "ycbcr420"

// Whether video exists in that depth and sampling at all (6-bit video is RGB
// only; 16-bit 4:2:2 is defined by no link here).
bool FormatExists(int depth, Sampling sampling);

// The data rate of the video in bits per second: the pixel clock (blanking
// included) times the bits per pixel: 3, 2 or 1.5 components of depth bits.
std::uint64_t DataRateBitsPerSecond(const DisplayTiming& timing, int depth, Sampling sampling);

// One link and what it carries of a timing.
struct LinkCheck {
  std::string name;            // "HDMI TMDS 600 MHz", "DisplayPort HBR3 x4"
  std::uint64_t capacity_bps;  // payload after line coding
  // carries[d][s]: depth kColourDepths[d] in sampling kSamplings[s].
  std::array<std::array<bool, kSamplings.size()>, kColourDepths.size()> carries;
};

// DVI single and dual link; HDMI TMDS at 165, 340 and 600 MHz; HDMI FRL at
// 3x3, 3x6, 4x6, 4x8, 4x10 and 4x12 Gbit/s; DisplayPort RBR to HBR3 and
// UHBR10 to UHBR20 on 1, 2 and 4 lanes.
std::vector<LinkCheck> CheckLinks(const DisplayTiming& timing);

}  // namespace zarn::modes
