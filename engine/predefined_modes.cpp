#include "engine/predefined_modes.h"

namespace zarn::engine {
namespace {

constexpr std::array<PredefinedMode, 5> kRows = {{
    {1, "VESA 640x480 75Hz", "31.5", "640", "16", "96", 160, "480", "11", "2", 45},
    {2, "VESA 800x600 85Hz", "56.25", "800", "32", "64", 249, "600", "1", "3", 31},
    {3, "VESA 1024x768 75Hz", "78.75", "1024", "16", "96", 288, "768", "1", "3", 32},
    {4, "VESA 1280x1024 75Hz", "135", "1280", "16", "144", 408, "1024", "1", "3", 42},
    {5, "VESA 1600x1200 85Hz", "229.5", "1600", "64", "192", 560, "1200", "1", "3", 50},
}};

constexpr std::array<std::string_view, PredefinedModes::kItemCount> kItemTexts = {
    "-", kRows[0].itemText, kRows[1].itemText, kRows[2].itemText, kRows[3].itemText, kRows[4].itemText};

}  // namespace

const std::array<std::string_view, PredefinedModes::kItemCount>& PredefinedModes::ItemTexts() { return kItemTexts; }

const PredefinedMode* PredefinedModes::Row(int listIndex) {
  if (listIndex < 1 || listIndex > static_cast<int>(kRows.size())) return nullptr;
  return &kRows[static_cast<std::size_t>(listIndex - 1)];
}

std::string PixelFrequencyText(const PredefinedMode& mode, const NumberLocale& locale) {
  std::string text;
  for (const char c : mode.pixelFrequency) {
    if (c == '.') {
      text += locale.Separator();
    } else {
      text += c;
    }
  }
  return text;
}

}  // namespace zarn::engine
