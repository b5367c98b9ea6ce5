#include "forms/main/main_controller.h"

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

MainController::MainController(MainView& view, engine::NumberLocale locale)
    : view_(view), locale_(std::move(locale)) {}

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

void MainController::GeometryChanged(bool entersFormula) {
  if (bLoadingMode) return;
  view_.SelectMode(0);
  if (entersFormula) cmdPixelToRate_Click();
}

void MainController::txtFrequency_Change() {
  if (bLoadingMode) return;
  cmdPixelToRate_Click();
}

void MainController::txtHorActive_Change() { GeometryChanged(true); }
void MainController::txtHorBlanking_Change() { GeometryChanged(true); }
void MainController::txtVerActive_Change() { GeometryChanged(true); }
void MainController::txtVerBlanking_Change() { GeometryChanged(true); }
void MainController::txtHorFrontPorch_Change() { GeometryChanged(false); }
void MainController::txtHorSync_Change() { GeometryChanged(false); }
void MainController::txtVerFrontPorch_Change() { GeometryChanged(false); }
void MainController::txtVerSync_Change() { GeometryChanged(false); }

MainController::Handler MainController::ChangeHandlerFor(TimingField field) {
  switch (field) {
    case TimingField::txtFrequency: return &MainController::txtFrequency_Change;
    case TimingField::txtRefreshRate: return nullptr;
    case TimingField::txtHorActive: return &MainController::txtHorActive_Change;
    case TimingField::txtHorFrontPorch: return &MainController::txtHorFrontPorch_Change;
    case TimingField::txtHorSync: return &MainController::txtHorSync_Change;
    case TimingField::txtHorBlanking: return &MainController::txtHorBlanking_Change;
    case TimingField::txtVerActive: return &MainController::txtVerActive_Change;
    case TimingField::txtVerFrontPorch: return &MainController::txtVerFrontPorch_Change;
    case TimingField::txtVerSync: return &MainController::txtVerSync_Change;
    case TimingField::txtVerBlanking: break;
  }
  return &MainController::txtVerBlanking_Change;
}

}  // namespace zarn::forms
