#pragma once

#include <string_view>

#include "engine/timing_fields.h"

namespace zarn::forms {

// Texts the calculator window holds when it is created, before Form_Load.
// The user never sees the frequency texts, "Mode" or the caption: Form_Load
// replaces them before the window is shown.
constexpr std::string_view DesignTimeText(engine::TimingField field) { return engine::FieldInfo(field).designTimeText; }

inline constexpr std::string_view kDesignTimeModeText = "Mode";
inline constexpr std::string_view kDesignTimeHorizontalFrequencyCaption = "Horizontal frequency";

}  // namespace zarn::forms
