#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "engine/number_locale.h"
#include "forms/main/main_view.h"
#include "forms/timings/mode_list.h"
#include "forms/timings/timings_view.h"
#include "modes/display_timing.h"
#include "modes/expected.h"

namespace zarn::forms {

// The behaviour of the Timings window, without the window: it takes a timing
// from the chosen source (the calculator's fields, a DMT or CTA-861 mode, the
// CVT or GTF formula, or figures typed in), shows it, its exports and its link
// check, and hands it to the calculator. It reaches its window through
// TimingsView and the calculator through the calculator's own MainView, and
// computes nothing itself: the modes library does.
class TimingsController {
 public:
  TimingsController(TimingsView& view, MainView& calculator, engine::NumberLocale locale);

  // Writes the inputs' first texts in the user's locale and shows the first
  // source. Call once, before the window is first shown.
  void Form_Load();

  void cmbSource_Click();
  void txtFilter_Change();
  void lstModes_Click();
  // Any other input typed, box ticked or list item chosen.
  void Text_Change(TimingsText input);
  void Check_Click(TimingsCheck option);
  void Choice_Click(TimingsChoice list);
  void cmdCopy_Click();
  void cmdSaveEdid_Click();
  void cmdUseInCalculator_Click();
  void cmdClose_Click();

  // One of the calculator's fields changed (typed, or written by the
  // calculator or by this controller).
  void Calculator_Change();

  // The timing shown; nullopt while the source gives none.
  const std::optional<modes::DisplayTiming>& Timing() const { return timing_; }
  // The source chosen; nullopt when the list selects none.
  std::optional<TimingSource> Source() const;

 private:
  // A standard's list: every mode, the rows the filter shows (indices into
  // modes) and the mode picked (an index into modes, or -1).
  struct ModeList {
    std::vector<ListedMode> modes;
    std::vector<std::size_t> shown;
    int picked = -1;
  };

  ModeList* CurrentList();
  void FillList();
  modes::Expected<modes::DisplayTiming> Produce() const;
  modes::Expected<modes::DisplayTiming> ListedTiming() const;
  modes::Expected<modes::DisplayTiming> CvtTiming() const;
  modes::Expected<modes::DisplayTiming> GtfTiming() const;
  modes::Expected<modes::DisplayTiming> CustomTiming() const;
  // Takes the timing from the source again and shows everything that
  // follows from it.
  void Refresh();
  void ShowExport();
  modes::Expected<std::string> ExportText(const modes::DisplayTiming& timing) const;

  TimingsView& view_;
  MainView& calculator_;
  engine::NumberLocale locale_;
  ModeList dmt_;
  ModeList cta_;
  std::optional<modes::DisplayTiming> timing_;
  std::string exportText_;
  bool writingCalculator_ = false;
};

}  // namespace zarn::forms
