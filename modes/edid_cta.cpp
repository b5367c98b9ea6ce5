// A CTA-861 extension block: its header, data blocks and detailed timings.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "modes/decimal.h"
#include "modes/edid_decoding.h"

namespace zarn::modes::edid_decoding {
namespace {

constexpr std::uint32_t kOuiHdmi = 0x000C03;
constexpr std::uint32_t kOuiHdmiForum = 0xC45DD8;
constexpr std::uint32_t kOuiAmd = 0x00001A;

std::string OuiText(std::uint32_t oui) {
  std::string text = HexByte(static_cast<int>(oui >> 16)).substr(2) + "-" +
                     HexByte(static_cast<int>(oui >> 8)).substr(2) + "-" + HexByte(static_cast<int>(oui)).substr(2);
  std::transform(text.begin(), text.end(), text.begin(), [](char c) { return c >= 'a' && c <= 'f' ? c - 32 : c; });
  return text;
}

// One data block being read: its payload after the header byte (and after
// the extended tag for tag 7), and where that payload starts in the block.
struct Payload {
  Bytes p;
  int offset;
  int block;
};

void AudioBlock(const Payload& in, EdidDataBlock& out) {
  static constexpr const char* kFormats[16] = {
      "Reserved", "Linear PCM",    "AC-3",          "MPEG 1", "MP3",       "MPEG2", "AAC LC",  "DTS",
      "ATRAC",    "One Bit Audio", "Enhanced AC-3", "DTS-HD", "MAT (MLP)", "DST",   "WMA Pro", "Extended"};
  static constexpr const char* kRates[7] = {"32", "44.1", "48", "88.2", "96", "176.4", "192"};
  for (std::size_t i = 0; i + 2 < in.p.size(); i += 3) {
    std::string line = std::string(kFormats[(in.p[i] >> 3) & 0x0F]) + ", max channels " +
                       std::to_string((in.p[i] & 7) + 1) + ", rates";
    for (int r = 0; r < 7; ++r) {
      if (in.p[i + 1] >> r & 1) line += std::string(" ") + kRates[r];
    }
    out.lines.push_back(line + " kHz");
  }
}

void SpeakerBlock(const Payload& in, EdidDataBlock& out) {
  static constexpr const char* kSpeakers[8] = {"FL/FR", "LFE", "FC", "RL/RR", "RC", "FLC/FRC", "RLC/RRC", "FLW/FRW"};
  std::string line;
  for (int i = 0; i < 8; ++i) {
    if (At(in.p, 0) >> i & 1) line += (line.empty() ? "" : ", ") + std::string(kSpeakers[i]);
  }
  out.lines.push_back(line.empty() ? "No speakers" : line);
}

// Short video descriptors: 1 to 64 and 129 to 192 mark a native format with bit 7.
void VideoBlock(DecodedEdid& edid, const Payload& in, EdidTimingKind kind, const std::string& prefix,
                std::vector<int>& svd_vics) {
  for (std::size_t i = 0; i < in.p.size(); ++i) {
    const int svd = in.p[i];
    const bool native = svd >= 129 && svd <= 192;
    const int vic = native ? svd & 0x7F : svd;
    svd_vics.push_back(vic);
    if (svd == 0 || svd == 128 || svd >= 254) {
      edid.warnings.push_back("Block " + std::to_string(in.block) + " has the reserved short video descriptor " +
                              HexByte(svd) + ".");
      continue;
    }
    AddVic(edid, vic, false, prefix + std::to_string(vic) + (native ? " (native)" : ""), kind,
           {in.block, in.offset + static_cast<int>(i), 1, -1}, native);
  }
}

void HdmiBlock(DecodedEdid& edid, const Payload& in, EdidDataBlock& out) {
  const Bytes p = in.p;
  if (p.size() >= 5) {
    out.lines.push_back("Source physical address: " + std::to_string(p[3] >> 4) + "." + std::to_string(p[3] & 15) +
                        "." + std::to_string(p[4] >> 4) + "." + std::to_string(p[4] & 15));
  }
  if (p.size() >= 7 && p[6] != 0) {
    edid.cta.hdmi_max_tmds_clock_mhz = p[6] * 5;
    out.lines.push_back("Maximum TMDS clock: " + std::to_string(p[6] * 5) + " MHz");
  }
  if (p.size() < 8) return;
  std::size_t i = 8;
  if (p[7] & 0x80) i += 2;
  if (p[7] & 0x40) i += 2;
  if (!(p[7] & 0x20)) return;
  i += 1;  // 3D flags
  if (i >= p.size()) {
    edid.warnings.push_back("The HDMI block announces video details it is too short to hold.");
    return;
  }
  const std::size_t count = p[i] >> 5;
  ++i;
  for (std::size_t v = 0; v < count; ++v, ++i) {
    if (i >= p.size()) {
      edid.warnings.push_back("The HDMI block announces more HDMI VICs than it holds.");
      return;
    }
    AddVic(edid, p[i], true, "HDMI VIC " + std::to_string(p[i]), EdidTimingKind::HdmiVic,
           {in.block, in.offset + static_cast<int>(i), 1, -1});
  }
}

void HdmiForumBlock(DecodedEdid& edid, const Payload& in, EdidDataBlock& out) {
  const Bytes p = in.p;
  if (p.size() >= 5) {
    out.lines.push_back("Version: " + std::to_string(p[3]));
    edid.cta.hdmi_forum_max_tmds_rate_mhz = p[4] * 5;
    out.lines.push_back("Maximum TMDS Character Rate: " + std::to_string(p[4] * 5) + " MHz");
  }
  edid.cta.hdmi_forum_max_frl_rate = p.size() >= 7 ? p[6] >> 4 : 0;
  static constexpr const char* kFrl[7] = {"not supported",     "3 Gbps on 3 lanes", "3 and 6 Gbps on 3 lanes",
                                          "6 Gbps on 4 lanes", "8 Gbps on 4 lanes", "10 Gbps on 4 lanes",
                                          "12 Gbps on 4 lanes"};
  const int frl = edid.cta.hdmi_forum_max_frl_rate;
  edid.cta.hdmi_forum_max_frl_text = frl < 7 ? kFrl[frl] : "reserved";
  if (frl >= 7)
    edid.warnings.push_back("The HDMI Forum block gives the reserved FRL rate " + std::to_string(frl) + ".");
  out.lines.push_back("Maximum FRL rate: " + edid.cta.hdmi_forum_max_frl_text);
}

void AmdBlock(DecodedEdid& edid, const Payload& in, EdidDataBlock& out) {
  const Bytes p = in.p;
  if (p.size() < 7) return;
  out.lines.push_back("Version: " + std::to_string(p[3]) + "." + std::to_string(p[4]));
  edid.cta.freesync_min_rate_hz = p[5];
  edid.cta.freesync_max_rate_hz = p[6];
  out.lines.push_back("FreeSync refresh range: " + std::to_string(p[5]) + "-" + std::to_string(p[6]) + " Hz");
}

void VendorBlock(DecodedEdid& edid, const Payload& in, EdidDataBlock& out, bool video) {
  if (in.p.size() < 3) {
    edid.warnings.push_back("Block " + std::to_string(in.block) +
                            " has a vendor-specific data block too short for its OUI.");
    return;
  }
  const std::uint32_t oui = static_cast<std::uint32_t>(Le24(in.p, 0));
  out.oui = oui;
  std::string vendor;
  if (!video && oui == kOuiHdmi) {
    vendor = " (HDMI)";
    HdmiBlock(edid, in, out);
  } else if (!video && oui == kOuiHdmiForum) {
    vendor = " (HDMI Forum)";
    HdmiForumBlock(edid, in, out);
  } else if (!video && oui == kOuiAmd) {
    vendor = " (AMD)";
    AmdBlock(edid, in, out);
  } else {
    out.lines.push_back("Bytes: " + HexList(in.p.subspan(3)));
  }
  out.name = std::string(video ? "Vendor-Specific Video Data Block" : "Vendor-Specific Data Block") + vendor +
             ", OUI " + OuiText(oui);
}

double Luminance(int code) { return 50.0 * std::pow(2.0, code / 32.0); }

void HdrStaticBlock(const Payload& in, EdidDataBlock& out) {
  static constexpr const char* kEotf[4] = {"Traditional gamma - SDR luminance range",
                                           "Traditional gamma - HDR luminance range", "SMPTE ST2084",
                                           "Hybrid Log-Gamma"};
  for (int i = 0; i < 4; ++i) {
    if (At(in.p, 0) >> i & 1) out.lines.push_back(std::string("EOTF: ") + kEotf[i]);
  }
  if (At(in.p, 1) & 1) out.lines.push_back("Static metadata type 1");
  if (in.p.size() >= 3)
    out.lines.push_back("Desired content max luminance: " + FixedDecimal(Luminance(in.p[2]), 3) + " cd/m^2");
  if (in.p.size() >= 4) {
    out.lines.push_back("Desired content max frame-average luminance: " + FixedDecimal(Luminance(in.p[3]), 3) +
                        " cd/m^2");
  }
  if (in.p.size() >= 5) {
    const double max = Luminance(in.p.size() >= 3 ? in.p[2] : 0);
    out.lines.push_back("Desired content min luminance: " +
                        FixedDecimal(max * (in.p[4] / 255.0) * (in.p[4] / 255.0) / 100.0, 3) + " cd/m^2");
  }
}

void ColorimetryBlock(const Payload& in, EdidDataBlock& out) {
  static constexpr const char* kFirst[8] = {"xvYCC601", "xvYCC709",   "sYCC601",   "opYCC601",
                                            "opRGB",    "BT2020cYCC", "BT2020YCC", "BT2020RGB"};
  for (int i = 0; i < 8; ++i) {
    if (At(in.p, 0) >> i & 1) out.lines.push_back(kFirst[i]);
  }
  if (At(in.p, 1) & 0x80) out.lines.push_back("DCI-P3");
  if (At(in.p, 1) & 0x40) out.lines.push_back("ICtCp");
}

void VideoCapabilityBlock(const Payload& in, EdidDataBlock& out) {
  static constexpr const char* kScan[4] = {"not supported", "always overscanned", "always underscanned",
                                           "supports overscan and underscan"};
  const int v = At(in.p, 0);
  out.lines.push_back(std::string("YCbCr quantization: ") + (v & 0x80 ? "selectable" : "no data"));
  out.lines.push_back(std::string("RGB quantization: ") + (v & 0x40 ? "selectable" : "no data"));
  out.lines.push_back(std::string("PT scan: ") + kScan[(v >> 4) & 3]);
  out.lines.push_back(std::string("IT scan: ") + kScan[(v >> 2) & 3]);
  out.lines.push_back(std::string("CE scan: ") + kScan[v & 3]);
}

const char* ExtendedName(int tag) {
  switch (tag) {
    case 0:
      return "Video Capability Data Block";
    case 2:
      return "VESA Video Display Device Data Block";
    case 5:
      return "Colorimetry Data Block";
    case 6:
      return "HDR Static Metadata Data Block";
    case 7:
      return "HDR Dynamic Metadata Data Block";
    case 13:
      return "Video Format Preference Data Block";
    case 14:
      return "YCbCr 4:2:0 Video Data Block";
    case 15:
      return "YCbCr 4:2:0 Capability Map Data Block";
    case 17:
      return "Vendor-Specific Audio Data Block";
    case 18:
      return "Room Configuration Data Block";
    case 19:
      return "Speaker Location Data Block";
    case 32:
      return "InfoFrame Data Block";
    default:
      return nullptr;
  }
}

}  // namespace

void DecodeCtaBlock(DecodedEdid& edid, int index) {
  EdidBlockInfo& block = edid.blocks[static_cast<std::size_t>(index)];
  const Bytes b(block.bytes);
  block.lines.push_back("Revision: " + std::to_string(b[1]));
  if (b[1] >= 2) {
    if (b[3] & 0x80) block.lines.push_back("Underscans IT Video Formats by default");
    if (b[3] & 0x40) block.lines.push_back("Basic audio support");
    if (b[3] & 0x20) block.lines.push_back("Supports YCbCr 4:4:4");
    if (b[3] & 0x10) block.lines.push_back("Supports YCbCr 4:2:2");
    block.lines.push_back("Native detailed modes: " + std::to_string(b[3] & 0x0F));
  }
  int dtd_start = b[2];
  if (dtd_start != 0 && (dtd_start < 4 || dtd_start > 127)) {
    edid.warnings.push_back("Block " + std::to_string(index) + " puts its detailed timings at byte " +
                            std::to_string(dtd_start) + ", outside the block; it is read without them.");
    dtd_start = 127;
  }
  const int data_end = dtd_start == 0 ? 4 : dtd_start;
  std::vector<int> svd_vics;
  std::vector<std::size_t> maps;  // data blocks that are YCbCr 4:2:0 capability maps
  for (int at = 4; at < data_end;) {
    const int tag = b[static_cast<std::size_t>(at)] >> 5;
    const int length = b[static_cast<std::size_t>(at)] & 0x1F;
    if (at + 1 + length > data_end) {
      edid.warnings.push_back("Block " + std::to_string(index) + " has a data block at byte " + std::to_string(at) +
                              " that runs past the data block area.");
      break;
    }
    EdidDataBlock out;
    out.offset = at;
    out.tag = tag;
    out.bytes.assign(b.begin() + at, b.begin() + at + 1 + length);
    Payload in{b.subspan(static_cast<std::size_t>(at) + 1, static_cast<std::size_t>(length)), at + 1, index};
    switch (tag) {
      case 1:
        out.name = "Audio Data Block";
        AudioBlock(in, out);
        break;
      case 2:
        out.name = "Video Data Block";
        VideoBlock(edid, in, EdidTimingKind::Vic, "VIC ", svd_vics);
        break;
      case 3:
        VendorBlock(edid, in, out, false);
        break;
      case 4:
        out.name = "Speaker Allocation Data Block";
        SpeakerBlock(in, out);
        break;
      case 7: {
        if (length == 0) {
          out.name = "Extended tag without its tag byte";
          edid.warnings.push_back("Block " + std::to_string(index) + " has an extended data block of length 0.");
          break;
        }
        out.extended_tag = in.p[0];
        Payload rest{in.p.subspan(1), in.offset + 1, index};
        const char* name = ExtendedName(out.extended_tag);
        out.name = name ? name : "Unknown CTA-861 Data Block (extended tag " + std::to_string(out.extended_tag) + ")";
        if (!name && out.extended_tag != 1) {
          edid.warnings.push_back("Block " + std::to_string(index) + " has a data block of the unknown extended tag " +
                                  std::to_string(out.extended_tag) + ", kept as bytes.");
        }
        switch (out.extended_tag) {
          case 0:
            VideoCapabilityBlock(rest, out);
            break;
          case 1:
            VendorBlock(edid, rest, out, true);
            break;
          case 5:
            ColorimetryBlock(rest, out);
            break;
          case 6:
            HdrStaticBlock(rest, out);
            break;
          case 14: {
            std::vector<int> ignored;
            VideoBlock(edid, rest, EdidTimingKind::Ycbcr420Vic, "YCbCr 4:2:0 VIC ", ignored);
            break;
          }
          case 15:
            maps.push_back(block.data_blocks.size());
            break;
          default:
            out.lines.push_back("Bytes: " + HexList(rest.p));
            break;
        }
        break;
      }
      default:
        out.name = "Unknown CTA-861 Data Block (tag " + std::to_string(tag) + ")";
        edid.warnings.push_back("Block " + std::to_string(index) + " has a data block of the reserved tag " +
                                std::to_string(tag) + " at byte " + std::to_string(at) + ", kept as bytes.");
        out.lines.push_back("Bytes: " + HexList(in.p));
        break;
    }
    block.data_blocks.push_back(std::move(out));
    at += 1 + length;
  }
  // A capability map marks, bit by bit, the short video descriptors above that
  // are also offered in YCbCr 4:2:0; an empty map marks all of them.
  for (const std::size_t m : maps) {
    EdidDataBlock& map = block.data_blocks[m];
    const Bytes bits = Bytes(map.bytes).subspan(2);
    for (std::size_t i = 0; i < svd_vics.size(); ++i) {
      if (bits.empty() || (i / 8 < bits.size() && (bits[i / 8] >> (i % 8) & 1))) {
        map.lines.push_back("VIC " + std::to_string(svd_vics[i]) + " also in YCbCr 4:2:0");
      }
    }
  }
  if (dtd_start == 0) return;
  int dtd = 0;
  for (const EdidTiming& t : edid.timings) dtd += t.kind == EdidTimingKind::DetailedTiming ? 1 : 0;
  for (int at = dtd_start; at + 18 <= 127; at += 18) {
    const Bytes d = b.subspan(static_cast<std::size_t>(at), 18);
    if (d[0] == 0 && d[1] == 0) break;  // the padding after the last one
    std::optional<EdidTiming> timing = DetailedTiming(d, edid, "CTA DTD " + std::to_string(++dtd));
    if (!timing) continue;
    timing->location = {index, at, 18, -1};
    edid.timings.push_back(std::move(*timing));
  }
}

}  // namespace zarn::modes::edid_decoding
