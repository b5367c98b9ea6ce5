#include "edid_decode_reference.h"

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <sstream>
#include <vector>

namespace zarn::modes::testing {
namespace {

int ValueAfter(const std::vector<std::string>& words, const std::string& key) {
  for (std::size_t i = 0; i + 1 < words.size(); ++i) {
    if (words[i] == key) return std::stoi(words[i + 1]);
  }
  return 0;
}

bool PositiveAfter(const std::vector<std::string>& words, const std::string& key) {
  for (std::size_t i = 0; i + 1 < words.size(); ++i) {
    if (words[i] == key) return words[i + 1] == "P";
  }
  return false;
}

std::vector<std::string> Words(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> words;
  for (std::string word; in >> word;) words.push_back(word);
  return words;
}

}  // namespace

std::uint64_t MegahertzTextToHz(const std::string& text) {
  std::uint64_t hz = 0;
  int decimals = -1;
  for (const char c : text) {
    if (c == '.') {
      decimals = 0;
      continue;
    }
    hz = hz * 10 + static_cast<std::uint64_t>(c - '0');
    if (decimals >= 0) ++decimals;
  }
  for (int i = decimals < 0 ? 0 : decimals; i < 6; ++i) hz *= 10;
  return hz;
}

std::string RunCommand(const std::string& command) {
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  std::string output;
  if (!pipe) return output;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe.get())) > 0;) output.append(buffer, n);
  return output;
}

bool EdidDecodeAvailable() {
  return RunCommand("edid-decode --version 2>/dev/null").find("edid-decode") != std::string::npos;
}

namespace {

// The timings in edid-decode's text, the first `limit` of them: each a summary line with the size and the
// clock in MHz, then its Hfront and Vfront lines. Reading stops there, before other text in a full decode.
std::vector<ReferenceTiming> ReadTimings(const std::string& text, std::size_t limit) {
  std::istringstream lines(text);
  std::vector<ReferenceTiming> timings;
  ReferenceTiming timing;
  bool have_summary = false, have_h = false;
  for (std::string line; std::getline(lines, line);) {
    const std::vector<std::string> words = Words(line);
    if (!have_summary) {
      for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& w = words[i];
        const auto x = w.find('x');
        if (x != std::string::npos && x > 0 && std::isdigit(static_cast<unsigned char>(w[0])) &&
            w.find(':') == std::string::npos) {
          timing.h_active = std::stoi(w.substr(0, x));
          timing.v_active = std::stoi(w.substr(x + 1));
          timing.interlaced = w.back() == 'i';
        }
        if (w == "MHz" && i > 0) {
          timing.pixel_clock_hz = MegahertzTextToHz(words[i - 1]);
          have_summary = timing.h_active > 0;
        }
      }
    } else if (!have_h && !words.empty() && words[0] == "Hfront") {
      timing.h_front_porch = ValueAfter(words, "Hfront");
      timing.h_sync = ValueAfter(words, "Hsync");
      timing.h_back_porch = ValueAfter(words, "Hback");
      timing.h_sync_positive = PositiveAfter(words, "Hpol");
      have_h = true;
    } else if (have_h && !words.empty() && words[0] == "Vfront") {
      timing.v_front_porch = ValueAfter(words, "Vfront");
      timing.v_sync = ValueAfter(words, "Vsync");
      timing.v_back_porch = ValueAfter(words, "Vback");
      timing.v_sync_positive = PositiveAfter(words, "Vpol");
      timing.v_half_line = line.find("+0.5") != std::string::npos;
      timings.push_back(timing);
      if (timings.size() == limit) break;
      timing = {};
      have_summary = have_h = false;
    }
  }
  return timings;
}

}  // namespace

std::vector<ReferenceTiming> EdidDecodeTimings(const std::string& arguments) {
  return ReadTimings(RunCommand("edid-decode " + arguments + " 2>/dev/null"), SIZE_MAX);
}

std::optional<ReferenceTiming> EdidDecodeTiming(const std::string& arguments) {
  const std::vector<ReferenceTiming> timings = ReadTimings(RunCommand("edid-decode " + arguments + " 2>/dev/null"), 1);
  if (timings.empty()) return std::nullopt;
  return timings.front();
}

}  // namespace zarn::modes::testing
