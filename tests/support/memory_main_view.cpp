#include "tests/support/memory_main_view.h"

#include <stdexcept>

#include "forms/main/design_texts.h"

namespace zarn::testing {

MemoryMainView::MemoryMainView() : caption_(forms::kDesignTimeHorizontalFrequencyCaption) {
  for (const TimingField field : engine::kAllTimingFields) {
    texts_[static_cast<std::size_t>(field)] = forms::DesignTimeText(field);
  }
}

void MemoryMainView::MaybeFail(Kind kind) {
  if (failArmed_ && failNext_ == kind) {
    failArmed_ = false;
    throw std::runtime_error("view operation failed");
  }
}

void MemoryMainView::Record(Event event) {
  event.depth = depth_;
  events_.push_back(std::move(event));
}

std::string MemoryMainView::FieldText(TimingField field) const { return texts_[static_cast<std::size_t>(field)]; }

void MemoryMainView::SetFieldText(TimingField field, std::string_view text) {
  MaybeFail(Kind::Write);
  std::string& current = texts_[static_cast<std::size_t>(field)];
  const bool changed = current != text;
  Record({.kind = Kind::Write, .field = field, .text = std::string(text), .changed = changed});
  if (!changed) return;
  current = text;
  if (controller_ == nullptr) return;
  if (forms::MainController::ChangeHandlerFor(field) != nullptr) Record({.kind = Kind::Change, .field = field});
  ++depth_;
  controller_->FieldChanged(field);
  --depth_;
}

void MemoryMainView::SetFieldInvalid(TimingField field, bool invalid, std::string_view hint) {
  marks_[static_cast<std::size_t>(field)] = {invalid, std::string(hint)};
}

void MemoryMainView::SelectMode(int index) {
  MaybeFail(Kind::Select);
  if (index < -1 || index >= static_cast<int>(modes_.size())) {
    throw std::out_of_range("no such list item");
  }
  const bool changed = index != index_;
  Record({.kind = Kind::Select, .index = index, .changed = changed});
  if (!changed) return;
  index_ = index;
  if (controller_ == nullptr) return;
  Record({.kind = Kind::Click});
  ++depth_;
  controller_->cmbMode_Click();
  --depth_;
}

void MemoryMainView::ClearModes() {
  MaybeFail(Kind::ClearModes);
  Record({.kind = Kind::ClearModes});
  modes_.clear();
  index_ = -1;
}

void MemoryMainView::AddMode(std::string_view itemText) {
  MaybeFail(Kind::AddMode);
  Record({.kind = Kind::AddMode, .text = std::string(itemText)});
  modes_.emplace_back(itemText);
}

void MemoryMainView::SetHorizontalFrequencyCaption(std::string_view caption) {
  MaybeFail(Kind::Caption);
  Record({.kind = Kind::Caption, .text = std::string(caption)});
  caption_ = caption;
}

void MemoryMainView::ShowAbout() {
  MaybeFail(Kind::ShowAbout);
  Record({.kind = Kind::ShowAbout});
  ++aboutShown_;
}

}  // namespace zarn::testing
