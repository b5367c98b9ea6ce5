#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/number_locale.h"

namespace zarn::engine {

// One predefined display mode: the list item and the nine field texts that
// selecting it writes. The pixel frequency is kept with a full stop; it is
// written in the user's locale through PixelFrequencyText.
struct PredefinedMode {
  std::int16_t listIndex;
  std::string_view itemText;
  std::string_view pixelFrequency;  // MHz, full stop as decimal separator
  std::string_view horActive;
  std::string_view horFrontPorch;
  std::string_view horSync;
  std::int16_t horBlanking;
  std::string_view verActive;
  std::string_view verFrontPorch;
  std::string_view verSync;
  std::int16_t verBlanking;
};

// The constant table behind the mode list: "-" (no predefined mode) at index 0
// and five modes at 1 to 5. The values are data, written exactly as listed.
class PredefinedModes {
 public:
  static constexpr int kItemCount = 6;

  // The six item texts in list order.
  static const std::array<std::string_view, kItemCount>& ItemTexts();

  // The row at a list index; nullptr for 0 ("-"), -1 (nothing selected) and
  // every index outside 1..5.
  static const PredefinedMode* Row(int listIndex);
};

// The row's pixel frequency with the user's decimal separator ("31,5" in a
// comma locale), so that reading it back gives the frequency in the table.
std::string PixelFrequencyText(const PredefinedMode& mode, const NumberLocale& locale);

}  // namespace zarn::engine
