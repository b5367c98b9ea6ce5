#pragma once

#include "forms/layout/layout.h"
#include "forms/main/design_texts.h"

namespace zarn::forms {

// The calculator window frmMain. Text boxes carry their design-time texts and
// are named after their fields.
namespace main_layout {
using engine::TimingField;
using layout::Align;
using layout::Box;
using layout::Control;
using layout::kBlue;
using layout::kBold;
using layout::kDefaultColour;
using layout::Kind;
using layout::kRegular;

constexpr std::string_view kPanel = "FraPanelInformation";
constexpr std::string_view kRate = "FraRefreshRate";

constexpr Control TextBox(TimingField field, std::string_view frame, Box box) {
  return {engine::FieldInfo(field).name, Kind::TextBox, frame,          box,
          DesignTimeText(field),         kRegular,      kDefaultColour, Align::Centre};
}

inline constexpr Control kControls[] = {
    {kPanel, Kind::Frame, "", {120, 120, 5415, 3435}, " Panel Timing", kBold, kBlue},
    {kRate, Kind::Frame, "", {120, 3720, 5415, 1995}, "Refresh Rate <-> Pixel Frequency", kBold, kBlue},
    {"lblHorizontal", Kind::Label, kPanel, {180, 360, 1935, 315}, "Horizontal", kBold, kBlue, Align::Centre},
    {"Label8", Kind::Label, kPanel, {3240, 360, 1935, 315}, "Vertical", kBold, kBlue, Align::Centre},
    {"lblCurrentPixel", Kind::Label, kPanel, {120, 540, 1935, 315}, "(Pixels)", kRegular, kBlue, Align::Centre},
    {"Label3", Kind::Label, kPanel, {3240, 540, 1935, 315}, "(Lines)", kRegular, kBlue, Align::Centre},
    {"Label4", Kind::Label, kPanel, {1680, 1020, 1935, 315}, "Active", kBold, kBlue, Align::Centre},
    {"Label5", Kind::Label, kPanel, {1680, 1500, 1935, 315}, "Front Porch", kBold, kBlue, Align::Centre},
    {"Label6", Kind::Label, kPanel, {1680, 1980, 1935, 315}, "Sync", kBold, kBlue, Align::Centre},
    {"Label7", Kind::Label, kPanel, {1680, 2460, 1935, 315}, "Blanking", kBold, kBlue, Align::Centre},
    {"lblPredefinedMode", Kind::Label, kPanel, {300, 3000, 1455, 195}, "Predefined Mode", kBold, kBlue},
    {"Label10", Kind::Label, kRate, {420, 600, 1155, 195}, "Refresh Rate", kBold, kBlue, Align::Centre},
    {"lblCurrentPixelFrequency",
     Kind::Label,
     kRate,
     {3480, 600, 1455, 195},
     "Pixel  Frequency",
     kBold,
     kBlue,
     Align::Centre},
    {"Label11", Kind::Label, kRate, {1290, 1020, 735, 255}, "Hz", kBold},
    {"Label9", Kind::Label, kRate, {4350, 1020, 735, 255}, "MHz", kBold},
    {"lblHorizontalFrequency",
     Kind::Label,
     kRate,
     {360, 1500, 3975, 255},
     kDesignTimeHorizontalFrequencyCaption,
     kBold,
     kBlue},
    // The focus order: down the horizontal column, down the vertical one,
    // the conversion, then back up to the mode list.
    TextBox(TimingField::txtHorActive, kPanel, {480, 960, 1215, 375}),
    TextBox(TimingField::txtHorFrontPorch, kPanel, {480, 1440, 1215, 375}),
    TextBox(TimingField::txtHorSync, kPanel, {480, 1920, 1215, 375}),
    TextBox(TimingField::txtHorBlanking, kPanel, {480, 2400, 1215, 375}),
    TextBox(TimingField::txtVerActive, kPanel, {3600, 960, 1215, 375}),
    TextBox(TimingField::txtVerFrontPorch, kPanel, {3600, 1440, 1215, 375}),
    TextBox(TimingField::txtVerSync, kPanel, {3600, 1920, 1215, 375}),
    TextBox(TimingField::txtVerBlanking, kPanel, {3600, 2400, 1215, 375}),
    TextBox(TimingField::txtFrequency, kRate, {3570, 960, 675, 315}),
    TextBox(TimingField::txtRefreshRate, kRate, {450, 960, 675, 315}),
    {"cmdRefreshToPixel", Kind::Button, kRate, {2100, 900, 915, 195}, "---->", kBold},
    {"cmdPixelToRate", Kind::Button, kRate, {2100, 1140, 915, 195}, "<----", kBold},
    {"cmbMode", Kind::List, kPanel, {1860, 2940, 2595, 315}, kDesignTimeModeText, kRegular},
    {"cmdAboutZarn", Kind::Button, "", {1860, 5820, 1755, 375}, "About Zarn", kBold},
};

}  // namespace main_layout

inline constexpr layout::Window kMainLayout{"frmMain", "Zarn Video Timing Calculator", 5670, 6300,
                                            main_layout::kControls};

}  // namespace zarn::forms
