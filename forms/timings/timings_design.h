#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "forms/timings/timings_view.h"

namespace zarn::forms {

// The Timings window's inputs described once, for the window and for the
// in-memory window of the tests: the control's name, what it holds when the
// window opens (numbers with a full stop; Form_Load writes them in the
// user's locale) and the name a screen reader gives it.
struct TimingsTextInfo {
  TimingsText input;
  std::string_view name;
  std::string_view designText;
  std::string_view accessibleName;
};

inline constexpr std::array<TimingsTextInfo, 20> kTimingsTexts = {{
    {TimingsText::txtFilter, "txtFilter", "", "Filter the modes"},
    {TimingsText::txtCvtWidth, "txtCvtWidth", "1920", "CVT width in pixels"},
    {TimingsText::txtCvtHeight, "txtCvtHeight", "1080", "CVT height in lines"},
    {TimingsText::txtCvtRate, "txtCvtRate", "60", "CVT refresh rate in hertz"},
    {TimingsText::txtCvtHBlank, "txtCvtHBlank", "", "CVT horizontal blanking in pixels"},
    {TimingsText::txtCvtVBlank, "txtCvtVBlank", "", "CVT vertical blanking time in microseconds"},
    {TimingsText::txtGtfWidth, "txtGtfWidth", "1920", "GTF width in pixels"},
    {TimingsText::txtGtfHeight, "txtGtfHeight", "1080", "GTF height in lines"},
    {TimingsText::txtGtfValue, "txtGtfValue", "60", "GTF rate or pixel clock"},
    {TimingsText::txtCustomClock, "txtCustomClock", "148.5", "Custom pixel clock in megahertz"},
    {TimingsText::txtCustomHActive, "txtCustomHActive", "1920", "Custom horizontal active pixels"},
    {TimingsText::txtCustomHFrontPorch, "txtCustomHFrontPorch", "88", "Custom horizontal front porch"},
    {TimingsText::txtCustomHSync, "txtCustomHSync", "44", "Custom horizontal sync"},
    {TimingsText::txtCustomHBackPorch, "txtCustomHBackPorch", "148", "Custom horizontal back porch"},
    {TimingsText::txtCustomVActive, "txtCustomVActive", "1080", "Custom vertical active lines"},
    {TimingsText::txtCustomVFrontPorch, "txtCustomVFrontPorch", "4", "Custom vertical front porch"},
    {TimingsText::txtCustomVSync, "txtCustomVSync", "5", "Custom vertical sync"},
    {TimingsText::txtCustomVBackPorch, "txtCustomVBackPorch", "36", "Custom vertical back porch"},
    {TimingsText::txtOutput, "txtOutput", "", "Output name"},
    {TimingsText::txtDisplayName, "txtDisplayName", "", "EDID display name"},
}};

struct TimingsCheckInfo {
  TimingsCheck option;
  std::string_view name;
  std::string_view caption;  // with its access key
  bool designChecked;
};

inline constexpr std::array<TimingsCheckInfo, 11> kTimingsChecks = {{
    {TimingsCheck::chkCalculatorHSync, "chkCalculatorHSync", "Positive &horizontal sync", true},
    {TimingsCheck::chkCalculatorVSync, "chkCalculatorVSync", "Positive &vertical sync", true},
    {TimingsCheck::chkCvtInterlaced, "chkCvtInterlaced", "Inter&laced", false},
    {TimingsCheck::chkCvtMargins, "chkCvtMargins", "&Margins", false},
    {TimingsCheck::chkCvtVideoOptimized, "chkCvtVideoOptimized", "Vi&deo-optimised rate (1000/1001)", false},
    {TimingsCheck::chkCvtEarlyVsync, "chkCvtEarlyVsync", "Earl&y vertical sync", false},
    {TimingsCheck::chkGtfInterlaced, "chkGtfInterlaced", "Inter&laced", false},
    {TimingsCheck::chkGtfMargins, "chkGtfMargins", "&Margins", false},
    {TimingsCheck::chkCustomHSync, "chkCustomHSync", "Positive &horizontal sync", true},
    {TimingsCheck::chkCustomVSync, "chkCustomVSync", "Positive &vertical sync", true},
    {TimingsCheck::chkCustomInterlaced, "chkCustomInterlaced", "Inter&laced", false},
}};

struct TimingsChoiceInfo {
  TimingsChoice list;
  std::string_view name;
  std::string_view accessibleName;
  int designIndex;
};

inline constexpr std::array<TimingsChoiceInfo, 4> kTimingsChoices = {{
    {TimingsChoice::cmbSource, "cmbSource", "Source of the timing", 1},
    {TimingsChoice::cmbCvtBlanking, "cmbCvtBlanking", "CVT blanking", 0},
    {TimingsChoice::cmbGtfInput, "cmbGtfInput", "What GTF starts from", 0},
    {TimingsChoice::cmbFormat, "cmbFormat", "Export format", 0},
}};

// The items of each list, in index order.
inline constexpr std::array<std::string_view, 6> kSourceItems = {"Calculator", "DMT", "CTA-861",
                                                                 "CVT",        "GTF", "Custom"};
inline constexpr std::array<std::string_view, 4> kCvtBlankingItems = {"Normal blanking", "Reduced blanking v1",
                                                                      "Reduced blanking v2", "Reduced blanking v3"};
inline constexpr std::array<std::string_view, 3> kGtfInputItems = {"Refresh rate (Hz)", "Line rate (kHz)",
                                                                   "Pixel clock (MHz)"};
inline constexpr std::array<std::string_view, 6> kFormatItems = {"Modeline (X11)",        "xrandr commands",
                                                                 "sway output line",      "Kernel video= option",
                                                                 "EDID descriptor (hex)", "EDID (hex)"};

template <typename Table, typename Id>
constexpr const auto& DesignOf(const Table& table, Id id) {
  return table[static_cast<std::size_t>(id)];
}

// Each table lists its controls in the order of their enumeration.
static_assert([] {
  for (std::size_t i = 0; i < kTimingsTexts.size(); ++i) {
    if (static_cast<std::size_t>(kTimingsTexts[i].input) != i) return false;
  }
  for (std::size_t i = 0; i < kTimingsChecks.size(); ++i) {
    if (static_cast<std::size_t>(kTimingsChecks[i].option) != i) return false;
  }
  for (std::size_t i = 0; i < kTimingsChoices.size(); ++i) {
    if (static_cast<std::size_t>(kTimingsChoices[i].list) != i) return false;
  }
  return true;
}());

}  // namespace zarn::forms
