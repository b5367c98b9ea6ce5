#include "tests/support/memory_timings_view.h"

namespace zarn::testing {

MemoryTimingsView::MemoryTimingsView() {
  for (const auto& info : forms::kTimingsTexts) texts_[Index(info.input)] = info.designText;
  for (const auto& info : forms::kTimingsChecks) checks_[Index(info.option)] = info.designChecked;
  for (const auto& info : forms::kTimingsChoices) choices_[Index(info.list)] = info.designIndex;
}

void MemoryTimingsView::Type(TimingsText input, std::string_view text) {
  if (texts_[Index(input)] == text) return;
  texts_[Index(input)] = text;
  if (controller_ != nullptr) controller_->Text_Change(input);
}

void MemoryTimingsView::Tick(TimingsCheck option, bool checked) {
  if (checks_[Index(option)] == checked) return;
  checks_[Index(option)] = checked;
  if (controller_ != nullptr) controller_->Check_Click(option);
}

void MemoryTimingsView::Choose(TimingsChoice list, int index) {
  if (choices_[Index(list)] == index) return;
  choices_[Index(list)] = index;
  if (controller_ != nullptr) controller_->Choice_Click(list);
}

void MemoryTimingsView::PickRow(int row) {
  if (row_ == row) return;
  row_ = row;
  if (controller_ != nullptr) controller_->lstModes_Click();
}

void MemoryTimingsView::SetModes(const std::vector<std::string>& items, int selected) {
  modes_ = items;
  row_ = selected;
}

std::string MemoryTimingsView::SelectedMode() const {
  if (row_ < 0 || row_ >= static_cast<int>(modes_.size())) return {};
  return modes_[static_cast<std::size_t>(row_)];
}

void MemoryTimingsView::ShowTiming(const forms::TimingFigures& figures, std::string_view reason) {
  figures_ = figures;
  reason_ = reason;
}

void MemoryTimingsView::SetMonitors(const std::vector<std::string>& items, int selected) {
  monitors_ = items;
  choices_[Index(TimingsChoice::cmbMonitor)] = selected;
}

void MemoryTimingsView::SetEdidTimings(const std::vector<std::string>& items, int selected) {
  edidTimings_ = items;
  edidRow_ = selected;
}

void MemoryTimingsView::ShowLinksTab(bool shown) {
  linksTab_ = shown;
  if (controller_ != nullptr) controller_->tabOutput_Click();
}

void MemoryTimingsView::PickEdidRow(int row) {
  edidRow_ = row;
  if (controller_ != nullptr) controller_->lstEdidTimings_Click();
}

void MemoryTimingsView::ShowExport(std::string_view text, std::string_view message) {
  exportText_ = text;
  exportMessage_ = message;
}

void MemoryTimingsView::ShowLinks(const forms::TextTable& dataRates, const forms::TextTable& links) {
  dataRates_ = dataRates;
  links_ = links;
}

bool MemoryTimingsView::Enabled(TimingsCommand control) const {
  const auto found = enabled_.find(control);
  return found == enabled_.end() || found->second;
}

std::optional<std::string> MemoryTimingsView::AskEdidPath(std::string_view suggestedName) {
  suggestedName_ = suggestedName;
  return path_;
}

bool MemoryTimingsView::Confirm(std::string_view question) {
  questions_.emplace_back(question);
  return confirmAnswer_;
}

std::optional<int> MemoryTimingsView::AskChoice(TimingsCommand /*control*/, const std::vector<std::string>& items) {
  offered_ = items;
  return choiceAnswer_;
}

bool MemoryTimingsView::ConfirmInstall(std::string_view question, std::string_view steps) {
  questions_.emplace_back(question);
  installSteps_ = steps;
  return installAnswer_;
}

}  // namespace zarn::testing
