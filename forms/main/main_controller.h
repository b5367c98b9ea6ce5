#pragma once

#include <functional>
#include <span>
#include <string>

#include "engine/number_locale.h"
#include "engine/timing_fields.h"
#include "forms/main/main_view.h"
#include "forms/ports/calculator_port.h"

namespace zarn::forms {

// The behaviour of the calculator window frmMain, without the window: the
// start-up sequence and every event handler. It computes nothing itself (the
// engine does) and reaches the controls only through MainView. Other windows
// reach it through its CalculatorPort.
class MainController final : public CalculatorPort {
 public:
  using Handler = void (MainController::*)();

  MainController(MainView& view, engine::NumberLocale locale);

  // Sets lblHorizontalFrequency from the fields as they are now.
  void UpdateHorizontalFrequency();

  void cmbMode_Click();
  void cmdAboutZarn_Click();
  void cmdPixelToRate_Click();
  void cmdRefreshToPixel_Click();
  void Form_Load();
  void txtFrequency_Change();
  void txtHorActive_Change();
  void txtHorBlanking_Change();
  void txtHorFrontPorch_Change();
  void txtHorSync_Change();
  void txtVerActive_Change();
  void txtVerBlanking_Change();
  void txtVerFrontPorch_Change();
  void txtVerSync_Change();

  // Any change of a field's text, typed or written by the program; the window
  // calls it for all ten fields, just before the field's change handler. It
  // marks the field when its text does not read as the number the calculator
  // takes from it, and takes the mark away as soon as it reads again.
  void FieldTextChanged(TimingField field);

  // A field's text changed: FieldTextChanged, then the field's change
  // handler. What a window calls for each change of a field.
  void FieldChanged(TimingField field);

  // CalculatorPort
  std::string FieldText(TimingField field) const override;
  void WriteTiming(const engine::TimingFields& texts) override;
  void SetChangeListener(std::function<void()> listener) override;

  // The change handler of a field; nullptr for txtRefreshRate, which has none.
  static Handler ChangeHandlerFor(TimingField field);

  // True only while cmbMode_Click writes a predefined mode into the fields.
  bool IsLoadingMode() const { return bLoadingMode; }

  const engine::NumberLocale& Locale() const { return locale_; }

 private:
  float ComputeRefreshRate() const;
  float ComputePixelFrequency() const;
  // The texts of the given fields as they are now; the others stay empty.
  engine::TimingFields CurrentFields(std::span<const TimingField> inputs) const;
  void WriteNumber(TimingField field, float value);
  void WritePredefinedMode(int listIndex);
  // Writes the nine figures in the order of a predefined mode.
  void WriteFigures(const engine::TimingFields& texts);
  // A geometry edit: the list goes back to "-" and, for the four fields that
  // enter a total, the refresh rate is computed again.
  void GeometryChanged(TimingField field);

  // One change seen from outside: however many handlers run inside it, the
  // listener hears of it once, when the outermost one returns.
  class Change {
   public:
    explicit Change(MainController& controller);
    ~Change();
    Change(const Change&) = delete;
    Change& operator=(const Change&) = delete;

   private:
    MainController& controller_;
  };

  MainView& view_;
  engine::NumberLocale locale_;
  bool bLoadingMode = false;
  int changeDepth_ = 0;
  bool fieldsChanged_ = false;
  std::function<void()> changeListener_;
};

}  // namespace zarn::forms
