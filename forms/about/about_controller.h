#pragma once

#include <string>

#include "forms/about/about_view.h"
#include "forms/about/app_properties.h"
#include "forms/about/sys_info_launcher.h"
#include "platform/interfaces.h"

namespace zarn::forms {

// The maker's contact details shown by the About window. Fictional: the
// .example domain is reserved and the number lies in a range kept for drama.
struct MakerContact {
  static constexpr const char* kWebHost = "www.brask.example";
  static constexpr const char* kWebAddress = "https://www.brask.example/";
  static constexpr const char* kEmail = "support@brask.example";
  static constexpr const char* kRights = "Copyright \xC2\xA9 2001-2026 Brask";
  static constexpr const char* kCompany = "Brask";
  static constexpr const char* kAddress = "14 Quillon Row, 7734 Eldmoor, Vestria";
  static constexpr const char* kPhone = "Phone: +44 20 7946 0321";
};

// The behaviour of the About window frmAbout, without the window.
class AboutController {
 public:
  AboutController(AboutView& view, AppProperties properties, platform::Shell& shell, SysInfoLauncher& launcher);

  void Form_Load();
  void cmdOK_Click();
  void cmdSysInfo_Click();
  void lblEmail_Click();
  void lblDescription_Click();
  void lblEmail_MouseMove();
  void lblDescription_MouseMove();
  void Form_MouseMove();

  // The two link targets.
  static std::string EmailTarget() { return std::string("mailto:") + MakerContact::kEmail; }
  static std::string WebTarget() { return MakerContact::kWebAddress; }

 private:
  AboutView& view_;
  AppProperties properties_;
  platform::Shell& shell_;
  SysInfoLauncher& launcher_;
};

}  // namespace zarn::forms
