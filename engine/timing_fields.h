#pragma once

#include <array>
#include <string>

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

inline constexpr std::size_t kTimingFieldCount = 10;

inline constexpr std::array<TimingField, kTimingFieldCount> kAllTimingFields = {
    TimingField::txtFrequency,     TimingField::txtRefreshRate, TimingField::txtHorActive,
    TimingField::txtHorFrontPorch, TimingField::txtHorSync,     TimingField::txtHorBlanking,
    TimingField::txtVerActive,     TimingField::txtVerFrontPorch, TimingField::txtVerSync,
    TimingField::txtVerBlanking};

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

constexpr std::string TimingFields::*FieldMember(TimingField field) {
  switch (field) {
    case TimingField::txtFrequency: return &TimingFields::txtFrequency;
    case TimingField::txtRefreshRate: return &TimingFields::txtRefreshRate;
    case TimingField::txtHorActive: return &TimingFields::txtHorActive;
    case TimingField::txtHorFrontPorch: return &TimingFields::txtHorFrontPorch;
    case TimingField::txtHorSync: return &TimingFields::txtHorSync;
    case TimingField::txtHorBlanking: return &TimingFields::txtHorBlanking;
    case TimingField::txtVerActive: return &TimingFields::txtVerActive;
    case TimingField::txtVerFrontPorch: return &TimingFields::txtVerFrontPorch;
    case TimingField::txtVerSync: return &TimingFields::txtVerSync;
    case TimingField::txtVerBlanking: break;
  }
  return &TimingFields::txtVerBlanking;
}

inline std::string& TimingFields::operator[](TimingField field) { return this->*FieldMember(field); }

inline const std::string& TimingFields::operator[](TimingField field) const {
  return this->*FieldMember(field);
}

}  // namespace zarn::engine
