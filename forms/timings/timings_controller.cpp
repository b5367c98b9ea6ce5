#include "forms/timings/timings_controller.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <utility>

#include "forms/timings/calculator_timing.h"
#include "forms/timings/locale_number.h"
#include "forms/timings/timings_design.h"
#include "modes/cvt.h"
#include "modes/edid.h"
#include "modes/exports.h"
#include "modes/gtf.h"
#include "modes/modeline.h"

namespace zarn::forms {
namespace {

using modes::DisplayTiming;
using modes::Expected;
using TimingResult = Expected<DisplayTiming>;

// The largest count and rates the window reads, as zarn-timing does; the
// formulas have their own, narrower limits where they need them.
constexpr std::uint64_t kMaxCount = 65535;
constexpr double kMaxRateHz = 100000.0;
constexpr double kMaxLineRateKhz = 100000.0;
constexpr double kMaxPixelClockMhz = 1000000.0;
constexpr std::uint64_t kMaxClockHz = 1'000'000'000'000;

std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

// Reads the window's inputs in the user's locale, each failure one sentence
// naming the input.
class InputReader {
 public:
  InputReader(const TimingsView& view, const engine::NumberLocale& locale) : view_(view), locale_(locale) {}

  Expected<int> Whole(TimingsText input, std::string_view name, std::uint64_t min, std::uint64_t max) const {
    const std::string text = view_.Text(input);
    const auto number = ReadExactDecimal(text, locale_);
    const auto value = number ? ScaledUnits(*number, 0, max) : std::nullopt;
    if (!value || *value < min) {
      return Expected<int>::Failure(Capitalised(name) + " must be a whole number from " + std::to_string(min) + " to " +
                                    std::to_string(max) + ", not " + Quoted(text) + ".");
    }
    return static_cast<int>(*value);
  }

  // An optional whole number: 0 when the input is blank.
  Expected<int> OptionalWhole(TimingsText input, std::string_view name, std::uint64_t max) const {
    if (IsBlank(view_.Text(input))) return 0;
    return Whole(input, name, 1, max);
  }

  // A number above 0 and at most max, times 10^scale (3 turns kHz into Hz
  // exactly, before the one rounding to a double).
  Expected<double> Positive(TimingsText input, std::string_view name, double max, std::string_view unit,
                            int scale = 0) const {
    const std::string text = view_.Text(input);
    auto number = ReadExactDecimal(text, locale_);
    if (!number || number->negative || number->digits.empty() || !(ToDouble(*number) <= max)) {
      return Expected<double>::Failure(
          Capitalised(name) + " must be a number of " + std::string(unit) + " above 0 and at most " +
          WithLocaleSeparator(modes::SourceNumberText(max), locale_) + ", with " + std::string(locale_.Separator()) +
          " as the decimal separator, not " + Quoted(text) + ".");
    }
    number->exponent += scale;
    return ToDouble(*number);
  }

  // A pixel clock in MHz, to the hertz.
  Expected<std::uint64_t> Clock(TimingsText input) const {
    const std::string text = view_.Text(input);
    const auto number = ReadExactDecimal(text, locale_);
    const auto hertz = number ? ScaledUnits(*number, 6, kMaxClockHz) : std::nullopt;
    if (!hertz || *hertz == 0) {
      return Expected<std::uint64_t>::Failure(
          "The pixel clock must be a number of MHz above 0 and at most 1000000, to the hertz (six decimals at "
          "most), with " +
          std::string(locale_.Separator()) + " as the decimal separator, not " + Quoted(text) + ".");
    }
    return *hertz;
  }

  bool Checked(TimingsCheck option) const { return view_.Checked(option); }
  int Choice(TimingsChoice list) const { return view_.Choice(list); }
  std::string Text(TimingsText input) const { return view_.Text(input); }

 private:
  static bool IsBlank(std::string_view text) { return text.find_first_not_of(" \t") == std::string_view::npos; }

  static std::string Capitalised(std::string_view name) {
    std::string text(name);
    if (!text.empty() && text[0] >= 'a' && text[0] <= 'z') text[0] = static_cast<char>(text[0] - 'a' + 'A');
    return text;
  }

  const TimingsView& view_;
  const engine::NumberLocale& locale_;
};

enum class Format { Modeline, Xrandr, Sway, Kernel, EdidDtd, EdidHex };

bool IsOutputName(std::string_view name) {
  for (const char c : name) {
    const bool safe =
        (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.';
    if (!safe) return false;
  }
  return true;
}

// The exports end their last line with a newline, for a terminal; the text
// shown and copied leaves it out.
std::string WithoutFinalNewline(std::string text) {
  if (!text.empty() && text.back() == '\n') text.pop_back();
  return text;
}

std::filesystem::path PathFromUtf8(std::string_view path) {
  std::u8string text;
  for (const char c : path) text += static_cast<char8_t>(c);
  return std::filesystem::path(text);
}

}  // namespace

TimingsController::TimingsController(TimingsView& view, MainView& calculator, engine::NumberLocale locale)
    : view_(view), calculator_(calculator), locale_(std::move(locale)) {
  dmt_.modes = DmtList(locale_);
  cta_.modes = CtaList(locale_);
}

std::optional<TimingSource> TimingsController::Source() const {
  const int index = view_.Choice(TimingsChoice::cmbSource);
  if (index < 0 || index > static_cast<int>(TimingSource::Custom)) return std::nullopt;
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
  } else if (list == TimingsChoice::cmbFormat) {
    ShowExport();
  } else {
    Refresh();
  }
}

void TimingsController::Calculator_Change() {
  if (!writingCalculator_ && Source() == TimingSource::Calculator) Refresh();
}

TimingResult TimingsController::Produce() const {
  const auto source = Source();
  if (!source) return TimingResult::Failure("Choose a source.");
  switch (*source) {
    case TimingSource::Calculator:
      return CalculatorTiming(calculator_, locale_, view_.Checked(TimingsCheck::chkCalculatorHSync),
                              view_.Checked(TimingsCheck::chkCalculatorVSync));
    case TimingSource::Dmt:
    case TimingSource::Cta:
      return ListedTiming();
    case TimingSource::Cvt:
      return CvtTiming();
    case TimingSource::Gtf:
      return GtfTiming();
    case TimingSource::Custom:
      return CustomTiming();
  }
  return TimingResult::Failure("Choose a source.");
}

TimingResult TimingsController::ListedTiming() const {
  const bool dmt = Source() == TimingSource::Dmt;
  const ModeList& list = dmt ? dmt_ : cta_;
  if (list.picked >= 0) return list.modes[static_cast<std::size_t>(list.picked)].timing;
  const std::string standard = dmt ? "DMT mode" : "CTA-861 video format";
  if (list.shown.empty()) {
    return TimingResult::Failure("No " + standard + " matches " + Quoted(view_.Text(TimingsText::txtFilter)) + ".");
  }
  return TimingResult::Failure("Pick a " + standard + " in the list.");
}

TimingResult TimingsController::CvtTiming() const {
  const InputReader in(view_, locale_);
  const auto width = in.Whole(TimingsText::txtCvtWidth, "the width", 1, kMaxCount);
  if (!width) return TimingResult::Failure(width.error());
  const auto height = in.Whole(TimingsText::txtCvtHeight, "the height", 1, kMaxCount);
  if (!height) return TimingResult::Failure(height.error());
  const auto rate = in.Positive(TimingsText::txtCvtRate, "the rate", kMaxRateHz, "Hz");
  if (!rate) return TimingResult::Failure(rate.error());
  constexpr modes::CvtBlanking kVersions[] = {modes::CvtBlanking::Normal, modes::CvtBlanking::ReducedV1,
                                              modes::CvtBlanking::ReducedV2, modes::CvtBlanking::ReducedV3};
  const int version = in.Choice(TimingsChoice::cmbCvtBlanking);
  if (version < 0 || version > 3) return TimingResult::Failure("Choose a CVT blanking.");
  modes::CvtOptions options;
  options.blanking = kVersions[version];
  options.interlaced = in.Checked(TimingsCheck::chkCvtInterlaced);
  options.margins = in.Checked(TimingsCheck::chkCvtMargins);
  // The options of one version count only while it is chosen (the window
  // disables them otherwise).
  options.video_optimized = version == 2 && in.Checked(TimingsCheck::chkCvtVideoOptimized);
  if (version == 3) {
    const auto hBlank = in.OptionalWhole(TimingsText::txtCvtHBlank, "the horizontal blanking", kMaxCount);
    if (!hBlank) return TimingResult::Failure(hBlank.error());
    const auto vBlank = in.OptionalWhole(TimingsText::txtCvtVBlank, "the vertical blanking time", 1000000);
    if (!vBlank) return TimingResult::Failure(vBlank.error());
    options.h_blank = *hBlank;
    options.v_blank_us = *vBlank;
    options.early_vsync = in.Checked(TimingsCheck::chkCvtEarlyVsync);
  }
  return modes::CvtTiming(*width, *height, *rate, options);
}

TimingResult TimingsController::GtfTiming() const {
  const InputReader in(view_, locale_);
  const auto width = in.Whole(TimingsText::txtGtfWidth, "the width", 1, kMaxCount);
  if (!width) return TimingResult::Failure(width.error());
  const auto height = in.Whole(TimingsText::txtGtfHeight, "the height", 1, kMaxCount);
  if (!height) return TimingResult::Failure(height.error());
  struct Input {
    modes::GtfInput input;
    const char* name;
    double max;
    const char* unit;
    int scale;  // to hertz
  };
  static constexpr Input kInputs[] = {{modes::GtfInput::FrameRate, "the refresh rate", kMaxRateHz, "Hz", 0},
                                      {modes::GtfInput::LineRate, "the line rate", kMaxLineRateKhz, "kHz", 3},
                                      {modes::GtfInput::PixelClock, "the pixel clock", kMaxPixelClockMhz, "MHz", 6}};
  const int choice = in.Choice(TimingsChoice::cmbGtfInput);
  if (choice < 0 || choice > 2) return TimingResult::Failure("Choose what GTF starts from.");
  const Input& given = kInputs[choice];
  const auto value = in.Positive(TimingsText::txtGtfValue, given.name, given.max, given.unit, given.scale);
  if (!value) return TimingResult::Failure(value.error());
  modes::GtfOptions options;
  options.interlaced = in.Checked(TimingsCheck::chkGtfInterlaced);
  options.margins = in.Checked(TimingsCheck::chkGtfMargins);
  return modes::GtfTiming(*width, *height, given.input, *value, options);
}

TimingResult TimingsController::CustomTiming() const {
  const InputReader in(view_, locale_);
  const auto clock = in.Clock(TimingsText::txtCustomClock);
  if (!clock) return TimingResult::Failure(clock.error());
  struct Figure {
    TimingsText input;
    const char* name;
    int DisplayTiming::*member;
  };
  static constexpr Figure kFigures[] = {
      {TimingsText::txtCustomHActive, "the horizontal active", &DisplayTiming::h_active},
      {TimingsText::txtCustomHFrontPorch, "the horizontal front porch", &DisplayTiming::h_front_porch},
      {TimingsText::txtCustomHSync, "the horizontal sync", &DisplayTiming::h_sync},
      {TimingsText::txtCustomHBackPorch, "the horizontal back porch", &DisplayTiming::h_back_porch},
      {TimingsText::txtCustomVActive, "the vertical active", &DisplayTiming::v_active},
      {TimingsText::txtCustomVFrontPorch, "the vertical front porch", &DisplayTiming::v_front_porch},
      {TimingsText::txtCustomVSync, "the vertical sync", &DisplayTiming::v_sync},
      {TimingsText::txtCustomVBackPorch, "the vertical back porch", &DisplayTiming::v_back_porch}};
  DisplayTiming t;
  for (const Figure& figure : kFigures) {
    const bool active = figure.member == &DisplayTiming::h_active || figure.member == &DisplayTiming::v_active;
    const auto value = in.Whole(figure.input, figure.name, active ? 1 : 0, kMaxCount);
    if (!value) return TimingResult::Failure(value.error());
    t.*figure.member = *value;
  }
  t.pixel_clock_hz = *clock;
  t.h_sync_positive = in.Checked(TimingsCheck::chkCustomHSync);
  t.v_sync_positive = in.Checked(TimingsCheck::chkCustomVSync);
  t.interlaced = in.Checked(TimingsCheck::chkCustomInterlaced);
  t.source = "Custom";
  return t;
}

void TimingsController::Refresh() {
  const int version = view_.Choice(TimingsChoice::cmbCvtBlanking);
  view_.SetEnabled(TimingsCommand::chkCvtVideoOptimized, version == 2);
  for (const auto control :
       {TimingsCommand::txtCvtHBlank, TimingsCommand::txtCvtVBlank, TimingsCommand::chkCvtEarlyVsync}) {
    view_.SetEnabled(control, version == 3);
  }

  const TimingResult result = Produce();
  if (result) {
    timing_ = *result;
    view_.ShowTiming(FiguresOf(*timing_, locale_), "");
    view_.ShowLinks(DataRateTable(*timing_, locale_), LinkTable(*timing_, locale_));
  } else {
    timing_.reset();
    view_.ShowTiming({}, result.error());
    view_.ShowLinks({}, {});
  }
  view_.SetEnabled(TimingsCommand::cmdSaveEdid, timing_.has_value());
  view_.SetEnabled(TimingsCommand::cmdUseInCalculator, timing_.has_value());
  ShowExport();
}

Expected<std::string> TimingsController::ExportText(const DisplayTiming& t) const {
  using Result = Expected<std::string>;
  const std::string output = view_.Text(TimingsText::txtOutput);
  const int format = view_.Choice(TimingsChoice::cmbFormat);
  const bool namesOutput = format == static_cast<int>(Format::Xrandr) || format == static_cast<int>(Format::Sway) ||
                           format == static_cast<int>(Format::Kernel);
  if (namesOutput && !IsOutputName(output)) {
    return Result::Failure("The output name takes letters, digits, '-', '_' and '.', such as HDMI-1.");
  }
  switch (format) {
    case static_cast<int>(Format::Modeline):
      return modes::Modeline(t);
    case static_cast<int>(Format::Xrandr):
      return WithoutFinalNewline(modes::XrandrCommands(t, output));
    case static_cast<int>(Format::Sway): {
      const auto line = modes::SwayOutputLine(t, output);
      if (!line) return line;
      return WithoutFinalNewline(*line);
    }
    case static_cast<int>(Format::Kernel): {
      const auto option = modes::KernelModeOption(t, output);
      if (!option) return option;
      return WithoutFinalNewline(*option);
    }
    case static_cast<int>(Format::EdidDtd): {
      const auto descriptor = modes::DescribeTiming(t);
      if (!descriptor) return Result::Failure(descriptor.error());
      return WithoutFinalNewline(modes::HexBytes(*descriptor));
    }
    case static_cast<int>(Format::EdidHex): {
      const auto block = modes::MakeEdid(t, view_.Text(TimingsText::txtDisplayName));
      if (!block) return Result::Failure(block.error());
      return WithoutFinalNewline(modes::HexBytes(*block));
    }
    default:
      return Result::Failure("Choose an export format.");
  }
}

void TimingsController::ShowExport() {
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

void TimingsController::cmdCopy_Click() {
  if (exportText_.empty()) return;
  view_.CopyToClipboard(exportText_);
  view_.ShowExport(exportText_, "Copied to the clipboard.");
}

void TimingsController::cmdSaveEdid_Click() {
  if (!timing_) return;
  const auto block = modes::MakeEdid(*timing_, view_.Text(TimingsText::txtDisplayName));
  if (!block) {
    view_.ShowExport(exportText_, block.error());
    return;
  }
  const auto path = view_.AskEdidPath(modes::ModeName(*timing_) + ".bin");
  if (!path) return;
  std::ofstream file(PathFromUtf8(*path), std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(block->data()), static_cast<std::streamsize>(block->size()));
  file.close();
  view_.ShowExport(exportText_, file ? "Saved the EDID (128 bytes) to " + *path + "."
                                     : "Could not write the EDID to " + *path + ".");
}

void TimingsController::cmdUseInCalculator_Click() {
  if (!timing_) return;
  // A copy: writing the calculator's fields may take the timing anew.
  const DisplayTiming timing = *timing_;
  const CalculatorTexts texts = TextsForCalculator(timing, locale_);
  if (!texts.inexact.empty() && !view_.Confirm(texts.inexact + " Use it in the calculator all the same?")) return;
  struct Writing {
    bool& flag;
    explicit Writing(bool& f) : flag(f) { flag = true; }
    ~Writing() { flag = false; }
    Writing(const Writing&) = delete;
    Writing& operator=(const Writing&) = delete;
  };
  {
    const Writing writing(writingCalculator_);
    for (const auto& [field, text] : texts.writes) calculator_.SetFieldText(field, text);
  }
  if (Source() == TimingSource::Calculator) Refresh();
}

void TimingsController::cmdClose_Click() { view_.Close(); }

}  // namespace zarn::forms
