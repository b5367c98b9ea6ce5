#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/number_locale.h"
#include "modes/display_timing.h"

namespace zarn::forms {

// One mode of a standard's table as the Timings window lists it.
struct ListedMode {
  modes::DisplayTiming timing;
  std::string item;  // "DMT 0x24: 1280x1024 at 75.025 Hz", in the user's locale
  // What the filter matches: lowercase words ("dmt", "0x24", "1280x1024",
  // "1280", "1024", "75.025", ...), numbers with a full stop.
  std::vector<std::string> words;
  int dmtId = -1;  // the DMT ID, or -1
  int vic = -1;    // the VIC or HDMI VIC, or -1
};

// Every DMT mode in ID order.
std::vector<ListedMode> DmtList(const engine::NumberLocale& locale);
// Every CTA-861 video format in VIC order, then the HDMI VICs.
std::vector<ListedMode> CtaList(const engine::NumberLocale& locale);

// The filter box, read as the user types. Words separated by blanks must all
// match a mode, case aside:
// - "75Hz" or "75 Hz": a field rate that rounds to 75 at the decimals typed
//   ("59,94Hz" and "59.94Hz" alike: a filter has no use for grouping);
// - "VIC 16", "VIC16", "DMT 0x24", "DMT 36": that VIC (or HDMI VIC) or DMT ID, exactly;
// - anything else starts one of the mode's words: "1920" a width or height,
//   "0x2" DMT IDs 0x20 to 0x2F, "1920x1" a size, "16:9" a picture aspect.
// An empty filter matches every mode.
class ModeFilter {
 public:
  ModeFilter(std::string_view text, const engine::NumberLocale& locale);

  bool Matches(const ListedMode& mode) const;

 private:
  enum class Kind { Word, Rate, Dmt, Vic };
  struct Term {
    Kind kind;
    std::string text;  // Word: the prefix; Rate: the rate with a full stop
    int decimals = 0;  // Rate
    int number = 0;    // Dmt, Vic
  };
  std::vector<Term> terms_;
};

}  // namespace zarn::forms
