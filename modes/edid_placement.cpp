// Where a new timing goes: a detailed timing descriptor in the base block or
// a CTA-861 block, else a DisplayID detailed timing.
#include <algorithm>
#include <array>
#include <cctype>

#include "modes/cta_writer.h"
#include "modes/displayid_writer.h"
#include "modes/edid_editing.h"

namespace zarn::modes::edid_editing {
namespace {

constexpr int kFirstSlot = 54;
constexpr int kSlotSize = 18;

bool IsDtd(std::span<const std::uint8_t> slot) { return slot[0] != 0 || slot[1] != 0; }
bool IsDummy(std::span<const std::uint8_t> slot) { return !IsDtd(slot) && slot[3] == 0x10; }

std::vector<int> BlocksTagged(const Draft& draft, std::uint8_t tag) {
  std::vector<int> found;
  for (int i = 1; i < BlockCount(draft.edited); ++i) {
    if (draft.edited.bytes[static_cast<std::size_t>(i) * kEdidBlockSize] == tag) found.push_back(i);
  }
  return found;
}

// The base block's first detailed timing, for the pixels a new DisplayID
// block states as native.
const DisplayTiming* FirstDetailedTiming(const DecodedEdid& edid) {
  for (const EdidTiming& t : edid.timings) {
    if (t.kind == EdidTimingKind::DetailedTiming && t.location.block == 0 && t.location.offset == kFirstSlot) {
      return &t.timing;
    }
  }
  return nullptr;
}

Expected<Placed> PlaceInDisplayId(Draft& draft, const DisplayTiming& timing, bool preferred, const std::string& why) {
  const std::vector<int> blocks = BlocksTagged(draft, 0x70);
  const bool type7 = blocks.empty() || IsDisplayId2(BlockOf(draft.edited, blocks.front()));
  const Expected<DisplayIdDescriptor> descriptor = DescribeDisplayIdTiming(timing, type7, preferred);
  if (!descriptor) {
    std::string reason = descriptor.error();
    reason[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(reason[0])));
    return Expected<Placed>::Failure(why +
                                     (type7 ? " Nor does it fit a DisplayID timing: "
                                            : " Nor does it fit the type I timing of this EDID's DisplayID 1.x "
                                              "block: ") +
                                     reason);
  }
  const std::string kind = type7 ? " (type VII)" : " (type I)";
  for (const int index : blocks) {
    const int offset = AddDisplayIdTiming(BlockOf(draft.edited, index), *descriptor);
    if (offset < 0) continue;
    SealBlock(draft.edited, index);
    return Placed{"a detailed timing" + kind + " of DisplayID block " + std::to_string(index), index, offset};
  }
  // The native pixels: the preferred timing's, else DTD 1's; none where a
  // CTA-861 block names the native format its own way.
  const DisplayTiming* native = preferred ? &timing : FirstDetailedTiming(draft.decoded);
  if (!BlocksTagged(draft, 0x02).empty()) native = nullptr;
  BlockBytes fresh = NewDisplayIdBlock(draft.decoded, native, blocks.empty());
  if (!blocks.empty()) {
    // A further section of the same version, counted in the first.
    const auto first = BlockOf(draft.edited, blocks.front());
    fresh[1] = first[1];
    first[4] = static_cast<std::uint8_t>(first[4] + 1);
    SealDisplayIdSection(first);
    SealBlock(draft.edited, blocks.front());
  }
  // DisplayID wants a preferred timing of its own: the base block's, repeated.
  const DisplayTiming* first_dtd = FirstDetailedTiming(draft.decoded);
  std::string repeated;
  if (blocks.empty() && !preferred) {
    const Expected<DisplayIdDescriptor> preferred_copy =
        first_dtd && first_dtd->pixel_clock_hz >= kMinDescriptorClockHz
            ? DescribeDisplayIdTiming(*first_dtd, true, true)
            : Expected<DisplayIdDescriptor>::Failure("the base block has no detailed timing that readers take.");
    if (!preferred_copy) {
      return Expected<Placed>::Failure(why +
                                       " A new DisplayID block needs a preferred timing, and DTD 1 cannot be "
                                       "it: " +
                                       preferred_copy.error());
    }
    AddDisplayIdTiming(fresh, *preferred_copy);
    repeated = " (which repeats DTD 1, " + FiguresText(*first_dtd) +
               ", as its preferred timing: DisplayID needs one of its own)";
  }
  const Expected<int> index = AppendExtensionBlock(draft.edited, fresh);
  if (!index) return Expected<Placed>::Failure(index.error());
  const int offset = AddDisplayIdTiming(BlockOf(draft.edited, *index), *descriptor);
  SealBlock(draft.edited, *index);
  return Placed{"a detailed timing" + kind + " of the new DisplayID " + (type7 ? "2.0" : "1.x") + " block " +
                    std::to_string(*index) + repeated,
                *index, offset};
}

}  // namespace

int ArrangeBaseDescriptors(Draft& draft, const DetailedTimingDescriptor* added, bool first, bool& moved) {
  const auto base = BlockOf(draft.edited, 0);
  std::vector<std::array<std::uint8_t, kSlotSize>> dtds, displays, dummies;
  for (int slot = 0; slot < 4; ++slot) {
    std::array<std::uint8_t, kSlotSize> bytes{};
    std::copy_n(base.begin() + kFirstSlot + slot * kSlotSize, kSlotSize, bytes.begin());
    (IsDtd(bytes) ? dtds : IsDummy(bytes) ? dummies : displays).push_back(bytes);
  }
  int at = -1;
  if (added != nullptr) {
    if (dummies.empty()) return -1;
    dummies.pop_back();
    std::array<std::uint8_t, kSlotSize> bytes{};
    std::copy(added->begin(), added->end(), bytes.begin());
    at = first ? 0 : static_cast<int>(dtds.size());
    dtds.insert(dtds.begin() + at, bytes);
  }
  std::vector<std::array<std::uint8_t, kSlotSize>> order = dtds;
  order.insert(order.end(), displays.begin(), displays.end());
  order.insert(order.end(), dummies.begin(), dummies.end());
  moved = false;
  for (int slot = 0; slot < 4; ++slot) {
    const auto target = base.begin() + kFirstSlot + slot * kSlotSize;
    const auto& bytes = order[static_cast<std::size_t>(slot)];
    if (slot != at && !std::equal(bytes.begin(), bytes.end(), target)) moved = true;
    std::copy(bytes.begin(), bytes.end(), target);
  }
  SealBlock(draft.edited, 0);
  return at;
}

Expected<Placed> PlaceDescriptor(Draft& draft, const DetailedTimingDescriptor& descriptor, bool first) {
  bool moved = false;
  const int slot = ArrangeBaseDescriptors(draft, &descriptor, first, moved);
  if (slot >= 0) {
    return Placed{"DTD " + std::to_string(slot + 1) + " of the base block" +
                      (moved ? " (the descriptors after it move down a slot)" : ""),
                  0, kFirstSlot + slot * kSlotSize};
  }
  if (first) {
    return Expected<Placed>::Failure(
        "The base block has no free descriptor to make room for a new DTD 1: each holds a timing, a name, a serial "
        "number or other data.");
  }
  for (const int index : BlocksTagged(draft, 0x02)) {
    const int offset = AddCtaDtd(BlockOf(draft.edited, index), descriptor);
    if (offset < 0) continue;
    SealBlock(draft.edited, index);
    return Placed{"a detailed timing of CTA-861 block " + std::to_string(index), index, offset};
  }
  const std::vector<int> cta = BlocksTagged(draft, 0x02);
  const BlockBytes fresh =
      cta.empty() ? NewCtaBlock({}) : NewCtaBlock(std::span<const std::uint8_t>(BlockOf(draft.edited, cta.front())));
  const Expected<int> index = AppendExtensionBlock(draft.edited, fresh);
  if (!index) return Expected<Placed>::Failure(index.error());
  const int offset = AddCtaDtd(BlockOf(draft.edited, *index), descriptor);
  SealBlock(draft.edited, *index);
  return Placed{"a detailed timing of the new CTA-861 block " + std::to_string(*index), *index, offset};
}

Expected<Placed> PlaceTiming(Draft& draft, const DisplayTiming& timing, bool preferred) {
  const Expected<DetailedTimingDescriptor> descriptor = DescribeTimingFor(draft.decoded, timing);
  if (descriptor && !preferred) return PlaceDescriptor(draft, *descriptor, false);
  const std::string why = descriptor ? std::string() : descriptor.error();
  const Expected<Placed> placed = PlaceInDisplayId(draft, timing, preferred, why);
  if (placed && preferred) KeepOneDisplayIdPreferred(draft, placed->block, placed->offset);
  return placed;
}

void KeepOneDisplayIdPreferred(Draft& draft, int block, int offset) {
  Redecode(draft);
  for (const EdidTiming& t : draft.decoded.timings) {
    if (t.kind != EdidTimingKind::DisplayIdType7 && t.kind != EdidTimingKind::DisplayIdType1) continue;
    const auto bytes = BlockOf(draft.edited, t.location.block);
    std::uint8_t& flags = bytes[static_cast<std::size_t>(t.location.offset) + 3];
    const bool keep = t.location.block == block && t.location.offset == offset;
    const std::uint8_t wanted = static_cast<std::uint8_t>(keep ? flags | 0x80 : flags & 0x7F);
    if (wanted == flags) continue;
    flags = wanted;
    SealDisplayIdSection(bytes);
    SealBlock(draft.edited, t.location.block);
    if (!keep) {
      draft.edited.changes.push_back(t.origin + " of block " + std::to_string(t.location.block) +
                                     " is no longer marked preferred.");
    }
  }
  Redecode(draft);
}

}  // namespace zarn::modes::edid_editing
