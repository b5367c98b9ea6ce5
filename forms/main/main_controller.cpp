#include "forms/main/main_controller.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>
#include <string_view>
#include <utility>

#include "engine/format_single.h"
#include "engine/numeric.h"
#include "engine/predefined_modes.h"
#include "engine/timing.h"

namespace zarn::forms {
namespace {

// Runs one step of a sequence that goes on past a failing step.
template <typename Step>
void ResumeNext(Step&& step) noexcept {
  try {
    std::forward<Step>(step)();
  } catch (const std::exception&) {
    // Skipped: the next step runs.
  }
}

}  // namespace

MainController::MainController(MainView& view, engine::NumberLocale locale) : view_(view), locale_(std::move(locale)) {}

namespace {

// The fields each formula reads, in the order it reads them.
constexpr TimingField kRefreshRateInputs[] = {TimingField::txtFrequency, TimingField::txtHorActive,
                                              TimingField::txtHorBlanking, TimingField::txtVerActive,
                                              TimingField::txtVerBlanking};
constexpr TimingField kPixelFrequencyInputs[] = {TimingField::txtRefreshRate, TimingField::txtHorActive,
                                                 TimingField::txtHorBlanking, TimingField::txtVerActive,
                                                 TimingField::txtVerBlanking};
constexpr TimingField kHorizontalFrequencyInputs[] = {TimingField::txtFrequency, TimingField::txtHorActive,
                                                      TimingField::txtHorBlanking};

// The two fields the controller writes its results into; the other eight
// hold whole pixel and line counts, which the totals read with ParseLong.
bool IsResultField(TimingField field) {
  return field == TimingField::txtFrequency || field == TimingField::txtRefreshRate;
}

// Why a field's text gives no number to the calculator; empty when it gives
// one. The rule is the engine's: the frequencies read with ParseDouble, the
// geometry with ParseLong (front porch and sync, which no formula reads, are
// judged as the counts they are).
std::string UnreadableHint(TimingField field, std::string_view text, const engine::NumberLocale& locale) {
  // An empty field shows nothing to colour and plainly holds no number;
  // marking it each time the user clears a field to type anew would only
  // flicker.
  if (text.empty()) return {};
  if (IsResultField(field)) {
    // "Infinity", "-Infinity" and "NaN" are the calculator's own answers for a
    // zero total: a result, not a typing mistake, and the separator hint
    // would send the user looking in the wrong place.
    if (text == engine::kPlusInfinityText || text == engine::kMinusInfinityText || text == engine::kNaNText) {
      return {};
    }
    if (engine::ParseDouble(text, locale)) return {};
  } else {
    if (engine::ParseLong(text, locale)) return {};
    // A number, but beyond the 32-bit range the counts are read in.
    if (engine::ParseDouble(text, locale)) return "Out of range: use a whole number from -2147483648 to 2147483647";
  }
  return "Not a number: use " + std::string(locale.Separator()) + " as the decimal separator";
}

}  // namespace

engine::TimingFields MainController::CurrentFields(std::span<const TimingField> inputs) const {
  engine::TimingFields fields;
  for (const TimingField field : inputs) fields[field] = view_.FieldText(field);
  return fields;
}

float MainController::ComputeRefreshRate() const {
  return engine::ComputeRefreshRate(CurrentFields(kRefreshRateInputs), locale_);
}

float MainController::ComputePixelFrequency() const {
  return engine::ComputePixelFrequency(CurrentFields(kPixelFrequencyInputs), locale_);
}

void MainController::WriteNumber(TimingField field, float value) {
  view_.SetFieldText(field, engine::FormatSingle(value, locale_));
}

void MainController::UpdateHorizontalFrequency() {
  view_.SetHorizontalFrequencyCaption(
      engine::HorizontalFrequencyCaption(CurrentFields(kHorizontalFrequencyInputs), locale_));
}

void MainController::Form_Load() {
  ResumeNext([&] { view_.SetFieldText(TimingField::txtFrequency, "135"); });
  ResumeNext([&] { WriteNumber(TimingField::txtRefreshRate, ComputeRefreshRate()); });
  ResumeNext([&] { view_.ClearModes(); });
  ResumeNext([&] {
    for (const auto text : engine::PredefinedModes::ItemTexts()) view_.AddMode(text);
  });
  ResumeNext([&] { view_.SelectMode(4); });
}

void MainController::WriteFigures(const engine::TimingFields& texts) {
  // The order a predefined mode is written in: the blanking last, so that the
  // totals are whole again only once every other figure is in.
  static constexpr TimingField kOrder[] = {
      TimingField::txtFrequency, TimingField::txtHorActive,   TimingField::txtHorFrontPorch,
      TimingField::txtHorSync,   TimingField::txtVerActive,   TimingField::txtVerFrontPorch,
      TimingField::txtVerSync,   TimingField::txtHorBlanking, TimingField::txtVerBlanking};
  for (const TimingField field : kOrder) view_.SetFieldText(field, texts[field]);
}

void MainController::WritePredefinedMode(int listIndex) {
  const engine::PredefinedMode* row = engine::PredefinedModes::Row(listIndex);
  if (row == nullptr) return;
  engine::TimingFields texts;
  texts.txtFrequency = engine::PixelFrequencyText(*row, locale_);
  texts.txtHorActive = row->horActive;
  texts.txtHorFrontPorch = row->horFrontPorch;
  texts.txtHorSync = row->horSync;
  texts.txtVerActive = row->verActive;
  texts.txtVerFrontPorch = row->verFrontPorch;
  texts.txtVerSync = row->verSync;
  texts.txtHorBlanking = std::to_string(row->horBlanking);
  texts.txtVerBlanking = std::to_string(row->verBlanking);
  WriteFigures(texts);
}

MainController::Change::Change(MainController& controller) : controller_(controller) { ++controller_.changeDepth_; }

MainController::Change::~Change() {
  if (--controller_.changeDepth_ > 0 || !controller_.fieldsChanged_) return;
  controller_.fieldsChanged_ = false;
  if (controller_.changeListener_) {
    // The listener runs after the calculator is done; it may read the fields.
    ResumeNext([&] { controller_.changeListener_(); });
  }
}

std::string MainController::FieldText(TimingField field) const { return view_.FieldText(field); }

void MainController::WriteTiming(const engine::TimingFields& texts) {
  const Change change(*this);
  WriteFigures(texts);
}

void MainController::SetChangeListener(std::function<void()> listener) { changeListener_ = std::move(listener); }

void MainController::FieldChanged(TimingField field) {
  const Change change(*this);
  FieldTextChanged(field);
  if (const Handler handler = ChangeHandlerFor(field); handler != nullptr) (this->*handler)();
}

void MainController::cmbMode_Click() {
  const Change change(*this);
  // The list index is a 16-bit value; only indices 1..5 carry a row.
  if (static_cast<std::int16_t>(view_.ModeIndex()) > 0) {
    bLoadingMode = true;
    WritePredefinedMode(view_.ModeIndex());
  }
  bLoadingMode = false;
  WriteNumber(TimingField::txtRefreshRate, ComputeRefreshRate());
  UpdateHorizontalFrequency();
}

void MainController::cmdAboutZarn_Click() { view_.ShowAbout(); }

void MainController::cmdPixelToRate_Click() {
  const Change change(*this);
  WriteNumber(TimingField::txtRefreshRate, ComputeRefreshRate());
  UpdateHorizontalFrequency();
}

void MainController::cmdRefreshToPixel_Click() {
  const Change change(*this);
  WriteNumber(TimingField::txtFrequency, ComputePixelFrequency());
  UpdateHorizontalFrequency();
}

void MainController::GeometryChanged(TimingField field) {
  if (bLoadingMode) return;
  view_.SelectMode(0);
  if (engine::FieldInfo(field).entersFormula) cmdPixelToRate_Click();
}

void MainController::FieldTextChanged(TimingField field) {
  fieldsChanged_ = true;
  // The mark only informs: if it cannot be set, the computations go on.
  ResumeNext([&] {
    const std::string hint = UnreadableHint(field, view_.FieldText(field), locale_);
    view_.SetFieldInvalid(field, !hint.empty(), hint);
  });
}

void MainController::txtFrequency_Change() {
  if (bLoadingMode) return;
  cmdPixelToRate_Click();
}

void MainController::txtHorActive_Change() { GeometryChanged(TimingField::txtHorActive); }
void MainController::txtHorBlanking_Change() { GeometryChanged(TimingField::txtHorBlanking); }
void MainController::txtVerActive_Change() { GeometryChanged(TimingField::txtVerActive); }
void MainController::txtVerBlanking_Change() { GeometryChanged(TimingField::txtVerBlanking); }
void MainController::txtHorFrontPorch_Change() { GeometryChanged(TimingField::txtHorFrontPorch); }
void MainController::txtHorSync_Change() { GeometryChanged(TimingField::txtHorSync); }
void MainController::txtVerFrontPorch_Change() { GeometryChanged(TimingField::txtVerFrontPorch); }
void MainController::txtVerSync_Change() { GeometryChanged(TimingField::txtVerSync); }

MainController::Handler MainController::ChangeHandlerFor(TimingField field) {
  // Each field's handler, in the order of the field table.
  static constexpr std::array<Handler, engine::kTimingFieldCount> kHandlers = {
      &MainController::txtFrequency_Change, nullptr,  // a typed refresh rate waits for "<----"
      &MainController::txtHorActive_Change, &MainController::txtHorFrontPorch_Change,
      &MainController::txtHorSync_Change,   &MainController::txtHorBlanking_Change,
      &MainController::txtVerActive_Change, &MainController::txtVerFrontPorch_Change,
      &MainController::txtVerSync_Change,   &MainController::txtVerBlanking_Change};
  return kHandlers[static_cast<std::size_t>(field)];
}

}  // namespace zarn::forms
