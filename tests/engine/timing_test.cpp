#include "engine/timing.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "engine/format_single.h"

namespace zarn::engine {
namespace {

const NumberLocale kFullStop{"."};
const NumberLocale kComma{","};
constexpr float kInf = std::numeric_limits<float>::infinity();

// The start-up geometry: totals 1688 x 1066 = 1799408.
TimingFields StartUp(std::string mhz = "135", std::string hz = "75") {
  return {std::move(mhz), std::move(hz), "1280", "16", "144", "408", "1024", "1", "3", "42"};
}

// Totals of 1000 x 1000, so the refresh rate equals the MHz figure.
TimingFields Square(std::string mhz) { return {std::move(mhz), "0", "1000", "", "", "0", "1000", "", "", "0"}; }

TEST(ComputeRefreshRate, GivesTheWorkedValues) {
  EXPECT_EQ(ComputeRefreshRate(StartUp("135"), kFullStop), 75.0f);
  EXPECT_EQ(ComputeRefreshRate(StartUp("100"), kFullStop), 55.6f);
  TimingFields big{"229.5", "", "1600", "", "", "560", "1200", "", "", "50"};
  EXPECT_EQ(ComputeRefreshRate(big, kFullStop), 85.0f);
  TimingFields vga{"25.175", "", "640", "", "", "160", "480", "", "", "45"};
  EXPECT_EQ(ComputeRefreshRate(vga, kFullStop), 59.9f);
}

TEST(ComputeRefreshRate, RoundsTheSingleValueHalvesToEven) {
  EXPECT_EQ(ComputeRefreshRate(Square("60.25"), kFullStop), 60.2f);
  EXPECT_EQ(ComputeRefreshRate(Square("60.75"), kFullStop), 60.8f);
  EXPECT_EQ(ComputeRefreshRate(Square("60.35"), kFullStop), 60.3f);
  EXPECT_EQ(ComputeRefreshRate(Square("60.45"), kFullStop), 60.5f);
}

TEST(ComputeRefreshRate, KeepsTheUnroundedValueBeyondTheInt16Range) {
  EXPECT_EQ(FormatSingle(ComputeRefreshRate(Square("3276.74"), kFullStop), kFullStop), "3276.7");
  EXPECT_EQ(FormatSingle(ComputeRefreshRate(Square("3276.75"), kFullStop), kFullStop), "3276.75");
  EXPECT_EQ(ComputeRefreshRate(Square("5000.123"), kFullStop), 5000.123046875f);
  EXPECT_EQ(FormatSingle(ComputeRefreshRate(Square("-3276.85"), kFullStop), kFullStop), "-3276.85");
  EXPECT_EQ(FormatSingle(ComputeRefreshRate(StartUp("1e30"), kFullStop), kFullStop), "5.557383E+29");
  EXPECT_EQ(ComputeRefreshRate(StartUp("1e40"), kFullStop), kInf);
  EXPECT_EQ(ComputeRefreshRate(StartUp("-1e40"), kFullStop), -kInf);
}

TEST(ComputeRefreshRate, AbsorbsFailedReadsAndOverflows) {
  TimingFields noActive = StartUp();
  noActive.txtHorActive = "";
  EXPECT_EQ(ComputeRefreshRate(noActive, kFullStop), kInf);
  noActive.txtFrequency = "0";
  EXPECT_TRUE(std::isnan(ComputeRefreshRate(noActive, kFullStop)));
  noActive.txtFrequency = "-135";
  EXPECT_EQ(ComputeRefreshRate(noActive, kFullStop), -kInf);

  EXPECT_EQ(ComputeRefreshRate(StartUp("abc"), kFullStop), 0.0f);

  TimingFields product{"135", "", "25000", "", "", "25000", "25000", "", "", "25000"};
  EXPECT_EQ(ComputeRefreshRate(product, kFullStop), kInf);  // 50000 x 50000 overflows int32

  TimingFields sum = StartUp();
  sum.txtVerActive = "2147483647";
  sum.txtVerBlanking = "1";
  EXPECT_EQ(ComputeRefreshRate(sum, kFullStop), kInf);  // the whole sum fails, not one term

  TimingFields oneTerm = StartUp();
  oneTerm.txtHorBlanking = "x";  // the valid active value must not survive as the total
  EXPECT_EQ(ComputeRefreshRate(oneTerm, kFullStop), kInf);
}

TEST(ComputeRefreshRate, ReadsGeometryHalvesToEvenAndNegativeValues) {
  TimingFields fields = StartUp();
  fields.txtHorActive = "1281.5";  // counts as 1282
  EXPECT_EQ(ComputeRefreshRate(fields, kFullStop), 74.9f);
  fields.txtHorActive = "1280.5";  // counts as 1280
  EXPECT_EQ(ComputeRefreshRate(fields, kFullStop), 75.0f);
  fields.txtHorActive = "-1280";  // HorizontalTotal -872
  EXPECT_EQ(ComputeRefreshRate(fields, kFullStop), -145.2f);
}

TEST(ComputeRefreshRate, IgnoresFrontPorchAndSync) {
  TimingFields fields = StartUp();
  fields.txtHorFrontPorch = "";
  fields.txtHorSync = "junk";
  fields.txtVerFrontPorch = "1e99";
  fields.txtVerSync = "-";
  EXPECT_EQ(ComputeRefreshRate(fields, kFullStop), 75.0f);
  EXPECT_EQ(ComputePixelFrequency(fields, kFullStop), 135.0f);
  EXPECT_EQ(HorizontalFrequencyCaption(fields, kFullStop), "Horizontal Frequency = 79.98 KHz");
}

TEST(ComputePixelFrequency, GivesTheWorkedValues) {
  EXPECT_EQ(ComputePixelFrequency(StartUp("", "75"), kFullStop), 135.0f);
  EXPECT_EQ(ComputePixelFrequency(StartUp("", "60"), kFullStop), 108.0f);
  EXPECT_EQ(ComputePixelFrequency(StartUp("", "100"), kFullStop), 179.9f);
  TimingFields big{"", "85", "1600", "", "", "560", "1200", "", "", "50"};
  EXPECT_EQ(ComputePixelFrequency(big, kFullStop), 229.5f);
  TimingFields vga{"", "59.94", "640", "", "", "160", "480", "", "", "45"};
  EXPECT_EQ(ComputePixelFrequency(vga, kFullStop), 25.2f);
  EXPECT_EQ(FormatSingle(ComputePixelFrequency(StartUp("", "1000000"), kFullStop), kFullStop), "1799408");
}

TEST(ComputePixelFrequency, GivesZeroForAZeroTotalOrAFailedRate) {
  TimingFields fields = StartUp("", "60");
  fields.txtHorActive = "";
  EXPECT_EQ(ComputePixelFrequency(fields, kFullStop), 0.0f);
  EXPECT_EQ(ComputePixelFrequency(StartUp("", "Infinity"), kFullStop), 0.0f);
  TimingFields product{"", "60", "25000", "", "", "25000", "25000", "", "", "25000"};
  EXPECT_EQ(ComputePixelFrequency(product, kFullStop), 0.0f);
  EXPECT_EQ(ComputePixelFrequency(StartUp("", "1e300"), kFullStop), kInf);  // beyond the single range
}

TEST(HorizontalFrequency, FormsTheCaption) {
  EXPECT_EQ(HorizontalFrequencyCaption(StartUp("135"), kFullStop), "Horizontal Frequency = 79.98 KHz");
  EXPECT_EQ(HorizontalFrequencyCaption(StartUp("100"), kFullStop), "Horizontal Frequency = 59.24 KHz");
  EXPECT_EQ(HorizontalFrequencyCaption(StartUp("135"), kComma), "Horizontal Frequency = 79,98 KHz");
  EXPECT_EQ(HorizontalFrequencyCaption(StartUp("abc"), kFullStop), "Horizontal Frequency = 0 KHz");
}

TEST(HorizontalFrequency, RoundsHundredthsThroughTheInt16Range) {
  TimingFields vga{"31.5", "", "640", "", "", "160", "", "", "", ""};  // 39.375: a tie
  EXPECT_EQ(HorizontalFrequencyCaption(vga, kFullStop), "Horizontal Frequency = 39.38 KHz");
  TimingFields thousand{"327.675", "", "1000", "", "", "0", "", "", "", ""};
  EXPECT_EQ(HorizontalFrequencyCaption(thousand, kFullStop), "Horizontal Frequency = 327.67 KHz");
  thousand.txtFrequency = "327.68";
  EXPECT_EQ(HorizontalFrequencyCaption(thousand, kFullStop), "Horizontal Frequency = 327.68 KHz");
  EXPECT_EQ(ComputeHorizontalFrequency(thousand, kFullStop), 327.68f);
  thousand.txtFrequency = "1000";
  EXPECT_EQ(HorizontalFrequencyCaption(thousand, kFullStop), "Horizontal Frequency = 1000 KHz");
}

TEST(HorizontalFrequency, ShowsInfinityAndNaNForAZeroTotal) {
  TimingFields fields = StartUp("135");
  fields.txtHorActive = "";
  EXPECT_EQ(HorizontalFrequencyCaption(fields, kFullStop), "Horizontal Frequency = Infinity KHz");
  fields.txtFrequency = "0";
  EXPECT_EQ(HorizontalFrequencyCaption(fields, kFullStop), "Horizontal Frequency = NaN KHz");
  // The vertical total does not enter the line frequency.
  TimingFields noVertical = StartUp("135");
  noVertical.txtVerActive = "";
  EXPECT_EQ(HorizontalFrequencyCaption(noVertical, kFullStop), "Horizontal Frequency = 79.98 KHz");
}

TEST(Computations, ReadTheCommaLocale) {
  TimingFields fields = StartUp("135", "75");
  EXPECT_EQ(ComputeRefreshRate(fields, kComma), 75.0f);
  fields.txtFrequency = "100,0";
  EXPECT_EQ(ComputeRefreshRate(fields, kComma), 55.6f);
  fields.txtFrequency = "100.0";  // a group separator there: not a number
  EXPECT_EQ(ComputeRefreshRate(fields, kComma), 0.0f);
  fields.txtRefreshRate = "59,94";
  fields.txtHorActive = "640";
  fields.txtHorBlanking = "160";
  fields.txtVerActive = "480";
  fields.txtVerBlanking = "45";
  EXPECT_EQ(FormatSingle(ComputePixelFrequency(fields, kComma), kComma), "25,2");
}

}  // namespace
}  // namespace zarn::engine
