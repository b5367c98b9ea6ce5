#pragma once

#include <string_view>

#include "engine/timing_fields.h"

namespace zarn::forms {

// Texts the calculator window holds when it is created, before Form_Load.
// The user never sees the frequency texts, "Mode" or the caption: Form_Load
// replaces them before the window is shown.
constexpr std::string_view DesignTimeText(engine::TimingField field) {
  using engine::TimingField;
  switch (field) {
    case TimingField::txtFrequency: return "100";
    case TimingField::txtRefreshRate: return "100";
    case TimingField::txtHorActive: return "1280";
    case TimingField::txtHorFrontPorch: return "16";
    case TimingField::txtHorSync: return "144";
    case TimingField::txtHorBlanking: return "408";
    case TimingField::txtVerActive: return "1024";
    case TimingField::txtVerFrontPorch: return "1";
    case TimingField::txtVerSync: return "3";
    case TimingField::txtVerBlanking: break;
  }
  return "42";
}

inline constexpr std::string_view kDesignTimeModeText = "Mode";
inline constexpr std::string_view kDesignTimeHorizontalFrequencyCaption = "Horizontal frequency";

}  // namespace zarn::forms
