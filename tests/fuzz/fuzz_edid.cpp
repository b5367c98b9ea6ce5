// Arbitrary bytes for the EDID reader: read as an EDID and, as text, as a hex
// dump; both texts of every decoding; the edits of an EDID made to them. Nothing may crash or trip a sanitizer;
// a decoding must succeed exactly when there is a base block, every timing
// must point inside its block, and the JSON must be valid UTF-8.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string_view>

#include "modes/edid.h"
#include "modes/edid_edit.h"
#include "modes/edid_hex.h"
#include "modes/edid_reader.h"
#include "modes/edid_text.h"

namespace {

void Check(std::span<const std::uint8_t> bytes) {
  using namespace zarn::modes;
  const Expected<DecodedEdid> edid = DecodeEdid(bytes);
  constexpr std::uint8_t kHeader[8] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
  const bool base_block = bytes.size() >= 128 && std::equal(kHeader, kHeader + 8, bytes.begin());
  if (edid.ok() != base_block) std::abort();
  if (!edid) return;
  for (const EdidTiming& t : edid->timings) {
    if (t.location.block < 0 || static_cast<std::size_t>(t.location.block) >= edid->blocks.size()) std::abort();
    if (t.location.offset < 0 || t.location.offset + t.location.length > 128) std::abort();
  }
  const std::string json = EdidJson(*edid);
  if (json.front() != '{' || json.back() != '}' || ValidUtf8(json) != json) std::abort();
  if (EdidReport(*edid).empty()) std::abort();
  // Each edit is made or refused; what it makes is whole blocks that read as an EDID.
  DisplayTiming timing;
  timing.h_active = 3840, timing.h_front_porch = 8, timing.h_sync = 32, timing.h_back_porch = 40;
  timing.v_active = 2160, timing.v_front_porch = 140, timing.v_sync = 8, timing.v_back_porch = 6;
  timing.pixel_clock_hz = 1'306'206'000;
  RangeLimitsEdit range;
  range.min_v_rate_hz = 48, range.max_v_rate_hz = 144, range.range_limits_only = true;
  const std::string removed[] = {"1", "2", "DTD 2", "VIC 1"};
  for (const Expected<EdidEdited>& edited :
       {AddTiming(bytes, timing), PreferTiming(bytes, timing), AddTiming(bytes, WithDescriptorClock(timing)),
        RemoveTimings(bytes, removed), SetRangeLimits(bytes, range), SetDisplayName(bytes, "Fuzz"),
        MendChecksums(bytes)}) {
    if (edited && (edited->bytes.size() % 128 != 0 || !DecodeEdid(edited->bytes))) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  Check(bytes);
  const auto from_file = zarn::modes::EdidBytesFromFile(std::string_view(reinterpret_cast<const char*>(data), size));
  if (from_file) Check(*from_file);
  return 0;
}
