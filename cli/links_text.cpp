#include "cli/links_text.h"

#include <cstddef>

#include "modes/decimal.h"
#include "modes/links.h"
#include "modes/timing_text.h"

namespace zarn::cli {
namespace {

using modes::kColourDepths;
using modes::kSamplings;

// Mbit/s to the kbit/s (some capacities are repeating decimals: 16/18 and
// 128/132 coding), rounded down so that no capacity is overstated.
std::string Mbps(std::uint64_t bits_per_second) { return modes::ScaledDecimal(bits_per_second / 1000, 3, 0); }

std::string PadLeft(const std::string& text, std::size_t width) {
  return text.size() >= width ? text : std::string(width - text.size(), ' ') + text;
}

std::string PadRight(const std::string& text, std::size_t width) {
  return text.size() >= width ? text : text + std::string(width - text.size(), ' ');
}

}  // namespace

std::string LinksTable(const modes::DisplayTiming& t) {
  std::string text = modes::SummaryLine(t) + "\n\n" + PadRight("Data rate (Mbit/s)", 22);
  for (const int depth : kColourDepths) text += PadLeft(std::to_string(depth) + " bit", 11);
  text += "\n";
  for (const modes::Sampling sampling : kSamplings) {
    text += PadRight(std::string("  ") + modes::SamplingName(sampling), 22);
    for (const int depth : kColourDepths) {
      text += PadLeft(modes::FormatExists(depth, sampling) ? Mbps(modes::DataRateBitsPerSecond(t, depth, sampling))
                                                           : std::string("-"),
                      11);
    }
    text += "\n";
  }
  text += "\nEach link's capacity in Mbit/s, and the deepest colour it carries (bits per component)\n";
  text += PadRight("Link", 30) + PadLeft("Capacity", 12);
  for (const modes::Sampling sampling : kSamplings) text += PadLeft(modes::SamplingName(sampling), 11);
  text += "\n";
  for (const modes::LinkCheck& link : modes::CheckLinks(t)) {
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

std::string LinksJson(const modes::DisplayTiming& t) {
  std::string json = modes::JsonObject(t);
  json.pop_back();  // the closing brace: the link check goes on in the same object
  json += ", \"data_rate_mbps\": {";
  for (std::size_t s = 0; s < kSamplings.size(); ++s) {
    json += std::string(s == 0 ? "" : ", ") + "\"" + modes::SamplingKey(kSamplings[s]) + "\": {";
    for (std::size_t d = 0; d < kColourDepths.size(); ++d) {
      const int depth = kColourDepths[d];
      json += std::string(d == 0 ? "" : ", ") + "\"" + std::to_string(depth) + "\": " +
              (modes::FormatExists(depth, kSamplings[s]) ? Mbps(modes::DataRateBitsPerSecond(t, depth, kSamplings[s]))
                                                         : std::string("null"));
    }
    json += "}";
  }
  json += "}, \"links\": [";
  const std::vector<modes::LinkCheck> links = modes::CheckLinks(t);
  for (std::size_t i = 0; i < links.size(); ++i) {
    const modes::LinkCheck& link = links[i];
    json += std::string(i == 0 ? "" : ", ") + "{\"name\": \"" + link.name +
            "\", \"capacity_mbps\": " + Mbps(link.capacity_bps) + ", \"carries\": {";
    for (std::size_t s = 0; s < kSamplings.size(); ++s) {
      json += std::string(s == 0 ? "" : ", ") + "\"" + modes::SamplingKey(kSamplings[s]) + "\": {";
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

}  // namespace zarn::cli
