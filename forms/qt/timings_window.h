#pragma once

#include <QString>
#include <QWidget>

#include <array>
#include <functional>
#include <initializer_list>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "engine/number_locale.h"
#include "forms/ports/calculator_port.h"
#include "forms/timings/timings_controller.h"
#include "forms/timings/timings_design.h"
#include "forms/timings/timings_view.h"

class QAbstractScrollArea;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QThread;
class QPushButton;
class QStackedWidget;
class QTableWidget;
class QTabWidget;

namespace zarn::forms {

// The Timings window frmTimings: its controls in Qt layouts, bound to
// TimingsController. It computes nothing: each Qt signal goes to the
// controller's handler, and the view operations go to the controls. A
// top-level window of its own, not modal, that does not keep the program
// running once the calculator is closed.
class TimingsWindow final : public QWidget, public TimingsView {
 public:
  // Asks where to save an EDID; an empty path when cancelled. The standard
  // file dialog unless replaced (tests give the path without a dialog).
  using SavePathAsker = std::function<QString(QWidget* parent, const QString& suggestedName)>;

  // calculator: the calculator's port, which "Use in Calculator" writes
  // through and the Calculator source reads.
  // monitors: lists the monitors attached (the system's unless given).
  // installer: installs an EDID for a monitor ("Install..." is disabled
  // without one).
  TimingsWindow(CalculatorPort& calculator, engine::NumberLocale locale, TimingsController::MonitorLister monitors = {},
                std::shared_ptr<EdidInstaller> installer = {});
  ~TimingsWindow() override;

  TimingsWindow(const TimingsWindow&) = delete;
  TimingsWindow& operator=(const TimingsWindow&) = delete;

  // Fills the window (the inputs' first texts, the first source). Call once,
  // before it is first shown.
  void Form_Load();

  TimingsController& Controller() { return controller_; }
  void SetSavePathAsker(SavePathAsker asker) { askSavePath_ = std::move(asker); }
  // Asks which EDID file to open; an empty path when cancelled.
  using OpenPathAsker = std::function<QString(QWidget* parent)>;
  void SetOpenPathAsker(OpenPathAsker asker) { askOpenPath_ = std::move(asker); }
  // The menu below a button: the index of the item chosen, or nullopt. A menu
  // unless replaced.
  using ChoiceAsker = std::function<std::optional<int>(QWidget* button, const QStringList& items)>;
  void SetChoiceAsker(ChoiceAsker asker) { askChoice_ = std::move(asker); }
  // The questions and messages of message boxes, unless replaced: a yes or
  // no (true for yes), and a message that needs no answer (the result unused).
  using MessageAsker = std::function<bool(const QString& text, const QString& details)>;
  void SetMessageAsker(MessageAsker asker) { askMessage_ = std::move(asker); }

  // TimingsView
  std::string Text(TimingsText input) const override;
  void SetText(TimingsText input, std::string_view text) override;
  bool Checked(TimingsCheck option) const override;
  int Choice(TimingsChoice list) const override;
  void ShowSourcePage(TimingSource source) override;
  void SetModes(const std::vector<std::string>& items, int selected) override;
  int ModeRow() const override;
  void SetMonitors(const std::vector<std::string>& items, int selected) override;
  void ShowEdidIdentity(std::string_view text) override;
  void SetEdidTimings(const std::vector<std::string>& items, int selected) override;
  int EdidTimingRow() const override;
  void ShowTiming(const TimingFigures& figures, std::string_view reason) override;
  void ShowExport(std::string_view text, std::string_view message) override;
  void ShowLinks(const TextTable& dataRates, const TextTable& links) override;
  bool LinksShown() const override;
  void SetEnabled(TimingsCommand control, bool enabled) override;
  void ShowFieldRates(bool cvt, bool gtf) override;
  void ShowEdidProblem(std::string_view reason) override;
  void CopyToClipboard(std::string_view text) override;
  std::optional<std::string> AskEdidPath(std::string_view suggestedName) override;
  std::optional<std::string> AskEdidFile() override;
  std::string ClipboardText() const override;
  bool Confirm(std::string_view question) override;
  void Close() override;
  void ShowEdidChanges(std::string_view text) override;
  std::optional<int> AskChoice(TimingsCommand control, const std::vector<std::string>& items) override;
  bool ConfirmInstall(std::string_view question, std::string_view steps) override;
  void Inform(std::string_view text) override;
  void RunAside(std::function<void()> work, std::function<void()> done) override;

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  QWidget* BuildSourcePages();
  // A source's page, made the first time it is asked for.
  QWidget* Page(TimingSource source);
  // Gives the controls made since last time what they hold and their handlers.
  void WireControls();
  QWidget* Widget(TimingsCommand control) const;
  QWidget* BuildCalculatorPage();
  QWidget* BuildListPage();
  QWidget* BuildCvtPage();
  QWidget* BuildGtfPage();
  QWidget* BuildCustomPage();
  QWidget* BuildKernelPage();
  QWidget* BuildEdidPage();
  // A page of rows of a caption, an input and its unit.
  struct FormRow {
    const char* caption;
    TimingsText input;
    const char* unit;
  };
  QWidget* BuildFormPage(const char* name, const QString& title, std::initializer_list<FormRow> rows,
                         const QString& note);
  QGroupBox* BuildTimingPanel();
  QTabWidget* BuildOutputTabs();
  QWidget* BuildExportsPage();
  // The Links page: stand-ins until it is first shown, then its tables
  // (filled each time it is shown).
  QWidget* BuildLinksPlaceholder();
  static void LinksMinimumHeight(QAbstractScrollArea& table);
  void BuildLinksPage();
  void ConnectHandlers();
  void SetTabOrder();

  QLineEdit* AddEdit(TimingsText input);
  QCheckBox* AddCheck(TimingsCheck option);
  QComboBox* AddChoice(TimingsChoice list);
  QLineEdit* Edit(TimingsText input) const { return edits_[static_cast<std::size_t>(input)]; }
  QCheckBox* Check(TimingsCheck option) const { return checks_[static_cast<std::size_t>(option)]; }
  QComboBox* Combo(TimingsChoice list) const { return combos_[static_cast<std::size_t>(list)]; }

  std::array<QLineEdit*, kTimingsTexts.size()> edits_{};
  std::array<QCheckBox*, kTimingsChecks.size()> checks_{};
  std::array<QComboBox*, kTimingsChoices.size()> combos_{};
  QStackedWidget* pages_ = nullptr;
  std::array<QWidget*, kSourceItems.size()> pageOf_{};
  QGroupBox* listPage_ = nullptr;
  // What the controls hold before they are made, and whether they are wired.
  std::array<std::string, kTimingsTexts.size()> pendingTexts_;
  std::array<bool, kTimingsChecks.size()> pendingChecks_{};
  std::array<int, kTimingsChoices.size()> pendingChoices_{};
  std::array<bool, kTimingsTexts.size()> wiredTexts_{};
  std::array<bool, kTimingsChecks.size()> wiredChecks_{};
  std::array<bool, kTimingsChoices.size()> wiredChoices_{};
  std::map<TimingsCommand, bool> enabled_;
  std::pair<bool, bool> fieldRates_{false, false};
  QLabel* lblEdidIdentity_ = nullptr;
  QListWidget* lstEdidTimings_ = nullptr;
  QPushButton* cmdOpenEdid_ = nullptr;
  QPushButton* cmdPasteEdid_ = nullptr;
  std::array<QPushButton*, kEdidCommands.size()> edidCommands_{};
  QPlainTextEdit* lblEdidChanges_ = nullptr;
  QListWidget* lstModes_ = nullptr;
  QLabel* lblSourceName_ = nullptr;
  QLabel* lblVertical_ = nullptr;
  std::array<QLabel*, 6> horizontal_{};
  std::array<QLabel*, 6> vertical_{};
  QLabel* lblHSync_ = nullptr;
  QLabel* lblVSync_ = nullptr;
  QLabel* lblPixelClock_ = nullptr;
  QLabel* lblLineRate_ = nullptr;
  QLabel* lblRefreshRate_ = nullptr;
  QLabel* lblFieldRateCaption_ = nullptr;
  QLabel* lblFieldRate_ = nullptr;
  QLabel* lblDetails_ = nullptr;
  QLabel* lblReason_ = nullptr;
  QTabWidget* tabOutput_ = nullptr;
  QLabel* txtExport_ = nullptr;
  QWidget* pageLinks_ = nullptr;
  QLabel* lblExportMessage_ = nullptr;
  QLabel* lblEdidProblem_ = nullptr;
  QLabel* lblCvtRate_ = nullptr;
  QTableWidget* tblDataRates_ = nullptr;
  QTableWidget* tblLinks_ = nullptr;
  QPushButton* cmdCopy_ = nullptr;
  QPushButton* cmdSaveEdid_ = nullptr;
  QPushButton* cmdUseInCalculator_ = nullptr;
  QPushButton* cmdClose_ = nullptr;
  TimingsController controller_;
  SavePathAsker askSavePath_;
  OpenPathAsker askOpenPath_;
  std::vector<QThread*> aside_;  // work running away from the window
  ChoiceAsker askChoice_;
  MessageAsker askMessage_;
};

}  // namespace zarn::forms
