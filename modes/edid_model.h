#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "modes/display_timing.h"

namespace zarn::modes {

// What an EDID says, read: every block with its bytes, the base block's
// identity and parameters, the data blocks of the extensions, every timing
// offered with the place its bytes live, and what did not read cleanly.

// Where a timing lives: the 128-byte block, the byte offset within that block
// and how many bytes hold it; bit is the bit of that byte (7 to 0) for a
// timing that one bit offers (established timings), else -1.
struct EdidLocation {
  int block = 0;
  int offset = 0;
  int length = 0;
  int bit = -1;
  bool operator==(const EdidLocation&) const = default;
};

enum class EdidTimingKind {
  DetailedTiming,  // an 18-byte descriptor of the base block or of a CTA-861 block
  Established,     // a bit of established timings I and II
  EstablishedIII,  // a bit of the established timings III descriptor
  Standard,        // a 2-byte standard timing code
  Cvt3Byte,        // a 3-byte CVT code: one of the rates it offers
  Vic,             // a CTA-861 video data block's short video descriptor
  Ycbcr420Vic,     // a VIC of the YCbCr 4:2:0 video data block
  HdmiVic,         // a VIC of the HDMI vendor-specific data block
  DisplayIdType1,  // DisplayID 1.3 type I detailed timing (20 bytes)
  DisplayIdType3,  // DisplayID 1.3 type III short timing (3 bytes, CVT)
  DisplayIdType7,  // DisplayID 2.x type VII detailed timing (20 bytes)
  DisplayIdType8,  // DisplayID 2.x type VIII timing code (1 or 2 bytes)
  DisplayIdDmt,    // a bit of DisplayID 1.3's VESA DMT code block
  DisplayIdVic,    // a byte of DisplayID 1.3's CTA VIC code block
};

// The parts of a detailed timing (EDID's 18 bytes or DisplayID's 20) that are
// not in DisplayTiming.
struct DetailedTimingFacts {
  int image_width_mm = 0;
  int image_height_mm = 0;
  int h_border = 0;  // pixels on each side, counted in the porches beside them
  int v_border = 0;
  std::string sync;    // "digital separate", "analog composite", ...
  std::string stereo;  // empty when none
};

struct EdidTiming {
  DisplayTiming timing;  // timing.source is the origin too
  std::string origin;    // "DTD 1", "Established: DMT 0x24", "Standard: DMT 0x52", "VIC 16 (native)"
  EdidTimingKind kind = EdidTimingKind::DetailedTiming;
  EdidLocation location;
  bool preferred = false;
  bool native = false;  // a VIC marked native, or a CTA DTD counted native
  std::optional<DetailedTimingFacts> detail;
};

// The display range limits descriptor, figures as stored (offsets applied).
struct EdidRangeLimits {
  enum class Formula { DefaultGtf, RangeLimitsOnly, SecondaryGtf, Cvt, Unknown };
  int offset = 0;  // of the descriptor within the base block
  int min_v_rate_hz = 0;
  int max_v_rate_hz = 0;
  int min_h_rate_khz = 0;
  int max_h_rate_khz = 0;
  std::uint64_t max_pixel_clock_hz = 0;  // 0 when not given
  Formula formula = Formula::DefaultGtf;
  int formula_code = 0;  // byte 10
  // Secondary GTF curve.
  int secondary_start_khz = 0;
  double gtf_c = 0.0, gtf_m = 0.0, gtf_k = 0.0, gtf_j = 0.0;
  // CVT support information.
  int cvt_version_major = 0, cvt_version_minor = 0;
  std::uint64_t cvt_max_pixel_clock_hz = 0;  // the clock less the 0.25 MHz steps of byte 12
  int cvt_max_h_active = 0;                  // 0: no limit
  std::vector<std::string> cvt_aspects;      // "4:3", "16:9", ...
  std::string cvt_preferred_aspect;
  bool cvt_standard_blanking = false;
  bool cvt_reduced_blanking = false;
  std::vector<std::string> cvt_scaling;  // "horizontal shrink", ...
  int cvt_preferred_rate_hz = 0;
};

// One display descriptor of the base block (not a detailed timing), or one
// data block of a CTA-861 or DisplayID extension, with its bytes and what it
// says in readable lines.
struct EdidDataBlock {
  int offset = 0;  // within its block
  int tag = 0;
  int extended_tag = -1;  // CTA-861 blocks with tag 7
  std::string name;
  std::vector<std::uint8_t> bytes;  // the header included
  std::optional<std::uint32_t> oui;
  std::vector<std::string> lines;
};

// One 128-byte block and what was read out of it.
struct EdidBlockInfo {
  int index = 0;
  std::uint8_t tag = 0;  // 0x00 for the base block; 0x02 CTA-861, 0x70 DisplayID, 0xF0 block map
  std::string name;
  std::array<std::uint8_t, 128> bytes{};
  bool checksum_ok = true;
  std::uint8_t checksum = 0;           // the last byte
  std::uint8_t expected_checksum = 0;  // what makes the block sum to 0
  std::vector<std::string> lines;      // what the block's header says
  std::vector<EdidDataBlock> data_blocks;
};

// Key figures of the CTA-861 vendor blocks.
struct EdidCtaFacts {
  int hdmi_max_tmds_clock_mhz = 0;       // 0: not given
  int hdmi_forum_max_tmds_rate_mhz = 0;  // 0: not given
  int hdmi_forum_max_frl_rate = -1;      // the 4-bit code; -1: no HDMI Forum block
  std::string hdmi_forum_max_frl_text;   // "3 Gbps on 3 lanes", ...
  int freesync_min_rate_hz = 0;          // 0: no AMD FreeSync range
  int freesync_max_rate_hz = 0;
};

struct DecodedEdid {
  std::vector<std::uint8_t> bytes;  // every whole block read
  std::vector<EdidBlockInfo> blocks;
  int declared_extensions = 0;

  // Identity.
  std::string manufacturer;  // three letters
  int product_code = 0;
  std::uint32_t serial_number = 0;
  int week = 0;  // 0: not given; 255: the year is a model year
  int year = 0;  // 0: not given
  bool model_year = false;
  int version = 0;
  int revision = 0;

  // Basic display parameters.
  bool digital = false;
  int bits_per_color = 0;  // 0: not given
  std::string interface;   // "DisplayPort", "HDMI-a", ... (EDID 1.4); empty when not given
  std::string analog_levels;
  int screen_width_cm = 0;  // both 0: not given
  int screen_height_cm = 0;
  std::string aspect_ratio;  // when the size bytes give a ratio instead ("16:9 landscape")
  double gamma = 0.0;        // 0: not given
  bool dpms_standby = false, dpms_suspend = false, dpms_off = false;
  std::string color_type;  // "RGB 4:4:4", "RGB color display", ...
  bool srgb_default = false;
  bool preferred_timing_native = false;  // 1.4: the preferred timing is native; 1.3: always a preferred timing
  bool continuous_frequency = false;     // 1.4: continuous; 1.3: GTF supported
  std::array<double, 8> chromaticity{};  // red x y, green x y, blue x y, white x y

  std::vector<EdidDataBlock> descriptors;  // of the base block
  std::optional<std::string> name;         // of the first name descriptor
  std::optional<std::string> serial_text;  // of the first serial number descriptor
  std::vector<std::string> unspecified_text;
  std::optional<EdidRangeLimits> range_limits;
  std::vector<int> manufacturer_timing_bits;  // byte 0x25 bits 6 to 0 that are set

  EdidCtaFacts cta;
  std::vector<EdidTiming> timings;  // in the order the blocks hold them
  std::vector<std::string> warnings;
};

}  // namespace zarn::modes
