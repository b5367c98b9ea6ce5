// An edit in progress: its decoding, the texts of its changes, and the
// detailed timing descriptor of a timing for this display.
#include <algorithm>
#include <cstdlib>

#include "modes/decimal.h"
#include "modes/edid_editing.h"
#include "modes/edid_reader.h"

namespace zarn::modes::edid_editing {

Expected<Draft> StartEdit(std::span<const std::uint8_t> bytes) {
  const Expected<DecodedEdid> decoded = DecodeEdid(bytes);
  if (!decoded) return Expected<Draft>::Failure(decoded.error());
  Draft draft;
  draft.decoded = *decoded;
  draft.edited.bytes = decoded->bytes;
  for (const EdidBlockInfo& block : decoded->blocks) draft.checksum_ok.push_back(block.checksum_ok);
  draft.block_map_given = decoded->blocks.size() > 1 && decoded->blocks[1].tag == 0xF0;
  if (bytes.size() % kEdidBlockSize != 0) {
    draft.edited.changes.push_back("The last " + std::to_string(bytes.size() % kEdidBlockSize) +
                                   " bytes, which do not make a whole block of 128, are left out.");
  }
  return draft;
}

void Redecode(Draft& draft) {
  const Expected<DecodedEdid> decoded = DecodeEdid(draft.edited.bytes);
  if (decoded) draft.decoded = *decoded;
}

EdidEdited FinishEdit(Draft&& draft) {
  // A block map put in as block 1 moves the extensions after it by one.
  const bool map_added = !draft.block_map_given && draft.edited.bytes.size() > kEdidBlockSize &&
                         draft.edited.bytes[kEdidBlockSize] == 0xF0;
  for (std::size_t i = 0; i < draft.checksum_ok.size(); ++i) {
    if (draft.checksum_ok[i]) continue;
    const std::size_t now = i + (map_added && i > 0 ? 1 : 0);
    const std::span<const std::uint8_t> block(draft.edited.bytes.data() + now * kEdidBlockSize, kEdidBlockSize);
    if (now * kEdidBlockSize < draft.edited.bytes.size() && BlockChecksum(block) == block[127]) {
      draft.edited.changes.push_back("Block " + std::to_string(now) +
                                     " had a wrong checksum; with its changes it has the right one.");
    }
  }
  return std::move(draft.edited);
}

std::string FiguresText(const DisplayTiming& t) {
  const std::string size = std::to_string(t.h_active) + "x" +
                           std::to_string(t.interlaced ? 2 * t.v_active : t.v_active) + (t.interlaced ? "i" : "");
  return size + " at " + FixedDecimal(t.field_rate_hz(), 3) + " Hz, " + ScaledDecimal(t.pixel_clock_hz, 6, 2) + " MHz";
}

std::string TimingText(const DisplayTiming& t) { return t.source + " (" + FiguresText(t) + ")"; }

Expected<DetailedTimingDescriptor> DescribeTimingFor(const DecodedEdid& edid, const DisplayTiming& timing) {
  Expected<DetailedTimingDescriptor> described = DescribeTiming(timing);
  if (!described) return described;
  DetailedTimingDescriptor d = *described;
  // Readers compare every descriptor's image size with the screen size: the
  // first timing's where it agrees with that, else the screen size itself.
  const std::vector<std::uint8_t>& b = edid.bytes;
  int width = edid.screen_width_cm * 10, height = edid.screen_height_cm * 10;
  const int first_width = b[66] | (b[68] >> 4) << 8, first_height = b[67] | (b[68] & 0x0F) << 8;
  if ((b[54] != 0 || b[55] != 0) && std::abs(first_width - width) <= 9 && std::abs(first_height - height) <= 9) {
    width = first_width;
    height = first_height;
  }
  d[12] = static_cast<std::uint8_t>(width & 0xFF);
  d[13] = static_cast<std::uint8_t>(height & 0xFF);
  d[14] = static_cast<std::uint8_t>(((width >> 8) << 4) | (height >> 8));
  return d;
}

DisplayTiming RoundedWhenAsked(Draft& draft, const DisplayTiming& timing, bool round_clock) {
  if (!round_clock) return timing;
  const DisplayTiming rounded = WithDescriptorClock(timing);
  if (rounded.pixel_clock_hz != timing.pixel_clock_hz) {
    draft.edited.changes.push_back(
        "The pixel clock of " + timing.source + " is rounded from " + ScaledDecimal(timing.pixel_clock_hz, 6, 0) +
        " to " + ScaledDecimal(rounded.pixel_clock_hz, 6, 0) + " MHz, the nearest 10 kHz step; its refresh rate is " +
        FixedDecimal(rounded.field_rate_hz(), 3) + " Hz instead of " + FixedDecimal(timing.field_rate_hz(), 3) +
        " Hz.");
  }
  return rounded;
}

}  // namespace zarn::modes::edid_editing
