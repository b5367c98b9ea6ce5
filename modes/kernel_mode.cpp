#include "modes/kernel_mode.h"

#include <cstdint>
#include <vector>

#include "modes/decimal.h"
#include "modes/kernel_formulas.h"
#include "modes/kernel_frame.h"
#include "modes/typed_text.h"

namespace zarn::modes {
namespace {

using ParseResult = Expected<KernelModeRequest>;

constexpr int kLargestNumber = 65535;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsConnectorCharacter(char c) { return IsDigit(c) || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '-'; }

ParseResult NotAMode(std::string_view mode) {
  return ParseResult::Failure("Expected a mode such as 1920x1080M@60 (WIDTHxHEIGHT[M][R][@RATE][i][m]), not " +
                              Quoted(mode, '"') + ".");
}

// Reads decimal digits at text[at]; nullopt when there are none. Stops
// counting above kLargestNumber + 1, so that any length of digits is safe.
std::optional<int> ReadNumber(std::string_view text, std::size_t& at) {
  const std::size_t start = at;
  int value = 0;
  for (; at < text.size() && IsDigit(text[at]); ++at) {
    if (value <= kLargestNumber) value = value * 10 + (text[at] - '0');
  }
  if (at == start) return std::nullopt;
  return value;
}

}  // namespace

Expected<KernelModeRequest> ParseKernelMode(std::string_view text) {
  KernelModeRequest request;
  std::string_view mode = text;
  if (mode.starts_with("video=")) mode.remove_prefix(6);
  if (const std::size_t colon = mode.find(':'); colon != std::string_view::npos) {
    const std::string_view connector = mode.substr(0, colon);
    bool well_formed = !connector.empty();
    for (const char c : connector) well_formed = well_formed && IsConnectorCharacter(c);
    if (!well_formed) {
      return ParseResult::Failure("Expected a connector name such as HDMI-A-1 before the colon, not " +
                                  Quoted(connector, '"') + ".");
    }
    request.connector = connector;
    mode.remove_prefix(colon + 1);
  }
  if (mode.find(',') != std::string_view::npos) {
    return ParseResult::Failure(
        "Options after a comma (rotate=, margin_left= and the like) are no part of the mode; give the mode alone, "
        "such as 1920x1080M@60.");
  }
  if (mode.find('-') != std::string_view::npos) {
    return ParseResult::Failure("A colour depth such as -24 is no part of the mode; leave it out.");
  }
  if (mode == "NTSC" || mode == "PAL") {
    return ParseResult::Failure(
        "The kernel's named TV modes NTSC and PAL are no computed modes; give "
        "WIDTHxHEIGHT, such as 1920x1080M@60.");
  }
  std::size_t at = 0;
  const auto width = ReadNumber(mode, at);
  if (!width || at == mode.size() || mode[at] != 'x') return NotAMode(mode);
  ++at;
  const auto height = ReadNumber(mode, at);
  if (!height) return NotAMode(mode);
  if (*width < 1 || *width > kLargestNumber || *height < 1 || *height > kLargestNumber) {
    return ParseResult::Failure("The width and height must be 1 to 65535 pixels and lines.");
  }
  request.width = *width;
  request.height = *height;
  // The letters after the height: M and R, and i and m too when no rate follows.
  const bool rate_follows = mode.find('@', at) != std::string_view::npos;
  for (; at < mode.size() && mode[at] != '@'; ++at) {
    const char c = mode[at];
    if (c == 'M') {
      request.cvt = true;
    } else if (c == 'R') {
      request.reduced = true;
    } else if ((c == 'i' || c == 'm') && rate_follows) {
      return ParseResult::Failure(
          "i and m go after the refresh rate, as in 1920x1080M@60i; the kernel reads them "
          "there only.");
    } else if (c == 'i') {
      request.interlaced = true;
    } else if (c == 'm') {
      request.margins = true;
    } else if (c == 'e' || c == 'd' || c == 'D') {
      return ParseResult::Failure(
          "The flags e, d and D switch the output on or off and are no part of the mode; "
          "leave them out.");
    } else {
      return NotAMode(mode);
    }
  }
  if (at < mode.size()) {
    ++at;  // the @
    const auto rate = ReadNumber(mode, at);
    if (!rate) return ParseResult::Failure("Expected a whole refresh rate after the @, such as @60.");
    if (*rate < 1 || *rate > kLargestNumber) {
      return ParseResult::Failure("The refresh rate must be 1 to 65535 Hz.");
    }
    request.rate = *rate;
    for (; at < mode.size(); ++at) {
      const char c = mode[at];
      if (c == 'i') {
        request.interlaced = true;
      } else if (c == 'm') {
        request.margins = true;
      } else if (c == 'M' || c == 'R') {
        return ParseResult::Failure(
            "M and R go before the refresh rate, as in 1920x1080MR@60; the kernel reads "
            "them there only.");
      } else if (c == 'e' || c == 'd' || c == 'D') {
        return ParseResult::Failure(
            "The flags e, d and D switch the output on or off and are no part of the "
            "mode; leave them out.");
      } else {
        return NotAMode(mode);
      }
    }
  }
  if (request.reduced && !request.cvt) {
    return ParseResult::Failure("R (reduced blanking) needs M: without it the kernel computes GTF and ignores R.");
  }
  return request;
}

std::string KernelModeText(const KernelModeRequest& r) {
  std::string text = std::to_string(r.width) + "x" + std::to_string(r.height);
  if (r.cvt) text += "M";
  if (r.reduced) text += "R";
  if (r.rate) text += "@" + std::to_string(*r.rate);
  if (r.interlaced) text += "i";
  if (r.margins) text += "m";
  return text;
}

Expected<DisplayTiming> KernelTiming(const KernelModeRequest& request) {
  if (request.reduced && !request.cvt) {
    return Expected<DisplayTiming>::Failure("Reduced blanking needs the kernel's CVT (M); its GTF ignores it.");
  }
  const KernelComputation computed = ComputeKernelMode(request);
  if (computed.outcome != KernelComputation::Outcome::Valid) {
    return Expected<DisplayTiming>::Failure(computed.reason);
  }
  auto timing = TimingOfKernelFrame(computed.frame, "Kernel " + KernelModeText(request));
  if (!timing) return timing;
  DisplayTiming t = *timing;
  t.reduced_blanking = request.reduced;
  return t;
}

std::string KernelModeDifferences(const DisplayTiming& kernel, const DisplayTiming& timing) {
  std::vector<std::string> differences;
  if (kernel.pixel_clock_hz != timing.pixel_clock_hz) {
    differences.push_back("pixel clock " + ScaledDecimal(kernel.pixel_clock_hz, 6, 0) + " MHz instead of " +
                          ScaledDecimal(timing.pixel_clock_hz, 6, 0) + " MHz");
  }
  const KernelFrame a = KernelFrameOf(kernel);
  const KernelFrame b = KernelFrameOf(timing);
  const struct {
    const char* what;
    std::int64_t ours, theirs;
  } figures[] = {
      {"width ", a.h_display, b.h_display},
      {"horizontal sync starts at ", a.h_sync_start, b.h_sync_start},
      {"horizontal sync ends at ", a.h_sync_end, b.h_sync_end},
      {"horizontal total ", a.h_total, b.h_total},
      {"height ", a.v_display, b.v_display},
      {"vertical sync starts at ", a.v_sync_start, b.v_sync_start},
      {"vertical sync ends at ", a.v_sync_end, b.v_sync_end},
      {"vertical total ", a.v_total, b.v_total},
  };
  for (const auto& figure : figures) {
    if (figure.ours != figure.theirs) {
      differences.push_back(figure.what + std::to_string(figure.ours) + " instead of " + std::to_string(figure.theirs));
    }
  }
  const auto word = [](bool flag, const char* yes, const char* no) { return std::string(flag ? yes : no); };
  if (a.interlaced != b.interlaced) {
    differences.push_back(word(a.interlaced, "interlaced", "progressive") + " instead of " +
                          word(b.interlaced, "interlaced", "progressive"));
  }
  if (a.h_sync_positive != b.h_sync_positive) {
    differences.push_back("horizontal sync " + word(a.h_sync_positive, "positive", "negative") + " instead of " +
                          word(b.h_sync_positive, "positive", "negative"));
  }
  if (a.v_sync_positive != b.v_sync_positive) {
    differences.push_back("vertical sync " + word(a.v_sync_positive, "positive", "negative") + " instead of " +
                          word(b.v_sync_positive, "positive", "negative"));
  }
  std::string text;
  for (const std::string& difference : differences) text += (text.empty() ? "" : "; ") + difference;
  return text;
}

}  // namespace zarn::modes
