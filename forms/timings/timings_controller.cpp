#include "forms/timings/timings_controller.h"

#include <cstdint>
#include <map>
#include <string_view>
#include <utility>

#include "forms/timings/calculator_timing.h"
#include "forms/timings/locale_number.h"
#include "forms/timings/timings_design.h"
#include "modes/decimal.h"
#include "modes/edid.h"
#include "modes/edid_hex.h"
#include "modes/edid_reader.h"
#include "modes/edid_text.h"
#include "modes/export_formats.h"
#include "modes/modeline.h"
#include "modes/typed_text.h"
#include "platform/safe_file.h"

namespace zarn::forms {
namespace {

using modes::DisplayTiming;
using modes::Expected;
using modes::Parameter;
using modes::ValueKind;
using TimingResult = Expected<DisplayTiming>;

bool IsBlank(std::string_view text) { return text.find_first_not_of(" \t") == std::string_view::npos; }

// The exports end their last line with a newline, for a terminal; the text
// shown and copied leaves it out.
std::string WithoutFinalNewline(std::string text) {
  if (!text.empty() && text.back() == '\n') text.pop_back();
  return text;
}

// A timing in a few words: "1920x1080 at 60.000 Hz, 148.5 MHz".
std::string TimingSummary(const DisplayTiming& t, const engine::NumberLocale& locale) {
  const std::string name = modes::ShortModeName(t);
  return name.substr(0, name.find('_')) + " at " +
         WithLocaleSeparator(modes::FixedDecimal(t.field_rate_hz(), 3), locale) + " Hz, " +
         MegahertzText(t.pixel_clock_hz, locale) + " MHz";
}

// A whole number typed (blanks around it allowed); nullopt for anything else.
std::optional<int> ReadWholeNumber(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t");
  const std::size_t last = text.find_last_not_of(" \t");
  if (first == std::string_view::npos || last - first >= 6) return std::nullopt;
  int value = 0;
  for (const char c : text.substr(first, last - first + 1)) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

// The parameter of a source that a binding names, or the index-th of its group.
const Parameter* BoundParameter(const modes::SourceInfo& source, const TimingsBinding& binding, int chosen) {
  if (!binding.parameter.empty()) {
    const std::size_t index = modes::ParameterIndex(source, binding.parameter);
    return index < source.parameters.size() ? &source.parameters[index] : nullptr;
  }
  for (const Parameter& parameter : source.parameters) {
    if (parameter.group == binding.group && chosen-- == 0) return &parameter;
  }
  return nullptr;
}

}  // namespace

TimingsController::TimingsController(TimingsView& view, CalculatorPort& calculator, engine::NumberLocale locale,
                                     MonitorLister monitors, std::shared_ptr<EdidInstaller> installer)
    : view_(view),
      calculator_(calculator),
      locale_(std::move(locale)),
      style_(modes::WindowStyle(locale_.Separator())),
      lister_(monitors ? std::move(monitors) : MonitorLister(&platform::AttachedMonitors)),
      edidProblem_("Choose a monitor, or open or paste an EDID."),
      installer_(std::move(installer)) {
  dmt_.modes = DmtList(locale_);
  cta_.modes = CtaList(locale_);
  calculator_.SetChangeListener([this] { Calculator_Change(); });
}

TimingsController::~TimingsController() { calculator_.SetChangeListener({}); }

std::optional<TimingSource> TimingsController::Source() const {
  const int index = view_.Choice(TimingsChoice::cmbSource);
  if (index < 0 || index >= static_cast<int>(kSourceItems.size())) return std::nullopt;
  return static_cast<TimingSource>(index);
}

void TimingsController::Form_Load() {
  for (const TimingsTextInfo& info : kTimingsTexts) {
    if (!info.designText.empty()) view_.SetText(info.input, WithLocaleSeparator(info.designText, locale_));
  }
  cmbSource_Click();
}

TimingsController::ModeList* TimingsController::CurrentList() {
  const auto source = Source();
  if (source == TimingSource::Dmt) return &dmt_;
  if (source == TimingSource::Cta) return &cta_;
  return nullptr;
}

void TimingsController::FillList() {
  ModeList* list = CurrentList();
  if (list == nullptr) return;
  const ModeFilter filter(view_.Text(TimingsText::txtFilter), locale_);
  list->shown.clear();
  std::vector<std::string> items;
  int row = -1;
  for (std::size_t i = 0; i < list->modes.size(); ++i) {
    if (!filter.Matches(list->modes[i])) continue;
    if (static_cast<int>(i) == list->picked) row = static_cast<int>(items.size());
    list->shown.push_back(i);
    items.push_back(list->modes[i].item);
  }
  // The pick stays while the filter shows it; otherwise the first match is
  // picked, so that typing alone picks a mode.
  if (row < 0 && !list->shown.empty()) row = 0;
  list->picked = row < 0 ? -1 : static_cast<int>(list->shown[static_cast<std::size_t>(row)]);
  view_.SetModes(items, row);
}

void TimingsController::cmbSource_Click() {
  if (const auto source = Source()) view_.ShowSourcePage(*source);
  if (Source() == TimingSource::Edid) ListMonitors();
  FillList();
  Refresh();
}

void TimingsController::txtFilter_Change() {
  FillList();
  Refresh();
}

void TimingsController::lstModes_Click() {
  ModeList* list = CurrentList();
  if (list == nullptr) return;
  const int row = view_.ModeRow();
  if (row < 0 || row >= static_cast<int>(list->shown.size())) return;
  list->picked = static_cast<int>(list->shown[static_cast<std::size_t>(row)]);
  Refresh();
}

void TimingsController::Text_Change(TimingsText input) {
  if (input == TimingsText::txtFilter) {
    txtFilter_Change();
  } else if (input == TimingsText::txtOutput || input == TimingsText::txtDisplayName) {
    ShowExport();
  } else if (input == TimingsText::txtEdidMinRate || input == TimingsText::txtEdidMaxRate ||
             input == TimingsText::txtEdidName) {
    // Taken when their button is pressed.
  } else {
    Refresh();
  }
}

void TimingsController::Check_Click(TimingsCheck option) {
  if (option == TimingsCheck::chkEdidRoundClock || option == TimingsCheck::chkEdidVrr) return;
  Refresh();
}

void TimingsController::Choice_Click(TimingsChoice list) {
  if (list == TimingsChoice::cmbSource) {
    cmbSource_Click();
  } else if (list == TimingsChoice::cmbMonitor) {
    const int row = view_.Choice(TimingsChoice::cmbMonitor);
    if (!MayDiscardEdits()) {
      view_.SetMonitors(monitorItems_, monitorRow_);
      return;
    }
    if (monitors_ && row >= 0 && static_cast<std::size_t>(row) < monitors_->size()) {
      monitorRow_ = row;
      const platform::MonitorEdid& monitor = (*monitors_)[static_cast<std::size_t>(row)];
      UseEdid(monitor.edid, monitor.connector);
    }
  } else if (list == TimingsChoice::cmbFormat) {
    ShowExport();
  } else {
    Refresh();
  }
}

void TimingsController::Calculator_Change() {
  if (Source() == TimingSource::Calculator) Refresh();
}

TimingResult TimingsController::Produce() {
  request_.reset();
  const auto source = Source();
  if (!source) return TimingResult::Failure("Choose a source.");
  return TimingOf(*source, &request_);
}

TimingResult TimingsController::TimingOf(TimingSource source, std::optional<modes::TimingRequest>* made) const {
  modes::SourceId formula = modes::SourceId::Cvt;
  switch (source) {
    case TimingSource::Calculator:
      return CalculatorTiming(calculator_, locale_, view_.Checked(TimingsCheck::chkCalculatorHSync),
                              view_.Checked(TimingsCheck::chkCalculatorVSync));
    case TimingSource::Dmt:
    case TimingSource::Cta:
      return ListedTiming(source);
    case TimingSource::Cvt:
      break;
    case TimingSource::Gtf:
      formula = modes::SourceId::Gtf;
      break;
    case TimingSource::Custom:
      formula = modes::SourceId::Custom;
      break;
    case TimingSource::Kernel:
      formula = modes::SourceId::Kernel;
      break;
    case TimingSource::Edid:
      return EdidTiming();
    case TimingSource::Ovt:
      formula = modes::SourceId::Ovt;
      break;
    case TimingSource::Rid:
      formula = modes::SourceId::Rid;
      break;
  }
  const Expected<modes::TimingRequest> request = ReadRequest(formula);
  if (!request) return TimingResult::Failure(request.error());
  TimingResult timing = modes::MakeTiming(*request, style_);
  if (timing) *made = *request;
  return timing;
}

TimingResult TimingsController::ListedTiming(TimingSource source) const {
  const bool dmt = source == TimingSource::Dmt;
  const ModeList& list = dmt ? dmt_ : cta_;
  if (list.picked >= 0) return list.modes[static_cast<std::size_t>(list.picked)].timing;
  const std::string standard = dmt ? "DMT mode" : "CTA-861 video format";
  if (list.shown.empty()) {
    return TimingResult::Failure("No " + standard + " matches " +
                                 modes::Quoted(view_.Text(TimingsText::txtFilter), '"') + ".");
  }
  return TimingResult::Failure("Pick a " + standard + " in the list.");
}

void TimingsController::ListMonitors() {
  if (monitors_) return;
  monitors_ = lister_();
  monitorItems_.clear();
  for (const platform::MonitorEdid& monitor : *monitors_) {
    const auto edid = modes::DecodeEdid(monitor.edid);
    monitorItems_.push_back(monitor.connector + ": " +
                            (edid ? (edid->name ? modes::ValidUtf8(*edid->name) : edid->manufacturer) : "no EDID"));
  }
  monitorRow_ = monitorItems_.empty() ? -1 : 0;
  view_.SetMonitors(monitorItems_, monitorRow_);
  if (!monitors_->empty()) {
    UseEdid(monitors_->front().edid, monitors_->front().connector);
  } else {
    view_.ShowEdidIdentity("No monitor with an EDID is attached: open an EDID file, or paste one in hex.");
  }
}

void TimingsController::UseEdid(const std::vector<std::uint8_t>& bytes, const std::string& where) {
  edidWhere_ = where;
  edidOriginal_ = bytes;
  edidBytes_ = bytes;
  edidChanges_.clear();
  edidRefusal_.clear();
  ShowEdid(std::nullopt);
}

void TimingsController::ShowEdid(const std::optional<DisplayTiming>& pick) {
  const auto edid = modes::DecodeEdid(edidBytes_);
  edidPicked_ = -1;
  std::vector<std::string> items;
  if (!edid) {
    edid_.reset();
    edidProblem_ = edidWhere_ + " holds no EDID: " + edid.error();
    view_.ShowEdidIdentity(edidProblem_);
  } else {
    edid_ = *edid;
    view_.ShowEdidIdentity(edidWhere_ + (edidChanges_.empty() ? ": " : ", edited: ") + modes::EdidIdentityLine(*edid_));
    for (std::size_t i = 0; i < edid_->timings.size(); ++i) {
      const modes::EdidTiming& t = edid_->timings[i];
      if (pick && edidPicked_ < 0 && modes::SameFigures(t.timing, *pick)) edidPicked_ = static_cast<int>(i);
      items.push_back(std::to_string(i + 1) + ". " + modes::ValidUtf8(t.origin) + (t.preferred ? " (preferred)" : "") +
                      ": " + TimingSummary(t.timing, locale_));
    }
    for (std::size_t i = 0; i < edid_->timings.size() && edidPicked_ < 0; ++i) {
      if (edid_->timings[i].preferred) edidPicked_ = static_cast<int>(i);
    }
    if (edidPicked_ < 0 && !items.empty()) edidPicked_ = 0;
    edidProblem_ = items.empty() ? edidWhere_ + ": the EDID offers no timing." : std::string();
  }
  view_.SetEdidTimings(items, edidPicked_);
  ShowEdidEditing();
  Refresh();
}

void TimingsController::ShowEdidEditing() {
  const bool editable = edid_.has_value();
  const bool picked = editable && edidPicked_ >= 0;
  view_.SetEnabled(TimingsCommand::cmdEdidPrefer, picked);
  view_.SetEnabled(TimingsCommand::cmdEdidAdd, editable);
  view_.SetEnabled(TimingsCommand::cmdEdidRemove, picked);
  view_.SetEnabled(TimingsCommand::cmdEdidRevert, !edidChanges_.empty());
  view_.SetEnabled(TimingsCommand::cmdEdidRange, editable);
  view_.SetEnabled(TimingsCommand::cmdEdidName, editable);
  view_.SetEnabled(TimingsCommand::cmdEdidInstall,
                   editable && installer_ && monitors_ && !monitors_->empty() && edidStatus_.empty());
  std::string text;
  for (const std::string& change : edidChanges_) text += (text.empty() ? "" : "\n") + change;
  if (!edidRefusal_.empty()) text += (text.empty() ? "Not changed: " : "\nNot changed: ") + edidRefusal_;
  if (!edidStatus_.empty()) text += (text.empty() ? "" : "\n") + edidStatus_;
  view_.ShowEdidChanges(text);
}

void TimingsController::ApplyEdit(const Expected<modes::EdidEdited>& edit, const std::optional<DisplayTiming>& pick) {
  if (!edit) {
    edidRefusal_ = edit.error();
    ShowEdidEditing();
    return;
  }
  edidBytes_ = edit->bytes;
  edidChanges_.insert(edidChanges_.end(), edit->changes.begin(), edit->changes.end());
  edidRefusal_.clear();
  ShowEdid(pick);
}

bool TimingsController::MayDiscardEdits() {
  return edidChanges_.empty() || view_.Confirm("Discard the edits made to the EDID of " + edidWhere_ + "?");
}

modes::TimingEditOptions TimingsController::EditOptions() const {
  modes::TimingEditOptions options;
  options.round_clock = view_.Checked(TimingsCheck::chkEdidRoundClock);
  return options;
}

void TimingsController::cmdEdidPrefer_Click() {
  if (!edid_ || edidPicked_ < 0 || Source() != TimingSource::Edid || !timing_) return;
  const DisplayTiming picked = *timing_;
  ApplyEdit(modes::PreferTiming(edidBytes_, picked, EditOptions()), picked);
}

void TimingsController::cmdEdidAdd_Click() {
  if (!edid_) return;
  // Every other source's timing as it stands on its page.
  std::vector<DisplayTiming> offered;
  std::vector<std::string> items;
  for (std::size_t i = 0; i < kSourceItems.size(); ++i) {
    const auto source = static_cast<TimingSource>(i);
    if (source == TimingSource::Edid) continue;
    std::optional<modes::TimingRequest> request;
    const TimingResult timing = TimingOf(source, &request);
    if (!timing) continue;
    offered.push_back(*timing);
    items.push_back(std::string(kSourceItems[i]) + ": " + TimingSummary(*timing, locale_));
  }
  const std::optional<int> chosen = view_.AskChoice(TimingsCommand::cmdEdidAdd, items);
  if (!chosen || *chosen < 0 || static_cast<std::size_t>(*chosen) >= offered.size()) return;
  const DisplayTiming& timing = offered[static_cast<std::size_t>(*chosen)];
  ApplyEdit(modes::AddTiming(edidBytes_, timing, EditOptions()), timing);
}

void TimingsController::cmdEdidRemove_Click() {
  if (!edid_ || edidPicked_ < 0) return;
  const std::string which[] = {std::to_string(edidPicked_ + 1)};
  ApplyEdit(modes::RemoveTimings(edidBytes_, which), std::nullopt);
}

void TimingsController::cmdEdidRevert_Click() {
  edidBytes_ = edidOriginal_;
  edidChanges_.clear();
  edidRefusal_.clear();
  ShowEdid(timing_);
}

void TimingsController::cmdEdidRange_Click() {
  if (!edid_) return;
  const auto rate = [this](TimingsText input, const char* which) -> Expected<std::optional<int>> {
    const std::string text = view_.Text(input);
    if (IsBlank(text)) return std::optional<int>();
    const auto value = ReadWholeNumber(text);
    if (!value || *value < 1 || *value > 1000) {
      return Expected<std::optional<int>>::Failure("The " + std::string(which) +
                                                   " refresh rate takes a whole number of hertz from 1 to 1000, not " +
                                                   modes::Quoted(text, '"') + ".");
    }
    return std::optional<int>(*value);
  };
  const auto low = rate(TimingsText::txtEdidMinRate, "lowest");
  const auto high = rate(TimingsText::txtEdidMaxRate, "highest");
  if (!low || !high) {
    ApplyEdit(Expected<modes::EdidEdited>::Failure(!low ? low.error() : high.error()), std::nullopt);
    return;
  }
  const std::optional<DisplayTiming> pick = timing_;
  if (view_.Checked(TimingsCheck::chkEdidVrr)) {
    if (!*low || !*high) {
      ApplyEdit(Expected<modes::EdidEdited>::Failure("A variable refresh range takes both its rates."), pick);
      return;
    }
    ApplyEdit(modes::SetVrrRange(edidBytes_, **low, **high), pick);
    return;
  }
  if (!*low && !*high) {
    ApplyEdit(Expected<modes::EdidEdited>::Failure("Type the lowest refresh rate, the highest or both."), pick);
    return;
  }
  modes::RangeLimitsEdit range;
  range.min_v_rate_hz = *low;
  range.max_v_rate_hz = *high;
  ApplyEdit(modes::SetRangeLimits(edidBytes_, range), pick);
}

void TimingsController::cmdEdidName_Click() {
  if (!edid_) return;
  ApplyEdit(modes::SetDisplayName(edidBytes_, view_.Text(TimingsText::txtEdidName)), timing_);
}

void TimingsController::cmdEdidInstall_Click() {
  if (!edid_ || !installer_ || !monitors_ || monitors_->empty()) return;
  // Which monitor is to take it.
  std::vector<std::string> items;
  for (const std::string& item : monitorItems_) items.push_back("For " + item);
  const std::optional<int> chosen = view_.AskChoice(TimingsCommand::cmdEdidInstall, items);
  if (!chosen || *chosen < 0 || static_cast<std::size_t>(*chosen) >= monitors_->size()) return;
  const platform::MonitorEdid* monitor = &(*monitors_)[static_cast<std::size_t>(*chosen)];
  const Expected<std::string> steps = installer_->Steps(edidBytes_, *monitor);
  if (!steps) {
    view_.Inform(steps.error());
    return;
  }
  if (!view_.ConfirmInstall("Install this EDID for " + monitor->connector + "?", *steps)) return;
  // The installer waits for the system's programs (a new initial RAM disk
  // takes a while): the window goes on answering meanwhile.
  edidStatus_ = "Installing the EDID for " + monitor->connector + "...";
  ShowEdidEditing();
  auto result = std::make_shared<Expected<std::string>>(Expected<std::string>::Failure(""));
  view_.RunAside([installer = installer_, edid = edidBytes_, target = *monitor,
                  result] { *result = installer->Install(edid, target); },
                 [this, result] {
                   edidStatus_.clear();
                   ShowEdidEditing();
                   view_.Inform(*result ? **result : result->error());
                 });
}

void TimingsController::cmdOpenEdid_Click() {
  const auto path = view_.AskEdidFile();
  if (!path || !MayDiscardEdits()) return;
  // An EDID file is small; read no more than the most one can hold. The
  // system's own file calls, by the path in UTF-8, whatever it holds.
  const auto content = platform::ReadFileStart(*path, 1 << 20);
  const auto bytes = content ? modes::EdidBytesFromFile(*content)
                             : modes::Expected<std::vector<std::uint8_t>>::Failure("it cannot be read.");
  UseEdid(bytes ? *bytes : std::vector<std::uint8_t>{}, *path);
}

void TimingsController::cmdPasteEdid_Click() {
  if (!MayDiscardEdits()) return;
  const auto bytes = modes::ParseEdidHex(view_.ClipboardText());
  UseEdid(bytes ? *bytes : std::vector<std::uint8_t>{}, "The clipboard");
}

void TimingsController::lstEdidTimings_Click() {
  const int row = view_.EdidTimingRow();
  if (!edid_ || row < 0 || static_cast<std::size_t>(row) >= edid_->timings.size()) return;
  edidPicked_ = row;
  Refresh();
}

TimingResult TimingsController::EdidTiming() const {
  if (!edid_) return TimingResult::Failure(edidProblem_);
  if (edidPicked_ < 0) return TimingResult::Failure(edidProblem_.empty() ? "Pick a timing in the list." : edidProblem_);
  return edid_->timings[static_cast<std::size_t>(edidPicked_)].timing;
}

bool TimingsController::Applies(const TimingsBinding& binding) const {
  if (!binding.bound || binding.parameter.empty()) return true;
  const modes::SourceInfo& source = modes::SourceOf(binding.source);
  const Parameter* parameter = BoundParameter(source, binding, 0);
  if (parameter == nullptr || parameter->needs < 0) return true;
  const std::string_view needed = source.parameters[static_cast<std::size_t>(parameter->needs)].key;
  for (const TimingsChoiceInfo& info : kTimingsChoices) {
    if (info.binding.bound && info.binding.source == binding.source && info.binding.parameter == needed) {
      return view_.Choice(info.list) == parameter->needs_choice;
    }
  }
  return false;
}

Expected<modes::TimingRequest> TimingsController::ReadRequest(modes::SourceId id) const {
  using Result = Expected<modes::TimingRequest>;
  const modes::SourceInfo& source = modes::SourceOf(id);
  modes::TimingRequest request{&source, std::vector<modes::Value>(source.parameters.size())};
  const auto valueOf = [&](const Parameter& parameter) -> modes::Value& {
    return request.values[static_cast<std::size_t>(&parameter - source.parameters.data())];
  };
  // The lists first: their choices decide which parameters apply.
  std::map<int, int> chosen;  // a group's chooser: the index of the member chosen
  for (const TimingsChoiceInfo& info : kTimingsChoices) {
    if (!info.binding.bound || info.binding.source != id) continue;
    const int index = view_.Choice(info.list);
    if (info.binding.parameter.empty()) {
      chosen[info.binding.group] = index;
      continue;
    }
    const Parameter* parameter = BoundParameter(source, info.binding, 0);
    if (parameter == nullptr) continue;
    if (index < 0 || static_cast<std::size_t>(index) >= parameter->choices.size()) {
      return Result::Failure("Choose " + std::string(parameter->name) + ".");
    }
    valueOf(*parameter).given = true;
    valueOf(*parameter).number = index;
  }
  for (const TimingsCheckInfo& info : kTimingsChecks) {
    if (!info.binding.bound || info.binding.source != id || !Applies(info.binding)) continue;
    const Parameter* parameter = BoundParameter(source, info.binding, 0);
    if (parameter == nullptr) continue;
    const bool checked = view_.Checked(info.option);
    modes::Value& value = valueOf(*parameter);
    value.given = checked || parameter->kind == ValueKind::Polarity;
    value.number = checked ? 1.0 : 0.0;
  }
  for (const TimingsTextInfo& info : kTimingsTexts) {
    const TimingsBinding& binding = info.binding;
    if (!binding.bound || binding.source != id || !Applies(binding)) continue;
    const bool byGroup = binding.parameter.empty();
    const Parameter* parameter = BoundParameter(source, binding, byGroup ? chosen[binding.group] : 0);
    if (parameter == nullptr) return Result::Failure("Choose what " + std::string(source.command) + " starts from.");
    const std::string text = view_.Text(info.input);
    modes::Value& value = valueOf(*parameter);
    if (binding.part >= 0) {
      const auto part = modes::ReadPart(*parameter, static_cast<std::size_t>(binding.part), text, style_);
      if (!part) return Result::Failure(part.error());
      value.given = true;
      value.parts[static_cast<std::size_t>(binding.part)] = *part;
      continue;
    }
    // An option left blank is not given: its default applies.
    if (IsBlank(text) && !byGroup && parameter->cli.starts_with("--") && !parameter->required) continue;
    const auto read = modes::ReadValue(*parameter, text, style_);
    if (!read) return Result::Failure(read.error());
    value = *read;
  }
  return request;
}

void TimingsController::Refresh() {
  // An option applies only while the choice it needs is made.
  view_.SetEnabled(TimingsCommand::chkCvtVideoOptimized,
                   Applies(DesignOf(kTimingsChecks, TimingsCheck::chkCvtVideoOptimized).binding));
  view_.SetEnabled(TimingsCommand::txtCvtHBlank, Applies(DesignOf(kTimingsTexts, TimingsText::txtCvtHBlank).binding));
  view_.SetEnabled(TimingsCommand::txtCvtVBlank, Applies(DesignOf(kTimingsTexts, TimingsText::txtCvtVBlank).binding));
  view_.SetEnabled(TimingsCommand::chkCvtEarlyVsync,
                   Applies(DesignOf(kTimingsChecks, TimingsCheck::chkCvtEarlyVsync).binding));
  // An interlaced timing is asked for by its field rate.
  view_.ShowFieldRates(view_.Checked(TimingsCheck::chkCvtInterlaced), view_.Checked(TimingsCheck::chkGtfInterlaced));

  const TimingResult result = Produce();
  if (result) {
    timing_ = *result;
    view_.ShowTiming(FiguresOf(*timing_, locale_), "");
  } else {
    timing_.reset();
    view_.ShowTiming({}, result.error());
  }
  linksShown_ = false;
  ShowLinks();
  view_.SetEnabled(TimingsCommand::cmdUseInCalculator, timing_.has_value());
  ShowExport();
}

Expected<std::string> TimingsController::ExportText(const DisplayTiming& t) const {
  using Result = Expected<std::string>;
  const std::vector<const modes::ExportFormat*> formats = WindowFormats();
  const int index = view_.Choice(TimingsChoice::cmbFormat);
  if (index < 0 || static_cast<std::size_t>(index) >= formats.size())
    return Result::Failure("Choose an export format.");
  const modes::ExportFormat& format = *formats[static_cast<std::size_t>(index)];
  const std::string output = view_.Text(TimingsText::txtOutput);
  if (format.needs_output && !modes::IsOutputName(output)) {
    return Result::Failure("The output name takes " + std::string(modes::kOutputNameRule) + ".");
  }
  // The EDID source's EDID in hex is its own, with the edits made.
  if (format.id == modes::ExportId::EdidHex && Source() == TimingSource::Edid && edid_) {
    return WithoutFinalNewline(modes::HexBytes(edidBytes_));
  }
  const std::string name = view_.Text(TimingsText::txtDisplayName);
  const auto made = format.make(t, ExportRequestOf(output, name));
  if (!made) return Result::Failure(made.error());
  return WithoutFinalNewline(made->text);
}

modes::ExportRequest TimingsController::ExportRequestOf(const std::string& output, const std::string& name) const {
  return {output, name, request_ ? &*request_ : nullptr};
}

Expected<modes::ExportText> TimingsController::EdidBlock() const {
  // The EDID source saves its EDID, with the edits made.
  if (Source() == TimingSource::Edid) {
    if (!edid_) return Expected<modes::ExportText>::Failure(edidProblem_);
    return modes::ExportText{std::string(edidBytes_.begin(), edidBytes_.end()), {}};
  }
  if (!timing_) return Expected<modes::ExportText>::Failure("");
  const std::string output = view_.Text(TimingsText::txtOutput);
  const std::string name = view_.Text(TimingsText::txtDisplayName);
  return modes::ExportFormatOf(modes::ExportId::Edid).make(*timing_, ExportRequestOf(output, name));
}

void TimingsController::ShowExport() {
  // "Save EDID..." only where an EDID can be made, and why not beside it.
  const Expected<modes::ExportText> block = EdidBlock();
  view_.SetEnabled(TimingsCommand::cmdSaveEdid, block.ok());
  view_.ShowEdidProblem(block.ok() ? std::string() : block.error());
  if (!timing_) {
    exportText_.clear();
    view_.ShowExport("", "");
    view_.SetEnabled(TimingsCommand::cmdCopy, false);
    return;
  }
  const Expected<std::string> text = ExportText(*timing_);
  exportText_ = text ? *text : std::string();
  view_.ShowExport(exportText_, text ? std::string() : text.error());
  view_.SetEnabled(TimingsCommand::cmdCopy, text.ok());
}

void TimingsController::ShowLinks() {
  if (linksShown_ || !view_.LinksShown()) return;
  if (timing_) {
    view_.ShowLinks(DataRateTable(*timing_, locale_), LinkTable(*timing_, locale_));
  } else {
    view_.ShowLinks({}, {});
  }
  linksShown_ = true;
}

void TimingsController::tabOutput_Click() { ShowLinks(); }

void TimingsController::cmdCopy_Click() {
  if (exportText_.empty()) return;
  view_.CopyToClipboard(exportText_);
  view_.ShowExport(exportText_, "Copied to the clipboard.");
}

std::string TimingsController::EdidFileName() const {
  if (Source() != TimingSource::Edid || !edid_) return timing_ ? modes::ShortModeName(*timing_) + ".bin" : "edid.bin";
  // The monitor's name, in letters, digits and dashes.
  std::string stem;
  for (const char c : edid_->name ? *edid_->name : edid_->manufacturer) {
    const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
    if (plain) {
      stem += c;
    } else if (!stem.empty() && stem.back() != '-') {
      stem += '-';
    }
  }
  while (!stem.empty() && stem.back() == '-') stem.pop_back();
  if (stem.empty()) stem = "edid";
  return stem + (edidChanges_.empty() ? ".bin" : "-edited.bin");
}

void TimingsController::cmdSaveEdid_Click() {
  const Expected<modes::ExportText> block = EdidBlock();
  if (!block) {
    view_.ShowExport(exportText_, block.error());
    return;
  }
  const auto path = view_.AskEdidPath(EdidFileName());
  if (!path) return;
  // The whole file or none: a file there before is replaced only once the new
  // one is safely on the disk.
  const std::string& bytes = block->text;
  const auto written = platform::WriteFileSafely(*path, bytes);
  view_.ShowExport(exportText_, written
                                    ? "Saved the EDID (" + std::to_string(bytes.size()) + " bytes) to " + *path + "."
                                    : written.error());
}

void TimingsController::cmdUseInCalculator_Click() {
  if (!timing_) return;
  const CalculatorTexts texts = TextsForCalculator(*timing_, locale_);
  if (!texts.inexact.empty() && !view_.Confirm(texts.inexact + " Use it in the calculator all the same?")) return;
  // The calculator tells this controller of the change once it is done.
  calculator_.WriteTiming(texts.texts);
}

void TimingsController::cmdClose_Click() { view_.Close(); }

}  // namespace zarn::forms
