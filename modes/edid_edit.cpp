// Adding a timing, making one preferred, the display name and the checksums.
#include "modes/edid_edit.h"

#include <algorithm>

#include "modes/displayid_writer.h"
#include "modes/edid_editing.h"
#include "modes/typed_text.h"

namespace zarn::modes {

using namespace edid_editing;

namespace {

using Result = Expected<EdidEdited>;
constexpr int kFirstSlot = 54;
constexpr std::size_t kSlotSize = 18;

const EdidTiming* Offered(const DecodedEdid& edid, const DisplayTiming& timing) {
  for (const EdidTiming& t : edid.timings) {
    if (SameFigures(t.timing, timing)) return &t;
  }
  return nullptr;
}

const EdidTiming* FirstDtd(const DecodedEdid& edid) {
  for (const EdidTiming& t : edid.timings) {
    if (t.kind == EdidTimingKind::DetailedTiming && t.location.block == 0 && t.location.offset == kFirstSlot) return &t;
  }
  return nullptr;
}

// The detailed timing descriptor (base or CTA-861) or DisplayID detailed
// timing that has these figures.
const EdidTiming* DetailedWith(const DecodedEdid& edid, const DisplayTiming& timing, bool display_id) {
  for (const EdidTiming& t : edid.timings) {
    const bool detailed = display_id
                              ? (t.kind == EdidTimingKind::DisplayIdType7 || t.kind == EdidTimingKind::DisplayIdType1)
                              : t.kind == EdidTimingKind::DetailedTiming;
    if (detailed && SameFigures(t.timing, timing)) return &t;
  }
  return nullptr;
}

void SwapSlots(Draft& draft, const EdidLocation& other) {
  auto base = BlockOf(draft.edited, 0);
  auto block = BlockOf(draft.edited, other.block);
  std::swap_ranges(base.begin() + kFirstSlot, base.begin() + kFirstSlot + kSlotSize, block.begin() + other.offset);
  SealBlock(draft.edited, 0);
  if (other.block != 0) SealBlock(draft.edited, other.block);
}

// A timing no detailed timing descriptor holds: the preferred one of DisplayID.
std::string PreferInDisplayId(Draft& draft, const DisplayTiming& timing) {
  const EdidTiming* first = FirstDtd(draft.decoded);
  const std::string keeps = "; software that reads only the base block keeps DTD 1" +
                            (first ? " (" + FiguresText(first->timing) + ")" : std::string()) +
                            " as its preferred timing.";
  if (const EdidTiming* there = DetailedWith(draft.decoded, timing, true)) {
    const EdidLocation at = there->location;
    const std::string origin = there->origin;
    KeepOneDisplayIdPreferred(draft, at.block, at.offset);
    draft.edited.changes.push_back(origin + " of block " + std::to_string(at.block) + ", " + TimingText(timing) +
                                   ", is now the preferred timing of the DisplayID data" + keeps);
    return {};
  }
  const Expected<Placed> placed = PlaceTiming(draft, timing, true);
  if (!placed) return placed.error();
  draft.edited.changes.push_back(TimingText(timing) + " is added as " + placed->where +
                                 ", marked as the preferred timing of the DisplayID data" + keeps);
  return {};
}

// Why a preferred timing of another size than DTD 1 would contradict the
// native format that a CTA-861 block names (DTD 1 counted native, a VIC
// marked native, or a first VIC of DTD 1's size); empty when it would not.
std::string NativeConflict(const DecodedEdid& edid, const EdidTiming* first, const DisplayTiming& timing) {
  if (first == nullptr || (first->timing.h_active == timing.h_active && first->timing.v_active == timing.v_active &&
                           first->timing.interlaced == timing.interlaced)) {
    return {};
  }
  std::string named;
  for (const EdidBlockInfo& block : edid.blocks) {
    if (block.tag == 0x02 && (block.bytes[3] & 0x0F) != 0) named = "DTD 1 is counted native";
  }
  bool first_vic = true;
  for (const EdidTiming& t : edid.timings) {
    if (t.kind != EdidTimingKind::Vic) continue;
    if (t.native) named = t.origin + " is marked native";
    // The first VIC is CTA-861's preferred format where no DTD counts native.
    const bool same = t.timing.h_active == first->timing.h_active && t.timing.v_active == first->timing.v_active;
    if (first_vic && same && named.empty()) named = t.origin + " comes first";
    first_vic = false;
  }
  if (named.empty()) return {};
  return "The CTA-861 data names the display's native format (" + named + "), of DTD 1's size " +
         std::to_string(first->timing.h_active) + "x" + std::to_string(first->timing.v_active) +
         "; a preferred timing of another size, " + FiguresText(timing) +
         ", would contradict it. Add it instead (--add), or prefer a timing of the native size.";
}

std::string PreferAsDtd(Draft& draft, const DisplayTiming& timing, const DetailedTimingDescriptor& descriptor) {
  const EdidTiming* first = FirstDtd(draft.decoded);
  if (std::string conflict = NativeConflict(draft.decoded, first, timing); !conflict.empty()) return conflict;
  if (const EdidTiming* there = DetailedWith(draft.decoded, timing, false)) {
    const std::string origin = there->origin;
    const std::string was = first ? " (" + FiguresText(first->timing) + ")" : std::string();
    SwapSlots(draft, there->location);
    draft.edited.changes.push_back(origin + " (" + FiguresText(timing) + ") and DTD 1" + was +
                                   " change places: it is now the preferred timing.");
    return {};
  }
  std::array<std::uint8_t, kSlotSize> old{};
  const auto base = BlockOf(draft.edited, 0);
  std::copy_n(base.begin() + kFirstSlot, kSlotSize, old.begin());
  bool moved = false;
  if (ArrangeBaseDescriptors(draft, &descriptor, true, moved) == 0) {
    draft.edited.changes.push_back(
        TimingText(timing) + " is now DTD 1 of the base block, the preferred timing" +
        (first ? "; what was DTD 1 (" + FiguresText(first->timing) + ") follows as DTD 2" : std::string()) +
        (moved ? ", and the descriptors after it move down a slot." : "."));
    return {};
  }
  if (!first) return "The base block's first descriptor holds no timing, and no descriptor is free to take its place.";
  const DisplayTiming first_timing = first->timing;
  // DTD 1 moves out to a CTA-861 block, and the timing takes its place.
  DetailedTimingDescriptor moving{};
  std::copy(old.begin(), old.end(), moving.begin());
  const Expected<Placed> placed = PlaceDescriptor(draft, moving, false);
  if (!placed) return placed.error();
  std::copy(descriptor.begin(), descriptor.end(), BlockOf(draft.edited, 0).begin() + kFirstSlot);
  SealBlock(draft.edited, 0);
  draft.edited.changes.push_back(TimingText(timing) +
                                 " is now DTD 1 of the base block, the preferred timing; what was "
                                 "DTD 1 (" +
                                 FiguresText(first_timing) + ") moves to " + placed->where + ".");
  return {};
}

// Where a CTA-861 block counts no detailed timing native and its first VIC
// (its preferred format) is now the same as DTD 1, it counts DTD 1 native,
// as readers expect of such a display.
void CountFirstDtdNative(Draft& draft) {
  Redecode(draft);
  const EdidTiming* first = FirstDtd(draft.decoded);
  const auto vic = std::find_if(draft.decoded.timings.begin(), draft.decoded.timings.end(),
                                [](const EdidTiming& t) { return t.kind == EdidTimingKind::Vic; });
  if (first == nullptr || vic == draft.decoded.timings.end() || !SameFigures(first->timing, vic->timing)) return;
  for (int i = 1; i < BlockCount(draft.edited); ++i) {
    const auto block = BlockOf(draft.edited, i);
    if (block[0] != 0x02 || (block[3] & 0x0F) != 0) continue;
    block[3] = static_cast<std::uint8_t>(block[3] | 0x01);
    SealBlock(draft.edited, i);
    draft.edited.changes.push_back("CTA-861 block " + std::to_string(i) + " counts DTD 1 native: it is " + vic->origin +
                                   ", the block's preferred format.");
  }
}

}  // namespace

Result PreferTiming(std::span<const std::uint8_t> bytes, const DisplayTiming& asked, const TimingEditOptions& options) {
  Expected<Draft> started = StartEdit(bytes);
  if (!started) return Result::Failure(started.error());
  Draft draft = *started;
  const DisplayTiming timing = RoundedWhenAsked(draft, asked, options.round_clock);
  if (const EdidTiming* first = FirstDtd(draft.decoded); first && SameFigures(first->timing, timing)) {
    return Result::Failure("DTD 1, the preferred timing, has the figures of " + TimingText(timing) + " already.");
  }
  const std::vector<EdidTiming> before = draft.decoded.timings;
  const Expected<DetailedTimingDescriptor> descriptor = DescribeTimingFor(draft.decoded, timing);
  const std::string problem = descriptor ? PreferAsDtd(draft, timing, *descriptor) : PreferInDisplayId(draft, timing);
  if (!problem.empty()) return Result::Failure(problem);
  if (std::string widen = WidenRangeLimits(draft, before, timing); !widen.empty())
    return Result::Failure(std::move(widen));
  if (descriptor) CountFirstDtdNative(draft);
  return FinishEdit(std::move(draft));
}

Result AddTiming(std::span<const std::uint8_t> bytes, const DisplayTiming& asked, const TimingEditOptions& options) {
  Expected<Draft> started = StartEdit(bytes);
  if (!started) return Result::Failure(started.error());
  Draft draft = *started;
  const DisplayTiming timing = RoundedWhenAsked(draft, asked, options.round_clock);
  if (const EdidTiming* there = Offered(draft.decoded, timing)) {
    return Result::Failure("The EDID offers " + TimingText(timing) + " already, as " + there->origin + ".");
  }
  const std::vector<EdidTiming> before = draft.decoded.timings;
  const Expected<Placed> placed = PlaceTiming(draft, timing, false);
  if (!placed) return Result::Failure(placed.error());
  draft.edited.changes.push_back(TimingText(timing) + " is added as " + placed->where + ".");
  if (std::string widen = WidenRangeLimits(draft, before, timing); !widen.empty())
    return Result::Failure(std::move(widen));
  return FinishEdit(std::move(draft));
}

Result SetDisplayName(std::span<const std::uint8_t> bytes, std::string_view name) {
  if (std::string problem = DisplayNameProblem(name); !problem.empty()) return Result::Failure(std::move(problem));
  Expected<Draft> started = StartEdit(bytes);
  if (!started) return Result::Failure(started.error());
  Draft draft = *started;
  int slot = -1;
  for (const EdidDataBlock& d : draft.decoded.descriptors) {
    if (d.tag == 0xFC) {
      slot = d.offset;
      break;
    }
  }
  const bool named = slot >= 0;
  for (const EdidDataBlock& d : draft.decoded.descriptors) {
    if (slot < 0 && d.tag == 0x10) slot = d.offset;
  }
  if (slot < 0) {
    return Result::Failure("The EDID has no display name, and no free descriptor in its base block to hold one.");
  }
  const auto d = BlockOf(draft.edited, 0).subspan(static_cast<std::size_t>(slot), kSlotSize);
  std::fill(d.begin(), d.end(), std::uint8_t{0});
  d[3] = 0xFC;
  std::fill(d.begin() + 5, d.end(), std::uint8_t{0x20});
  std::copy(name.begin(), name.end(), d.begin() + 5);
  if (name.size() < kMaxDisplayNameLength) d[5 + name.size()] = 0x0A;
  SealBlock(draft.edited, 0);
  draft.edited.changes.push_back(
      named ? "The display name changes from " + Quoted(draft.decoded.name.value_or(""), '"') + " to " +
                  Quoted(name, '"') + "."
            : "A free descriptor of the base block becomes the display name " + Quoted(name, '"') + ".");
  return FinishEdit(std::move(draft));
}

Result MendChecksums(std::span<const std::uint8_t> bytes) {
  Expected<Draft> started = StartEdit(bytes);
  if (!started) return Result::Failure(started.error());
  Draft draft = *started;
  for (int i = 0; i < BlockCount(draft.edited); ++i) {
    const auto block = BlockOf(draft.edited, i);
    if (i > 0 && block[0] == 0x70 && block[2] <= 121) {
      const std::uint8_t was = block[5 + block[2]];
      SealDisplayIdSection(block);
      if (block[5 + block[2]] != was) {
        draft.edited.changes.push_back("The DisplayID section of block " + std::to_string(i) + " has the checksum " +
                                       HexByteText(block[5 + block[2]]) + " where it had " + HexByteText(was) + ".");
      }
    }
    const std::uint8_t was = block[127];
    SealBlock(draft.edited, i);
    if (block[127] != was) {
      draft.edited.changes.push_back("Block " + std::to_string(i) + " has the checksum " + HexByteText(block[127]) +
                                     " where it had " + HexByteText(was) + ".");
    }
  }
  draft.checksum_ok.assign(draft.checksum_ok.size(), true);  // said above, block by block
  return FinishEdit(std::move(draft));
}

}  // namespace zarn::modes
