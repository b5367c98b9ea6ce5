#pragma once

#include <windows.h>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "forms/main/main_controller.h"
#include "forms/main/main_view.h"
#include "forms/win32/window_kit.h"

namespace zarn::forms::win32 {

// A window shown modally over an owner, such as the About window.
class ModalWindow {
 public:
  virtual ~ModalWindow() = default;
  // Returns once the window has been closed; the owner is disabled meanwhile.
  virtual void ShowModal(HWND owner) = 0;

 protected:
  ModalWindow() = default;
  ModalWindow(const ModalWindow&) = default;
  ModalWindow& operator=(const ModalWindow&) = default;
};

// A window of its own that the calculator opens beside itself, such as the
// Timings window.
class ToolWindow {
 public:
  virtual ~ToolWindow() = default;
  virtual void ShowBeside(HWND calculator) = 0;

 protected:
  ToolWindow() = default;
  ToolWindow(const ToolWindow&) = default;
  ToolWindow& operator=(const ToolWindow&) = default;
};

// The calculator window frmMain with the standard Win32 controls, bound to
// MainController. Each control notification goes to the handler of the same
// name; the controller's view operations go to the controls. Ctrl+T and the
// background's menu open the Timings window beside it.
class Win32MainWindow final : public MainView {
 public:
  using AboutFactory = std::function<std::unique_ptr<ModalWindow>()>;
  // Makes the Timings window, loaded, the first time it is needed; it reaches
  // the calculator through the calculator's port.
  using TimingsFactory = std::function<std::unique_ptr<ToolWindow>(CalculatorPort&, const engine::NumberLocale&)>;
  // The command of Ctrl+T and of "Standard Timings..." in the menu.
  static constexpr int kTimingsCommand = 40001;

  Win32MainWindow(engine::NumberLocale locale, AboutFactory aboutFactory, TimingsFactory timingsFactory = {});
  ~Win32MainWindow() override;
  Win32MainWindow(const Win32MainWindow&) = delete;
  Win32MainWindow& operator=(const Win32MainWindow&) = delete;

  // Fills the window; call once, before it is first shown.
  void Form_Load() { controller_.Form_Load(); }

  HWND Handle() const { return hwnd_; }
  HWND Control(std::string_view name) const;
  HWND Field(TimingField field) const { return edits_[static_cast<std::size_t>(field)]; }
  MainController& Controller() { return controller_; }
  int Dpi() const { return dpi_; }
  // The tooltip a marked field shows; empty for a field without a mark.
  std::string FieldTip(TimingField field) const;
  // Opens the Timings window beside the calculator (one for the calculator's
  // life, made the first time).
  void ShowTimings();
  ToolWindow* Timings() const { return timings_.get(); }

  // MainView
  std::string FieldText(TimingField field) const override;
  void SetFieldText(TimingField field, std::string_view text) override;
  void SetFieldInvalid(TimingField field, bool invalid, std::string_view hint) override;
  int ModeIndex() const override;
  void SelectMode(int index) override;
  void ClearModes() override;
  void AddMode(std::string_view itemText) override;
  void SetHorizontalFrequencyCaption(std::string_view caption) override;
  void ShowAbout() override;

 private:
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void Command(HWND control, int code);
  void ApplyDpi(int dpi, const RECT* suggested);
  // The menu of a right click on the background (over no input, list or
  // button).
  void ShowBackgroundMenu(HWND under, LPARAM where);

  HWND hwnd_ = nullptr;
  int dpi_ = 96;
  FontSet fonts_;
  std::vector<LiveControl> controls_;
  std::array<HWND, engine::kTimingFieldCount> edits_{};
  std::array<bool, engine::kTimingFieldCount> marked_{};
  HWND list_ = nullptr;
  HWND caption_ = nullptr;
  HWND tips_ = nullptr;
  HWND focus_ = nullptr;  // the focused control while the window is inactive
  int listIndex_ = -1;    // the index the controller last saw
  bool wired_ = false;    // notifications reach the controller
  MainController controller_;
  AboutFactory aboutFactory_;
  std::unique_ptr<ModalWindow> about_;
  TimingsFactory timingsFactory_;
  // After the controller: the Timings window lets go of the calculator's
  // port before the controller goes.
  std::unique_ptr<ToolWindow> timings_;
};

// What the message loop does with a message before dispatching it: the
// windows' keyboard commands (Ctrl+T) and the dialog keys (Tab, arrows,
// access keys, Escape) for the window that has the focus. True when the
// message was used up.
bool PreTranslate(MSG& message);

// Runs the thread's message loop until the calculator is destroyed.
int RunMessageLoop();

}  // namespace zarn::forms::win32
