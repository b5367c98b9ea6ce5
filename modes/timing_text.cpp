#include "modes/timing_text.h"

#include <cstdint>
#include <cstdio>
#include <string_view>

#include "modes/decimal.h"

namespace zarn::modes {
namespace {

std::int64_t FrameHeight(const DisplayTiming& t) { return t.interlaced ? 2 * std::int64_t{t.v_active} : t.v_active; }

std::string Size(const DisplayTiming& t) {
  return std::to_string(t.h_active) + "x" + std::to_string(FrameHeight(t)) + (t.interlaced ? "i" : "");
}

std::string Row(std::string_view name, int active, int front, int sync, int back, int total, std::string_view unit) {
  std::string row = PadRight(std::string(name), 16);
  for (const int value : {active, front, sync, back, total}) row += PadLeft(std::to_string(value), 8);
  return row + "  " + std::string(unit) + "\n";
}

}  // namespace

std::string PadLeft(const std::string& text, std::size_t width) {
  return text.size() >= width ? text : std::string(width - text.size(), ' ') + text;
}

std::string PadRight(const std::string& text, std::size_t width) {
  return text.size() >= width ? text : text + std::string(width - text.size(), ' ');
}

std::string JsonString(std::string_view text) {
  std::string out = "\"";
  for (const char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\t') {
      out += "\\t";
    } else if (c == '\r') {
      out += "\\r";
    } else if (static_cast<unsigned char>(c) < 0x20) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(static_cast<unsigned char>(c)));
      out += escape;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

namespace {

std::string JsonFigures(int active, int front, int sync, int back, int total) {
  return "{\"active\": " + std::to_string(active) + ", \"front_porch\": " + std::to_string(front) +
         ", \"sync\": " + std::to_string(sync) + ", \"back_porch\": " + std::to_string(back) +
         ", \"total\": " + std::to_string(total) + "}";
}

}  // namespace

std::string ReadableBlock(const DisplayTiming& t) {
  std::string text = t.source + ": " + Size(t) + "\n";
  text += PadRight("", 16) + "  Active   Front    Sync    Back   Total\n";
  text += Row("Horizontal", t.h_active, t.h_front_porch, t.h_sync, t.h_back_porch, t.h_total(), "pixels");
  text += Row(t.interlaced ? "Vertical/field" : "Vertical", t.v_active, t.v_front_porch, t.v_sync, t.v_back_porch,
              t.v_total(), t.v_half_line ? "lines, and half a line more in each field" : "lines");
  text += PadRight("Pixel clock", 16) + ScaledDecimal(t.pixel_clock_hz, 6, 0) + " MHz\n";
  text += PadRight("Line rate", 16) + FixedDecimal(t.line_rate_hz() / 1e3, 6) + " kHz\n";
  text += PadRight("Refresh rate", 16) + FixedDecimal(t.frame_rate_hz(), 6) + " Hz" +
          (t.interlaced ? " (frames)" : "") + "\n";
  if (t.interlaced) text += PadRight("Field rate", 16) + FixedDecimal(t.field_rate_hz(), 6) + " Hz\n";
  text += PadRight("Sync", 16) + (t.h_sync_positive ? "+hsync" : "-hsync") + " " +
          (t.v_sync_positive ? "+vsync" : "-vsync") + "\n";
  return text;
}

std::string SummaryLine(const DisplayTiming& t) {
  return PadRight(t.source + " ", 14) + PadRight(Size(t) + " ", 12) + PadLeft(FixedDecimal(t.field_rate_hz(), 6), 12) +
         " Hz" + PadLeft(FixedDecimal(t.line_rate_hz() / 1e3, 3), 11) + " kHz" +
         PadLeft(ScaledDecimal(t.pixel_clock_hz, 6, 3), 13) + " MHz";
}

std::string JsonObject(const DisplayTiming& t) {
  std::string json = "{\"source\": " + JsonString(t.source) +
                     ", \"pixel_clock_hz\": " + std::to_string(t.pixel_clock_hz) +
                     ", \"h\": " + JsonFigures(t.h_active, t.h_front_porch, t.h_sync, t.h_back_porch, t.h_total()) +
                     ", \"v\": " + JsonFigures(t.v_active, t.v_front_porch, t.v_sync, t.v_back_porch, t.v_total()) +
                     ", \"h_sync_positive\": " + (t.h_sync_positive ? "true" : "false") +
                     ", \"v_sync_positive\": " + (t.v_sync_positive ? "true" : "false") +
                     ", \"interlaced\": " + (t.interlaced ? "true" : "false") +
                     ", \"line_rate_hz\": " + ShortestDecimal(t.line_rate_hz()) +
                     ", \"refresh_rate_hz\": " + ShortestDecimal(t.frame_rate_hz());
  if (t.interlaced) json += ", \"field_rate_hz\": " + ShortestDecimal(t.field_rate_hz());
  return json + "}";
}

}  // namespace zarn::modes
