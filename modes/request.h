#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "modes/decimal.h"
#include "modes/expected.h"

namespace zarn::modes {

// How a parameter of a timing request is given.
enum class ValueKind {
  Whole,       // a whole number: a size, a count, microseconds
  Number,      // a decimal number, to the nearest double: a rate
  Megahertz,   // a decimal number of megahertz, exact to the hertz
  ModeNumber,  // a mode's number, decimal or hexadecimal with 0x ("0x24", "36")
  Flag,        // on or off
  Polarity,    // + or -
  Choice,      // one of a list, by its index
  Word,        // a text taken as typed
  Figures,     // active, front porch, sync and back porch: four whole numbers
  Curve,       // four numbers (the GTF curve's C, M, K and J)
  EdidFile,    // an EDID's file ("-": standard input); the front end reads its bytes
  Monitor,     // an attached monitor by its connector; the front end reads its EDID
};

// One parameter of a source's request and the limits its standard sets.
// Front ends read a parameter's text for its kind alone; the limits are
// checked once, here, for every front end alike.
struct Parameter {
  constexpr Parameter(std::string_view key_, std::string_view cli_, std::string_view name_, ValueKind kind_)
      : key(key_), cli(cli_), name(name_), kind(kind_) {}

  std::string_view key;   // "width": how windows and tests refer to it
  std::string_view cli;   // "WIDTH" (a positional argument) or "--rb" (an option)
  std::string_view name;  // "the width", as a message names it ("horizontal" for Figures)
  ValueKind kind;
  double min = 0.0;        // the smallest and largest value, inclusive (Figures: of the active part;
  double max = 0.0;        // the other three parts start at 0)
  std::string_view unit;   // "pixels", "Hz"
  std::string_view value;  // how the help and messages show the value of an option: "MHZ", "A,F,S,B"
  int group = 0;           // parameters sharing a nonzero group are alternatives: exactly one is given
  bool required = false;   // an option that must be given
  std::span<const std::string_view> choices;  // Choice: the name of each index
  int needs = -1;                             // the index of a Choice parameter that must be set to needs_choice
  int needs_choice = -1;                      // for this parameter to apply
  // Word: why a text is not a word of the kind expected; empty when it is.
  std::string (*word_problem)(std::string_view text) = nullptr;

  // The same parameter with more said of it, for tables of parameters.
  constexpr Parameter Range(double min_, double max_, std::string_view unit_) const {
    Parameter p = *this;
    p.min = min_;
    p.max = max_;
    p.unit = unit_;
    return p;
  }
  constexpr Parameter Shown(std::string_view value_) const {
    Parameter p = *this;
    p.value = value_;
    return p;
  }
  constexpr Parameter Group(int group_) const {
    Parameter p = *this;
    p.group = group_;
    return p;
  }
  constexpr Parameter Required() const {
    Parameter p = *this;
    p.required = true;
    return p;
  }
  constexpr Parameter Choices(std::span<const std::string_view> choices_) const {
    Parameter p = *this;
    p.choices = choices_;
    return p;
  }
  constexpr Parameter Words(std::string (*problem)(std::string_view text)) const {
    Parameter p = *this;
    p.word_problem = problem;
    return p;
  }
  constexpr Parameter Needs(int parameter, int choice) const {
    Parameter p = *this;
    p.needs = parameter;
    p.needs_choice = choice;
    return p;
  }
};

// The value given for one parameter.
struct Value {
  bool given = false;
  double number = 0.0;              // Whole, Number, ModeNumber, Choice (the index), Flag and Polarity (1 or 0)
  std::uint64_t hertz = 0;          // Megahertz
  std::string word;                 // Word
  std::array<double, 4> parts{};    // Figures, Curve
  std::vector<std::uint8_t> bytes;  // EdidFile, Monitor: the EDID the front end read

  int Int() const { return static_cast<int>(number); }
  bool On() const { return number != 0.0; }
};

// How a front end reads and quotes what is typed.
struct InputStyle {
  DecimalGrammar grammar;
  char quote = '\'';
  // Said after a malformed number: " (a dot or a comma as the decimal separator)".
  std::string separator_note;
  // Whether messages name a parameter as the command line writes it ("WIDTH",
  // "--hblank") or in words ("The width").
  bool command_line = true;
};

// The names of the four figures of one direction.
inline constexpr std::array<std::string_view, 4> kFigureNames = {"active", "front porch", "sync", "back porch"};

// Reads what was typed for a parameter, for its kind only: a failure is a
// text that is not a value of that kind (a word where a number belongs,
// finer digits than a clock holds), never a value out of range. Flags and
// polarities have no text: they are set directly.
Expected<Value> ReadValue(const Parameter& parameter, std::string_view text, const InputStyle& style);

// One of the four parts of a Figures or Curve parameter.
Expected<double> ReadPart(const Parameter& parameter, std::size_t part, std::string_view text, const InputStyle& style);

// Why a value lies outside its parameter's limits ("The width must be from 8
// to 32767 pixels."), numbers written with the style's decimal separator;
// empty when it lies within.
std::string LimitProblem(const Parameter& parameter, const Value& value, const InputStyle& style);

// The first limit problem of a whole request (values in the order of the
// parameters, unset ones skipped); empty when there is none.
std::string RequestProblem(std::span<const Parameter> parameters, std::span<const Value> values,
                           const InputStyle& style);

// A number written with the style's decimal separator ("59,94").
std::string StyledNumber(double value, const InputStyle& style);

// The styles of the command line and of windows in a locale whose decimal
// separator is given.
InputStyle CommandLineStyle();
InputStyle WindowStyle(std::string_view separator);

}  // namespace zarn::modes
