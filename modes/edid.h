#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "modes/display_timing.h"
#include "modes/expected.h"

namespace zarn::modes {

using DetailedTimingDescriptor = std::array<std::uint8_t, 18>;
using EdidBlock = std::array<std::uint8_t, 128>;

// The 18-byte detailed timing descriptor of EDID (digital separate sync).
// A timing that does not fit one of its fields, or whose clock is not a
// whole number of 10 kHz steps, is refused with the field and its limit:
// nothing is wrapped or rounded.
Expected<DetailedTimingDescriptor> DescribeTiming(const DisplayTiming& timing);

// The longest display name a descriptor holds.
inline constexpr std::size_t kMaxDisplayNameLength = 13;

// A complete EDID 1.4 base block for a digital display whose preferred mode
// is the timing: a manufacturer ID and product code plainly for testing
// ("ZZZ", 0x0000), the timing as the preferred detailed timing, a display
// name (printable ASCII, 13 characters at most; "Zarn" when empty), display
// range limits that cover the timing, and the checksum.
Expected<EdidBlock> MakeEdid(const DisplayTiming& timing, std::string_view display_name);

// Bytes as lowercase hex pairs, 16 to a line ("bc 34 00 98 ...").
std::string HexBytes(std::span<const std::uint8_t> bytes);

}  // namespace zarn::modes
