#include "forms/timings/mode_list.h"

#include <cstdint>
#include <optional>

#include "forms/timings/locale_number.h"
#include "modes/cta.h"
#include "modes/decimal.h"
#include "modes/dmt.h"

namespace zarn::forms {
namespace {

using modes::DisplayTiming;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string Lowercase(std::string_view text) {
  std::string out;
  for (const char c : text) out += Lower(c);
  return out;
}

std::vector<std::string> SplitBlanks(std::string_view text) {
  std::vector<std::string> words;
  std::string word;
  for (const char c : text) {
    if (c == ' ' || c == '\t') {
      if (!word.empty()) words.push_back(std::move(word));
      word.clear();
    } else {
      word += c;
    }
  }
  if (!word.empty()) words.push_back(std::move(word));
  return words;
}

// A rate as a list shows it: three decimals at most, no trailing zeros.
std::string RateText(double hertz) {
  std::string text = modes::FixedDecimal(hertz, 3);
  while (text.back() == '0') text.pop_back();
  if (text.back() == '.') text.pop_back();
  return text;
}

std::string FrameHeight(const DisplayTiming& t) {
  return std::to_string(t.interlaced ? 2 * std::int64_t{t.v_active} : t.v_active) + (t.interlaced ? "i" : "");
}

ListedMode Listed(DisplayTiming timing, const engine::NumberLocale& locale) {
  ListedMode mode;
  const std::string width = std::to_string(timing.h_active);
  const std::string height = FrameHeight(timing);
  const std::string rate = RateText(timing.field_rate_hz());
  mode.item = timing.source + ": " + width + "x" + height + " at " + WithLocaleSeparator(rate, locale) + " Hz";
  if (timing.aspect.horizontal > 0) {
    mode.item += ", " + std::to_string(timing.aspect.horizontal) + ":" + std::to_string(timing.aspect.vertical);
  }
  if (timing.reduced_blanking) mode.item += ", reduced blanking";
  mode.words = SplitBlanks(Lowercase(timing.source));
  for (const std::string& word : {width + "x" + height, width, height, rate}) mode.words.push_back(word);
  if (timing.aspect.horizontal > 0) {
    mode.words.push_back(std::to_string(timing.aspect.horizontal) + ":" + std::to_string(timing.aspect.vertical));
  }
  if (timing.reduced_blanking) mode.words.emplace_back("rb");
  if (timing.interlaced) mode.words.emplace_back("interlaced");
  mode.timing = std::move(timing);
  return mode;
}

// "36" or "0x24"; nullopt for anything else.
std::optional<int> ModeNumber(std::string_view text) {
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && text[1] == 'x') {
    base = 16;
    text.remove_prefix(2);
  }
  if (text.empty() || text.size() > 6) return std::nullopt;
  int value = 0;
  for (const char c : text) {
    int digit = -1;
    if (IsDigit(c)) digit = c - '0';
    if (base == 16 && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    if (digit < 0) return std::nullopt;
    value = value * base + digit;
  }
  return value;
}

// "75" or "59.94": the number of decimals, or nullopt.
std::optional<int> RateDecimals(std::string_view text) {
  const std::size_t point = text.find('.');
  const std::string_view whole = text.substr(0, point);
  const std::string_view fraction = point == std::string_view::npos ? std::string_view{} : text.substr(point + 1);
  if (whole.empty() || whole.size() > 6 || fraction.size() > 6) return std::nullopt;
  if (point != std::string_view::npos && fraction.empty()) return std::nullopt;
  for (const char c : whole) {
    if (!IsDigit(c)) return std::nullopt;
  }
  for (const char c : fraction) {
    if (!IsDigit(c)) return std::nullopt;
  }
  return static_cast<int>(fraction.size());
}

}  // namespace

std::vector<ListedMode> DmtList(const engine::NumberLocale& locale) {
  std::vector<ListedMode> list;
  for (const modes::DmtMode& row : modes::DmtModes()) {
    list.push_back(Listed(modes::ToTiming(row), locale));
    list.back().dmtId = row.id;
  }
  return list;
}

std::vector<ListedMode> CtaList(const engine::NumberLocale& locale) {
  std::vector<ListedMode> list;
  for (const modes::CtaMode& row : modes::CtaModes()) {
    list.push_back(Listed(modes::VicTiming(row.vic).value(), locale));
    list.back().vic = row.vic;
  }
  for (const modes::CtaMode& row : modes::HdmiVicModes()) {
    list.push_back(Listed(modes::HdmiVicTiming(row.vic).value(), locale));
    list.back().vic = row.vic;
  }
  return list;
}

ModeFilter::ModeFilter(std::string_view text, const engine::NumberLocale& locale) {
  // Numbers with a full stop, whether typed with the user's separator, a
  // comma or a full stop: a filter has no other use for either.
  std::string normal = Lowercase(text);
  for (const std::string& separator : {Lowercase(locale.Separator()), std::string(",")}) {
    for (std::size_t at = normal.find(separator); at != std::string::npos; at = normal.find(separator, at + 1)) {
      normal.replace(at, separator.size(), ".");
    }
  }
  const std::vector<std::string> words = SplitBlanks(normal);
  for (std::size_t i = 0; i < words.size(); ++i) {
    const std::string& word = words[i];
    const std::string next = i + 1 < words.size() ? words[i + 1] : std::string();
    // "75 Hz" and "75Hz".
    std::string rate;
    if (next == "hz" && RateDecimals(word)) {
      rate = word;
      ++i;
    } else if (word.size() > 2 && word.ends_with("hz")) {
      rate = word.substr(0, word.size() - 2);
    }
    if (const auto decimals = rate.empty() ? std::nullopt : RateDecimals(rate)) {
      terms_.push_back({Kind::Rate, rate, *decimals, 0});
      continue;
    }
    // "VIC 16", "VIC16", "DMT 0x24".
    bool numbered = false;
    for (const auto& [keyword, kind] : {std::pair{"vic", Kind::Vic}, std::pair{"dmt", Kind::Dmt}}) {
      std::optional<int> number;
      if (word == keyword) {
        number = ModeNumber(next);
        if (number) ++i;
      } else if (word.starts_with(keyword)) {
        number = ModeNumber(std::string_view(word).substr(3));
      }
      if (number) {
        terms_.push_back({kind, word, 0, *number});
        numbered = true;
        break;
      }
    }
    if (numbered) continue;
    terms_.push_back({Kind::Word, word, 0, 0});
  }
}

bool ModeFilter::Matches(const ListedMode& mode) const {
  for (const Term& term : terms_) {
    switch (term.kind) {
      case Kind::Rate:
        if (modes::FixedDecimal(mode.timing.field_rate_hz(), term.decimals) != term.text) return false;
        break;
      case Kind::Dmt:
        if (mode.dmtId != term.number) return false;
        break;
      case Kind::Vic:
        if (mode.vic != term.number) return false;
        break;
      case Kind::Word: {
        bool found = false;
        for (const std::string& word : mode.words) found = found || word.starts_with(term.text);
        if (!found) return false;
        break;
      }
    }
  }
  return true;
}

}  // namespace zarn::forms
