#include "modes/links_text.h"

#include <cstddef>

#include "modes/decimal.h"
#include "modes/links.h"
#include "modes/timing_text.h"

namespace zarn::modes {
namespace {

// Mbit/s to the kbit/s (some capacities are repeating decimals: 16/18 and
// 128/132 coding), rounded down so that no capacity is overstated.
std::string Mbps(std::uint64_t bits_per_second) { return ScaledDecimal(bits_per_second / 1000, 3, 0); }

}  // namespace

std::string LinksTable(const DisplayTiming& t) {
  std::string text = SummaryLine(t) + "\n\n" + PadRight("Data rate (Mbit/s)", 22);
  for (const int depth : kColourDepths) text += PadLeft(std::to_string(depth) + " bit", 11);
  text += "\n";
  for (const Sampling sampling : kSamplings) {
    text += PadRight(std::string("  ") + SamplingName(sampling), 22);
    for (const int depth : kColourDepths) {
      text += PadLeft(
          FormatExists(depth, sampling) ? Mbps(DataRateBitsPerSecond(t, depth, sampling)) : std::string("-"), 11);
    }
    text += "\n";
  }
  text += "\nEach link's capacity in Mbit/s, and the deepest colour it carries (bits per component)\n";
  text += PadRight("Link", 30) + PadLeft("Capacity", 12);
  for (const Sampling sampling : kSamplings) text += PadLeft(SamplingName(sampling), 11);
  text += "\n";
  for (const LinkCheck& link : CheckLinks(t)) {
    text += PadRight("  " + link.name, 30) + PadLeft(Mbps(link.capacity_bps), 12);
    for (std::size_t s = 0; s < kSamplings.size(); ++s) {
      std::string deepest = "-";
      for (std::size_t d = 0; d < kColourDepths.size(); ++d) {
        if (link.carries[d][s]) deepest = std::to_string(kColourDepths[d]);
      }
      text += PadLeft(deepest, 11);
    }
    text += "\n";
  }
  text +=
      "\nA dash: the link carries no depth of that sampling. The rates count the whole\n"
      "pixel clock, blanking included, and the links' line coding; see man zarn-timing.\n";
  return text;
}

std::string LinksJson(const DisplayTiming& t) {
  std::string json = JsonObject(t);
  json.pop_back();  // the closing brace: the link check goes on in the same object
  json += ", \"data_rate_mbps\": {";
  for (std::size_t s = 0; s < kSamplings.size(); ++s) {
    json += std::string(s == 0 ? "" : ", ") + "\"" + SamplingKey(kSamplings[s]) + "\": {";
    for (std::size_t d = 0; d < kColourDepths.size(); ++d) {
      const int depth = kColourDepths[d];
      json += std::string(d == 0 ? "" : ", ") + "\"" + std::to_string(depth) + "\": " +
              (FormatExists(depth, kSamplings[s]) ? Mbps(DataRateBitsPerSecond(t, depth, kSamplings[s]))
                                                  : std::string("null"));
    }
    json += "}";
  }
  json += "}, \"links\": [";
  const std::vector<LinkCheck> links = CheckLinks(t);
  for (std::size_t i = 0; i < links.size(); ++i) {
    const LinkCheck& link = links[i];
    json += std::string(i == 0 ? "" : ", ") + "{\"name\": \"" + link.name +
            "\", \"capacity_mbps\": " + Mbps(link.capacity_bps) + ", \"carries\": {";
    for (std::size_t s = 0; s < kSamplings.size(); ++s) {
      json += std::string(s == 0 ? "" : ", ") + "\"" + SamplingKey(kSamplings[s]) + "\": {";
      for (std::size_t d = 0; d < kColourDepths.size(); ++d) {
        json += std::string(d == 0 ? "" : ", ") + "\"" + std::to_string(kColourDepths[d]) +
                "\": " + (link.carries[d][s] ? "true" : "false");
      }
      json += "}";
    }
    json += "}}";
  }
  return json + "]}";
}

}  // namespace zarn::modes
