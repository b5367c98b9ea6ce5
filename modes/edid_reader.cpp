#include "modes/edid_reader.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>

#include "modes/cta.h"
#include "modes/cvt.h"
#include "modes/dmt.h"
#include "modes/edid_decoding.h"

namespace zarn::modes {
namespace edid_decoding {

std::string HexByte(int value) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%02x", static_cast<unsigned>(value & 0xFF));
  return text;
}

std::string HexList(Bytes bytes) {
  std::string text;
  for (const std::uint8_t byte : bytes) {
    char pair[4];
    std::snprintf(pair, sizeof pair, "%02x", static_cast<unsigned>(byte));
    if (!text.empty()) text += ' ';
    text += pair;
  }
  return text;
}

void AddTiming(DecodedEdid& edid, DisplayTiming timing, std::string origin, EdidTimingKind kind, EdidLocation location,
               bool preferred) {
  EdidTiming entry;
  timing.source = origin;
  entry.timing = std::move(timing);
  entry.origin = std::move(origin);
  entry.kind = kind;
  entry.location = location;
  entry.preferred = preferred;
  edid.timings.push_back(std::move(entry));
}

namespace {

std::string StereoText(std::uint8_t flags) {
  switch (((flags >> 4) & 0x06) | (flags & 0x01)) {
    case 2:
      return "field sequential, right during stereo sync";
    case 3:
      return "2-way interleaved, right image on even lines";
    case 4:
      return "field sequential, left during stereo sync";
    case 5:
      return "2-way interleaved, left image on even lines";
    case 6:
      return "4-way interleaved";
    case 7:
      return "side by side interleaved";
    default:
      return "";
  }
}

const char* SyncText(std::uint8_t flags) {
  switch ((flags >> 3) & 0x03) {
    case 0:
      return "analog composite";
    case 1:
      return "bipolar analog composite";
    case 2:
      return "digital composite";
    default:
      return "digital separate";
  }
}

}  // namespace

std::optional<EdidTiming> DetailedTiming(Bytes d, DecodedEdid& edid, const std::string& origin) {
  if (d.size() < 18) return std::nullopt;
  const int h_active = d[2] | (d[4] & 0xF0) << 4;
  const int h_blank = d[3] | (d[4] & 0x0F) << 8;
  const int v_active = d[5] | (d[7] & 0xF0) << 4;
  const int v_blank = d[6] | (d[7] & 0x0F) << 8;
  const int h_front = d[8] | (d[11] & 0xC0) << 2;
  const int h_sync = d[9] | (d[11] & 0x30) << 4;
  const int v_front = (d[10] >> 4) | (d[11] & 0x0C) << 2;
  const int v_sync = (d[10] & 0x0F) | (d[11] & 0x03) << 4;
  const std::uint8_t flags = d[17];

  DetailedTimingFacts facts;
  facts.image_width_mm = d[12] | (d[14] & 0xF0) << 4;
  facts.image_height_mm = d[13] | (d[14] & 0x0F) << 8;
  facts.h_border = d[15];
  facts.v_border = d[16];
  facts.sync = SyncText(flags);
  facts.stereo = StereoText(flags);

  // The blanking holds both borders: each is counted in the porch beside it.
  DisplayTiming t;
  t.pixel_clock_hz = static_cast<std::uint64_t>(Le16(d, 0)) * 10'000;
  t.h_active = h_active;
  t.h_front_porch = h_front + facts.h_border;
  t.h_sync = h_sync;
  t.h_back_porch = h_blank - h_front - h_sync - facts.h_border;
  t.v_active = v_active;
  t.v_front_porch = v_front + facts.v_border;
  t.v_sync = v_sync;
  t.v_back_porch = v_blank - v_front - v_sync - facts.v_border;
  t.interlaced = (flags & 0x80) != 0;
  t.v_half_line = t.interlaced;
  switch ((flags >> 3) & 0x03) {
    case 3:  // digital separate: bit 2 the vertical, bit 1 the horizontal polarity
      t.v_sync_positive = (flags & 0x04) != 0;
      t.h_sync_positive = (flags & 0x02) != 0;
      break;
    case 2:  // digital composite: bit 1 the polarity of the horizontal pulses
      t.h_sync_positive = (flags & 0x02) != 0;
      break;
    default:  // analog: the bits mean serration and sync on green
      break;
  }
  if (t.pixel_clock_hz < 10'000'000) {
    edid.warnings.push_back(origin + " has a pixel clock below 10 MHz, which no real display uses.");
  }
  if (h_active == 0 || v_active == 0) edid.warnings.push_back(origin + " has no active pixels or no active lines.");
  if (t.h_back_porch < 0 || t.v_back_porch < 0) {
    edid.warnings.push_back(origin + " has less blanking than its front porch, sync and borders take.");
  }
  EdidTiming entry;
  t.source = origin;
  entry.timing = std::move(t);
  entry.origin = origin;
  entry.kind = EdidTimingKind::DetailedTiming;
  entry.detail = std::move(facts);
  return entry;
}

void AddVic(DecodedEdid& edid, int vic, bool hdmi_vic, std::string origin, EdidTimingKind kind, EdidLocation location,
            bool native) {
  const Expected<DisplayTiming> timing = hdmi_vic ? HdmiVicTiming(vic) : VicTiming(vic);
  if (!timing) {
    edid.warnings.push_back("Block " + std::to_string(location.block) + " names " + (hdmi_vic ? "HDMI VIC " : "VIC ") +
                            std::to_string(vic) + ", which no known format has.");
    return;
  }
  AddTiming(edid, *timing, std::move(origin), kind, location);
  edid.timings.back().native = native;
}

void AddDmt(DecodedEdid& edid, int id, std::string origin, EdidTimingKind kind, EdidLocation location) {
  const Expected<DisplayTiming> timing = DmtTiming(id);
  if (!timing) {
    edid.warnings.push_back("Block " + std::to_string(location.block) + " names DMT " + HexByte(id) +
                            ", which no DMT mode has.");
    return;
  }
  AddTiming(edid, *timing, std::move(origin), kind, location);
}

void AddCvt(DecodedEdid& edid, int width, int height, int rate_hz, bool reduced, bool interlaced,
            const std::string& prefix, EdidTimingKind kind, EdidLocation location, bool preferred) {
  CvtOptions options;
  options.blanking = reduced ? CvtBlanking::ReducedV1 : CvtBlanking::Normal;
  options.interlaced = interlaced;
  const Expected<DisplayTiming> timing = CvtTiming(width, height, rate_hz, options);
  if (!timing) {
    edid.warnings.push_back(prefix + " offers " + std::to_string(width) + "x" + std::to_string(height) + " at " +
                            std::to_string(rate_hz) + " Hz, which CVT cannot make: " + timing.error());
    return;
  }
  AddTiming(edid, *timing, prefix + ": " + timing->source, kind, location, preferred);
}

namespace {

constexpr std::uint8_t kHeader[8] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};

std::string BlockName(std::uint8_t tag) {
  switch (tag) {
    case 0x02:
      return "CTA-861 Extension Block";
    case 0x10:
      return "Video Timing Extension Block";
    case 0x40:
      return "Display Information Extension Block";
    case 0x50:
      return "Localized String Extension Block";
    case 0x60:
      return "Digital Packet Video Link Extension";
    case 0x70:
      return "DisplayID Extension Block";
    case 0xF0:
      return "Block Map Extension Block";
    case 0xFF:
      return "Manufacturer-Specific Extension Block";
    default:
      return "Unknown Extension Block (tag " + HexByte(tag) + ")";
  }
}

void DecodeBlockMap(DecodedEdid& edid, int index) {
  EdidBlockInfo& block = edid.blocks[static_cast<std::size_t>(index)];
  std::string tags;
  for (std::size_t i = 1; i < 127; ++i) {
    if (block.bytes[i] == 0) continue;
    tags += (tags.empty() ? "" : ", ") + std::string("block ") + std::to_string(index + static_cast<int>(i)) + ": " +
            HexByte(block.bytes[i]);
  }
  block.lines.push_back(tags.empty() ? "No blocks mapped" : "Maps " + tags);
}

}  // namespace
}  // namespace edid_decoding

Expected<DecodedEdid> DecodeEdid(std::span<const std::uint8_t> bytes) {
  using namespace edid_decoding;
  if (bytes.size() < 128) {
    return Expected<DecodedEdid>::Failure("An EDID has at least 128 bytes, and this one has " +
                                          std::to_string(bytes.size()) + ".");
  }
  if (!std::equal(std::begin(kHeader), std::end(kHeader), bytes.begin())) {
    return Expected<DecodedEdid>::Failure(
        "These bytes do not start with the EDID header 00 ff ff ff ff ff ff 00, so they are no EDID.");
  }
  DecodedEdid edid;
  const std::size_t whole = bytes.size() / 128;
  edid.bytes.assign(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(whole * 128));
  edid.declared_extensions = bytes[126];
  if (bytes.size() % 128 != 0) {
    edid.warnings.push_back("The last " + std::to_string(bytes.size() % 128) +
                            " bytes do not make a whole block of 128 and are left out.");
  }
  if (whole - 1 < static_cast<std::size_t>(edid.declared_extensions)) {
    edid.warnings.push_back("The base block announces " + std::to_string(edid.declared_extensions) +
                            " extension blocks, but only " + std::to_string(whole - 1) + " are there.");
  } else if (whole - 1 > static_cast<std::size_t>(edid.declared_extensions)) {
    edid.warnings.push_back("The base block announces " + std::to_string(edid.declared_extensions) +
                            " extension blocks, and " + std::to_string(whole - 1) + " follow it.");
  }
  for (std::size_t i = 0; i < whole; ++i) {
    EdidBlockInfo block;
    block.index = static_cast<int>(i);
    std::copy_n(edid.bytes.begin() + static_cast<std::ptrdiff_t>(i * 128), 128, block.bytes.begin());
    block.tag = i == 0 ? 0 : block.bytes[0];
    block.name = i == 0 ? "Base EDID" : BlockName(block.tag);
    unsigned sum = 0;
    for (std::size_t j = 0; j < 127; ++j) sum += block.bytes[j];
    block.checksum = block.bytes[127];
    block.expected_checksum = static_cast<std::uint8_t>((256 - sum % 256) % 256);
    block.checksum_ok = block.checksum == block.expected_checksum;
    if (!block.checksum_ok) {
      edid.warnings.push_back("Block " + std::to_string(i) + " has the checksum " + HexByte(block.checksum) +
                              " where " + HexByte(block.expected_checksum) + " makes its bytes add up.");
    }
    edid.blocks.push_back(block);
  }
  DecodeBaseBlock(edid);
  for (std::size_t i = 1; i < whole; ++i) {
    const int index = static_cast<int>(i);
    switch (edid.blocks[i].tag) {
      case 0x02:
        DecodeCtaBlock(edid, index);
        break;
      case 0x70:
        DecodeDisplayIdBlock(edid, index);
        break;
      case 0xF0:
        DecodeBlockMap(edid, index);
        break;
      default:
        edid.blocks[i].lines.push_back("Kept as bytes");
        if (edid.blocks[i].name.starts_with("Unknown")) {
          edid.warnings.push_back("Block " + std::to_string(i) + " has the unknown tag " + HexByte(edid.blocks[i].tag) +
                                  " and is kept as bytes.");
        }
        break;
    }
  }
  return edid;
}

}  // namespace zarn::modes
