#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "forms/main/main_controller.h"
#include "forms/main/main_view.h"

namespace zarn::testing {

using engine::TimingField;

// A calculator window in memory. It starts with the design-time texts, raises
// change and click notifications synchronously and nested, only when a text or
// the index really changes, and records every operation in order. The fields'
// marks are kept per field, outside the record.
class MemoryMainView final : public forms::MainView {
 public:
  enum class Kind { Write, Select, ClearModes, AddMode, Caption, ShowAbout, Change, Click };

  struct Event {
    Kind kind;
    TimingField field = TimingField::txtFrequency;  // Write, Change
    std::string text = {};                          // Write, AddMode, Caption
    int index = -1;                                 // Select
    bool changed = false;                           // Write, Select
    int depth = 0;                                  // handler nesting when it happened
  };

  // A field's mark as SetFieldInvalid left it.
  struct FieldMark {
    bool invalid = false;
    std::string hint;
  };

  MemoryMainView();

  void Attach(forms::MainController& controller) { controller_ = &controller; }

  // The user typing: sets the text (if different) and raises the handler.
  void Type(TimingField field, std::string_view text) { SetFieldText(field, text); }
  // The user picking an item.
  void Pick(int index) { SelectMode(index); }

  std::string FieldText(TimingField field) const override;
  void SetFieldText(TimingField field, std::string_view text) override;
  void SetFieldInvalid(TimingField field, bool invalid, std::string_view hint) override;
  int ModeIndex() const override { return index_; }
  void SelectMode(int index) override;
  void ClearModes() override;
  void AddMode(std::string_view itemText) override;
  void SetHorizontalFrequencyCaption(std::string_view caption) override;
  void ShowAbout() override;

  const FieldMark& Mark(TimingField field) const { return marks_[static_cast<std::size_t>(field)]; }
  const std::string& Caption() const { return caption_; }
  const std::vector<std::string>& Modes() const { return modes_; }
  const std::vector<Event>& Events() const { return events_; }
  void ClearEvents() { events_.clear(); }
  int AboutShown() const { return aboutShown_; }

  // Makes the next operation of this kind throw, once.
  void FailNext(Kind kind) {
    failNext_ = kind;
    failArmed_ = true;
  }

 private:
  void MaybeFail(Kind kind);
  void Record(Event event);

  forms::MainController* controller_ = nullptr;
  std::array<std::string, engine::kTimingFieldCount> texts_;
  std::array<FieldMark, engine::kTimingFieldCount> marks_;  // kept apart from the event log
  std::vector<std::string> modes_;
  int index_ = -1;
  std::string caption_;
  std::vector<Event> events_;
  int depth_ = 0;
  int aboutShown_ = 0;
  Kind failNext_ = Kind::Write;
  bool failArmed_ = false;
};

}  // namespace zarn::testing
