#include "modes/cta_writer.h"

#include <algorithm>
#include <vector>

namespace zarn::modes {
namespace {

constexpr int kDtdSize = 18;

// Where the detailed timings start, and where the data blocks end: byte 2,
// which 0 leaves at 4 (no data blocks, no timings).
int DtdStart(std::span<const std::uint8_t> block) {
  const int start = block[2];
  return start == 0 ? 4 : start;
}

bool ZeroSlot(std::span<const std::uint8_t> block, int at) {
  return std::all_of(block.begin() + at, block.begin() + at + kDtdSize, [](std::uint8_t b) { return b == 0; });
}

// The offset of the first 18-byte slot after the detailed timings (and any
// display descriptors among them): the first that is all zero.
int EndOfDtds(std::span<const std::uint8_t> block) {
  int at = DtdStart(block);
  while (at + kDtdSize <= 127 && !ZeroSlot(block, at)) at += kDtdSize;
  return at;
}

// Each data block's offset, in order.
std::vector<int> DataBlocks(std::span<const std::uint8_t> block) {
  std::vector<int> offsets;
  const int end = DtdStart(block);
  for (int at = 4; at < end && at < 127; at += 1 + (block[static_cast<std::size_t>(at)] & 0x1F)) offsets.push_back(at);
  return offsets;
}

int Tag(std::span<const std::uint8_t> block, int at) { return block[static_cast<std::size_t>(at)] >> 5; }
int Length(std::span<const std::uint8_t> block, int at) { return block[static_cast<std::size_t>(at)] & 0x1F; }
bool IsExtended(std::span<const std::uint8_t> block, int at, int extended_tag) {
  return Tag(block, at) == 7 && Length(block, at) >= 1 && block[static_cast<std::size_t>(at) + 1] == extended_tag;
}

// The place of the short video descriptor at offset among all those of the
// block's video data blocks (what a 4:2:0 capability map counts); -1 when it
// is in none.
int SvdIndex(std::span<const std::uint8_t> block, int offset) {
  int index = 0;
  for (const int at : DataBlocks(block)) {
    if (Tag(block, at) != 2) continue;
    const int length = Length(block, at);
    if (offset > at && offset <= at + length) return index + offset - at - 1;
    index += length;
  }
  return -1;
}

// Takes one byte out of the block: what follows moves up, the last byte is 0.
void TakeOutByte(MutableBlock block, int offset) {
  std::copy(block.begin() + offset + 1, block.begin() + 127, block.begin() + offset);
  block[126] = 0;
  if (block[2] > offset) block[2] = static_cast<std::uint8_t>(block[2] - 1);
}

}  // namespace

BlockBytes NewCtaBlock(std::span<const std::uint8_t> first_cta) {
  BlockBytes b{};
  b[0] = 0x02;
  b[1] = 3;
  if (!first_cta.empty()) {
    // A further block: the same header flags as the first, and room for seven timings.
    b[3] = first_cta[3];
    b[2] = 4;
    return b;
  }
  b[3] = 0x80 | 0x01;  // IT formats underscanned; one native detailed timing, the base block's first
  const std::uint8_t data[] = {
      0xE2, 0x00, 0x4A,  // video capability: RGB quantization selectable, IT and CE underscanned
      0x41, 0x01,        // video data: VIC 1
  };
  std::copy(std::begin(data), std::end(data), b.begin() + 4);
  b[2] = static_cast<std::uint8_t>(4 + std::size(data));
  return b;
}

int CtaFreeDtdSlots(std::span<const std::uint8_t> block) {
  const int start = DtdStart(block);
  if (start < 4 || start > 127) return 0;
  int free = 0;
  for (int at = EndOfDtds(block); at + kDtdSize <= 127 && ZeroSlot(block, at); at += kDtdSize) ++free;
  return free;
}

int AddCtaDtd(MutableBlock block, const DetailedTimingDescriptor& descriptor) {
  if (CtaFreeDtdSlots(block) == 0) return -1;
  if (block[2] == 0) block[2] = 4;
  // After the last detailed timing: display descriptors after it move down.
  const int end = EndOfDtds(block);
  int at = DtdStart(block);
  while (at < end && (block[static_cast<std::size_t>(at)] | block[static_cast<std::size_t>(at) + 1]) != 0) {
    at += kDtdSize;
  }
  std::copy_backward(block.begin() + at, block.begin() + end, block.begin() + end + kDtdSize);
  std::copy(descriptor.begin(), descriptor.end(), block.begin() + at);
  return at;
}

void RemoveCtaDtd(MutableBlock block, int offset) {
  const int end = EndOfDtds(block);
  std::copy(block.begin() + offset + kDtdSize, block.begin() + end, block.begin() + offset);
  std::fill(block.begin() + end - kDtdSize, block.begin() + end, std::uint8_t{0});
}

void RemoveCtaDataByte(MutableBlock block, int data_block, int offset) {
  const int svd = Tag(block, data_block) == 2 ? SvdIndex(block, offset) : -1;
  TakeOutByte(block, offset);
  block[static_cast<std::size_t>(data_block)] =
      static_cast<std::uint8_t>(block[static_cast<std::size_t>(data_block)] - 1);
  // A data block with nothing left to say goes as a whole.
  const int left = Length(block, data_block) - (Tag(block, data_block) == 7 ? 1 : 0);
  if (left == 0) {
    for (int i = 0, n = 1 + Length(block, data_block); i < n; ++i) TakeOutByte(block, data_block);
  }
  if (svd < 0) return;
  for (const int at : DataBlocks(block)) {
    if (!IsExtended(block, at, 15) || Length(block, at) < 2) continue;
    // Bit i of the map (least significant first) is the i-th short video descriptor.
    const auto map = block.subspan(static_cast<std::size_t>(at) + 2, static_cast<std::size_t>(Length(block, at) - 1));
    const int bits = static_cast<int>(map.size()) * 8;
    for (int i = svd; i < bits; ++i) {
      const bool next = i + 1 < bits && (map[static_cast<std::size_t>((i + 1) / 8)] >> ((i + 1) % 8) & 1);
      auto& byte = map[static_cast<std::size_t>(i / 8)];
      byte = static_cast<std::uint8_t>(next ? byte | (1 << (i % 8)) : byte & ~(1 << (i % 8)));
    }
    // A map with no bit left would mark nothing, which an empty map cannot
    // say (it marks every descriptor): it goes.
    if (std::all_of(map.begin(), map.end(), [](std::uint8_t b) { return b == 0; })) {
      for (int i = 0, n = 1 + Length(block, at); i < n; ++i) TakeOutByte(block, at);
      break;
    }
  }
}

}  // namespace zarn::modes
