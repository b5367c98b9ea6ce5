#include "forms/about/about_controller.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/platform_fakes.h"

namespace zarn::forms {
namespace {

class RecordingAboutView final : public AboutView {
 public:
  void SetCaption(std::string_view text) override { caption = text; }
  void SetVersionCaption(std::string_view text) override { version = text; }
  void SetTitleCaption(std::string_view text) override { title = text; }
  void SetMousePointer(MousePointer value) override { pointers.push_back(value); }
  void Unload() override { ++unloads; }
  std::string caption = "About MyApp", version = "Version", title = "Application Title";
  std::vector<MousePointer> pointers;
  int unloads = 0;
};

struct About {
  explicit About(AppProperties properties = {"Zarn", 1, 0, 0})
      : controller(view, std::move(properties), shell, launcher) {}
  RecordingAboutView view;
  testing::RecordingShell shell;
  testing::MemoryRegistry registry;
  testing::RecordingPrograms programs;
  testing::RecordingFiles files;
  testing::RecordingMessages messages;
  SysInfoLauncher launcher{registry, programs, files, messages, "Zarn"};
  AboutController controller;
};

TEST(AboutLoad, FillsCaptionVersionAndTitleFromTheProperties) {
  About a;
  a.controller.Form_Load();
  EXPECT_EQ(a.view.caption, "About Zarn");
  EXPECT_EQ(a.view.version, "Version 1.0.0");
  EXPECT_EQ(a.view.title, "Zarn");
  About b({"Other", 1, 3, 12});
  b.controller.Form_Load();
  EXPECT_EQ(b.view.version, "Version 1.3.12");
  EXPECT_EQ(b.view.caption, "About Other");
}

TEST(AboutLinks, OpenTheMailAndWebTargetsThroughTheShell) {
  About a;
  a.controller.lblEmail_Click();
  a.controller.lblDescription_Click();
  EXPECT_EQ(a.shell.executed,
            (std::vector<std::string>{"Open mailto:support@brask.example", "Open https://www.brask.example/"}));
  // The targets are the texts the labels show.
  EXPECT_EQ(AboutController::EmailTarget(), std::string("mailto:") + MakerContact::kEmail);
  EXPECT_NE(AboutController::WebTarget().find(MakerContact::kWebHost), std::string::npos);
  EXPECT_EQ(a.view.unloads, 0);
}

TEST(AboutPointer, HandOverLinksDefaultOverTheBackground) {
  About a;
  a.controller.lblEmail_MouseMove();
  a.controller.lblDescription_MouseMove();
  a.controller.Form_MouseMove();
  a.controller.Form_MouseMove();  // set again each time
  EXPECT_EQ(a.view.pointers, (std::vector<MousePointer>{MousePointer::Custom, MousePointer::Custom,
                                                        MousePointer::Default, MousePointer::Default}));
}

TEST(AboutButtons, OkUnloadsAndSysInfoRunsTheLauncher) {
  About a;
  a.controller.cmdSysInfo_Click();
  EXPECT_EQ(a.messages.shown.size(), 1u);  // nothing registered: the message
  EXPECT_EQ(a.view.unloads, 0);            // the window stays open
  a.controller.cmdOK_Click();
  EXPECT_EQ(a.view.unloads, 1);
}

}  // namespace
}  // namespace zarn::forms
