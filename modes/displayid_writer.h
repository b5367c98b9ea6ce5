#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "modes/display_timing.h"
#include "modes/edid_blocks.h"
#include "modes/edid_model.h"
#include "modes/expected.h"

namespace zarn::modes {

// Changes to a DisplayID extension block's bytes. Each rewrites the block's
// DisplayID section (its length and its own checksum, zero after it); the
// block's checksum is the caller's to write.

using DisplayIdDescriptor = std::array<std::uint8_t, 20>;
using MutableDisplayIdBlock = std::span<std::uint8_t, kEdidBlockSize>;

// The 20-byte detailed timing of DisplayID: type VII (DisplayID 2.x, the
// clock in 1 kHz steps) or type I (1.x, 10 kHz steps); every other figure
// takes up to 65536. A clock between steps, a figure of 0 or too large, and
// an interlaced timing (which the Linux kernel would read as progressive)
// are refused with the reason.
Expected<DisplayIdDescriptor> DescribeDisplayIdTiming(const DisplayTiming& timing, bool type7, bool preferred);

// A new DisplayID 2.0 block to follow the EDID's base block, with what a
// conformity check requires of it: a primary use case ("generic display"),
// Product Identification (the base block's product code, serial number and
// date; no OUI, which the base block's PNP ID is not), Display Parameters
// (the base block's screen size, colour points and gamma, native_size's
// pixels, or none) and Display Interface Features (RGB at the base block's colour
// depth, sRGB). It holds no timing yet: there is room for two type VII
// timings. first_section false gives a further block of the same section,
// with room for five.
BlockBytes NewDisplayIdBlock(const DecodedEdid& edid, const DisplayTiming* native_size, bool first_section);

// Whether the block is DisplayID 2.x (type VII) rather than 1.x (type I).
bool IsDisplayId2(std::span<const std::uint8_t> block);

// Adds the descriptor to the block's detailed timing data block (a new one
// when it has none) and gives the descriptor's offset; -1 when the section
// has no room for it.
int AddDisplayIdTiming(MutableDisplayIdBlock block, const DisplayIdDescriptor& descriptor);

// Takes length bytes at offset out of the data block at data_block, which
// goes as a whole when nothing is left in it.
void RemoveDisplayIdBytes(MutableDisplayIdBlock block, int data_block, int offset, int length);

// Rewrites the DisplayID section's own checksum (after a change of a byte
// in place).
void SealDisplayIdSection(MutableDisplayIdBlock block);

}  // namespace zarn::modes
