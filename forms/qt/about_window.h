#pragma once

#include <QCursor>
#include <QDialog>

#include "forms/about/about_controller.h"
#include "forms/about/about_view.h"
#include "forms/about/app_properties.h"
#include "forms/about/sys_info_launcher.h"
#include "platform/interfaces.h"

class QLabel;
class QPushButton;

namespace zarn::forms {

// The About window frmAbout: a fixed modal dialog bound to AboutController.
// One object is made on first use and kept; each exec() loads it afresh
// (design-time texts, default pointer, then Form_Load) and centres it on the
// screen; OK, Enter, Escape or the close box unload it.
class AboutWindow final : public QDialog, public AboutView {
 public:
  AboutWindow(AppProperties properties, platform::Services services);
  ~AboutWindow() override;

  AboutWindow(const AboutWindow&) = delete;
  AboutWindow& operator=(const AboutWindow&) = delete;

  int exec() override;

  // Loads the window without showing it: design-time state, Form_Load, and
  // the place in the middle of the screen. exec() starts with this.
  void Load();

  AboutController& Controller() { return controller_; }
  MousePointer Pointer() const { return pointer_; }

  // AboutView
  void SetCaption(std::string_view caption) override;
  void SetVersionCaption(std::string_view caption) override;
  void SetTitleCaption(std::string_view caption) override;
  void SetMousePointer(MousePointer pointer) override;
  void Unload() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void BuildControls();
  void LoadDesignTimeState();

  SysInfoLauncher launcher_;
  AboutController controller_;
  MousePointer pointer_ = MousePointer::Default;
  QCursor hand_;
  QLabel* lblTitle_ = nullptr;
  QLabel* lblVersion_ = nullptr;
  QLabel* lblDescription_ = nullptr;
  QLabel* lblEmail_ = nullptr;
  QPushButton* cmdOK_ = nullptr;
};

}  // namespace zarn::forms
