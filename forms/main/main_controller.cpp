#include "forms/main/main_controller.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>
#include <utility>

#include "engine/format_single.h"
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

void MainController::WritePredefinedMode(int listIndex) {
  const engine::PredefinedMode* row = engine::PredefinedModes::Row(listIndex);
  if (row == nullptr) return;
  view_.SetFieldText(TimingField::txtFrequency, engine::PixelFrequencyText(*row, locale_));
  view_.SetFieldText(TimingField::txtHorActive, row->horActive);
  view_.SetFieldText(TimingField::txtHorFrontPorch, row->horFrontPorch);
  view_.SetFieldText(TimingField::txtHorSync, row->horSync);
  view_.SetFieldText(TimingField::txtVerActive, row->verActive);
  view_.SetFieldText(TimingField::txtVerFrontPorch, row->verFrontPorch);
  view_.SetFieldText(TimingField::txtVerSync, row->verSync);
  view_.SetFieldText(TimingField::txtHorBlanking, std::to_string(row->horBlanking));
  view_.SetFieldText(TimingField::txtVerBlanking, std::to_string(row->verBlanking));
}

void MainController::cmbMode_Click() {
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
  WriteNumber(TimingField::txtRefreshRate, ComputeRefreshRate());
  UpdateHorizontalFrequency();
}

void MainController::cmdRefreshToPixel_Click() {
  WriteNumber(TimingField::txtFrequency, ComputePixelFrequency());
  UpdateHorizontalFrequency();
}

void MainController::GeometryChanged(TimingField field) {
  if (bLoadingMode) return;
  view_.SelectMode(0);
  if (engine::FieldInfo(field).entersFormula) cmdPixelToRate_Click();
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
