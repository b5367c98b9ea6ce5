#pragma once

#include <array>
#include <cstddef>
#include <string_view>
#include <vector>

#include "forms/timings/timings_view.h"
#include "modes/export_formats.h"
#include "modes/sources.h"

namespace zarn::forms {

// The Timings window's inputs described once, for the window and for the
// in-memory window of the tests: the control's name, what it holds when the
// window opens (numbers with a full stop; Form_Load writes them in the
// user's locale) and the name a screen reader gives it.
// Where an input's value goes: the parameter of a source's request it gives
// (its key in the modes library's table of sources) and, for a parameter of
// four figures, which of them. An input whose key is empty but whose group
// is set gives whichever parameter of that group the source's chooser list
// picks (and that list is the group's chooser).
struct TimingsBinding {
  constexpr TimingsBinding() = default;
  constexpr TimingsBinding(modes::SourceId source_, std::string_view parameter_, int part_ = -1, int group_ = 0)
      : bound(true), source(source_), parameter(parameter_), part(part_), group(group_) {}

  bool bound = false;
  modes::SourceId source = modes::SourceId::Dmt;
  std::string_view parameter;
  int part = -1;
  int group = 0;
};

// The Timings window's inputs described once, for the window and for the
// in-memory window of the tests: the control's name, what it holds when the
// window opens (numbers with a full stop; Form_Load writes them in the
// user's locale), the name a screen reader gives it, and the parameter it
// gives.
struct TimingsTextInfo {
  TimingsText input;
  std::string_view name;
  std::string_view designText;
  std::string_view accessibleName;
  TimingsBinding binding;
};

using modes::SourceId;

inline constexpr std::array<TimingsTextInfo, 29> kTimingsTexts = {{
    {TimingsText::txtFilter, "txtFilter", "", "Filter the modes", {}},
    {TimingsText::txtCvtWidth, "txtCvtWidth", "1920", "CVT width in pixels", {SourceId::Cvt, "width"}},
    {TimingsText::txtCvtHeight, "txtCvtHeight", "1080", "CVT height in lines", {SourceId::Cvt, "height"}},
    {TimingsText::txtCvtRate, "txtCvtRate", "60", "CVT refresh rate in hertz", {SourceId::Cvt, "rate"}},
    {TimingsText::txtCvtHBlank, "txtCvtHBlank", "", "CVT horizontal blanking in pixels", {SourceId::Cvt, "hblank"}},
    {TimingsText::txtCvtVBlank,
     "txtCvtVBlank",
     "",
     "CVT vertical blanking time in microseconds",
     {SourceId::Cvt, "vblank-us"}},
    {TimingsText::txtGtfWidth, "txtGtfWidth", "1920", "GTF width in pixels", {SourceId::Gtf, "width"}},
    {TimingsText::txtGtfHeight, "txtGtfHeight", "1080", "GTF height in lines", {SourceId::Gtf, "height"}},
    {TimingsText::txtGtfValue, "txtGtfValue", "60", "GTF rate or pixel clock", {SourceId::Gtf, "", -1, 1}},
    {TimingsText::txtCustomClock,
     "txtCustomClock",
     "148.5",
     "Custom pixel clock in megahertz",
     {SourceId::Custom, "pixel-clock"}},
    {TimingsText::txtCustomHActive,
     "txtCustomHActive",
     "1920",
     "Custom horizontal active pixels",
     {SourceId::Custom, "horizontal", 0}},
    {TimingsText::txtCustomHFrontPorch,
     "txtCustomHFrontPorch",
     "88",
     "Custom horizontal front porch",
     {SourceId::Custom, "horizontal", 1}},
    {TimingsText::txtCustomHSync,
     "txtCustomHSync",
     "44",
     "Custom horizontal sync",
     {SourceId::Custom, "horizontal", 2}},
    {TimingsText::txtCustomHBackPorch,
     "txtCustomHBackPorch",
     "148",
     "Custom horizontal back porch",
     {SourceId::Custom, "horizontal", 3}},
    {TimingsText::txtCustomVActive,
     "txtCustomVActive",
     "1080",
     "Custom vertical active lines",
     {SourceId::Custom, "vertical", 0}},
    {TimingsText::txtCustomVFrontPorch,
     "txtCustomVFrontPorch",
     "4",
     "Custom vertical front porch",
     {SourceId::Custom, "vertical", 1}},
    {TimingsText::txtCustomVSync, "txtCustomVSync", "5", "Custom vertical sync", {SourceId::Custom, "vertical", 2}},
    {TimingsText::txtCustomVBackPorch,
     "txtCustomVBackPorch",
     "36",
     "Custom vertical back porch",
     {SourceId::Custom, "vertical", 3}},
    {TimingsText::txtKernelOption,
     "txtKernelOption",
     "1920x1080M@60",
     "Kernel video mode option",
     {SourceId::Kernel, "option"}},
    {TimingsText::txtOvtWidth, "txtOvtWidth", "3840", "OVT width in pixels", {SourceId::Ovt, "width"}},
    {TimingsText::txtOvtHeight, "txtOvtHeight", "2160", "OVT height in lines", {SourceId::Ovt, "height"}},
    {TimingsText::txtOvtRate, "txtOvtRate", "120", "OVT refresh rate in hertz", {SourceId::Ovt, "rate"}},
    {TimingsText::txtRidNumber, "txtRidNumber", "1", "RID number", {SourceId::Rid, "rid"}},
    {TimingsText::txtRidRate, "txtRidRate", "60", "RID refresh rate in hertz", {SourceId::Rid, "rate"}},
    {TimingsText::txtOutput, "txtOutput", "", "Output name", {}},
    {TimingsText::txtDisplayName, "txtDisplayName", "", "EDID display name", {}},
    {TimingsText::txtEdidMinRate, "txtEdidMinRate", "", "Lowest refresh rate in hertz", {}},
    {TimingsText::txtEdidMaxRate, "txtEdidMaxRate", "", "Highest refresh rate in hertz", {}},
    {TimingsText::txtEdidName, "txtEdidName", "", "New display name of the EDID", {}},
}};

struct TimingsCheckInfo {
  TimingsCheck option;
  std::string_view name;
  std::string_view caption;  // with its access key
  bool designChecked;
  TimingsBinding binding;
};

inline constexpr std::array<TimingsCheckInfo, 13> kTimingsChecks = {{
    {TimingsCheck::chkCalculatorHSync, "chkCalculatorHSync", "Positive &horizontal sync", true, {}},
    {TimingsCheck::chkCalculatorVSync, "chkCalculatorVSync", "Positive &vertical sync", true, {}},
    {TimingsCheck::chkCvtInterlaced, "chkCvtInterlaced", "Inter&laced", false, {SourceId::Cvt, "interlaced"}},
    {TimingsCheck::chkCvtMargins, "chkCvtMargins", "&Margins", false, {SourceId::Cvt, "margins"}},
    {TimingsCheck::chkCvtVideoOptimized,
     "chkCvtVideoOptimized",
     "Vi&deo-optimised rate (1000/1001)",
     false,
     {SourceId::Cvt, "video-optimized"}},
    {TimingsCheck::chkCvtEarlyVsync, "chkCvtEarlyVsync", "Earl&y vertical sync", false, {SourceId::Cvt, "early-vsync"}},
    {TimingsCheck::chkGtfInterlaced, "chkGtfInterlaced", "Inter&laced", false, {SourceId::Gtf, "interlaced"}},
    {TimingsCheck::chkGtfMargins, "chkGtfMargins", "&Margins", false, {SourceId::Gtf, "margins"}},
    {TimingsCheck::chkCustomHSync, "chkCustomHSync", "Positive &horizontal sync", true, {SourceId::Custom, "hsync"}},
    {TimingsCheck::chkCustomVSync, "chkCustomVSync", "Positive &vertical sync", true, {SourceId::Custom, "vsync"}},
    {TimingsCheck::chkCustomInterlaced, "chkCustomInterlaced", "Inter&laced", false, {SourceId::Custom, "interlaced"}},
    {TimingsCheck::chkEdidRoundClock, "chkEdidRoundClock", "Roun&d the clock to 10 kHz", false, {}},
    {TimingsCheck::chkEdidVrr, "chkEdidVrr", "Varia&ble refresh (range limits only)", false, {}},
}};

struct TimingsChoiceInfo {
  TimingsChoice list;
  std::string_view name;
  std::string_view accessibleName;
  int designIndex;
  TimingsBinding binding;  // a list of a parameter's choices, or a source's chooser of a group
};

inline constexpr std::array<TimingsChoiceInfo, 5> kTimingsChoices = {{
    {TimingsChoice::cmbSource, "cmbSource", "Source of the timing", 1, {}},
    {TimingsChoice::cmbCvtBlanking, "cmbCvtBlanking", "CVT blanking", 0, {SourceId::Cvt, "blanking"}},
    {TimingsChoice::cmbGtfInput, "cmbGtfInput", "What GTF starts from", 0, {SourceId::Gtf, "", -1, 1}},
    {TimingsChoice::cmbFormat, "cmbFormat", "Export format", 0, {}},
    {TimingsChoice::cmbMonitor, "cmbMonitor", "Monitor", 0, {}},
}};

// The buttons that edit the EDID source's EDID, save aside, in the order of
// their enumeration from cmdEdidPrefer: name, caption (with its access key)
// and the name a screen reader gives it.
struct TimingsCommandInfo {
  TimingsCommand command;
  std::string_view name;
  std::string_view caption;
  std::string_view accessibleName;
};

inline constexpr std::array<TimingsCommandInfo, 7> kEdidCommands = {{
    {TimingsCommand::cmdEdidPrefer, "cmdEdidPrefer", "Ma&ke Preferred", "Make the timing picked the preferred one"},
    {TimingsCommand::cmdEdidAdd, "cmdEdidAdd", "&Add\xE2\x80\xA6", "Add the timing of another source"},
    {TimingsCommand::cmdEdidRemove, "cmdEdidRemove", "&Remove", "Remove the timing picked"},
    {TimingsCommand::cmdEdidRevert, "cmdEdidRevert", "Re&vert", "Undo every edit of the EDID"},
    {TimingsCommand::cmdEdidRange, "cmdEdidRange", "Appl&y Range", "Set the refresh range"},
    {TimingsCommand::cmdEdidName, "cmdEdidName", "App&ly Name", "Set the display name"},
    {TimingsCommand::cmdEdidInstall, "cmdEdidInstall", "&Install\xE2\x80\xA6", "Install the EDID for a monitor"},
}};

constexpr const TimingsCommandInfo& EdidCommandOf(TimingsCommand command) {
  return kEdidCommands[static_cast<std::size_t>(command) - static_cast<std::size_t>(TimingsCommand::cmdEdidPrefer)];
}

// The items of the lists that are the window's own, in index order; a
// parameter's list shows its choices, the format list the export formats
// that have a label.
inline constexpr std::array<std::string_view, 10> kSourceItems = {"Calculator", "DMT",    "CTA-861", "CVT", "GTF",
                                                                  "Custom",     "Kernel", "EDID",    "OVT", "RID"};
inline constexpr std::array<std::string_view, 3> kGtfInputItems = {"Refresh rate (Hz)", "Line rate (kHz)",
                                                                   "Pixel clock (MHz)"};

// The export formats the window offers, in the order of its list.
std::vector<const modes::ExportFormat*> WindowFormats();

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
  for (const TimingsCommandInfo& info : kEdidCommands) {
    if (&EdidCommandOf(info.command) != &info) return false;
  }
  return true;
}());

}  // namespace zarn::forms
