#pragma once

#include <functional>
#include <string>

#include "engine/timing_fields.h"

namespace zarn::forms {

// What another window may do with the calculator: read its fields as they
// stand, write a timing into them, and learn when they change. The
// calculator's controller provides it; the Timings window uses it, so that
// neither window knows the other.
class CalculatorPort {
 public:
  virtual ~CalculatorPort() = default;

  virtual std::string FieldText(engine::TimingField field) const = 0;

  // Writes the nine figures of a timing (every field but the refresh rate)
  // in the order a predefined mode is written; the calculator reacts as if
  // they had been typed.
  virtual void WriteTiming(const engine::TimingFields& texts) = 0;

  // Called once after each change of the calculator's fields, however many
  // of them the change wrote (a keystroke, a button, a mode picked, a timing
  // written). One listener at a time; an empty one removes it.
  virtual void SetChangeListener(std::function<void()> listener) = 0;

 protected:
  CalculatorPort() = default;
  CalculatorPort(const CalculatorPort&) = default;
  CalculatorPort& operator=(const CalculatorPort&) = default;
};

}  // namespace zarn::forms
