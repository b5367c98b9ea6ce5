#include "forms/about/about_controller.h"

#include <utility>

namespace zarn::forms {

AboutController::AboutController(AboutView& view, AppProperties properties, platform::Shell& shell,
                                 SysInfoLauncher& launcher)
    : view_(view), properties_(std::move(properties)), shell_(shell), launcher_(launcher) {}

void AboutController::Form_Load() {
  view_.SetCaption("About " + properties_.title);
  view_.SetVersionCaption("Version " + std::to_string(properties_.major) + "." + std::to_string(properties_.minor) +
                          "." + std::to_string(properties_.revision));
  view_.SetTitleCaption(properties_.title);
}

void AboutController::cmdOK_Click() { view_.Unload(); }

void AboutController::cmdSysInfo_Click() { launcher_.StartSysInfo(); }

// The shell's answer is not examined: whatever happens, nothing is reported.
void AboutController::lblEmail_Click() { shell_.Execute("Open", EmailTarget()); }

void AboutController::lblDescription_Click() { shell_.Execute("Open", WebTarget()); }

void AboutController::lblEmail_MouseMove() { view_.SetMousePointer(MousePointer::Custom); }

void AboutController::lblDescription_MouseMove() { view_.SetMousePointer(MousePointer::Custom); }

void AboutController::Form_MouseMove() { view_.SetMousePointer(MousePointer::Default); }

}  // namespace zarn::forms
