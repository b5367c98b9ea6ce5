#pragma once

#include <QDialog>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>

#include "engine/timing_fields.h"
#include "forms/main/main_controller.h"
#include "forms/main/main_view.h"
#include "forms/ports/calculator_port.h"

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;

namespace zarn::forms {

// The calculator window frmMain: its controls at their fixed places, bound to
// MainController. It computes nothing: each Qt signal goes to the handler of
// the same name, and the controller's view operations go to the controls.
class MainWindow final : public QWidget, public MainView {
 public:
  // Makes the About window the first time it is needed.
  using AboutFactory = std::function<std::unique_ptr<QDialog>()>;
  // Makes the Timings window, loaded, the first time it is needed; it reaches
  // the calculator through the port it is given, in the calculator's locale.
  using TimingsFactory =
      std::function<std::unique_ptr<QWidget>(CalculatorPort& calculator, const engine::NumberLocale& locale)>;

  explicit MainWindow(engine::NumberLocale locale, AboutFactory aboutFactory = {}, TimingsFactory timingsFactory = {});
  ~MainWindow() override;

  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Fills the window (pixel frequency, mode list, preset). Call once, before
  // the window is first shown.
  void Form_Load() { controller_.Form_Load(); }

  MainController& Controller() { return controller_; }
  QDialog* AboutWindow() const { return about_.get(); }

  // Opens the Timings window beside the calculator (Ctrl+T, or the
  // background's context menu): made on first use, then shown again; never
  // more than one. Nothing happens without a factory.
  void ShowTimings();
  QWidget* Timings() const { return timings_.get(); }

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

 protected:
  // A right-click over the window's background, and over no control, offers
  // the Timings window.
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  void BuildControls();
  void AddTextBoxes(QWidget* frame, bool inPanel);
  void ConnectHandlers();
  void AddTimingsCommand();
  QLineEdit* Edit(TimingField field) const { return edits_[static_cast<std::size_t>(field)]; }

  std::array<QLineEdit*, engine::kTimingFieldCount> edits_{};
  std::array<bool, engine::kTimingFieldCount> marked_{};
  QComboBox* cmbMode_ = nullptr;
  QLabel* lblHorizontalFrequency_ = nullptr;
  MainController controller_;
  AboutFactory aboutFactory_;
  std::unique_ptr<QDialog> about_;
  QAction* timingsAction_ = nullptr;
  std::unique_ptr<QMenu> backgroundMenu_;
  TimingsFactory timingsFactory_;
  // After the controller: the Timings window lets go of the calculator's port
  // as it goes.
  std::unique_ptr<QWidget> timings_;
};

}  // namespace zarn::forms
