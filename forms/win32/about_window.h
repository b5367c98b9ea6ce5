#pragma once

#include <windows.h>

#include <vector>

#include "forms/about/about_controller.h"
#include "forms/about/about_view.h"
#include "forms/about/app_properties.h"
#include "forms/about/sys_info_launcher.h"
#include "forms/win32/main_window.h"
#include "forms/win32/window_kit.h"
#include "platform/interfaces.h"

namespace zarn::forms::win32 {

// The About window frmAbout as a modal Win32 window bound to AboutController.
// Each showing makes the window afresh (design-time texts, default pointer,
// then Form_Load), centres it on the owner's monitor and runs its own message
// loop with the owner disabled; OK, Enter, Escape or the close box unload it.
// The picture is the program's bitmap resource 2.
class Win32AboutWindow final : public AboutView, public ModalWindow {
 public:
  static constexpr int kPictureResource = 2;

  Win32AboutWindow(AppProperties properties, platform::Services services);
  ~Win32AboutWindow() override;
  Win32AboutWindow(const Win32AboutWindow&) = delete;
  Win32AboutWindow& operator=(const Win32AboutWindow&) = delete;

  void ShowModal(HWND owner) override;

  // While shown: the window and its controls by layout name.
  HWND Handle() const { return hwnd_; }
  HWND Control(std::string_view name) const;
  MousePointer Pointer() const { return pointer_; }
  AboutController& Controller() { return controller_; }

  // AboutView
  void SetCaption(std::string_view caption) override;
  void SetVersionCaption(std::string_view caption) override;
  void SetTitleCaption(std::string_view caption) override;
  void SetMousePointer(MousePointer pointer) override;
  void Unload() override;

 private:
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

  SysInfoLauncher launcher_;
  AboutController controller_;
  HWND hwnd_ = nullptr;
  int dpi_ = 96;
  FontSet fonts_;
  std::vector<LiveControl> controls_;
  HBITMAP picture_ = nullptr;
  MousePointer pointer_ = MousePointer::Default;
  bool open_ = false;
};

}  // namespace zarn::forms::win32
