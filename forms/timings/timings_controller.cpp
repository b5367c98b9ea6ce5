#include "forms/timings/timings_controller.h"

#include <cstdint>
#include <map>
#include <string_view>
#include <utility>

#include "forms/timings/calculator_timing.h"
#include "forms/timings/locale_number.h"
#include "forms/timings/timings_design.h"
#include "modes/decimal.h"
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
                                     MonitorLister monitors)
    : view_(view),
      calculator_(calculator),
      locale_(std::move(locale)),
      style_(modes::WindowStyle(locale_.Separator())),
      lister_(monitors ? std::move(monitors) : MonitorLister(&platform::AttachedMonitors)),
      edidProblem_("Choose a monitor, or open or paste an EDID.") {
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
  } else {
    Refresh();
  }
}

void TimingsController::Check_Click(TimingsCheck /*option*/) { Refresh(); }

void TimingsController::Choice_Click(TimingsChoice list) {
  if (list == TimingsChoice::cmbSource) {
    cmbSource_Click();
  } else if (list == TimingsChoice::cmbMonitor) {
    const int row = view_.Choice(TimingsChoice::cmbMonitor);
    if (monitors_ && row >= 0 && static_cast<std::size_t>(row) < monitors_->size()) {
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
  modes::SourceId formula = modes::SourceId::Cvt;
  switch (*source) {
    case TimingSource::Calculator:
      return CalculatorTiming(calculator_, locale_, view_.Checked(TimingsCheck::chkCalculatorHSync),
                              view_.Checked(TimingsCheck::chkCalculatorVSync));
    case TimingSource::Dmt:
    case TimingSource::Cta:
      return ListedTiming();
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
  if (timing) request_ = *request;
  return timing;
}

TimingResult TimingsController::ListedTiming() const {
  const bool dmt = Source() == TimingSource::Dmt;
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
  std::vector<std::string> items;
  for (const platform::MonitorEdid& monitor : *monitors_) {
    const auto edid = modes::DecodeEdid(monitor.edid);
    items.push_back(monitor.connector + ": " +
                    (edid ? (edid->name ? modes::ValidUtf8(*edid->name) : edid->manufacturer) : "no EDID"));
  }
  view_.SetMonitors(items, items.empty() ? -1 : 0);
  if (!monitors_->empty()) {
    UseEdid(monitors_->front().edid, monitors_->front().connector);
  } else {
    view_.ShowEdidIdentity("No monitor with an EDID is attached: open an EDID file, or paste one in hex.");
  }
}

void TimingsController::UseEdid(const std::vector<std::uint8_t>& bytes, const std::string& where) {
  const auto edid = modes::DecodeEdid(bytes);
  edidPicked_ = -1;
  std::vector<std::string> items;
  if (!edid) {
    edid_.reset();
    edidProblem_ = where + " holds no EDID: " + edid.error();
    view_.ShowEdidIdentity(edidProblem_);
  } else {
    edid_ = *edid;
    view_.ShowEdidIdentity(where + ": " + modes::EdidIdentityLine(*edid_));
    for (std::size_t i = 0; i < edid_->timings.size(); ++i) {
      const modes::EdidTiming& t = edid_->timings[i];
      if (t.preferred && edidPicked_ < 0) edidPicked_ = static_cast<int>(i);
      items.push_back(std::to_string(i + 1) + ". " + modes::ValidUtf8(t.origin) + (t.preferred ? " (preferred)" : "") +
                      ": " + modes::ShortModeName(t.timing).substr(0, modes::ShortModeName(t.timing).find('_')) +
                      " at " + WithLocaleSeparator(modes::FixedDecimal(t.timing.field_rate_hz(), 3), locale_) +
                      " Hz, " + MegahertzText(t.timing.pixel_clock_hz, locale_) + " MHz");
    }
    if (edidPicked_ < 0 && !items.empty()) edidPicked_ = 0;
    edidProblem_ = items.empty() ? where + ": the EDID offers no timing." : std::string();
  }
  view_.SetEdidTimings(items, edidPicked_);
  Refresh();
}

void TimingsController::cmdOpenEdid_Click() {
  const auto path = view_.AskEdidFile();
  if (!path) return;
  // An EDID file is small; read no more than the most one can hold. The
  // system's own file calls, by the path in UTF-8, whatever it holds.
  const auto content = platform::ReadFileStart(*path, 1 << 20);
  const auto bytes = content ? modes::EdidBytesFromFile(*content)
                             : modes::Expected<std::vector<std::uint8_t>>::Failure("it cannot be read.");
  UseEdid(bytes ? *bytes : std::vector<std::uint8_t>{}, *path);
}

void TimingsController::cmdPasteEdid_Click() {
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
  const std::string name = view_.Text(TimingsText::txtDisplayName);
  const auto made = format.make(t, ExportRequestOf(output, name));
  if (!made) return Result::Failure(made.error());
  return WithoutFinalNewline(made->text);
}

modes::ExportRequest TimingsController::ExportRequestOf(const std::string& output, const std::string& name) const {
  return {output, name, request_ ? &*request_ : nullptr};
}

Expected<modes::ExportText> TimingsController::EdidBlock() const {
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

void TimingsController::cmdSaveEdid_Click() {
  const Expected<modes::ExportText> block = EdidBlock();
  if (!block) {
    view_.ShowExport(exportText_, block.error());
    return;
  }
  const auto path = view_.AskEdidPath(modes::ShortModeName(*timing_) + ".bin");
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
