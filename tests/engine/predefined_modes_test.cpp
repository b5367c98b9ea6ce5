#include "engine/predefined_modes.h"

#include <gtest/gtest.h>

#include "engine/numeric.h"

namespace zarn::engine {
namespace {

TEST(PredefinedModes, ListsTheSixItemsInOrder) {
  const auto& items = PredefinedModes::ItemTexts();
  const char* expected[] = {"-",
                            "VESA 640x480 75Hz",
                            "VESA 800x600 85Hz",
                            "VESA 1024x768 75Hz",
                            "VESA 1280x1024 75Hz",
                            "VESA 1600x1200 85Hz"};
  ASSERT_EQ(items.size(), 6u);
  for (std::size_t i = 0; i < items.size(); ++i) EXPECT_EQ(items[i], expected[i]);
}

TEST(PredefinedModes, HasRowsOnlyForIndicesOneToFive) {
  for (const int index : {-32768, -1, 0, 6, 7, 32767}) EXPECT_EQ(PredefinedModes::Row(index), nullptr) << index;
  for (int index = 1; index <= 5; ++index) {
    ASSERT_NE(PredefinedModes::Row(index), nullptr);
    EXPECT_EQ(PredefinedModes::Row(index)->listIndex, index);
    EXPECT_EQ(PredefinedModes::Row(index)->itemText, PredefinedModes::ItemTexts()[static_cast<std::size_t>(index)]);
  }
  // Data kept as listed, whatever a timing standard says.
  EXPECT_EQ(PredefinedModes::Row(2)->horBlanking, 249);
  EXPECT_EQ(PredefinedModes::Row(1)->verFrontPorch, "11");
}

TEST(PredefinedModes, WritesThePixelFrequencyInTheUsersLocale) {
  const PredefinedMode& vga = *PredefinedModes::Row(1);
  EXPECT_EQ(vga.pixelFrequency, "31.5");  // the table keeps the full stop
  EXPECT_EQ(PixelFrequencyText(vga, NumberLocale{"."}), "31.5");
  EXPECT_EQ(PixelFrequencyText(vga, NumberLocale{","}), "31,5");
  EXPECT_EQ(PixelFrequencyText(*PredefinedModes::Row(4), NumberLocale{","}), "135");
  for (int index = 1; index <= 5; ++index) {
    const PredefinedMode& row = *PredefinedModes::Row(index);
    for (const char* separator : {".", ",", "\xD9\xAB"}) {
      const NumberLocale locale{separator};
      EXPECT_EQ(ParseDouble(PixelFrequencyText(row, locale), locale), ParseDouble(row.pixelFrequency, {}))
          << row.itemText << " with '" << separator << "'";
    }
  }
}

}  // namespace
}  // namespace zarn::engine
