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

// The calculator window frmMain with the standard Win32 controls, bound to
// MainController. Each control notification goes to the handler of the same
// name; the controller's view operations go to the controls.
class Win32MainWindow final : public MainView {
 public:
  using AboutFactory = std::function<std::unique_ptr<ModalWindow>()>;

  Win32MainWindow(engine::NumberLocale locale, AboutFactory aboutFactory);
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
};

// Runs the thread's message loop until the window is destroyed, with the
// dialog keys (Tab, arrows, access keys) for the window that has the focus.
int RunMessageLoop();

}  // namespace zarn::forms::win32
