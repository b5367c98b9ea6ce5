// A DisplayID extension block (version 1.x or 2.x): its data blocks and the
// timings they offer.
#include <string>

#include "modes/edid_decoding.h"

namespace zarn::modes::edid_decoding {
namespace {

struct Section {
  DecodedEdid& edid;
  int block;
  bool v2;
};

// Type I (1.x, clock in 10 kHz steps) and type VII (2.x, in 1 kHz steps)
// describe a timing in 20 bytes, each figure less one. The vertical figures of
// an interlaced timing are those of the frame: each field has half of them
// and half a line more.
void DetailedTimings(Section& s, Bytes p, int offset, bool type7) {
  const std::string kind = type7 ? "DisplayID Type VII " : "DisplayID Type I ";
  static constexpr const char* kStereo[4] = {"", "stereo", "stereo or mono as the user picks", "reserved"};
  for (std::size_t at = 0; at + 20 <= p.size(); at += 20) {
    int count = 0;
    for (const EdidTiming& t : s.edid.timings) {
      count += t.kind == (type7 ? EdidTimingKind::DisplayIdType7 : EdidTimingKind::DisplayIdType1) ? 1 : 0;
    }
    const Bytes d = p.subspan(at, 20);
    const std::uint64_t step = type7 ? 1'000 : 10'000;
    DisplayTiming t;
    t.pixel_clock_hz = (static_cast<std::uint64_t>(Le24(d, 0)) + 1) * step;
    const bool interlaced = (d[3] & 0x10) != 0;
    const int h_blank = Le16(d, 6) + 1;
    t.h_active = Le16(d, 4) + 1;
    t.h_front_porch = (Le16(d, 8) & 0x7FFF) + 1;
    t.h_sync_positive = (d[9] & 0x80) != 0;
    t.h_sync = Le16(d, 10) + 1;
    t.h_back_porch = h_blank - t.h_front_porch - t.h_sync;
    const int v_active = Le16(d, 12) + 1;
    const int v_blank = Le16(d, 14) + 1;
    const int v_front = (Le16(d, 16) & 0x7FFF) + 1;
    const int v_sync = Le16(d, 18) + 1;
    t.v_sync_positive = (d[17] & 0x80) != 0;
    const int halve = interlaced ? 2 : 1;
    t.v_active = v_active / halve;
    t.v_front_porch = v_front / halve;
    t.v_sync = v_sync / halve;
    t.v_back_porch = (v_blank - v_front - v_sync) / halve;
    t.interlaced = interlaced;
    t.v_half_line = interlaced;
    if (t.h_back_porch < 0 || t.v_back_porch < 0) {
      s.edid.warnings.push_back(kind + std::to_string(count + 1) +
                                " has less blanking than its front porch and sync take.");
    }
    AddTiming(s.edid, t, kind + std::to_string(count + 1),
              type7 ? EdidTimingKind::DisplayIdType7 : EdidTimingKind::DisplayIdType1,
              {s.block, offset + static_cast<int>(at), 20, -1}, (d[3] & 0x80) != 0);
    DetailedTimingFacts facts;
    facts.sync = "digital separate";
    facts.stereo = kStereo[(d[3] >> 5) & 3];
    s.edid.timings.back().detail = facts;
  }
}

// Type III: a CVT timing in 3 bytes.
void ShortTimings(Section& s, Bytes p, int offset) {
  static constexpr int kRatio[8][2] = {{1, 1}, {5, 4}, {4, 3}, {15, 9}, {16, 9}, {16, 10}, {64, 27}, {256, 135}};
  for (std::size_t at = 0; at + 3 <= p.size(); at += 3) {
    const int aspect = p[at] & 0x0F;
    const int formula = (p[at] >> 4) & 7;
    if (aspect > 7 || formula > 1) {
      s.edid.warnings.push_back("A DisplayID type III timing has a reserved aspect ratio or formula.");
      continue;
    }
    const int width = (p[at + 1] + 1) * 8;
    const int height = width * kRatio[aspect][1] / kRatio[aspect][0];
    const bool interlaced = (p[at + 2] & 0x80) != 0;
    AddCvt(s.edid, width, height, (p[at + 2] & 0x7F) + 1, formula == 1, interlaced, "DisplayID Type III",
           EdidTimingKind::DisplayIdType3, {s.block, offset + static_cast<int>(at), 3, -1}, (p[at] & 0x80) != 0);
  }
}

// Type VIII: DMT IDs, VICs or HDMI VICs, one or two bytes each.
void TimingCodes(Section& s, Bytes p, int offset, int revision) {
  const int type = revision >> 6;
  const std::size_t size = (revision & 0x08) ? 2 : 1;
  if (type > 2) {
    s.edid.warnings.push_back("A DisplayID type VIII block has the reserved code type 3.");
    return;
  }
  for (std::size_t at = 0; at + size <= p.size(); at += size) {
    const int code = size == 2 ? Le16(p, at) : p[at];
    const EdidLocation location{s.block, offset + static_cast<int>(at), static_cast<int>(size), -1};
    if (type == 0) {
      AddDmt(s.edid, code, "DisplayID Type VIII: DMT " + HexByte(code), EdidTimingKind::DisplayIdType8, location);
    } else {
      AddVic(s.edid, code, type == 2,
             std::string("DisplayID Type VIII: ") + (type == 2 ? "HDMI VIC " : "VIC ") + std::to_string(code),
             EdidTimingKind::DisplayIdType8, location);
    }
  }
}

void ProductIdentification(Section& s, Bytes p, EdidDataBlock& out) {
  if (p.size() < 12) {
    s.edid.warnings.push_back("A DisplayID product identification block is too short.");
    return;
  }
  out.lines.push_back(
      "Vendor: " + HexList(p.subspan(0, 3)) + ", product code " + std::to_string(Le16(p, 3)) + ", serial number " +
      std::to_string(static_cast<std::uint32_t>(Le16(p, 5)) | static_cast<std::uint32_t>(Le16(p, 7)) << 16) +
      ", week " + std::to_string(p[9]) + ", year " + std::to_string(2000 + p[10]));
  std::string name;
  for (std::size_t i = 0; i < p[11] && 12 + i < p.size(); ++i) name += static_cast<char>(p[12 + i]);
  if (!name.empty()) out.lines.push_back("Product name: '" + name + "'");
}

void TiledTopology(Bytes p, EdidDataBlock& out) {
  if (p.size() < 21) return;
  const int h_tiles = ((p[3] >> 6) << 4 | p[1] >> 4) + 1;
  const int v_tiles = (((p[3] >> 4) & 3) << 4 | (p[1] & 0x0F)) + 1;
  const int h_at = ((p[3] >> 2) & 3) << 4 | p[2] >> 4;
  const int v_at = (p[3] & 3) << 4 | (p[2] & 0x0F);
  out.lines.push_back("Tiles: " + std::to_string(h_tiles) + "x" + std::to_string(v_tiles) + ", this one at column " +
                      std::to_string(h_at) + ", row " + std::to_string(v_at) + ", of " +
                      std::to_string(Le16(p, 4) + 1) + "x" + std::to_string(Le16(p, 6) + 1) + " pixels");
}

std::string BlockName(int tag, bool v2) {
  if (v2) {
    switch (tag) {
      case 0x20:
        return "Product Identification Data Block";
      case 0x21:
        return "Display Parameters Data Block";
      case 0x22:
        return "Video Timing Modes Type 7 - Detailed Timings Data Block";
      case 0x23:
        return "Video Timing Modes Type 8 - Enumerated Timing Codes Data Block";
      case 0x26:
        return "Display Interface Features Data Block";
      case 0x28:
        return "Tiled Display Topology Data Block";
      case 0x7E:
        return "Vendor-Specific Data Block";
      case 0x81:
        return "CTA-861 DisplayID Data Block";
      default:
        break;
    }
  } else {
    switch (tag) {
      case 0x00:
        return "Product Identification Data Block";
      case 0x01:
        return "Display Parameters Data Block";
      case 0x03:
        return "Video Timing Modes Type 1 - Detailed Timings Data Block";
      case 0x05:
        return "Video Timing Modes Type 3 - Short Timings Data Block";
      case 0x06:
        return "Video Timing Modes Type 4 - DMT Timings Data Block";
      case 0x07:
        return "Supported Timing Modes Type 1 - VESA DMT Timings Data Block";
      case 0x08:
        return "Supported Timing Modes Type 2 - CTA-861 Timings Data Block";
      case 0x12:
        return "Tiled Display Topology Data Block";
      case 0x7F:
        return "Vendor-Specific Data Block";
      default:
        break;
    }
  }
  return "";
}

}  // namespace

void DecodeDisplayIdBlock(DecodedEdid& edid, int index) {
  EdidBlockInfo& block = edid.blocks[static_cast<std::size_t>(index)];
  const Bytes b(block.bytes);
  const bool v2 = b[1] >= 0x20;
  block.lines.push_back("Version: " + std::to_string(b[1] >> 4) + "." + std::to_string(b[1] & 0x0F));
  block.lines.push_back("Extension count: " + std::to_string(b[4]));
  int length = b[2];
  if (length > 121) {
    edid.warnings.push_back("Block " + std::to_string(index) + " gives its DisplayID section " +
                            std::to_string(length) + " bytes, more than the block holds.");
    length = 121;
  }
  unsigned sum = 0;
  for (int i = 1; i <= 5 + length && i < 127; ++i) sum += b[static_cast<std::size_t>(i)];
  if (sum % 256 != 0) {
    edid.warnings.push_back("Block " + std::to_string(index) + " has a DisplayID section whose checksum is wrong.");
  }
  Section section{edid, index, v2};
  const int end = 5 + length;
  for (int at = 5; at + 3 <= end;) {
    const int tag = b[static_cast<std::size_t>(at)];
    const int revision = b[static_cast<std::size_t>(at) + 1];
    const int size = b[static_cast<std::size_t>(at) + 2];
    if (tag == 0 && revision == 0 && size == 0 && (v2 || at > 5)) break;  // padding
    if (at + 3 + size > end) {
      edid.warnings.push_back("Block " + std::to_string(index) + " has a DisplayID data block at byte " +
                              std::to_string(at) + " that runs past its section.");
      break;
    }
    EdidDataBlock out;
    out.offset = at;
    out.tag = tag;
    out.bytes.assign(b.begin() + at, b.begin() + at + 3 + size);
    out.name = BlockName(tag, v2);
    const Bytes p = b.subspan(static_cast<std::size_t>(at) + 3, static_cast<std::size_t>(size));
    const int offset = at + 3;
    if (out.name.empty()) {
      out.name = "Unknown DisplayID Data Block (tag " + HexByte(tag) + ")";
      out.lines.push_back("Bytes: " + HexList(p));
      edid.warnings.push_back("Block " + std::to_string(index) + " has the unknown DisplayID data block tag " +
                              HexByte(tag) + ", kept as bytes.");
    } else if (tag == (v2 ? 0x22 : 0x03)) {
      DetailedTimings(section, p, offset, v2);
    } else if (!v2 && tag == 0x05) {
      ShortTimings(section, p, offset);
    } else if (v2 && tag == 0x23) {
      TimingCodes(section, p, offset, revision);
    } else if (!v2 && tag == 0x06) {
      for (std::size_t i = 0; i < p.size(); ++i) {
        AddDmt(edid, p[i], "DisplayID DMT " + HexByte(p[i]), EdidTimingKind::DisplayIdDmt,
               {index, offset + static_cast<int>(i), 1, -1});
      }
    } else if (!v2 && (tag == 0x07 || tag == 0x08)) {
      // Bit maps, least significant bit first: DMT IDs 0x01 on, VICs 1 on.
      for (std::size_t i = 0; i < p.size() * 8; ++i) {
        if (!(p[i / 8] >> (i % 8) & 1)) continue;
        const int code = static_cast<int>(i) + 1;
        const EdidLocation location{index, offset + static_cast<int>(i / 8), 1, static_cast<int>(i % 8)};
        if (tag == 0x07) {
          AddDmt(edid, code, "DisplayID DMT " + HexByte(code), EdidTimingKind::DisplayIdDmt, location);
        } else {
          AddVic(edid, code, false, "DisplayID VIC " + std::to_string(code), EdidTimingKind::DisplayIdVic, location);
        }
      }
    } else if (tag == (v2 ? 0x20 : 0x00)) {
      ProductIdentification(section, p, out);
    } else if (tag == (v2 ? 0x28 : 0x12)) {
      TiledTopology(p, out);
    } else {
      out.lines.push_back("Bytes: " + HexList(p));
    }
    block.data_blocks.push_back(std::move(out));
    at += 3 + size;
  }
}

}  // namespace zarn::modes::edid_decoding
