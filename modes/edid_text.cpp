#include "modes/edid_text.h"

#include <cstdio>

#include "modes/decimal.h"
#include "modes/timing_text.h"

namespace zarn::modes {
namespace {

std::string Bool(bool value) { return value ? "true" : "false"; }

std::string Text(std::string_view text) { return JsonString(ValidUtf8(text)); }

std::string OptionalText(const std::optional<std::string>& text) { return text ? Text(*text) : "null"; }

std::string Hex(int value) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%02x", static_cast<unsigned>(value & 0xFF));
  return text;
}

const char* FormulaName(EdidRangeLimits::Formula formula) {
  switch (formula) {
    case EdidRangeLimits::Formula::DefaultGtf:
      return "default GTF";
    case EdidRangeLimits::Formula::RangeLimitsOnly:
      return "range limits only";
    case EdidRangeLimits::Formula::SecondaryGtf:
      return "secondary GTF";
    case EdidRangeLimits::Formula::Cvt:
      return "CVT";
    default:
      return "unknown";
  }
}

std::string MadeIn(const DecodedEdid& e) {
  if (e.model_year) return "model year " + std::to_string(e.year);
  if (e.week == 0) return "made in " + std::to_string(e.year);
  return "made in week " + std::to_string(e.week) + " of " + std::to_string(e.year);
}

std::string BasicLine(const DecodedEdid& e) {
  std::string line = e.digital ? "digital" : "analog (" + e.analog_levels + ")";
  if (e.bits_per_color) line += ", " + std::to_string(e.bits_per_color) + " bits per colour";
  if (!e.interface.empty()) line += ", " + e.interface;
  if (e.screen_width_cm) {
    line += "; " + std::to_string(e.screen_width_cm) + " cm x " + std::to_string(e.screen_height_cm) + " cm";
  } else if (!e.aspect_ratio.empty()) {
    line += "; aspect ratio " + e.aspect_ratio;
  }
  line += e.gamma > 0.0 ? "; gamma " + FixedDecimal(e.gamma, 2) : "; gamma in an extension";
  std::string dpms;
  if (e.dpms_standby) dpms += " standby";
  if (e.dpms_suspend) dpms += " suspend";
  if (e.dpms_off) dpms += " off";
  if (!dpms.empty()) line += "; DPMS" + dpms;
  line += "; " + e.color_type;
  if (e.srgb_default) line += "; sRGB";
  const bool v14 = e.version == 1 && e.revision >= 4;
  if (e.preferred_timing_native) line += v14 ? "; preferred timing is native" : "; preferred timing in DTD 1";
  if (e.continuous_frequency) line += v14 ? "; continuous frequency" : "; GTF supported";
  return line;
}

}  // namespace

std::string ValidUtf8(std::string_view text) {
  std::string out;
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  for (std::size_t i = 0; i < text.size();) {
    const unsigned char c = byte(i);
    std::size_t length = 0;
    unsigned min = 0;
    if (c < 0x80) {
      length = 1;
    } else if (c >= 0xC2 && c <= 0xDF) {
      length = 2, min = 0x80;
    } else if (c >= 0xE0 && c <= 0xEF) {
      length = 3, min = 0x800;
    } else if (c >= 0xF0 && c <= 0xF4) {
      length = 4, min = 0x10000;
    }
    bool ok = length > 0 && i + length <= text.size();
    unsigned code = length == 1 ? c : c & (0x3Fu >> length);
    for (std::size_t k = 1; ok && k < length; ++k) {
      ok = (byte(i + k) & 0xC0) == 0x80;
      code = code << 6 | (byte(i + k) & 0x3Fu);
    }
    // Overlong forms, surrogates and code points past U+10FFFF are not UTF-8.
    if (ok && length > 1 && (code < min || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF)) ok = false;
    if (ok) {
      out.append(text.substr(i, length));
      i += length;
    } else {
      out += "\xEF\xBF\xBD";
      ++i;
    }
  }
  return out;
}

std::string EdidIdentityLine(const DecodedEdid& e) {
  char product[8];
  std::snprintf(product, sizeof product, "%04X", static_cast<unsigned>(e.product_code & 0xFFFF));
  std::string line = e.manufacturer + " " + (e.name ? ValidUtf8(*e.name) : std::string(product)) + " (" +
                     e.manufacturer + " " + product;
  if (e.serial_number != 0) line += ", serial " + std::to_string(e.serial_number);
  line += "), " + MadeIn(e) + "; EDID " + std::to_string(e.version) + "." + std::to_string(e.revision);
  if (e.screen_width_cm > 0) {
    line += "; " + std::to_string(e.screen_width_cm) + " x " + std::to_string(e.screen_height_cm) + " cm";
  }
  line += "; " + std::to_string(e.timings.size()) + (e.timings.size() == 1 ? " timing" : " timings");
  if (!e.warnings.empty()) {
    line += "; " + std::to_string(e.warnings.size()) + (e.warnings.size() == 1 ? " warning" : " warnings");
  }
  return line;
}

std::string EdidReport(const DecodedEdid& e) {
  std::string r = "EDID " + std::to_string(e.version) + "." + std::to_string(e.revision) + ": " +
                  std::to_string(e.blocks.size()) + " block" + (e.blocks.size() == 1 ? "" : "s") + ", " +
                  std::to_string(e.declared_extensions) + " extension" + (e.declared_extensions == 1 ? "" : "s") +
                  " announced\n";
  r += "Manufacturer " + e.manufacturer + ", product code " + std::to_string(e.product_code) + ", serial number " +
       std::to_string(e.serial_number) + ", " + MadeIn(e) + "\n";
  if (e.name) r += "Name: '" + ValidUtf8(*e.name) + "'\n";
  if (e.serial_text) r += "Serial: '" + ValidUtf8(*e.serial_text) + "'\n";
  for (const std::string& text : e.unspecified_text) r += "Text: '" + ValidUtf8(text) + "'\n";
  r += "Basic parameters: " + BasicLine(e) + "\n";
  static constexpr const char* kColors[4] = {"red", "green", "blue", "white"};
  r += "Chromaticity:";
  for (std::size_t i = 0; i < 4; ++i) {
    r += std::string(i ? "," : "") + " " + kColors[i] + " " + FixedDecimal(e.chromaticity[2 * i], 4) + " " +
         FixedDecimal(e.chromaticity[2 * i + 1], 4);
  }
  r += "\n";
  for (const EdidBlockInfo& block : e.blocks) {
    r += "\nBlock " + std::to_string(block.index) + ", " + block.name + " (checksum " + Hex(block.checksum) +
         (block.checksum_ok ? "" : ", should be " + Hex(block.expected_checksum)) + ")\n";
    for (const std::string& line : block.lines) r += "  " + ValidUtf8(line) + "\n";
    const std::vector<EdidDataBlock>& parts = block.index == 0 ? e.descriptors : block.data_blocks;
    for (const EdidDataBlock& part : parts) {
      r += "  " + part.name + " (byte " + std::to_string(part.offset) + ")\n";
      for (const std::string& line : part.lines) r += "    " + ValidUtf8(line) + "\n";
    }
    if (block.index == 0 && !e.manufacturer_timing_bits.empty()) {
      r += "  Manufacturer's timings: bits";
      for (const int bit : e.manufacturer_timing_bits) r += " " + std::to_string(bit);
      r += " of byte 0x25\n";
    }
  }
  // Every timing offered, numbered as --timing takes them.
  std::size_t origin_width = 6;
  for (const EdidTiming& t : e.timings) origin_width = std::max(origin_width, t.origin.size());
  r += "\nTimings: " + std::to_string(e.timings.size()) + "\n";
  for (std::size_t i = 0; i < e.timings.size(); ++i) {
    const EdidTiming& t = e.timings[i];
    const DisplayTiming& d = t.timing;
    const std::string size = std::to_string(d.h_active) + "x" +
                             std::to_string(d.interlaced ? 2 * d.v_active : d.v_active) + (d.interlaced ? "i" : "");
    r += PadLeft(std::to_string(i + 1), 5) + "  " + PadRight(ValidUtf8(t.origin), origin_width + 2) +
         PadRight(size, 11) + PadLeft(FixedDecimal(d.field_rate_hz(), 3), 9) + " Hz" +
         PadLeft(FixedDecimal(d.line_rate_hz() / 1e3, 3), 10) + " kHz" +
         PadLeft(ScaledDecimal(d.pixel_clock_hz, 6, 3), 12) + " MHz" + (t.preferred ? "  preferred" : "");
    if (t.detail &&
        (t.detail->image_width_mm || t.detail->h_border || t.detail->v_border || !t.detail->stereo.empty())) {
      r += "  (" + t.detail->sync;
      if (t.detail->image_width_mm) {
        r += ", " + std::to_string(t.detail->image_width_mm) + " mm x " + std::to_string(t.detail->image_height_mm) +
             " mm";
      }
      if (t.detail->h_border || t.detail->v_border) {
        r += ", borders " + std::to_string(t.detail->h_border) + " and " + std::to_string(t.detail->v_border);
      }
      if (!t.detail->stereo.empty()) r += ", " + t.detail->stereo;
      r += ")";
    }
    r += "\n";
  }
  r += "\nWarnings: " + std::to_string(e.warnings.size()) + "\n";
  for (const std::string& w : e.warnings) r += "  " + ValidUtf8(w) + "\n";
  return r;
}

std::string EdidJson(const DecodedEdid& e) {
  std::string j = "{\"blocks\": [";
  for (const EdidBlockInfo& block : e.blocks) {
    j += std::string(block.index ? ", " : "") + "{\"tag\": " + std::to_string(block.tag) +
         ", \"name\": " + Text(block.name) + ", \"checksum_ok\": " + Bool(block.checksum_ok) + "}";
  }
  j += "], \"extensions_declared\": " + std::to_string(e.declared_extensions);
  j += ", \"manufacturer\": " + Text(e.manufacturer) + ", \"product_code\": " + std::to_string(e.product_code) +
       ", \"serial_number\": " + std::to_string(e.serial_number) +
       ", \"week\": " + (e.week == 0 || e.model_year ? std::string("null") : std::to_string(e.week)) +
       ", \"year\": " + std::to_string(e.year) + ", \"model_year\": " + Bool(e.model_year) + ", \"version\": \"" +
       std::to_string(e.version) + "." + std::to_string(e.revision) + "\"";
  j += ", \"name\": " + OptionalText(e.name) + ", \"serial_text\": " + OptionalText(e.serial_text);
  j += ", \"digital\": " + Bool(e.digital);
  if (const auto& r = e.range_limits) {
    j += ", \"range_limits\": {\"min_v_rate_hz\": " + std::to_string(r->min_v_rate_hz) +
         ", \"max_v_rate_hz\": " + std::to_string(r->max_v_rate_hz) +
         ", \"min_h_rate_khz\": " + std::to_string(r->min_h_rate_khz) +
         ", \"max_h_rate_khz\": " + std::to_string(r->max_h_rate_khz) +
         ", \"max_pixel_clock_hz\": " + std::to_string(r->max_pixel_clock_hz) +
         ", \"formula\": " + Text(FormulaName(r->formula));
    if (r->formula == EdidRangeLimits::Formula::SecondaryGtf) {
      j += ", \"secondary_start_khz\": " + std::to_string(r->secondary_start_khz) +
           ", \"c\": " + ShortestDecimal(r->gtf_c) + ", \"m\": " + ShortestDecimal(r->gtf_m) +
           ", \"k\": " + ShortestDecimal(r->gtf_k) + ", \"j\": " + ShortestDecimal(r->gtf_j);
    }
    if (r->formula == EdidRangeLimits::Formula::Cvt) {
      j += ", \"cvt_version\": \"" + std::to_string(r->cvt_version_major) + "." + std::to_string(r->cvt_version_minor) +
           "\", \"cvt_max_pixel_clock_hz\": " + std::to_string(r->cvt_max_pixel_clock_hz) +
           ", \"cvt_max_h_active\": " + std::to_string(r->cvt_max_h_active) +
           ", \"cvt_reduced_blanking\": " + Bool(r->cvt_reduced_blanking) +
           ", \"cvt_standard_blanking\": " + Bool(r->cvt_standard_blanking) +
           ", \"cvt_preferred_rate_hz\": " + std::to_string(r->cvt_preferred_rate_hz);
    }
    j += "}";
  } else {
    j += ", \"range_limits\": null";
  }
  j += ", \"cta\": {\"hdmi_max_tmds_clock_mhz\": " + std::to_string(e.cta.hdmi_max_tmds_clock_mhz) +
       ", \"hdmi_forum_max_tmds_rate_mhz\": " + std::to_string(e.cta.hdmi_forum_max_tmds_rate_mhz) +
       ", \"hdmi_forum_max_frl\": " + Text(e.cta.hdmi_forum_max_frl_text) +
       ", \"freesync_min_rate_hz\": " + std::to_string(e.cta.freesync_min_rate_hz) +
       ", \"freesync_max_rate_hz\": " + std::to_string(e.cta.freesync_max_rate_hz) + "}";
  j += ", \"warnings\": [";
  for (std::size_t i = 0; i < e.warnings.size(); ++i) j += (i ? ", " : "") + Text(e.warnings[i]);
  j += "], \"timings\": [";
  for (std::size_t i = 0; i < e.timings.size(); ++i) {
    const EdidTiming& t = e.timings[i];
    const std::string figures = JsonObject(t.timing);
    j += std::string(i ? ", " : "") + "{\"origin\": " + Text(t.origin) + ", \"preferred\": " + Bool(t.preferred) +
         ", \"block\": " + std::to_string(t.location.block) + ", \"offset\": " + std::to_string(t.location.offset) +
         ", " + figures.substr(1);
  }
  return j + "]}";
}

}  // namespace zarn::modes
