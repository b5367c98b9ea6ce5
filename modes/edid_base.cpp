// The base block of an EDID: identity, basic parameters, colour, the
// established and standard timings and the four 18-byte descriptors.
#include <array>
#include <cstdio>
#include <string>

#include "modes/cvt.h"
#include "modes/decimal.h"
#include "modes/dmt.h"
#include "modes/edid_decoding.h"
#include "modes/gtf.h"

namespace zarn::modes::edid_decoding {
namespace {

// The established timings that are not DMT modes: IBM's VGA text modes and
// Apple's Macintosh modes, as the kernel and Xorg give them.
struct OtherEstablished {
  int byte, bit;
  const char* name;
  int h_active, h_front, h_sync, h_back, v_active, v_front, v_sync, v_back;
  std::uint64_t clock_hz;
  bool h_positive, v_positive;
};
constexpr std::array<OtherEstablished, 5> kOtherEstablished = {{
    {0x23, 7, "IBM 720x400@70", 720, 18, 108, 54, 400, 12, 2, 35, 28'320'000, false, true},
    {0x23, 6, "IBM 720x400@88", 720, 18, 108, 54, 400, 21, 2, 26, 35'500'000, false, true},
    {0x23, 4, "Apple 640x480@67", 640, 64, 64, 96, 480, 3, 3, 39, 30'240'000, false, false},
    {0x24, 5, "Apple 832x624@75", 832, 32, 64, 224, 624, 1, 3, 39, 57'284'000, false, false},
    {0x25, 7, "Apple 1152x870@75", 1152, 48, 128, 128, 870, 3, 3, 39, 100'000'000, true, true},
}};

// DMT IDs of established timings I and II, byte 0x23 bit 7 first; 0 where the
// bit is one of the modes above or the manufacturer's.
constexpr std::array<std::uint8_t, 17> kEstablishedDmt = {0x00, 0x00, 0x04, 0x00, 0x05, 0x06, 0x08, 0x09, 0x0a,
                                                          0x0b, 0x00, 0x0f, 0x10, 0x11, 0x12, 0x24, 0x00};

// DMT IDs of the established timings III descriptor, byte 6 bit 7 first.
constexpr std::array<std::uint8_t, 44> kEstablishedIII = {
    0x01, 0x02, 0x03, 0x07, 0x0e, 0x0c, 0x13, 0x15, 0x16, 0x17, 0x18, 0x19, 0x20, 0x21, 0x23,
    0x25, 0x27, 0x2e, 0x2f, 0x30, 0x31, 0x29, 0x2a, 0x2b, 0x2c, 0x39, 0x3a, 0x3b, 0x3c, 0x33,
    0x34, 0x35, 0x36, 0x37, 0x3e, 0x3f, 0x41, 0x42, 0x44, 0x45, 0x46, 0x47, 0x49, 0x4a};

std::string Fixed(double value, int decimals) { return FixedDecimal(value, decimals); }

bool IsV14(const DecodedEdid& edid) { return edid.version == 1 && edid.revision >= 4; }

void DecodeIdentity(DecodedEdid& edid, Bytes b) {
  const int id = b[8] << 8 | b[9];
  for (const int shift : {10, 5, 0}) {
    const int letter = (id >> shift) & 0x1F;
    edid.manufacturer += letter >= 1 && letter <= 26 ? static_cast<char>('A' + letter - 1) : '?';
  }
  if (edid.manufacturer.find('?') != std::string::npos) {
    edid.warnings.push_back("The manufacturer ID " + HexList(b.subspan(8, 2)) + " holds a letter outside A to Z.");
  }
  edid.product_code = b[10] | b[11] << 8;
  edid.serial_number = static_cast<std::uint32_t>(b[12]) | static_cast<std::uint32_t>(b[13]) << 8 |
                       static_cast<std::uint32_t>(b[14]) << 16 | static_cast<std::uint32_t>(b[15]) << 24;
  edid.week = b[16];
  edid.model_year = b[16] == 0xFF;
  edid.year = 1990 + b[17];
  if (edid.week > 54 && !edid.model_year)
    edid.warnings.push_back("The week of manufacture, " + std::to_string(edid.week) + ", is not a week.");
  edid.version = b[18];
  edid.revision = b[19];
  if (edid.version != 1 || edid.revision > 4) {
    edid.warnings.push_back("EDID version " + std::to_string(edid.version) + "." + std::to_string(edid.revision) +
                            " is unknown; the block is read as EDID 1.4.");
  }
}

void DecodeBasics(DecodedEdid& edid, Bytes b) {
  const std::uint8_t input = b[20];
  edid.digital = (input & 0x80) != 0;
  if (edid.digital && IsV14(edid)) {
    static constexpr int kDepth[8] = {0, 6, 8, 10, 12, 14, 16, -1};
    edid.bits_per_color = kDepth[(input >> 4) & 7];
    if (edid.bits_per_color < 0) {
      edid.bits_per_color = 0;
      edid.warnings.push_back("The colour bit depth has the reserved value 7.");
    }
    static constexpr const char* kInterface[6] = {"", "DVI", "HDMI-a", "HDMI-b", "MDDI", "DisplayPort"};
    const int code = input & 0x0F;
    if (code < 6) {
      edid.interface = kInterface[code];
    } else {
      edid.warnings.push_back("The digital interface has the reserved value " + std::to_string(code) + ".");
    }
  } else if (edid.digital) {
    if (input & 0x01) edid.interface = "DFP 1.x";
  } else {
    static constexpr const char* kLevels[4] = {"0.700 : 0.300 : 1.000 V p-p", "0.714 : 0.286 : 1.000 V p-p",
                                               "1.000 : 0.400 : 1.400 V p-p", "0.700 : 0.000 : 0.700 V p-p"};
    edid.analog_levels = kLevels[(input >> 5) & 3];
  }
  if (b[21] != 0 && b[22] != 0) {
    edid.screen_width_cm = b[21];
    edid.screen_height_cm = b[22];
  } else if (IsV14(edid) && b[21] != 0) {
    edid.aspect_ratio = Fixed((b[21] + 99) / 100.0, 2) + ":1 landscape";
  } else if (IsV14(edid) && b[22] != 0) {
    edid.aspect_ratio = "1:" + Fixed((b[22] + 99) / 100.0, 2) + " portrait";
  }
  if (b[23] != 0xFF) edid.gamma = (b[23] + 100) / 100.0;
  const std::uint8_t f = b[24];
  edid.dpms_standby = (f & 0x80) != 0;
  edid.dpms_suspend = (f & 0x40) != 0;
  edid.dpms_off = (f & 0x20) != 0;
  const int type = (f >> 3) & 3;
  if (edid.digital && IsV14(edid)) {
    static constexpr const char* kEncodings[4] = {"RGB 4:4:4", "RGB 4:4:4, YCrCb 4:4:4", "RGB 4:4:4, YCrCb 4:2:2",
                                                  "RGB 4:4:4, YCrCb 4:4:4, YCrCb 4:2:2"};
    edid.color_type = kEncodings[type];
  } else {
    static constexpr const char* kTypes[4] = {"Monochrome or grayscale display", "RGB color display",
                                              "Non-RGB color display", "Undefined display color type"};
    edid.color_type = kTypes[type];
  }
  edid.srgb_default = (f & 0x04) != 0;
  edid.preferred_timing_native = (f & 0x02) != 0;
  edid.continuous_frequency = (f & 0x01) != 0;
  // Ten bits each: the high eight in bytes 27 to 34, the low two packed in 25 and 26.
  for (int i = 0; i < 8; ++i) {
    const int low = (b[static_cast<std::size_t>(25 + i / 4)] >> (6 - 2 * (i % 4))) & 3;
    edid.chromaticity[static_cast<std::size_t>(i)] = (b[static_cast<std::size_t>(27 + i)] << 2 | low) / 1024.0;
  }
}

void DecodeEstablished(DecodedEdid& edid, Bytes b) {
  for (int i = 0; i < 17; ++i) {
    const int byte = 0x23 + i / 8;
    const int bit = 7 - i % 8;
    if (!(b[static_cast<std::size_t>(byte)] >> bit & 1)) continue;
    const EdidLocation location{0, byte, 1, bit};
    if (kEstablishedDmt[static_cast<std::size_t>(i)] != 0) {
      const int id = kEstablishedDmt[static_cast<std::size_t>(i)];
      AddDmt(edid, id, "Established: DMT " + HexByte(id), EdidTimingKind::Established, location);
      continue;
    }
    for (const OtherEstablished& o : kOtherEstablished) {
      if (o.byte != byte || o.bit != bit) continue;
      DisplayTiming t;
      t.h_active = o.h_active;
      t.h_front_porch = o.h_front;
      t.h_sync = o.h_sync;
      t.h_back_porch = o.h_back;
      t.v_active = o.v_active;
      t.v_front_porch = o.v_front;
      t.v_sync = o.v_sync;
      t.v_back_porch = o.v_back;
      t.pixel_clock_hz = o.clock_hz;
      t.h_sync_positive = o.h_positive;
      t.v_sync_positive = o.v_positive;
      AddTiming(edid, t, std::string("Established: ") + o.name, EdidTimingKind::Established, location);
    }
  }
  for (int bit = 6; bit >= 0; --bit) {
    if (b[0x25] >> bit & 1) edid.manufacturer_timing_bits.push_back(bit);
  }
}

// A standard timing code: the DMT mode that has it, else the formula the
// block's version and range limits name. An EDID 1.4 block that supports CVT
// offers the CVT timing; a source that reads it as EDID 1.3 takes GTF, so
// that timing follows as well.
void AddStandard(DecodedEdid& edid, std::uint8_t b1, std::uint8_t b2, EdidLocation location) {
  if (b1 <= 0x01) {
    if (b1 != 0x01 || b2 != 0x01) {
      edid.warnings.push_back("The standard timing " + HexList(std::array<std::uint8_t, 2>{b1, b2}) +
                              " is read as unused; 01 01 marks one.");
    }
    return;
  }
  const int code = b1 << 8 | b2;
  for (const DmtMode& mode : DmtModes()) {
    if (mode.standard_code == code) {
      AddTiming(edid, ToTiming(mode), "Standard: DMT " + HexByte(mode.id), EdidTimingKind::Standard, location);
      return;
    }
  }
  const int width = (b1 + 31) * 8;
  static constexpr int kRatio[4][2] = {{16, 10}, {4, 3}, {5, 4}, {16, 9}};
  int ratio_h = kRatio[b2 >> 6][0], ratio_v = kRatio[b2 >> 6][1];
  if (b2 >> 6 == 0 && edid.version == 1 && edid.revision < 3) ratio_h = ratio_v = 1;
  const int height = width * ratio_v / ratio_h;
  const int rate = 60 + (b2 & 0x3F);
  const EdidRangeLimits* range = edid.range_limits ? &*edid.range_limits : nullptr;
  std::string gtf_prefix = "Standard";
  if (IsV14(edid) && range && range->formula == EdidRangeLimits::Formula::Cvt) {
    AddCvt(edid, width, height, rate, false, false, "Standard", EdidTimingKind::Standard, location);
    gtf_prefix = "Standard (as EDID 1.3)";
  }
  // Before EDID 1.3 a display that does not say it takes GTF timings offers no formula.
  if (edid.version == 1 && edid.revision < 3 && !edid.continuous_frequency) {
    edid.warnings.push_back("The standard timing " + std::to_string(width) + "x" + std::to_string(height) + "@" +
                            std::to_string(rate) + " is no DMT mode, and this EDID " + std::to_string(edid.version) +
                            "." + std::to_string(edid.revision) + " display does not take GTF timings.");
    return;
  }
  Expected<DisplayTiming> gtf = GtfTiming(width, height, GtfInput::FrameRate, rate);
  // Above its start frequency a display with a secondary curve takes that one.
  if (gtf && range && range->formula == EdidRangeLimits::Formula::SecondaryGtf &&
      gtf->line_rate_hz() >= range->secondary_start_khz * 1000.0) {
    GtfOptions options;
    options.secondary = true;
    options.curve = {range->gtf_c, range->gtf_m, range->gtf_k, range->gtf_j};
    gtf = GtfTiming(width, height, GtfInput::FrameRate, rate, options);
  }
  if (!gtf) {
    edid.warnings.push_back("The standard timing " + std::to_string(width) + "x" + std::to_string(height) + "@" +
                            std::to_string(rate) + " is no timing GTF can make: " + gtf.error());
    return;
  }
  AddTiming(edid, *gtf, gtf_prefix + ": " + gtf->source, EdidTimingKind::Standard, location);
}

// The text of a descriptor: up to the line feed that ends it, kept as it is
// (spaces too); a byte that is no printable ASCII ends it as well, with a warning.
std::string DescriptorText(DecodedEdid& edid, Bytes d, int offset) {
  std::string text;
  for (std::size_t i = 5; i < 18 && d[i] != 0x0A; ++i) {
    if (d[i] < 0x20 || d[i] > 0x7E) {
      edid.warnings.push_back("The text of the descriptor at byte " + std::to_string(offset) + " holds the byte " +
                              HexByte(d[i]) + ", which is no printable ASCII; the text ends before it.");
      break;
    }
    text += static_cast<char>(d[i]);
  }
  return text;
}

EdidRangeLimits ReadRangeLimits(DecodedEdid& edid, Bytes d, int offset) {
  EdidRangeLimits r;
  r.offset = offset;
  const int flags = IsV14(edid) ? d[4] : 0;
  r.min_v_rate_hz = d[5] + ((flags & 0x03) == 0x03 ? 255 : 0);
  r.max_v_rate_hz = d[6] + ((flags & 0x02) ? 255 : 0);
  r.min_h_rate_khz = d[7] + ((flags & 0x0C) == 0x0C ? 255 : 0);
  r.max_h_rate_khz = d[8] + ((flags & 0x08) ? 255 : 0);
  r.max_pixel_clock_hz = static_cast<std::uint64_t>(d[9]) * 10'000'000;
  r.formula_code = d[10];
  switch (d[10]) {
    case 0x00:
      r.formula = EdidRangeLimits::Formula::DefaultGtf;
      break;
    case 0x01:
      r.formula = EdidRangeLimits::Formula::RangeLimitsOnly;
      break;
    case 0x02:
      r.formula = EdidRangeLimits::Formula::SecondaryGtf;
      r.secondary_start_khz = d[12] * 2;
      r.gtf_c = d[13] / 2.0;
      r.gtf_m = Le16(d, 14);
      r.gtf_k = d[16];
      r.gtf_j = d[17] / 2.0;
      break;
    case 0x04: {
      r.formula = EdidRangeLimits::Formula::Cvt;
      r.cvt_version_major = d[11] >> 4;
      r.cvt_version_minor = d[11] & 0x0F;
      const std::uint64_t less = static_cast<std::uint64_t>(d[12] >> 2) * 250'000;
      r.cvt_max_pixel_clock_hz = r.max_pixel_clock_hz > less ? r.max_pixel_clock_hz - less : 0;
      r.cvt_max_h_active = ((d[12] & 0x03) << 8 | d[13]) * 8;
      static constexpr const char* kAspects[5] = {"4:3", "16:9", "16:10", "5:4", "15:9"};
      for (int i = 0; i < 5; ++i) {
        if (d[14] >> (7 - i) & 1) r.cvt_aspects.push_back(kAspects[i]);
      }
      const int preferred = d[15] >> 5;
      r.cvt_preferred_aspect = preferred < 5 ? kAspects[preferred] : "reserved";
      r.cvt_reduced_blanking = (d[15] & 0x10) != 0;
      r.cvt_standard_blanking = (d[15] & 0x08) != 0;
      static constexpr const char* kScaling[4] = {"horizontal shrink", "horizontal stretch", "vertical shrink",
                                                  "vertical stretch"};
      for (int i = 0; i < 4; ++i) {
        if (d[16] >> (7 - i) & 1) r.cvt_scaling.push_back(kScaling[i]);
      }
      r.cvt_preferred_rate_hz = d[17];
      break;
    }
    default:
      r.formula = EdidRangeLimits::Formula::Unknown;
      edid.warnings.push_back("The display range limits name the timing formula " + HexByte(d[10]) +
                              ", a reserved value.");
      break;
  }
  return r;
}

std::vector<std::string> RangeLines(const EdidRangeLimits& r) {
  static constexpr const char* kFormula[5] = {"default GTF", "range limits only", "secondary GTF", "CVT",
                                              "unknown formula"};
  std::vector<std::string> lines;
  lines.push_back(std::to_string(r.min_v_rate_hz) + "-" + std::to_string(r.max_v_rate_hz) + " Hz V, " +
                  std::to_string(r.min_h_rate_khz) + "-" + std::to_string(r.max_h_rate_khz) + " kHz H, max dotclock " +
                  std::to_string(r.max_pixel_clock_hz / 1'000'000) + " MHz, " + kFormula[static_cast<int>(r.formula)]);
  if (r.formula == EdidRangeLimits::Formula::SecondaryGtf) {
    lines.push_back("Secondary GTF from " + std::to_string(r.secondary_start_khz) + " kHz: C " + Fixed(r.gtf_c, 1) +
                    ", M " + Fixed(r.gtf_m, 0) + ", K " + Fixed(r.gtf_k, 0) + ", J " + Fixed(r.gtf_j, 1));
  }
  if (r.formula == EdidRangeLimits::Formula::Cvt) {
    std::string aspects;
    for (const std::string& a : r.cvt_aspects) aspects += (aspects.empty() ? "" : ", ") + a;
    lines.push_back("CVT " + std::to_string(r.cvt_version_major) + "." + std::to_string(r.cvt_version_minor) +
                    ", max pixel clock " + ScaledDecimal(r.cvt_max_pixel_clock_hz, 6, 2) + " MHz, max width " +
                    (r.cvt_max_h_active ? std::to_string(r.cvt_max_h_active) : std::string("unlimited")) +
                    ", aspects " + (aspects.empty() ? "none" : aspects) + ", preferred " + r.cvt_preferred_aspect +
                    (r.cvt_standard_blanking ? ", standard blanking" : "") +
                    (r.cvt_reduced_blanking ? ", reduced blanking" : "") + ", preferred rate " +
                    std::to_string(r.cvt_preferred_rate_hz) + " Hz");
  }
  return lines;
}

void DecodeCvt3Byte(DecodedEdid& edid, Bytes d, int offset, EdidDataBlock& out) {
  if (d[5] != 1)
    edid.warnings.push_back("The CVT 3-byte code descriptor has the version " + std::to_string(d[5]) + ", not 1.");
  for (int i = 0; i < 4; ++i) {
    const std::size_t at = 6 + 3 * static_cast<std::size_t>(i);
    if (d[at] == 0 && d[at + 1] == 0 && d[at + 2] == 0) continue;
    const int height = ((d[at + 1] >> 4) << 8 | d[at]) * 2 + 2;
    static constexpr int kRatio[4][2] = {{4, 3}, {16, 9}, {16, 10}, {15, 9}};
    const int* ratio = kRatio[(d[at + 1] >> 2) & 3];
    const int width = height * ratio[0] / ratio[1] / 8 * 8;
    static constexpr int kRates[5] = {50, 60, 75, 85, 60};
    const int preferred = (d[at + 2] >> 5) & 3;
    out.lines.push_back(std::to_string(width) + "x" + std::to_string(height) + ", preferred " +
                        std::to_string(kRates[preferred]) + " Hz");
    for (int r = 0; r < 5; ++r) {
      if (!(d[at + 2] >> (4 - r) & 1)) continue;
      AddCvt(edid, width, height, kRates[r], r == 4, false, "CVT 3-byte", EdidTimingKind::Cvt3Byte,
             {0, offset + static_cast<int>(at), 3, 4 - r});
    }
  }
}

void DecodeDescriptor(DecodedEdid& edid, Bytes d, int offset) {
  EdidDataBlock block;
  block.offset = offset;
  block.tag = d[3];
  block.bytes.assign(d.begin(), d.end());
  switch (d[3]) {
    case 0xFF:
      block.name = "Display Product Serial Number";
      block.lines.push_back("'" + DescriptorText(edid, d, offset) + "'");
      if (!edid.serial_text) edid.serial_text = block.lines.back().substr(1, block.lines.back().size() - 2);
      break;
    case 0xFE:
      block.name = "Alphanumeric Data String";
      edid.unspecified_text.push_back(DescriptorText(edid, d, offset));
      block.lines.push_back("'" + edid.unspecified_text.back() + "'");
      break;
    case 0xFC:
      block.name = "Display Product Name";
      block.lines.push_back("'" + DescriptorText(edid, d, offset) + "'");
      if (!edid.name) edid.name = block.lines.back().substr(1, block.lines.back().size() - 2);
      break;
    case 0xFD:
      block.name = "Display Range Limits";
      block.lines = RangeLines(*edid.range_limits);
      break;
    case 0xFB:
      block.name = "Color Point Data";
      for (std::size_t at = 5; at + 4 < 18 && d[at] != 0; at += 5) {
        const double x = (d[at + 2] << 2 | ((d[at + 1] >> 2) & 3)) / 1024.0;
        const double y = (d[at + 3] << 2 | (d[at + 1] & 3)) / 1024.0;
        block.lines.push_back("Index " + std::to_string(d[at]) + ": white " + Fixed(x, 4) + ", " + Fixed(y, 4) +
                              (d[at + 4] == 0xFF ? std::string() : ", gamma " + Fixed((d[at + 4] + 100) / 100.0, 2)));
      }
      break;
    case 0xFA:
      block.name = "Standard Timing Identifications";
      for (int i = 0; i < 6; ++i) {
        const std::size_t at = 5 + 2 * static_cast<std::size_t>(i);
        AddStandard(edid, d[at], d[at + 1], {0, offset + static_cast<int>(at), 2, -1});
      }
      break;
    case 0xF9:
      block.name = "Display Color Management Data";
      block.lines.push_back("Version " + std::to_string(d[5]) + ", coefficients " + HexList(d.subspan(6, 12)));
      break;
    case 0xF8:
      block.name = "CVT 3 Byte Timing Codes";
      DecodeCvt3Byte(edid, d, offset, block);
      break;
    case 0xF7:
      block.name = "Established timings III";
      for (std::size_t i = 0; i < kEstablishedIII.size(); ++i) {
        const std::size_t at = 6 + i / 8;
        const int bit = 7 - static_cast<int>(i % 8);
        if (!(d[at] >> bit & 1)) continue;
        const int id = kEstablishedIII[i];
        AddDmt(edid, id, "Established III: DMT " + HexByte(id), EdidTimingKind::EstablishedIII,
               {0, offset + static_cast<int>(at), 1, bit});
      }
      break;
    case 0x10:
      block.name = "Dummy Descriptor";
      break;
    default:
      if (d[3] <= 0x0F) {
        block.name = "Manufacturer-Specified Display Descriptor";
        block.lines.push_back(HexList(d.subspan(5)));
      } else {
        block.name = "Unknown Display Descriptor (tag " + HexByte(d[3]) + ")";
        block.lines.push_back(HexList(d.subspan(5)));
        edid.warnings.push_back("The display descriptor at byte " + std::to_string(offset) + " has the unknown tag " +
                                HexByte(d[3]) + ".");
      }
      break;
  }
  edid.descriptors.push_back(std::move(block));
}

}  // namespace

void DecodeBaseBlock(DecodedEdid& edid) {
  const Bytes b(edid.blocks[0].bytes);
  DecodeIdentity(edid, b);
  DecodeBasics(edid, b);
  // The range limits steer how the standard timings read: find them first.
  for (int offset = 54; offset < 126; offset += 18) {
    const Bytes d = b.subspan(static_cast<std::size_t>(offset), 18);
    if (d[0] == 0 && d[1] == 0 && d[3] == 0xFD && !edid.range_limits) {
      edid.range_limits = ReadRangeLimits(edid, d, offset);
    }
  }
  DecodeEstablished(edid, b);
  for (int i = 0; i < 8; ++i) {
    const std::size_t at = 38 + 2 * static_cast<std::size_t>(i);
    AddStandard(edid, b[at], b[at + 1], {0, static_cast<int>(at), 2, -1});
  }
  int dtd = 0;
  for (int offset = 54; offset < 126; offset += 18) {
    const Bytes d = b.subspan(static_cast<std::size_t>(offset), 18);
    if (d[0] != 0 || d[1] != 0) {
      std::optional<EdidTiming> timing = DetailedTiming(d, edid, "DTD " + std::to_string(++dtd));
      if (!timing) continue;
      timing->location = {0, offset, 18, -1};
      timing->preferred = offset == 54;
      edid.timings.push_back(std::move(*timing));
      continue;
    }
    DecodeDescriptor(edid, d, offset);
  }
}

}  // namespace zarn::modes::edid_decoding
