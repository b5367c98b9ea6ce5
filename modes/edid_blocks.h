#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "modes/expected.h"

namespace zarn::modes {

// An EDID being edited: its bytes, whole 128-byte blocks, and what has
// changed so far, one sentence a change.
struct EdidEdited {
  std::vector<std::uint8_t> bytes;
  std::vector<std::string> changes;
};

using BlockBytes = std::array<std::uint8_t, 128>;
inline constexpr std::size_t kEdidBlockSize = 128;

// The byte that makes a block's 128 bytes add up to a multiple of 256.
std::uint8_t BlockChecksum(std::span<const std::uint8_t> block);

int BlockCount(const EdidEdited& edid);
std::span<std::uint8_t, kEdidBlockSize> BlockOf(EdidEdited& edid, int index);

// Writes the block's checksum after its other bytes changed.
void SealBlock(EdidEdited& edid, int index);

// Adds an extension block (checksum written) after the last one and counts
// it in the base block. EDID 1.3 needs a block map in block 1 once there are
// two extensions or more: one is put there, or the one there is updated. A
// 256th block is refused. Gives the new block's index.
Expected<int> AppendExtensionBlock(EdidEdited& edid, const BlockBytes& block);

// Whether the base block is EDID 1.4 or later (range limit offsets, the
// "range limits only" mark, ...).
bool IsEdid14(std::span<const std::uint8_t> bytes);

// "0x2a".
std::string HexByteText(int value);

}  // namespace zarn::modes
