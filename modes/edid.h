#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "modes/display_timing.h"
#include "modes/edid_blocks.h"
#include "modes/expected.h"

namespace zarn::modes {

using DetailedTimingDescriptor = std::array<std::uint8_t, 18>;
// A whole EDID: the base block and its extension blocks, 128 bytes each.
using EdidBytes = std::vector<std::uint8_t>;

// The 18-byte detailed timing descriptor of EDID (digital separate sync).
// A timing that does not fit one of its fields, or whose clock is not a
// whole number of 10 kHz steps, is refused with the field and its limit:
// nothing is wrapped or rounded.
Expected<DetailedTimingDescriptor> DescribeTiming(const DisplayTiming& timing);

// The longest display name a descriptor holds.
inline constexpr std::size_t kMaxDisplayNameLength = 13;
// The slowest pixel clock EDID readers take for real (below it they assume
// invalid data).
inline constexpr std::uint64_t kMinDescriptorClockHz = 10'000'000;

// Why a display name cannot go into an EDID: it must be 1 to 13 printable
// ASCII characters, counted as characters, and not end in a space (the
// descriptor pads the name with spaces, so a reader could not tell them
// apart). Empty when it can.
std::string DisplayNameProblem(std::string_view name);

// The timing with its clock moved to the nearest 10 kHz step, the finest a
// detailed timing descriptor holds (halves go up); the same timing when it
// lies on one. Its rates change with it.
DisplayTiming WithDescriptorClock(const DisplayTiming& timing);

// A complete EDID 1.4 for a digital display whose preferred mode is the
// first timing and which offers the others too: a base block with a
// manufacturer ID and product code plainly for testing ("ZZZ", 0x0000), the
// preferred timing as DTD 1, a display name ("Zarn" when empty; else as
// DisplayNameProblem allows), display range limits that cover every timing,
// and the checksum. A timing that fits a detailed timing descriptor leaves the
// base block as it always was. The other timings go where AddTiming puts them.
// A preferred timing that no descriptor holds (a clock above 655.35 MHz or
// between 10 kHz steps, a vertical front porch above 63 lines, ...) is the
// preferred timing of a DisplayID 2.0 extension block, and DTD 1 holds the
// nearest timing a descriptor does hold, for software that reads only the
// base block: the same timing with its clock on the nearest 10 kHz step, else
// CVT-RB2 at 60 Hz of its size, else of half its size, a third, down to an
// eighth. An interlaced timing goes into DTD 1 or nowhere. What would not pass a
// conformity check (edid-decode -c) is refused with the reason. The changes
// say what the base block holds in place of the timing, where that is so.
Expected<EdidEdited> WriteEdid(std::span<const DisplayTiming> timings, std::string_view display_name);

// The bytes of WriteEdid for one timing.
Expected<EdidBytes> MakeEdid(const DisplayTiming& timing, std::string_view display_name);

// Bytes as lowercase hex pairs, 16 to a line ("bc 34 00 98 ...").
std::string HexBytes(std::span<const std::uint8_t> bytes);

}  // namespace zarn::modes
