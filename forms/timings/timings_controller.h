#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/number_locale.h"
#include "forms/ports/calculator_port.h"
#include "forms/timings/edid_installer.h"
#include "forms/timings/mode_list.h"
#include "forms/timings/timings_design.h"
#include "forms/timings/timings_view.h"
#include "modes/display_timing.h"
#include "modes/edid_blocks.h"
#include "modes/edid_edit.h"
#include "modes/edid_model.h"
#include "modes/expected.h"
#include "modes/export_formats.h"
#include "modes/request.h"
#include "modes/sources.h"
#include "platform/monitors.h"

namespace zarn::forms {

// The behaviour of the Timings window, without the window: it takes a timing
// from the chosen source (the calculator's fields, a DMT or CTA-861 mode, the
// CVT or GTF formula, figures typed in, a monitor's EDID, ...), shows it, its
// exports and its link check, and hands it to the calculator. A monitor's
// EDID can be edited (timings made preferred, added from the other sources or
// removed, the refresh range and the name set), saved and installed. It
// reaches its window through TimingsView and the calculator through the
// calculator's port, and computes nothing itself: the modes library does, from
// its tables of sources and export formats.
class TimingsController {
 public:
  // Lists the monitors attached and their EDIDs (the system's, unless given).
  using MonitorLister = std::function<std::vector<platform::MonitorEdid>()>;

  // Without an installer, "Install..." stays disabled.
  TimingsController(TimingsView& view, CalculatorPort& calculator, engine::NumberLocale locale,
                    MonitorLister monitors = {}, std::shared_ptr<EdidInstaller> installer = {});
  ~TimingsController();

  TimingsController(const TimingsController&) = delete;
  TimingsController& operator=(const TimingsController&) = delete;

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
  // The EDID source: open a file, paste hex, pick one of its timings.
  void cmdOpenEdid_Click();
  void cmdPasteEdid_Click();
  void lstEdidTimings_Click();
  // Edits of the EDID shown: the timing picked made the preferred one or
  // removed, another source's timing added, the refresh range and the name
  // set; the EDID as it was read again; the EDID installed for the monitor
  // chosen.
  void cmdEdidPrefer_Click();
  void cmdEdidAdd_Click();
  void cmdEdidRemove_Click();
  void cmdEdidRevert_Click();
  void cmdEdidRange_Click();
  void cmdEdidName_Click();
  void cmdEdidInstall_Click();
  // The Exports or Links tab chosen.
  void tabOutput_Click();
  void cmdCopy_Click();
  void cmdSaveEdid_Click();
  void cmdUseInCalculator_Click();
  void cmdClose_Click();

  // The calculator's fields changed (the calculator tells this controller
  // through its port, once a change).
  void Calculator_Change();

  // The timing shown; nullopt while the source gives none.
  const std::optional<modes::DisplayTiming>& Timing() const { return timing_; }
  // The EDID of the EDID source, with the edits made; empty without one.
  const std::vector<std::uint8_t>& Edid() const { return edidBytes_; }
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
  modes::Expected<modes::DisplayTiming> Produce();
  // A source's timing, and the request it was made of where there was one.
  modes::Expected<modes::DisplayTiming> TimingOf(TimingSource source,
                                                 std::optional<modes::TimingRequest>* request) const;
  modes::Expected<modes::DisplayTiming> ListedTiming(TimingSource source) const;
  modes::Expected<modes::DisplayTiming> EdidTiming() const;
  // The monitors attached, listed the first time the EDID source is chosen.
  void ListMonitors();
  // Takes an EDID's bytes (from where, for messages), shows what it is and
  // its timings, and picks its preferred one; no edits made yet.
  void UseEdid(const std::vector<std::uint8_t>& bytes, const std::string& where);
  // Shows the EDID's bytes as they stand, and picks the timing with these
  // figures (else the preferred one).
  void ShowEdid(const std::optional<modes::DisplayTiming>& pick);
  // Takes an edit's result: the new bytes and what changed, or the reason.
  void ApplyEdit(const modes::Expected<modes::EdidEdited>& edit, const std::optional<modes::DisplayTiming>& pick);
  void ShowEdidEditing();
  // Whether the EDID may be replaced: it has no edits, or the user lets them go.
  bool MayDiscardEdits();
  modes::TimingEditOptions EditOptions() const;
  // The request the window's inputs of a source make, each read for its kind.
  modes::Expected<modes::TimingRequest> ReadRequest(modes::SourceId source) const;
  // Whether a bound control's parameter applies (a parameter that needs
  // another's choice applies only while that choice is made).
  bool Applies(const TimingsBinding& binding) const;
  // Takes the timing from the source again and shows everything that
  // follows from it.
  void Refresh();
  void ShowExport();
  // The link check of the timing shown, when on screen and not shown yet.
  void ShowLinks();
  modes::Expected<std::string> ExportText(const modes::DisplayTiming& timing) const;
  modes::ExportRequest ExportRequestOf(const std::string& output, const std::string& name) const;
  // The EDID "Save EDID..." writes (the EDID source's own, edited), or why
  // there is none, and the file name it suggests.
  modes::Expected<modes::ExportText> EdidBlock() const;
  std::string EdidFileName() const;

  TimingsView& view_;
  CalculatorPort& calculator_;
  engine::NumberLocale locale_;
  modes::InputStyle style_;
  ModeList dmt_;
  ModeList cta_;
  std::optional<modes::DisplayTiming> timing_;
  std::optional<modes::TimingRequest> request_;  // how the timing shown was asked for, where it was
  std::string exportText_;
  bool linksShown_ = false;  // whether the link check on screen is the timing's
  MonitorLister lister_;
  std::optional<std::vector<platform::MonitorEdid>> monitors_;
  std::vector<std::string> monitorItems_;  // as the list of monitors shows them
  int monitorRow_ = -1;                    // the one whose EDID is shown
  std::optional<modes::DecodedEdid> edid_;
  std::string edidProblem_;  // why there is no EDID to take timings from
  int edidPicked_ = -1;
  std::string edidWhere_;                   // where the EDID came from, for messages
  std::vector<std::uint8_t> edidOriginal_;  // as it was read
  std::vector<std::uint8_t> edidBytes_;     // with the edits made
  std::vector<std::string> edidChanges_;    // each edit's sentences
  std::string edidRefusal_;                 // why the last edit was not made
  std::string edidStatus_;                  // an installation under way
  std::shared_ptr<EdidInstaller> installer_;
};

}  // namespace zarn::forms
