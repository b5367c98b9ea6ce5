#pragma once

#include <string>
#include <string_view>

#include "engine/timing_fields.h"

namespace zarn::forms {

using engine::TimingField;

// What the calculator controller needs of its window. Notifications are
// synchronous: SetFieldText runs FieldTextChanged and then the field's change
// handler before it returns when (and only when) the text really changes, and
// so does typing; SelectMode runs cmbMode_Click
// before it returns when (and only when) the selected index changes.
class MainView {
 public:
  virtual ~MainView() = default;

  virtual std::string FieldText(TimingField field) const = 0;
  virtual void SetFieldText(TimingField field, std::string_view text) = 0;

  // Marks a field whose text does not read as a number (its text in red, the
  // hint as its tooltip) or, with invalid false, takes the mark away. It
  // changes nothing else and raises no handler.
  virtual void SetFieldInvalid(TimingField field, bool invalid, std::string_view hint) = 0;

  // Selected index of the mode list; -1 when nothing is selected.
  virtual int ModeIndex() const = 0;
  virtual void SelectMode(int index) = 0;

  virtual void ClearModes() = 0;
  virtual void AddMode(std::string_view itemText) = 0;

  virtual void SetHorizontalFrequencyCaption(std::string_view caption) = 0;

  // Shows the About window modally (creating it on first use); returns once
  // it has been closed.
  virtual void ShowAbout() = 0;

 protected:
  MainView() = default;
  MainView(const MainView&) = default;
  MainView& operator=(const MainView&) = default;
};

}  // namespace zarn::forms
