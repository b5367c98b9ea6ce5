#pragma once

#include <array>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "forms/timings/timings_controller.h"
#include "forms/timings/timings_design.h"
#include "forms/timings/timings_view.h"

namespace zarn::testing {

using forms::TimingsCheck;
using forms::TimingsChoice;
using forms::TimingsCommand;
using forms::TimingsText;

// A Timings window in memory. It starts with the design-time state, raises
// the controller's handlers only for what the user does (Type, Tick, Choose,
// PickRow), and keeps what the controller shows.
class MemoryTimingsView final : public forms::TimingsView {
 public:
  MemoryTimingsView();

  void Attach(forms::TimingsController& controller) { controller_ = &controller; }

  // The user's actions.
  void Type(TimingsText input, std::string_view text);
  void Tick(TimingsCheck option, bool checked);
  void Choose(TimingsChoice list, int index);
  void PickRow(int row);
  void PickEdidRow(int row);
  void SetClipboard(std::string text) { clipboard_ = std::move(text); }
  void AnswerFile(std::optional<std::string> path) { file_ = std::move(path); }

  // Answers for the dialogs: the path the save dialog gives (nullopt: the
  // user cancels) and the answer to a question.
  void AnswerPath(std::optional<std::string> path) { path_ = std::move(path); }
  void AnswerConfirm(bool yes) { confirmAnswer_ = yes; }
  // The item the user picks in the next menu (nullopt: none), and whether
  // the user goes ahead with an installation.
  void AnswerChoice(std::optional<int> index) { choiceAnswer_ = index; }
  void AnswerInstall(bool yes) { installAnswer_ = yes; }

  // TimingsView
  std::string Text(TimingsText input) const override { return texts_[Index(input)]; }
  void SetText(TimingsText input, std::string_view text) override { texts_[Index(input)] = text; }
  bool Checked(TimingsCheck option) const override { return checks_[Index(option)]; }
  int Choice(TimingsChoice list) const override { return choices_[Index(list)]; }
  void ShowSourcePage(forms::TimingSource source) override { page_ = source; }
  void SetModes(const std::vector<std::string>& items, int selected) override;
  int ModeRow() const override { return row_; }
  void SetMonitors(const std::vector<std::string>& items, int selected) override;
  void ShowEdidIdentity(std::string_view text) override { edidIdentity_ = text; }
  void SetEdidTimings(const std::vector<std::string>& items, int selected) override;
  int EdidTimingRow() const override { return edidRow_; }
  void ShowTiming(const forms::TimingFigures& figures, std::string_view reason) override;
  void ShowExport(std::string_view text, std::string_view message) override;
  void ShowLinks(const forms::TextTable& dataRates, const forms::TextTable& links) override;
  bool LinksShown() const override { return linksTab_; }
  // The user choosing the Exports tab (false) or the Links tab (true).
  void ShowLinksTab(bool shown);
  void SetEnabled(TimingsCommand control, bool enabled) override { enabled_[control] = enabled; }
  void ShowFieldRates(bool cvt, bool gtf) override { fieldRates_ = {cvt, gtf}; }
  void ShowEdidProblem(std::string_view reason) override { edidProblem_ = reason; }
  void CopyToClipboard(std::string_view text) override { clipboard_ = text; }
  std::optional<std::string> AskEdidPath(std::string_view suggestedName) override;
  std::optional<std::string> AskEdidFile() override { return file_; }
  std::string ClipboardText() const override { return clipboard_; }
  bool Confirm(std::string_view question) override;
  void Close() override { closed_ = true; }
  void ShowEdidChanges(std::string_view text) override { edidChanges_ = text; }
  std::optional<int> AskChoice(TimingsCommand control, const std::vector<std::string>& items) override;
  bool ConfirmInstall(std::string_view question, std::string_view steps) override;
  void Inform(std::string_view text) override { messages_.emplace_back(text); }
  // One thing at a time here: the work, then what follows it.
  void RunAside(std::function<void()> work, std::function<void()> done) override {
    work();
    done();
  }

  // What the window shows.
  std::optional<forms::TimingSource> Page() const { return page_; }
  const std::vector<std::string>& Modes() const { return modes_; }
  std::string SelectedMode() const;
  const forms::TimingFigures& Figures() const { return figures_; }
  const std::string& Reason() const { return reason_; }
  const std::string& ExportText() const { return exportText_; }
  const std::string& ExportMessage() const { return exportMessage_; }
  const forms::TextTable& DataRates() const { return dataRates_; }
  const forms::TextTable& Links() const { return links_; }
  // Enabled unless the controller disabled it.
  bool Enabled(TimingsCommand control) const;
  const std::string& Clipboard() const { return clipboard_; }
  const std::string& SuggestedName() const { return suggestedName_; }
  const std::vector<std::string>& Questions() const { return questions_; }
  bool Closed() const { return closed_; }
  // Whether the CVT and the GTF rate inputs are captioned as field rates.
  std::pair<bool, bool> FieldRates() const { return fieldRates_; }
  const std::string& EdidProblem() const { return edidProblem_; }
  const std::vector<std::string>& Monitors() const { return monitors_; }
  const std::string& EdidIdentity() const { return edidIdentity_; }
  const std::vector<std::string>& EdidTimings() const { return edidTimings_; }
  const std::string& EdidChanges() const { return edidChanges_; }
  // The items of the last menu, the steps shown before an installation and
  // the messages shown.
  const std::vector<std::string>& Offered() const { return offered_; }
  const std::string& InstallSteps() const { return installSteps_; }
  const std::vector<std::string>& Messages() const { return messages_; }

 private:
  template <typename Id>
  static std::size_t Index(Id id) {
    return static_cast<std::size_t>(id);
  }

  forms::TimingsController* controller_ = nullptr;
  std::array<std::string, forms::kTimingsTexts.size()> texts_;
  std::array<bool, forms::kTimingsChecks.size()> checks_{};
  std::array<int, forms::kTimingsChoices.size()> choices_{};
  std::optional<forms::TimingSource> page_;
  std::vector<std::string> modes_;
  int row_ = -1;
  forms::TimingFigures figures_;
  std::string reason_;
  std::string exportText_;
  std::string exportMessage_;
  forms::TextTable dataRates_;
  forms::TextTable links_;
  std::map<TimingsCommand, bool> enabled_;
  std::string clipboard_;
  std::optional<std::string> path_;
  std::string suggestedName_;
  bool confirmAnswer_ = false;
  std::vector<std::string> questions_;
  bool closed_ = false;
  std::pair<bool, bool> fieldRates_;
  std::string edidProblem_;
  std::vector<std::string> monitors_;
  std::string edidIdentity_;
  std::vector<std::string> edidTimings_;
  int edidRow_ = -1;
  std::optional<std::string> file_;
  bool linksTab_ = true;
  std::string edidChanges_;
  std::optional<int> choiceAnswer_;
  std::vector<std::string> offered_;
  bool installAnswer_ = false;
  std::string installSteps_;
  std::vector<std::string> messages_;
};

}  // namespace zarn::testing
