#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "forms/layout/grid.h"
#include "forms/timings/timings_design.h"
#include "forms/timings/timings_view.h"

namespace zarn::forms {

// The Timings window frmTimings as grids, for a toolkit that places its
// controls from a description: the source and its page beside the timing,
// the exports and links below, then the window's buttons. Each source's page
// is a frame of its own, made the first time the source is chosen. A control
// is named as in the other toolkits; a button, list or message added to the
// window is one cell here and its handler in the window.
namespace timings_layout {

using grid::Align;
using grid::Cell;
using grid::Grid;
using grid::Part;
using grid::Tab;

constexpr Cell Caption(int row, int column, std::string_view text, std::string_view name = {}, int columnSpan = 1,
                       Align align = Align::Left) {
  return {Part::Caption, row, column, 1, columnSpan, name, text, -1, nullptr, {}, align, {}};
}
constexpr Cell Note(int row, int column, int columnSpan, std::string_view text, std::string_view name = {},
                    std::string_view accessibleName = {}) {
  return {Part::Note, row, column, 1, columnSpan, name, text, -1, nullptr, {}, Align::Left, accessibleName};
}
constexpr Cell Figure(int row, int column, std::string_view name, std::string_view accessibleName,
                      Align align = Align::Left, int columnSpan = 1) {
  return {Part::Figure, row, column, 1, columnSpan, name, {}, -1, nullptr, {}, align, accessibleName};
}
constexpr Cell Input(int row, int column, TimingsText input, int columnSpan = 1) {
  const TimingsTextInfo& info = DesignOf(kTimingsTexts, input);
  return {Part::Text, row,       column,      1,
          columnSpan, info.name, {},          static_cast<int>(input),
          nullptr,    {},        Align::Left, info.accessibleName};
}
constexpr Cell Option(int row, int column, TimingsCheck option, int columnSpan = 1) {
  const TimingsCheckInfo& info = DesignOf(kTimingsChecks, option);
  return {Part::Check, row, column,      1, columnSpan, info.name, info.caption, static_cast<int>(option),
          nullptr,     {},  Align::Left, {}};
}
constexpr Cell Chooser(int row, int column, TimingsChoice list, int columnSpan = 1) {
  const TimingsChoiceInfo& info = DesignOf(kTimingsChoices, list);
  return {Part::Choice,           row,     column, 1,           columnSpan,         info.name, {},
          static_cast<int>(list), nullptr, {},     Align::Left, info.accessibleName};
}
constexpr Cell Button(int row, int column, std::string_view name, std::string_view text,
                      std::string_view accessibleName) {
  return {Part::Button, row, column, 1, 1, name, text, -1, nullptr, {}, Align::Left, accessibleName};
}
// One of the buttons that edit the EDID, named and captioned as the other
// toolkits have it; id: its TimingsCommand.
constexpr Cell Command(int row, int column, TimingsCommand command) {
  const TimingsCommandInfo& info = EdidCommandOf(command);
  return {Part::Button,
          row,
          column,
          1,
          1,
          info.name,
          info.caption,
          static_cast<int>(command),
          nullptr,
          {},
          Align::Left,
          info.accessibleName};
}
constexpr Cell Box(Part part, int row, int column, std::string_view name, std::string_view accessibleName,
                   int columnSpan = 1) {
  return {part, row, column, 1, columnSpan, name, {}, -1, nullptr, {}, Align::Left, accessibleName};
}
constexpr Cell Nested(int row, int column, const Grid& inner, int columnSpan = 1) {
  return {Part::Grid, row, column, 1, columnSpan, {}, {}, -1, &inner, {}, Align::Left, {}};
}

using T = TimingsText;
using C = TimingsCheck;

// The sources' pages.

inline constexpr Cell kCalculatorCells[] = {
    Note(0, 0, 3,
         "The calculator's fields as they stand, read exactly: the pixel frequency to the hertz, the blanking split "
         "into front porch, sync and the rest as back porch. The calculator keeps no sync polarity; choose it here."),
    Option(1, 0, C::chkCalculatorHSync),
    Option(1, 1, C::chkCalculatorVSync),
};
inline constexpr std::uint8_t kSpringAt2[] = {0, 0, 1};
inline constexpr Grid kCalculatorPage{kCalculatorCells, kSpringAt2, {}};

inline constexpr Cell kListCells[] = {
    Caption(0, 0, "F&ilter:"),
    Input(0, 1, T::txtFilter),
    Box(Part::List, 1, 0, "lstModes", "Modes", 2),
};
inline constexpr std::uint8_t kSecondStretches[] = {0, 1};
inline constexpr Grid kListPage{kListCells, kSecondStretches, kSecondStretches};

inline constexpr Cell kCvtCells[] = {
    Caption(0, 0, "&Width:"),
    Input(0, 1, T::txtCvtWidth),
    Caption(0, 2, "pixels"),
    Caption(1, 0, "&Height:"),
    Input(1, 1, T::txtCvtHeight),
    Caption(1, 2, "lines"),
    Caption(2, 0, "&Rate:", "lblCvtRate"),
    Input(2, 1, T::txtCvtRate),
    Caption(2, 2, "Hz"),
    Caption(3, 0, "Hori&zontal blanking:"),
    Input(3, 1, T::txtCvtHBlank),
    Caption(3, 2, "pixels (v3)"),
    Caption(4, 0, "Vertical blan&king:"),
    Input(4, 1, T::txtCvtVBlank),
    Caption(4, 2, "\xC2\xB5s (v3)"),
    Caption(0, 3, "&Blanking:"),
    Chooser(0, 4, TimingsChoice::cmbCvtBlanking, 2),
    Option(1, 3, C::chkCvtInterlaced, 3),
    Option(2, 3, C::chkCvtMargins, 3),
    Option(3, 3, C::chkCvtVideoOptimized, 3),
    Option(4, 3, C::chkCvtEarlyVsync, 3),
};
inline constexpr std::uint8_t kCvtColumns[] = {0, 1, 0, 0, 0, 1};
inline constexpr Grid kCvtPage{kCvtCells, kCvtColumns, {}};

inline constexpr Cell kGtfCells[] = {
    Caption(0, 0, "&Width:"),          Input(0, 1, T::txtGtfWidth),
    Caption(0, 2, "pixels"),           Caption(1, 0, "&Height:"),
    Input(1, 1, T::txtGtfHeight),      Caption(1, 2, "lines"),
    Caption(2, 0, "&Given:"),          Chooser(2, 1, TimingsChoice::cmbGtfInput, 2),
    Caption(3, 0, "&Value:"),          Input(3, 1, T::txtGtfValue),
    Option(0, 3, C::chkGtfInterlaced), Option(1, 3, C::chkGtfMargins),
};
inline constexpr std::uint8_t kGtfColumns[] = {0, 1, 0, 0, 1};
inline constexpr Grid kGtfPage{kGtfCells, kGtfColumns, {}};

inline constexpr Cell kCustomOptionCells[] = {
    Option(0, 0, C::chkCustomHSync),
    Option(0, 1, C::chkCustomVSync),
    Option(0, 2, C::chkCustomInterlaced),
};
inline constexpr Grid kCustomOptions{kCustomOptionCells, {}, {}};
inline constexpr Cell kCustomCells[] = {
    Caption(0, 0, "&Pixel clock:"),
    Input(0, 1, T::txtCustomClock),
    Caption(0, 2, "MHz"),
    Caption(1, 1, "Active"),
    Caption(1, 2, "Front porch"),
    Caption(1, 3, "Sync"),
    Caption(1, 4, "Back porch"),
    Caption(2, 0, "Horizontal (pixels)"),
    Input(2, 1, T::txtCustomHActive),
    Input(2, 2, T::txtCustomHFrontPorch),
    Input(2, 3, T::txtCustomHSync),
    Input(2, 4, T::txtCustomHBackPorch),
    Caption(3, 0, "Vertical (lines)"),
    Input(3, 1, T::txtCustomVActive),
    Input(3, 2, T::txtCustomVFrontPorch),
    Input(3, 3, T::txtCustomVSync),
    Input(3, 4, T::txtCustomVBackPorch),
    Nested(4, 0, kCustomOptions, 5),
};
inline constexpr Grid kCustomPage{kCustomCells, {}, {}};

inline constexpr Cell kKernelCells[] = {
    Caption(0, 0, "O&ption:"),
    Input(0, 1, T::txtKernelOption),
    Note(1, 0, 2,
         "WIDTHxHEIGHT, then M for CVT (R for reduced blanking; without M, GTF), @RATE, i for interlaced, m for "
         "margins. The kernel computes this mode with its own arithmetic when the monitor offers none of that size "
         "and rate."),
};
inline constexpr Grid kKernelPage{kKernelCells, kSecondStretches, {}};

inline constexpr Cell kMonitorRowCells[] = {
    Caption(0, 0, "&Monitor:"),
    Chooser(0, 1, TimingsChoice::cmbMonitor),
    Button(0, 2, "cmdOpenEdid", "O&pen\xE2\x80\xA6", "Open an EDID file"),
    Button(0, 3, "cmdPasteEdid", "Paste &hex", "Paste an EDID in hex"),
};
inline constexpr Grid kMonitorRow{kMonitorRowCells, kSecondStretches, {}};
// The edits, below the timings they change: the timing picked made the
// preferred one or removed, another source's timing added, every edit undone,
// and the EDID installed (apart, at the far end); the refresh range; the
// name. Then what the edits changed.
using E = TimingsCommand;
inline constexpr Cell kEdidTimingEditCells[] = {
    Command(0, 0, E::cmdEdidPrefer), Command(0, 1, E::cmdEdidAdd),     Command(0, 2, E::cmdEdidRemove),
    Command(0, 3, E::cmdEdidRevert), Command(0, 5, E::cmdEdidInstall),
};
inline constexpr std::uint8_t kSpringAt4[] = {0, 0, 0, 0, 1};
inline constexpr Grid kEdidTimingEdits{kEdidTimingEditCells, kSpringAt4, {}};
inline constexpr Cell kEdidRangeCells[] = {
    Caption(0, 0, "Refresh ran&ge:"),
    Input(0, 1, T::txtEdidMinRate),
    Caption(0, 2, "to"),
    Input(0, 3, T::txtEdidMaxRate),
    Caption(0, 4, "Hz"),
    Option(0, 5, C::chkEdidVrr),
    Command(0, 6, E::cmdEdidRange),
};
inline constexpr std::uint8_t kSpringAt7[] = {0, 0, 0, 0, 0, 0, 0, 1};
inline constexpr Grid kEdidRange{kEdidRangeCells, kSpringAt7, {}};
inline constexpr Cell kEdidNameCells[] = {
    Caption(0, 0, "Ne&w name:"),
    Input(0, 1, T::txtEdidName),
    Command(0, 2, E::cmdEdidName),
    Option(0, 3, C::chkEdidRoundClock),
};
inline constexpr Grid kEdidName{kEdidNameCells, kSpringAt4, {}};
inline constexpr Cell kEdidCells[] = {
    Nested(0, 0, kMonitorRow),
    Note(1, 0, 1, "", "lblEdidIdentity", "The EDID's identity"),
    Box(Part::List, 2, 0, "lstEdidTimings", "The EDID's timings"),
    Nested(3, 0, kEdidTimingEdits),
    Nested(4, 0, kEdidRange),
    Nested(5, 0, kEdidName),
    Box(Part::Log, 6, 0, "lblEdidChanges", "The edits made"),
};
inline constexpr std::uint8_t kFirstStretches[] = {1};
inline constexpr std::uint8_t kThirdStretches[] = {0, 0, 1};
inline constexpr Grid kEdidPage{kEdidCells, kFirstStretches, kThirdStretches};

inline constexpr Cell kOvtCells[] = {
    Caption(0, 0, "&Width:"),
    Input(0, 1, T::txtOvtWidth),
    Caption(0, 2, "pixels"),
    Caption(1, 0, "&Height:"),
    Input(1, 1, T::txtOvtHeight),
    Caption(1, 2, "lines"),
    Caption(2, 0, "&Rate:"),
    Input(2, 1, T::txtOvtRate),
    Caption(2, 2, "Hz"),
    Note(3, 0, 4,
         "A whole rate. Rates of one family (24/25/30, 48/50/60, 100/120 Hz, ...) share the clock of the highest."),
};
inline constexpr std::uint8_t kFormColumns[] = {0, 1, 0, 1};
inline constexpr Grid kOvtPage{kOvtCells, kFormColumns, {}};

inline constexpr Cell kRidCells[] = {
    Caption(0, 0, "R&ID:"),
    Input(0, 1, T::txtRidNumber),
    Caption(0, 2, "1 to 28"),
    Caption(1, 0, "&Rate:"),
    Input(1, 1, T::txtRidRate),
    Caption(1, 2, "Hz"),
    Note(2, 0, 4,
         "A picture size and shape a Video Format Data Block names, at one of its rates (24 to 480 Hz), as OVT "
         "makes it."),
};
inline constexpr Grid kRidPage{kRidCells, kFormColumns, {}};

// A source's page: its frame's name and caption, and its grid. DMT and
// CTA-861 share one page, whose caption follows the source.
struct SourcePage {
  std::string_view name;
  std::string_view title;
  const Grid* grid;
};

inline constexpr std::array<SourcePage, kSourceItems.size()> kSourcePages = {{
    {"fraCalculator", "Calculator", &kCalculatorPage},
    {"fraModes", "DMT: VESA Display Monitor Timings", &kListPage},
    {"fraModes", "CTA-861 video formats and HDMI VICs", &kListPage},
    {"fraCvt", "CVT: Coordinated Video Timings", &kCvtPage},
    {"fraGtf", "GTF: Generalized Timing Formula", &kGtfPage},
    {"fraCustom", "Custom", &kCustomPage},
    {"fraKernel", "Kernel: the mode Linux computes for a video= option", &kKernelPage},
    {"fraEdid", "EDID: a monitor's own timings", &kEdidPage},
    {"fraOvt", "OVT: CTA-861 Optimized Video Timing", &kOvtPage},
    {"fraRid", "RID: CTA-861 Resolution Identification", &kRidPage},
}};

// The timing: its figures in a table, then its rates.

inline constexpr Cell kTimingCells[] = {
    Caption(0, 0, "Source:"),
    Figure(0, 1, "lblSourceName", "Source", Align::Left, 7),
    Caption(1, 1, "Active", {}, 1, Align::Right),
    Caption(1, 2, "Front porch", {}, 1, Align::Right),
    Caption(1, 3, "Sync", {}, 1, Align::Right),
    Caption(1, 4, "Back porch", {}, 1, Align::Right),
    Caption(1, 5, "Blanking", {}, 1, Align::Right),
    Caption(1, 6, "Total", {}, 1, Align::Right),
    Caption(1, 7, "Sync polarity"),
    Caption(2, 0, "Horizontal (pixels)"),
    Figure(2, 1, "lblHActive", "Horizontal active", Align::Right),
    Figure(2, 2, "lblHFrontPorch", "Horizontal front porch", Align::Right),
    Figure(2, 3, "lblHSync", "Horizontal sync", Align::Right),
    Figure(2, 4, "lblHBackPorch", "Horizontal back porch", Align::Right),
    Figure(2, 5, "lblHBlanking", "Horizontal blanking", Align::Right),
    Figure(2, 6, "lblHTotal", "Horizontal total", Align::Right),
    Figure(2, 7, "lblHSyncPolarity", "Horizontal sync polarity"),
    Caption(3, 0, "Vertical (lines)", "lblVertical"),
    Figure(3, 1, "lblVActive", "Vertical active", Align::Right),
    Figure(3, 2, "lblVFrontPorch", "Vertical front porch", Align::Right),
    Figure(3, 3, "lblVSync", "Vertical sync", Align::Right),
    Figure(3, 4, "lblVBackPorch", "Vertical back porch", Align::Right),
    Figure(3, 5, "lblVBlanking", "Vertical blanking", Align::Right),
    Figure(3, 6, "lblVTotal", "Vertical total", Align::Right),
    Figure(3, 7, "lblVSyncPolarity", "Vertical sync polarity"),
    Caption(4, 0, "Pixel clock:"),
    Figure(4, 1, "lblPixelClock", "Pixel clock", Align::Left, 7),
    Caption(5, 0, "Line rate:"),
    Figure(5, 1, "lblLineRate", "Line rate", Align::Left, 7),
    Caption(6, 0, "Refresh rate:"),
    Figure(6, 1, "lblRefreshRate", "Refresh rate", Align::Left, 7),
    Caption(7, 0, "Field rate:", "lblFieldRateCaption"),
    Figure(7, 1, "lblFieldRate", "Field rate", Align::Left, 7),
    Caption(8, 0, "Details:"),
    Note(8, 1, 7, "", "lblDetails", "Details"),
    Note(9, 0, 8, "", "lblReason", "Why there is no timing"),
};
inline constexpr Grid kTimingGrid{kTimingCells, {}, {}};

// The exports and the links.

inline constexpr Cell kExportOptionCells[] = {
    Caption(0, 0, "&Format:"), Chooser(0, 1, TimingsChoice::cmbFormat), Caption(0, 2, "Ou&tput:"),
    Input(0, 3, T::txtOutput), Caption(0, 4, "Display &name:"),         Input(0, 5, T::txtDisplayName),
};
inline constexpr std::uint8_t kExportOptionColumns[] = {0, 0, 0, 1, 0, 1};
inline constexpr Grid kExportOptions{kExportOptionCells, kExportOptionColumns, {}};
inline constexpr Cell kExportButtonCells[] = {
    Button(0, 0, "cmdCopy", "&Copy", "Copy the export"),
    Button(0, 1, "cmdSaveEdid", "Save &EDID\xE2\x80\xA6", "Save EDID"),
    Note(0, 2, 1, "", "lblEdidProblem", "Why no EDID can be saved"),
};
inline constexpr Grid kExportButtons{kExportButtonCells, kThirdStretches, {}};
inline constexpr Cell kExportCells[] = {
    Nested(0, 0, kExportOptions),
    Box(Part::Export, 1, 0, "txtExport", "Export text"),
    Note(2, 0, 1, "", "lblExportMessage", "Export message"),
    Nested(3, 0, kExportButtons),
};
inline constexpr std::uint8_t kExportRows[] = {0, 1};
inline constexpr Grid kExportsPage{kExportCells, kFirstStretches, kExportRows};

inline constexpr Cell kLinkCells[] = {
    Caption(0, 0, "Data rate of the video in Mbit/s, blanking included"),
    Box(Part::Table, 1, 0, "tblDataRates", "Data rate in Mbit/s by sampling and colour depth"),
    Caption(2, 0, "Each link's capacity and the deepest colour it carries"),
    Box(Part::Table, 3, 0, "tblLinks", "Links, their capacity and the deepest colour each carries"),
};
inline constexpr std::uint8_t kLinkRows[] = {0, 0, 0, 1};
inline constexpr Grid kLinksPage{kLinkCells, kFirstStretches, kLinkRows};

inline constexpr Tab kOutputTabs[] = {{"pageExports", "Exports", &kExportsPage}, {"pageLinks", "Links", &kLinksPage}};

// The window.

inline constexpr Cell kSourceRowCells[] = {Caption(0, 0, "&Source:"), Chooser(0, 1, TimingsChoice::cmbSource)};
inline constexpr Grid kSourceRow{kSourceRowCells, kSpringAt2, {}};
inline constexpr Cell kInputCells[] = {
    Nested(0, 0, kSourceRow),
    Box(Part::Pages, 1, 0, "stkSource", {}),
};
inline constexpr Grid kInput{kInputCells, kFirstStretches, kSecondStretches};
inline constexpr Cell kTopCells[] = {
    Nested(0, 0, kInput),
    {Part::Group, 0, 1, 1, 1, "fraTiming", "Timing", -1, &kTimingGrid, {}, Align::Left, {}},
};
inline constexpr std::uint8_t kEvenColumns[] = {1, 1};
inline constexpr Grid kTop{kTopCells, kEvenColumns, {}};
inline constexpr Cell kButtonCells[] = {
    Button(0, 0, "cmdUseInCalculator", "&Use in Calculator", "Use in Calculator"),
    Button(0, 2, "cmdClose", "Cl&ose", "Close"),
};
inline constexpr std::uint8_t kMiddleSpring[] = {0, 1, 0};
inline constexpr Grid kButtons{kButtonCells, kMiddleSpring, {}};
inline constexpr Cell kWindowCells[] = {
    Nested(0, 0, kTop),
    {Part::Tabs, 1, 0, 1, 1, "tabOutput", {}, -1, nullptr, kOutputTabs, Align::Left, "Exports and links"},
    Nested(2, 0, kButtons),
};
inline constexpr Grid kWindow{kWindowCells, kFirstStretches, kSecondStretches};

}  // namespace timings_layout

inline constexpr std::string_view kTimingsCaption = "Zarn Timings";

}  // namespace zarn::forms
