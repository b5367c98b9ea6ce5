#pragma once

#include "forms/about/about_controller.h"
#include "forms/layout/layout.h"

namespace zarn::forms {

// The About window frmAbout, with its design-time texts.
namespace about_layout {
using layout::Align;
using layout::Control;
using layout::Font;
using layout::Kind;

inline constexpr Font kTitleFont{13.5, true, false};
inline constexpr Font kVersionFont{9.75, true, false};
inline constexpr Font kWebLinkFont{9.75, true, true};
inline constexpr Font kEmailFont{8.25, true, true};

// The picture is 67 by 58 pixels inside a sunken border of 2.
inline constexpr Control kControls[] = {
    {"picIcon", Kind::Picture, "", {60, 120, 1065, 930}, ""},
    {"lblTitle", Kind::Label, "", {1230, 180, 3885, 480}, "Application Title", kTitleFont, layout::kBlack},
    {"lblVersion", Kind::Label, "", {1230, 720, 3885, 225}, "Version", kVersionFont},
    // As wide as its text, centred where this box is centred.
    {"lblDescription",
     Kind::Link,
     "",
     {2340, 1140, 1305, 240},
     MakerContact::kWebHost,
     kWebLinkFont,
     layout::kBlue,
     Align::Centre},
    {"Label1", Kind::Label, "", {360, 2040, 2715, 255}, MakerContact::kRights},
    {"lblBrask", Kind::Label, "", {360, 2460, 4095, 255}, MakerContact::kCompany, layout::kBold},
    {"Label2", Kind::Label, "", {360, 2760, 4095, 255}, MakerContact::kAddress},
    {"lblPhone", Kind::Label, "", {360, 3060, 4095, 255}, MakerContact::kPhone},
    {"lblEmail", Kind::Link, "", {360, 3300, 4095, 255}, MakerContact::kEmail, kEmailFont, layout::kBlue},
    // The separator: a white line of 2 pixels under a grey line of 1.
    {"linWhite", Kind::Rule, "", {45, 3720, 5580, 30}, "", layout::kRegular, layout::kWhite},
    {"linGrey", Kind::Rule, "", {120, 3720, 5535, 15}, "", layout::kRegular, layout::kGrey},
    // OK is the default and the cancel button, and has the focus first.
    {"cmdOK", Kind::Button, "", {4200, 3840, 1260, 345}, "OK"},
    {"cmdSysInfo", Kind::Button, "", {360, 3840, 1245, 345}, "&System Info..."},
};

}  // namespace about_layout

inline constexpr layout::Window kAboutLayout{"frmAbout", "About MyApp", 5730, 4305, about_layout::kControls};

}  // namespace zarn::forms
