#pragma once

#include <cstdint>
#include <span>

#include "modes/edid.h"
#include "modes/edid_blocks.h"

namespace zarn::modes {

// Changes to a CTA-861 extension block's bytes. Each keeps the bytes it does
// not need to move; the block's checksum is the caller's to write.

using MutableBlock = std::span<std::uint8_t, kEdidBlockSize>;

// A new CTA-861 block (revision 3) that a conformity check passes: IT video
// formats underscanned by default, the base block's first detailed timing
// counted native, a Video Capability Data Block (RGB quantization
// selectable, IT and CE formats underscanned) and a Video Data Block with
// VIC 1 (640x480 at 60 Hz, which every CTA-861 sink takes). That leaves room
// for six detailed timings. Where the EDID has a CTA-861 block already
// (first_cta), the new one repeats its header flags, as every CTA-861 block
// must, and holds detailed timings only (seven).
BlockBytes NewCtaBlock(std::span<const std::uint8_t> first_cta);

// How many more detailed timing descriptors the block holds: the 18-byte
// slots that are all zero after its last detailed timing or display
// descriptor.
int CtaFreeDtdSlots(std::span<const std::uint8_t> block);

// Writes the descriptor after the block's last detailed timing (display
// descriptors after it move down a slot) and gives its offset; -1 when the
// block has no free slot.
int AddCtaDtd(MutableBlock block, const DetailedTimingDescriptor& descriptor);

// Takes out the detailed timing descriptor at the offset: those after it
// (display descriptors too) move up, and the slot they leave is zero.
void RemoveCtaDtd(MutableBlock block, int offset);

// Takes out one byte of the data block at data_block (a short video
// descriptor): the data block is a byte shorter and everything after it in
// the block moves up by one. A YCbCr 4:2:0 capability map loses the bit of a
// removed short video descriptor (and goes when no bit is left). A data block
// left with no descriptors goes too.
void RemoveCtaDataByte(MutableBlock block, int data_block, int offset);

}  // namespace zarn::modes
