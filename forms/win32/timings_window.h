#pragma once

#include <windows.h>

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "engine/number_locale.h"
#include "forms/layout/grid.h"
#include "forms/ports/calculator_port.h"
#include "forms/timings/edid_installer.h"
#include "forms/timings/timings_controller.h"
#include "forms/timings/timings_design.h"
#include "forms/timings/timings_layout.h"
#include "forms/timings/timings_view.h"
#include "forms/win32/main_window.h"

namespace zarn::forms::win32 {

// The Timings window frmTimings with the standard Win32 controls, bound to
// TimingsController and placed from the grids of timings_layout.h, in the
// system's message font at the monitor's resolution. A top-level window of
// its own, not modal; closing it hides it. Each source's page is made the
// first time the source is chosen; the Links tables are filled only while
// their tab shows. Frames and tab pages are windows of their own that hold
// their controls, so that nothing is drawn over another control. An EDID is
// installed on a thread of its own, the window answering meanwhile.
class Win32TimingsWindow final : public TimingsView, public ToolWindow, private grid::Host {
 public:
  // Ask where to save an EDID (UTF-8, nullopt when cancelled), which EDID
  // file to open, a yes-or-no question, which item of a button's menu (its
  // index, nullopt for none), whether to install an EDID (true to install)
  // and tell the user something: the standard dialogs, menus and message
  // boxes unless replaced (tests answer without them).
  using SavePathAsker = std::function<std::optional<std::string>(std::string_view suggestedName)>;
  using OpenPathAsker = std::function<std::optional<std::string>()>;
  using Confirmer = std::function<bool(std::string_view question)>;
  using ChoiceAsker = std::function<std::optional<int>(TimingsCommand button, const std::vector<std::string>& items)>;
  using InstallConfirmer = std::function<bool(std::string_view question, std::string_view steps)>;
  using Informer = std::function<void(std::string_view text)>;

  // monitors: lists the monitors attached (the system's unless given).
  // installer: installs an EDID for a monitor ("Install..." is disabled
  // without one).
  Win32TimingsWindow(CalculatorPort& calculator, engine::NumberLocale locale,
                     TimingsController::MonitorLister monitors = {}, std::shared_ptr<EdidInstaller> installer = {});
  // Waits for work still running aside (an installation) to end.
  ~Win32TimingsWindow() override;
  Win32TimingsWindow(const Win32TimingsWindow&) = delete;
  Win32TimingsWindow& operator=(const Win32TimingsWindow&) = delete;

  // Fills the window (the inputs' first texts, the first source). Call once,
  // before it is first shown.
  void Form_Load();

  // ToolWindow: shows it beside the calculator (the first time; afterwards
  // where the user left it) and activates it.
  void ShowBeside(HWND calculator) override;

  HWND Handle() const { return hwnd_; }
  // A control by its name in the layout; nullptr while its page is not made.
  HWND Control(std::string_view name) const;
  // Every control made, by name, in the order they were made.
  std::vector<std::pair<std::string_view, HWND>> Controls() const;
  int Dpi() const { return dpi_; }
  TimingsController& Controller() { return controller_; }
  // The name a screen reader is given for a control, as the Qt window has it.
  std::string AccessibleName(HWND control) const;

  void SetSavePathAsker(SavePathAsker asker) { askSavePath_ = std::move(asker); }
  void SetOpenPathAsker(OpenPathAsker asker) { askOpenPath_ = std::move(asker); }
  void SetConfirmer(Confirmer confirmer) { confirm_ = std::move(confirmer); }
  void SetChoiceAsker(ChoiceAsker asker) { askChoice_ = std::move(asker); }
  void SetInstallConfirmer(InstallConfirmer confirmer) { confirmInstall_ = std::move(confirmer); }
  void SetInformer(Informer informer) { inform_ = std::move(informer); }

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

 private:
  // A control or a container's window, and the cell it was made for.
  struct Made {
    const grid::Cell* cell;
    int tab;  // for Tabs: -1 the tab row, 0 on its pages' panes
    HWND hwnd;
  };

  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void Command(HWND control, int code);

  // Makes the controls of a grid in parent, in the grid's order (which is
  // then the Tab order).
  void MakeGrid(const grid::Grid& grid, HWND parent);
  HWND MakeCell(const grid::Cell& cell, HWND parent);
  HWND MakePane(HWND parent, std::string_view title, bool framed);
  // The page of a source, made the first time.
  HWND Page(TimingSource source);
  // Gives the controls made since last time what they hold.
  void WireControls();
  const Made* Find(HWND hwnd) const;
  HWND CommandControl(TimingsCommand control) const;
  // Fonts and sizes for the resolution, then the layout again.
  void ApplyDpi(int dpi);
  void Relayout();
  void SetShown(std::string_view name, bool shown);
  void SetStatic(std::string_view name, std::string_view text, bool wraps);
  void ShowOutputTab(int tab);
  void FillEdidChanges(HWND box) const;
  // Work run aside has ended: its thread joined, then what follows it.
  void EndAside(unsigned number);

  // grid::Host
  bool Shown(const grid::Cell& cell) const override;
  grid::Size Least(const grid::Cell& cell) const override;
  int HeightAt(const grid::Cell& cell, int width) const override;
  const grid::Grid* Inner(const grid::Cell& cell, int tab) const override;
  grid::Insets Frame(const grid::Cell& cell) const override;
  int TabRowHeight(const grid::Cell& cell) const override;
  int Spacing() const override;
  void Place(const grid::Cell& cell, int tab, const grid::Rect& rect) override;

  int Scaled(int pixelsAt96) const { return MulDiv(pixelsAt96, dpi_, 96); }
  SIZE TextExtent(std::string_view text, HFONT font, int wrapWidth = -1) const;
  HFONT FontOf(const grid::Cell& cell) const;

  HWND hwnd_ = nullptr;
  int dpi_ = 96;
  HFONT font_ = nullptr;
  HFONT bold_ = nullptr;
  HFONT fixed_ = nullptr;
  int lineHeight_ = 13;
  int fixedLineHeight_ = 13;
  std::vector<Made> made_;
  std::map<std::string_view, bool> hidden_;
  std::array<HWND, kTimingsTexts.size()> edits_{};
  std::array<HWND, kTimingsChecks.size()> checks_{};
  std::array<HWND, kTimingsChoices.size()> combos_{};
  std::map<const grid::Grid*, HWND> pages_;
  TimingSource source_ = TimingSource::Dmt;
  HWND tabs_ = nullptr;
  int outputTab_ = 0;
  // What the inputs hold before their page is made, and which are wired.
  std::array<std::string, kTimingsTexts.size()> pendingTexts_;
  std::array<bool, kTimingsChecks.size()> pendingChecks_{};
  std::array<int, kTimingsChoices.size()> pendingChoices_{};
  std::array<bool, kTimingsTexts.size()> wiredTexts_{};
  std::array<bool, kTimingsChecks.size()> wiredChecks_{};
  std::array<bool, kTimingsChoices.size()> wiredChoices_{};
  std::map<TimingsCommand, bool> enabled_;
  std::pair<bool, bool> fieldRates_{false, false};
  std::map<std::string_view, std::string> statics_;  // what each written label holds
  std::string exportText_;
  std::string edidChanges_;  // empty: no edits yet
  // Work running aside, by number: its thread, and what the window does once
  // it has ended.
  struct Aside {
    std::thread thread;
    std::function<void()> done;
  };
  std::map<unsigned, Aside> aside_;
  unsigned asideCount_ = 0;
  bool quiet_ = false;    // writes by the controller raise no handler
  bool shown_ = false;    // shown once: later showings keep the user's place
  HWND focus_ = nullptr;  // the focused control while the window is inactive
  TimingsController controller_;
  SavePathAsker askSavePath_;
  OpenPathAsker askOpenPath_;
  Confirmer confirm_;
  ChoiceAsker askChoice_;
  InstallConfirmer confirmInstall_;
  Informer inform_;
};

}  // namespace zarn::forms::win32
