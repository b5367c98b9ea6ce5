#include "modes/edid_hex.h"

#include <algorithm>
#include <array>

namespace zarn::modes {
namespace {

constexpr std::array<std::uint8_t, 8> kHeader = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool IsSeparator(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == ',' || c == ';'; }

// One word as hex pairs: "00", "ffff", "0x3a", "00ffffffffffff00"; false for
// anything else ("EDID:", "[00]", "00000010:", "BAD", "....").
bool AppendWord(std::string_view word, std::vector<std::uint8_t>& bytes) {
  if (word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X')) word.remove_prefix(2);
  if (word.empty() || word.size() % 2 != 0) return false;
  for (const char c : word) {
    if (HexValue(c) < 0) return false;
  }
  for (std::size_t i = 0; i < word.size(); i += 2) {
    bytes.push_back(static_cast<std::uint8_t>(HexValue(word[i]) << 4 | HexValue(word[i + 1])));
  }
  return true;
}

}  // namespace

Expected<std::vector<std::uint8_t>> ParseEdidHex(std::string_view text) {
  // Line by line: a line gives its bytes when all its words are hex, or when
  // a label or offset leads at least four hex bytes ("EDID: 00 ff ...",
  // "00000010: 00ff ffff ..."). "GAMMA_LUT_SIZE: 4096" and "40 cm x 25 cm"
  // give none. Once the header has been read, the first line of words
  // without bytes ends the EDID, so that the next one in xrandr's output
  // stays out; blank lines (between edid-decode's blocks) do not.
  std::vector<std::uint8_t> bytes;
  bool have_header = false;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find('\n'), text.size());
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(std::min(end + 1, text.size()));
    // The words of the line; a first word of 7 or 8 digits before words of another length is
    // an offset (od, hexdump), as is such a word alone on the last line.
    std::vector<std::string_view> words;
    for (std::size_t at = 0; at < line.size();) {
      while (at < line.size() && IsSeparator(line[at])) ++at;
      std::size_t word_end = at;
      while (word_end < line.size() && !IsSeparator(line[word_end])) ++word_end;
      if (word_end > at) words.push_back(line.substr(at, word_end - at));
      at = word_end;
    }
    if (!words.empty() && (words[0].size() == 7 || words[0].size() == 8) &&
        (words.size() == 1 || words[1].size() != words[0].size())) {
      words.erase(words.begin());
    }
    std::vector<std::uint8_t> line_bytes;
    bool all_hex = true;
    for (const std::string_view word : words) {
      if (!AppendWord(word, line_bytes)) {
        // A label before the bytes is fine; a word after them ends the line (xxd's text column).
        all_hex = false;
        if (!line_bytes.empty()) break;
      }
    }
    const bool data = !line_bytes.empty() && (all_hex || line_bytes.size() >= 4);
    if (!data) {
      if (have_header && !words.empty()) break;
      continue;
    }
    bytes.insert(bytes.end(), line_bytes.begin(), line_bytes.end());
    if (!have_header) {
      const auto header = std::search(bytes.begin(), bytes.end(), kHeader.begin(), kHeader.end());
      if (header != bytes.end()) {
        bytes.erase(bytes.begin(), header);
        have_header = true;
      }
    }
  }
  if (bytes.empty()) return Expected<std::vector<std::uint8_t>>::Failure("The text holds no hex bytes of an EDID.");
  return bytes;
}

Expected<std::vector<std::uint8_t>> EdidBytesFromFile(std::string_view content) {
  const bool starts_with_header = content.size() >= kHeader.size() &&
                                  std::equal(kHeader.begin(), kHeader.end(), content.begin(),
                                             [](std::uint8_t a, char b) { return a == static_cast<std::uint8_t>(b); });
  const bool binary = starts_with_header || std::any_of(content.begin(), content.end(), [](char c) {
                        const auto u = static_cast<unsigned char>(c);
                        return u == 0 || u >= 0x80 || (u < 0x20 && !IsSeparator(c) && c != '\f' && c != '\v');
                      });
  if (binary) return std::vector<std::uint8_t>(content.begin(), content.end());
  return ParseEdidHex(content);
}

}  // namespace zarn::modes
