#include "modes/edid_blocks.h"

#include <algorithm>
#include <cstdio>

namespace zarn::modes {

std::uint8_t BlockChecksum(std::span<const std::uint8_t> block) {
  unsigned sum = 0;
  for (std::size_t i = 0; i + 1 < kEdidBlockSize && i < block.size(); ++i) sum += block[i];
  return static_cast<std::uint8_t>((256 - sum % 256) % 256);
}

int BlockCount(const EdidEdited& edid) { return static_cast<int>(edid.bytes.size() / kEdidBlockSize); }

std::span<std::uint8_t, kEdidBlockSize> BlockOf(EdidEdited& edid, int index) {
  return std::span<std::uint8_t, kEdidBlockSize>(edid.bytes.data() + static_cast<std::size_t>(index) * kEdidBlockSize,
                                                 kEdidBlockSize);
}

void SealBlock(EdidEdited& edid, int index) {
  const std::span<std::uint8_t, kEdidBlockSize> block = BlockOf(edid, index);
  block[127] = BlockChecksum(block);
}

bool IsEdid14(std::span<const std::uint8_t> bytes) {
  return bytes.size() > 19 && (bytes[18] > 1 || (bytes[18] == 1 && bytes[19] >= 4));
}

std::string HexByteText(int value) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%02x", static_cast<unsigned>(value & 0xFF));
  return text;
}

Expected<int> AppendExtensionBlock(EdidEdited& edid, const BlockBytes& block) {
  const int count = BlockCount(edid);
  const bool needs_map = !IsEdid14(edid.bytes) && count >= 2;
  const bool has_map = count >= 2 && edid.bytes[kEdidBlockSize] == 0xF0;
  const int blocks = count + 1 + (needs_map && !has_map ? 1 : 0);
  if (blocks > 256) return Expected<int>::Failure("An EDID holds at most 255 extension blocks, and this one is full.");
  // A map in block 1 names the tags of blocks 2 to 127.
  if (needs_map && blocks > 128) {
    return Expected<int>::Failure("An EDID 1.3 block map names at most 126 blocks, and this EDID would need more.");
  }
  if (needs_map && !has_map) {
    BlockBytes map{};
    map[0] = 0xF0;
    for (int i = 1; i < count; ++i) map[static_cast<std::size_t>(i)] = edid.bytes[static_cast<std::size_t>(i) * 128];
    edid.bytes.insert(edid.bytes.begin() + kEdidBlockSize, map.begin(), map.end());
    SealBlock(edid, 1);
    edid.changes.push_back(
        "A block map is added as block 1, as EDID 1.3 requires with more than one extension block; the blocks after "
        "it move up by one, unchanged.");
  }
  const int index = BlockCount(edid);
  edid.bytes.insert(edid.bytes.end(), block.begin(), block.end());
  SealBlock(edid, index);
  if (needs_map) {
    BlockOf(edid, 1)[static_cast<std::size_t>(index - 1)] = block[0];
    SealBlock(edid, 1);
  }
  edid.bytes[126] = static_cast<std::uint8_t>(index);
  SealBlock(edid, 0);
  return index;
}

}  // namespace zarn::modes
