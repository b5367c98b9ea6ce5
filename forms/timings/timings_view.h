#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "forms/timings/timing_figures.h"

namespace zarn::forms {

// Where the Timings window takes its timing from, in the order of its list.
enum class TimingSource { Calculator, Dmt, Cta, Cvt, Gtf, Custom, Kernel, Edid, Ovt, Rid };

// The window's single-line inputs.
enum class TimingsText {
  txtFilter,
  txtCvtWidth,
  txtCvtHeight,
  txtCvtRate,
  txtCvtHBlank,
  txtCvtVBlank,
  txtGtfWidth,
  txtGtfHeight,
  txtGtfValue,
  txtCustomClock,
  txtCustomHActive,
  txtCustomHFrontPorch,
  txtCustomHSync,
  txtCustomHBackPorch,
  txtCustomVActive,
  txtCustomVFrontPorch,
  txtCustomVSync,
  txtCustomVBackPorch,
  txtKernelOption,
  txtOvtWidth,
  txtOvtHeight,
  txtOvtRate,
  txtRidNumber,
  txtRidRate,
  txtOutput,
  txtDisplayName,
  txtEdidMinRate,
  txtEdidMaxRate,
  txtEdidName,
};

// The window's check boxes.
enum class TimingsCheck {
  chkCalculatorHSync,
  chkCalculatorVSync,
  chkCvtInterlaced,
  chkCvtMargins,
  chkCvtVideoOptimized,
  chkCvtEarlyVsync,
  chkGtfInterlaced,
  chkGtfMargins,
  chkCustomHSync,
  chkCustomVSync,
  chkCustomInterlaced,
  chkEdidRoundClock,
  chkEdidVrr,
};

// The window's drop-down lists.
enum class TimingsChoice { cmbSource, cmbCvtBlanking, cmbGtfInput, cmbFormat, cmbMonitor };

// Controls the controller enables and disables.
enum class TimingsCommand {
  cmdCopy,
  cmdSaveEdid,
  cmdUseInCalculator,
  chkCvtVideoOptimized,
  txtCvtHBlank,
  txtCvtVBlank,
  chkCvtEarlyVsync,
  cmdEdidPrefer,
  cmdEdidAdd,
  cmdEdidRemove,
  cmdEdidRevert,
  cmdEdidRange,
  cmdEdidName,
  cmdEdidInstall,
};

// What the Timings controller needs of its window. Writes made through it
// raise no handler; the window calls the handlers only for what the user does.
class TimingsView {
 public:
  virtual ~TimingsView() = default;

  virtual std::string Text(TimingsText input) const = 0;
  virtual void SetText(TimingsText input, std::string_view text) = 0;
  virtual bool Checked(TimingsCheck option) const = 0;
  // The selected index of a list.
  virtual int Choice(TimingsChoice list) const = 0;

  // Shows the inputs of a source (the calculator's, a standard's list, a
  // formula's or the custom figures).
  virtual void ShowSourcePage(TimingSource source) = 0;

  // Fills the list of standard modes and selects a row (-1: none).
  virtual void SetModes(const std::vector<std::string>& items, int selected) = 0;
  virtual int ModeRow() const = 0;

  // The EDID source: the monitors attached, the EDID's identity, and its
  // timings with the one picked (-1: none).
  virtual void SetMonitors(const std::vector<std::string>& items, int selected) = 0;
  virtual void ShowEdidIdentity(std::string_view text) = 0;
  virtual void SetEdidTimings(const std::vector<std::string>& items, int selected) = 0;
  virtual int EdidTimingRow() const = 0;

  // The timing's figures, or, when the source cannot produce one, empty
  // figures and the reason.
  virtual void ShowTiming(const TimingFigures& figures, std::string_view reason) = 0;
  // The chosen export's text (empty when there is none) and a message: why
  // it cannot be made, or what was done with it.
  virtual void ShowExport(std::string_view text, std::string_view message) = 0;
  // The link check: data rates and links; empty tables when there is no timing.
  virtual void ShowLinks(const TextTable& dataRates, const TextTable& links) = 0;
  // Whether the link check is on screen: the controller works it out only then.
  virtual bool LinksShown() const = 0;

  virtual void SetEnabled(TimingsCommand control, bool enabled) = 0;

  // Whether the rates typed for CVT and GTF are field rates (the timing is
  // interlaced) or frame rates, for the inputs' captions.
  virtual void ShowFieldRates(bool cvt, bool gtf) = 0;
  // Why no EDID can be made of the timing shown, beside "Save EDID...";
  // empty when one can.
  virtual void ShowEdidProblem(std::string_view reason) = 0;

  virtual void CopyToClipboard(std::string_view text) = 0;
  // Asks where to save an EDID, suggesting a file name; nullopt if the user
  // cancels. The path is UTF-8.
  virtual std::optional<std::string> AskEdidPath(std::string_view suggestedName) = 0;
  // Asks which EDID file to open; nullopt if the user cancels. UTF-8.
  virtual std::optional<std::string> AskEdidFile() = 0;
  // The text on the clipboard (for a pasted EDID in hex).
  virtual std::string ClipboardText() const = 0;
  // Asks a yes-or-no question; true for yes.
  virtual bool Confirm(std::string_view question) = 0;

  // The EDID's edits so far, one a line, and why the last one asked for
  // could not be made; empty when it is as it was read.
  virtual void ShowEdidChanges(std::string_view text) = 0;
  // Offers a list of items below the control (a menu); the index chosen, or
  // nullopt if the user chooses none.
  virtual std::optional<int> AskChoice(TimingsCommand control, const std::vector<std::string>& items) = 0;
  // Shows what installing an EDID would change, step by step, and asks
  // whether to go ahead; true to install.
  virtual bool ConfirmInstall(std::string_view question, std::string_view steps) = 0;
  // Tells the user what was done (or why not) in a message of its own.
  virtual void Inform(std::string_view text) = 0;
  // Runs work away from the window's thread, so that the window answers
  // while it runs (an installation waits for the system's own programs),
  // then done in the window's thread.
  virtual void RunAside(std::function<void()> work, std::function<void()> done) = 0;
  virtual void Close() = 0;

 protected:
  TimingsView() = default;
  TimingsView(const TimingsView&) = default;
  TimingsView& operator=(const TimingsView&) = default;
};

}  // namespace zarn::forms
