#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace zarn::engine {

// The ten timing fields of the calculator window, in this order.
enum class TimingField {
  txtFrequency,      // pixel frequency, MHz
  txtRefreshRate,    // vertical refresh rate, Hz
  txtHorActive,      // visible pixels per line
  txtHorFrontPorch,  // informational only
  txtHorSync,        // informational only
  txtHorBlanking,    // whole horizontal blanking, pixels
  txtVerActive,      // visible lines per frame
  txtVerFrontPorch,  // informational only
  txtVerSync,        // informational only
  txtVerBlanking,    // whole vertical blanking, lines
};

// The texts of the ten fields at one moment. Texts, never numbers: each
// computation converts what it needs afresh.
struct TimingFields {
  std::string txtFrequency;
  std::string txtRefreshRate;
  std::string txtHorActive;
  std::string txtHorFrontPorch;
  std::string txtHorSync;
  std::string txtHorBlanking;
  std::string txtVerActive;
  std::string txtVerFrontPorch;
  std::string txtVerSync;
  std::string txtVerBlanking;

  std::string& operator[](TimingField field);
  const std::string& operator[](TimingField field) const;
};

// The ten fields described once, in the order above: the control's name,
// the text it holds when the window is created (before Form_Load replaces
// the frequency texts), whether a change of it enters a formula (front porch
// and sync are informational), and where its text is kept.
struct TimingFieldInfo {
  TimingField field;
  std::string_view name;
  std::string_view designTimeText;
  bool entersFormula;
  std::string TimingFields::*member;
};

inline constexpr std::array<TimingFieldInfo, 10> kTimingFieldTable = {{
    {TimingField::txtFrequency, "txtFrequency", "100", true, &TimingFields::txtFrequency},
    {TimingField::txtRefreshRate, "txtRefreshRate", "100", true, &TimingFields::txtRefreshRate},
    {TimingField::txtHorActive, "txtHorActive", "1280", true, &TimingFields::txtHorActive},
    {TimingField::txtHorFrontPorch, "txtHorFrontPorch", "16", false, &TimingFields::txtHorFrontPorch},
    {TimingField::txtHorSync, "txtHorSync", "144", false, &TimingFields::txtHorSync},
    {TimingField::txtHorBlanking, "txtHorBlanking", "408", true, &TimingFields::txtHorBlanking},
    {TimingField::txtVerActive, "txtVerActive", "1024", true, &TimingFields::txtVerActive},
    {TimingField::txtVerFrontPorch, "txtVerFrontPorch", "1", false, &TimingFields::txtVerFrontPorch},
    {TimingField::txtVerSync, "txtVerSync", "3", false, &TimingFields::txtVerSync},
    {TimingField::txtVerBlanking, "txtVerBlanking", "42", true, &TimingFields::txtVerBlanking},
}};

inline constexpr std::size_t kTimingFieldCount = kTimingFieldTable.size();

constexpr const TimingFieldInfo& FieldInfo(TimingField field) {
  return kTimingFieldTable[static_cast<std::size_t>(field)];
}

// The table's order is the enumeration's order.
static_assert([] {
  for (std::size_t i = 0; i < kTimingFieldCount; ++i) {
    if (static_cast<std::size_t>(kTimingFieldTable[i].field) != i) return false;
  }
  return true;
}());

inline constexpr std::array<TimingField, kTimingFieldCount> kAllTimingFields = [] {
  std::array<TimingField, kTimingFieldCount> fields{};
  for (std::size_t i = 0; i < kTimingFieldCount; ++i) fields[i] = kTimingFieldTable[i].field;
  return fields;
}();

constexpr std::string TimingFields::*FieldMember(TimingField field) { return FieldInfo(field).member; }

inline std::string& TimingFields::operator[](TimingField field) { return this->*FieldMember(field); }

inline const std::string& TimingFields::operator[](TimingField field) const { return this->*FieldMember(field); }

}  // namespace zarn::engine
