#include "modes/request.h"

#include <cmath>
#include <string>

#include "modes/typed_text.h"

namespace zarn::modes {
namespace {

constexpr std::array<std::string_view, 4> kCurveNames = {"C", "M", "K", "J"};

std::string Capitalised(std::string_view text) {
  std::string result(text);
  if (!result.empty() && result[0] >= 'a' && result[0] <= 'z') result[0] = static_cast<char>(result[0] - 'a' + 'A');
  return result;
}

// How a message names a parameter.
std::string NameOf(const Parameter& p, const InputStyle& style) {
  if (style.command_line && p.kind != ValueKind::ModeNumber) return std::string(p.cli);
  return style.command_line ? std::string(p.name) : Capitalised(p.name);
}

// How a message names one part of a Figures or Curve parameter.
std::string PartName(const Parameter& p, std::size_t part, const InputStyle& style) {
  if (p.kind == ValueKind::Curve) return std::string(kCurveNames[part]) + " of " + std::string(p.cli);
  if (style.command_line) return "the " + std::string(kFigureNames[part]) + " of " + std::string(p.cli);
  return "The " + std::string(p.name) + " " + std::string(kFigureNames[part]);
}

double PartMin(const Parameter& p, std::size_t part) { return part == 0 ? p.min : 0.0; }

std::string WithUnit(std::string_view unit) { return unit.empty() ? std::string() : " " + std::string(unit); }

std::optional<ExactDecimal> ReadNumberText(std::string_view text, const InputStyle& style, bool fraction) {
  DecimalGrammar grammar = style.grammar;
  grammar.fraction = grammar.fraction && fraction;
  return ReadExactDecimal(text, grammar);
}

// A whole number from its digits: the value when exact, else something
// beyond every limit (it is still a whole number, only too large).
std::optional<double> WholeValue(std::string_view text, const InputStyle& style) {
  const auto number = ReadNumberText(text, style, !style.command_line);
  if (!number || !IsWhole(*number)) return std::nullopt;
  return ToDouble(*number);
}

std::optional<int> ModeNumberValue(std::string_view text) {
  std::uint64_t value = 0;
  std::string_view digits = text;
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    digits = text.substr(2);
    base = 16;
  }
  if (digits.empty() || digits.size() > 8) return std::nullopt;
  for (const char c : digits) {
    int digit = -1;
    if (c >= '0' && c <= '9') digit = c - '0';
    if (base == 16 && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    if (base == 16 && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    if (digit < 0) return std::nullopt;
    value = value * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(digit);
  }
  if (value > 0xFFFF) return std::nullopt;
  return static_cast<int>(value);
}

std::string Range(double min, double max, const InputStyle& style) {
  return "from " + StyledNumber(min, style) + " to " + StyledNumber(max, style);
}

}  // namespace

std::string StyledNumber(double value, const InputStyle& style) {
  std::string text = SourceNumberText(value);
  if (style.grammar.separator == ".") return text;
  std::string styled;
  for (const char c : text) {
    if (c == '.') {
      styled += style.grammar.separator;
    } else {
      styled += c;
    }
  }
  return styled;
}

InputStyle CommandLineStyle() {
  InputStyle style;
  style.grammar.separator = ".";
  style.grammar.other_separator = ",";
  style.grammar.digits_on_both_sides = true;
  style.quote = '\'';
  style.separator_note = " (a dot or a comma as the decimal separator)";
  style.command_line = true;
  return style;
}

InputStyle WindowStyle(std::string_view separator) {
  InputStyle style;
  style.grammar.separator = separator;
  style.grammar.sign = true;
  style.grammar.exponent = true;
  style.grammar.blanks = true;
  style.quote = '"';
  style.separator_note = ", with " + std::string(separator) + " as the decimal separator";
  style.command_line = false;
  return style;
}

Expected<double> ReadPart(const Parameter& p, std::size_t part, std::string_view text, const InputStyle& style) {
  if (p.kind == ValueKind::Curve) {
    const auto number = ReadNumberText(text, style, true);
    if (number && !number->negative) return ToDouble(*number);
    return Expected<double>::Failure(PartName(p, part, style) + " must be a number of 0 or more" +
                                     style.separator_note + ", not " + Quoted(text, style.quote) + ".");
  }
  const auto value = WholeValue(text, style);
  if (value && *value >= 0.0) return *value;
  return Expected<double>::Failure(PartName(p, part, style) + " must be a whole number " +
                                   Range(PartMin(p, part), p.max, style) + ", not " + Quoted(text, style.quote) + ".");
}

Expected<Value> ReadValue(const Parameter& p, std::string_view text, const InputStyle& style) {
  using Result = Expected<Value>;
  Value value;
  value.given = true;
  const std::string quoted = Quoted(text, style.quote);
  switch (p.kind) {
    case ValueKind::Whole:
    case ValueKind::Choice: {
      const auto number = WholeValue(text, style);
      const bool choice = p.kind == ValueKind::Choice;
      const double max = choice ? static_cast<double>(p.choices.size()) - 1.0 : p.max;
      if (!number || *number < 0.0 || (choice && *number > max)) {
        return Result::Failure(NameOf(p, style) + " must be a whole number " + Range(choice ? 0.0 : p.min, max, style) +
                               ", not " + quoted + ".");
      }
      value.number = *number;
      return value;
    }
    case ValueKind::Number: {
      const auto number = ReadNumberText(text, style, true);
      if (!number || number->negative) {
        return Result::Failure(NameOf(p, style) + " must be a number " + Range(p.min, p.max, style) + WithUnit(p.unit) +
                               style.separator_note + ", not " + quoted + ".");
      }
      value.number = ToDouble(*number);
      return value;
    }
    case ValueKind::Megahertz: {
      const auto number = ReadNumberText(text, style, true);
      const auto hertz = number ? ScaledUnits(*number, 6, UINT64_MAX) : std::nullopt;
      if (!number || number->negative || (!hertz && !IsWhole(ExactDecimal{number->digits, number->exponent + 6}))) {
        return Result::Failure(NameOf(p, style) + " must be a number of MHz " + Range(p.min, p.max, style) +
                               " with six decimals at most" + style.separator_note + ", not " + quoted + ".");
      }
      // A clock too large to count in hertz is still a clock: out of range.
      value.hertz = hertz.value_or(UINT64_MAX);
      value.number = static_cast<double>(value.hertz) / 1e6;
      return value;
    }
    case ValueKind::ModeNumber: {
      const auto number = ModeNumberValue(text);
      if (!number) {
        return Result::Failure(NameOf(p, style) + " must be a number, decimal or hexadecimal with 0x, not " + quoted +
                               ".");
      }
      value.number = *number;
      return value;
    }
    case ValueKind::Polarity:
      if (text == "+" || text == "-") {
        value.number = text == "+" ? 1.0 : 0.0;
        return value;
      }
      return Result::Failure("the option " + std::string(p.cli) + " takes + or -, not " + quoted + ".");
    case ValueKind::Flag:
      value.number = 1.0;
      return value;
    case ValueKind::EdidFile:
    case ValueKind::Monitor:
      value.word = std::string(text);
      return value;
    case ValueKind::Word:
      if (p.word_problem != nullptr) {
        if (std::string problem = p.word_problem(text); !problem.empty()) return Result::Failure(std::move(problem));
      }
      value.word = std::string(text);
      return value;
    case ValueKind::Figures:
    case ValueKind::Curve:
      break;
  }
  // Four parts, separated by commas (Figures) or given as one text each (Curve, read by ReadPart).
  std::string_view rest = text;
  for (std::size_t i = 0; i < 4; ++i) {
    const std::size_t comma = rest.find(',');
    if ((comma == std::string_view::npos) != (i == 3)) {
      return Result::Failure(std::string(p.cli) + " takes four whole numbers separated by commas (" +
                             std::string(p.value) + "), not " + quoted + ".");
    }
    const auto part = ReadPart(p, i, rest.substr(0, comma), style);
    if (!part) return Result::Failure(part.error());
    value.parts[i] = *part;
    rest = comma == std::string_view::npos ? std::string_view{} : rest.substr(comma + 1);
  }
  return value;
}

std::string LimitProblem(const Parameter& p, const Value& value, const InputStyle& style) {
  if (!value.given) return {};
  const auto outside = [](double v, double min, double max) { return !(v >= min && v <= max); };
  switch (p.kind) {
    case ValueKind::Whole:
    case ValueKind::Number:
    case ValueKind::Megahertz:
      if (outside(value.number, p.min, p.max) ||
          (p.kind == ValueKind::Megahertz && value.hertz > static_cast<std::uint64_t>(p.max * 1e6))) {
        return Capitalised(p.name) + " must be " + Range(p.min, p.max, style) + WithUnit(p.unit) + ".";
      }
      return {};
    case ValueKind::Figures:
      for (std::size_t i = 0; i < 4; ++i) {
        if (outside(value.parts[i], PartMin(p, i), p.max)) {
          return "The " + std::string(p.name) + " " + std::string(kFigureNames[i]) + " must be " +
                 Range(PartMin(p, i), p.max, style) + WithUnit(p.unit) + ".";
        }
      }
      return {};
    default:
      return {};
  }
}

std::string RequestProblem(std::span<const Parameter> parameters, std::span<const Value> values,
                           const InputStyle& style) {
  for (std::size_t i = 0; i < parameters.size() && i < values.size(); ++i) {
    if (std::string problem = LimitProblem(parameters[i], values[i], style); !problem.empty()) return problem;
  }
  return {};
}

}  // namespace zarn::modes
