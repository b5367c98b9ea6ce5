#include "edid_decode_listing.h"

#include <cctype>
#include <sstream>

#include "edid_decode_reference.h"

namespace zarn::modes::testing {
namespace {

std::vector<std::string> Words(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> words;
  for (std::string word; in >> word;) words.push_back(word);
  return words;
}

std::string Collapse(const std::string& text) {
  std::string out;
  for (const std::string& word : Words(text)) out += (out.empty() ? "" : " ") + word;
  return out;
}

// The figure after key in "Hfront   88 Hsync  44 Hback  148 Hpol P Hborder 8"; fallback when absent.
std::string After(const std::vector<std::string>& words, const std::string& key, const std::string& fallback) {
  for (std::size_t i = 0; i + 1 < words.size(); ++i) {
    if (words[i] == key) return words[i + 1];
  }
  return fallback;
}

// A headline "LABEL:  1920x1080i  60.000000 Hz  16:9  33.750 kHz  74.250000 MHz ...": the position of the
// colon that ends the label, or npos.
std::size_t LabelEnd(const std::string& line) {
  for (std::size_t colon = line.find(':'); colon != std::string::npos; colon = line.find(':', colon + 1)) {
    std::size_t at = colon + 1;
    while (at < line.size() && line[at] == ' ') ++at;
    std::size_t digits = at;
    while (digits < line.size() && std::isdigit(static_cast<unsigned char>(line[digits]))) ++digits;
    if (digits > at && digits < line.size() && line[digits] == 'x' && line.find(" MHz") != std::string::npos &&
        line.find(" Hz ") != std::string::npos) {
      return colon;
    }
  }
  return std::string::npos;
}

}  // namespace

EdidDecodeListing ParseEdidDecodeListing(const std::string& text) {
  EdidDecodeListing listing;
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  std::string section;
  bool in_base_block = false;  // the identity is the base block's, not a DisplayID block's
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    const std::vector<std::string> words = Words(line);
    if (const std::size_t colon = LabelEnd(line); colon != std::string::npos && i + 2 < lines.size()) {
      ListedTiming listed;
      listed.label = Collapse(line.substr(0, colon));
      listed.section = section;
      const std::vector<std::string> head = Words(line.substr(colon + 1));
      ReferenceTiming& t = listed.timing;
      const std::string size = head[0];
      t.interlaced = size.back() == 'i';
      t.h_active = std::stoi(size.substr(0, size.find('x')));
      t.v_active = std::stoi(size.substr(size.find('x') + 1));
      if (t.interlaced) t.v_active /= 2;
      for (std::size_t w = 1; w < head.size(); ++w) {
        if (head[w] == "MHz") {
          t.pixel_clock_hz = MegahertzTextToHz(head[w - 1]);
          break;
        }
      }
      const std::vector<std::string> h = Words(lines[i + 1]);
      const std::vector<std::string> v = Words(lines[i + 2]);
      const int h_border = std::stoi(After(h, "Hborder", "0"));
      const int v_border = std::stoi(After(v, "Vborder", "0"));
      t.h_front_porch = std::stoi(After(h, "Hfront", "0")) + h_border;
      t.h_sync = std::stoi(After(h, "Hsync", "0"));
      t.h_back_porch = std::stoi(After(h, "Hback", "0")) + h_border;
      t.h_sync_positive = After(h, "Hpol", "N") == "P";
      t.v_front_porch = std::stoi(After(v, "Vfront", "0")) + v_border;
      t.v_sync = std::stoi(After(v, "Vsync", "0"));
      t.v_back_porch = std::stoi(After(v, "Vback", "0")) + v_border;
      t.v_sync_positive = After(v, "Vpol", "N") == "P";
      t.v_half_line = lines[i + 2].find("+0.5") != std::string::npos;
      listed.v_polarity_given = After(v, "Vpol", "") != "";
      listing.timings.push_back(listed);
      i += 2;
      continue;
    }
    if (line.starts_with("Block ") || (line.size() > 2 && line.starts_with("  ") && line[2] != ' ')) {
      section = Collapse(line);
    }
    if (line.starts_with("Block ")) in_base_block = line.starts_with("Block 0,");
    if (line.starts_with("Checksum: ")) listing.checksums_ok.push_back(line.find("should be") == std::string::npos);
    if (!in_base_block) continue;
    if (words.size() >= 2 && words[0] == "Manufacturer:") listing.manufacturer = words[1];
    if (words.size() >= 2 && words[0] == "Model:") listing.product_code = std::stoi(words[1]);
    if (words.size() >= 3 && words[0] == "Serial" && words[1] == "Number:")
      listing.serial_number = std::stoll(words[2]);
    if (words.size() >= 3 && words[0] == "Model" && words[1] == "year:") {
      listing.model_year = true;
      listing.year = std::stoi(words[2]);
    }
    if (words.size() >= 3 && words[0] == "Made" && words[1] == "in:") {
      if (words[2] == "week" && words.size() >= 6) {
        listing.week = std::stoi(words[3]);
        listing.year = std::stoi(words[5]);
      } else {
        listing.year = std::stoi(words[2]);
      }
    }
    const std::string name_key = "Display Product Name: '";
    if (const std::size_t at = line.find(name_key); at != std::string::npos && line.back() == '\'') {
      if (!listing.name) listing.name = line.substr(at + name_key.size(), line.size() - at - name_key.size() - 1);
    }
  }
  return listing;
}

EdidDecodeListing EdidDecodeListingOf(const std::string& path) {
  return ParseEdidDecodeListing(RunCommand("edid-decode -L '" + path + "' 2>/dev/null"));
}

}  // namespace zarn::modes::testing
