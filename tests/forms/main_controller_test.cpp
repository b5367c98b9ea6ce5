#include "forms/main/main_controller.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/predefined_modes.h"
#include "tests/support/memory_main_view.h"

namespace zarn::forms {
namespace {

using testing::MemoryMainView;
using Kind = MemoryMainView::Kind;
using engine::TimingField;

const engine::NumberLocale kFullStop{"."};
const engine::NumberLocale kComma{","};

// A controller bound to an in-memory window, optionally loaded.
struct Calculator {
  explicit Calculator(engine::NumberLocale locale = kFullStop, bool load = true) : controller(view, std::move(locale)) {
    view.Attach(controller);
    if (load) controller.Form_Load();
  }
  std::string Text(TimingField field) const { return view.FieldText(field); }

  MemoryMainView view;
  MainController controller;
};

std::vector<std::string> Geometry(const MemoryMainView& view) {
  std::vector<std::string> texts;
  for (const TimingField field : engine::kAllTimingFields) {
    if (field != TimingField::txtRefreshRate) texts.push_back(view.FieldText(field));
  }
  return texts;
}

// txtFrequency, then the eight geometry fields in field order.
const std::vector<std::string> kRow4 = {"135", "1280", "16", "144", "408", "1024", "1", "3", "42"};

TEST(FormLoad, OpensOnTheThirdRowOfTheStandardModes) {
  Calculator c;
  EXPECT_EQ(Geometry(c.view), kRow4);
  EXPECT_EQ(c.Text(TimingField::txtRefreshRate), "75");
  EXPECT_EQ(c.view.Caption(), "Horizontal Frequency = 79.98 KHz");
  EXPECT_EQ(c.view.ModeIndex(), 4);
  EXPECT_EQ(c.view.Modes(),
            (std::vector<std::string>{"-", "VESA 640x480 75Hz", "VESA 800x600 85Hz", "VESA 1024x768 75Hz",
                                      "VESA 1280x1024 75Hz", "VESA 1600x1200 85Hz"}));
  EXPECT_FALSE(c.controller.IsLoadingMode());
}

TEST(FormLoad, RunsItsStepsInOrder) {
  Calculator c(kFullStop, false);
  c.controller.Form_Load();
  const auto& e = c.view.Events();
  ASSERT_GE(e.size(), 6u);
  // Step 1: "135" replaces the design-time "100" and its handler recomputes
  // from the design-time geometry, inside the write.
  EXPECT_EQ(e[0].kind, Kind::Write);
  EXPECT_EQ(e[0].text, "135");
  EXPECT_EQ(e[1].kind, Kind::Change);
  EXPECT_EQ(e[2].kind, Kind::Write);
  EXPECT_EQ(e[2].field, TimingField::txtRefreshRate);
  EXPECT_EQ(e[2].text, "75");
  EXPECT_EQ(e[2].depth, 1);
  EXPECT_EQ(e[3].kind, Kind::Caption);
  EXPECT_EQ(e[3].text, "Horizontal Frequency = 79.98 KHz");
  // Step 2: the refresh rate again, unchanged.
  EXPECT_EQ(e[4].kind, Kind::Write);
  EXPECT_EQ(e[4].text, "75");
  EXPECT_FALSE(e[4].changed);
  EXPECT_EQ(e[4].depth, 0);
  // Steps 3 to 5.
  EXPECT_EQ(e[5].kind, Kind::ClearModes);
  int added = 0;
  std::size_t i = 6;
  for (; i < e.size() && e[i].kind == Kind::AddMode; ++i) ++added;
  EXPECT_EQ(added, 6);
  ASSERT_LT(i + 1, e.size());
  EXPECT_EQ(e[i].kind, Kind::Select);
  EXPECT_EQ(e[i].index, 4);
  EXPECT_EQ(e[i + 1].kind, Kind::Click);
}

TEST(FormLoad, GoesOnPastAFailingStep) {
  Calculator c(kFullStop, false);
  c.view.FailNext(Kind::ClearModes);
  c.controller.Form_Load();
  EXPECT_EQ(c.view.Modes().size(), 6u);
  EXPECT_EQ(c.view.ModeIndex(), 4);
  EXPECT_EQ(c.Text(TimingField::txtRefreshRate), "75");

  Calculator d(kFullStop, false);
  d.view.FailNext(Kind::Write);  // the very first write, "135"
  d.controller.Form_Load();
  EXPECT_EQ(d.Text(TimingField::txtFrequency), "135");  // written by the preset instead
  EXPECT_EQ(d.Text(TimingField::txtRefreshRate), "75");
}

TEST(ModeSelection, WritesEachRowUnderTheGuardThenComputes) {
  struct Expected {
    int index;
    const char* rate;
    const char* caption;
  };
  const Expected rows[] = {{1, "75", "Horizontal Frequency = 39.38 KHz"},
                           {2, "85", "Horizontal Frequency = 53.62 KHz"},
                           {3, "75", "Horizontal Frequency = 60.02 KHz"},
                           {4, "75", "Horizontal Frequency = 79.98 KHz"},
                           {5, "85", "Horizontal Frequency = 106.25 KHz"}};
  for (const engine::NumberLocale& locale : {kFullStop, kComma}) {
    for (const Expected& row : rows) {
      Calculator c(locale);
      c.view.Pick(row.index == 4 ? 5 : 4);  // start from another mode
      c.view.ClearEvents();
      c.view.Pick(row.index);
      const engine::PredefinedMode& mode = *engine::PredefinedModes::Row(row.index);
      EXPECT_EQ(c.Text(TimingField::txtFrequency), engine::PixelFrequencyText(mode, locale));
      EXPECT_EQ(c.Text(TimingField::txtHorBlanking), std::to_string(mode.horBlanking));
      EXPECT_EQ(c.Text(TimingField::txtVerSync), mode.verSync);
      EXPECT_EQ(c.Text(TimingField::txtRefreshRate), row.rate) << mode.itemText << " sep " << locale.decimalSeparator;
      std::string caption = row.caption;
      if (locale.decimalSeparator == ",") caption[caption.find('.')] = ',';
      EXPECT_EQ(c.view.Caption(), caption);
      EXPECT_EQ(c.view.ModeIndex(), row.index);
      // No change handler did anything: only the nine row writes, their change
      // notifications (which return at once), one refresh-rate write and one caption.
      int writes = 0;
      int selections = 0;
      for (const auto& event : c.view.Events()) {
        if (event.kind == Kind::Write) ++writes;
        if (event.kind == Kind::Select) ++selections;
      }
      EXPECT_EQ(writes, 10);
      EXPECT_EQ(selections, 1);
    }
  }
}

TEST(ModeSelection, WritesTheRowInItsFixedOrder) {
  Calculator c;
  c.view.ClearEvents();
  c.view.Pick(2);
  std::vector<TimingField> order;
  for (const auto& event : c.view.Events()) {
    if (event.kind == Kind::Write) order.push_back(event.field);
  }
  const std::vector<TimingField> expected = {TimingField::txtFrequency,     TimingField::txtHorActive,
                                             TimingField::txtHorFrontPorch, TimingField::txtHorSync,
                                             TimingField::txtVerActive,     TimingField::txtVerFrontPorch,
                                             TimingField::txtVerSync,       TimingField::txtHorBlanking,
                                             TimingField::txtVerBlanking,   TimingField::txtRefreshRate};
  EXPECT_EQ(order, expected);
}

TEST(ModeSelection, DashRecomputesWithoutTouchingTheGeometry) {
  Calculator c;
  c.view.Type(TimingField::txtRefreshRate, "60");
  EXPECT_EQ(c.Text(TimingField::txtFrequency), "135");  // typing a rate changes nothing else
  EXPECT_EQ(c.view.ModeIndex(), 4);
  c.view.Pick(0);
  EXPECT_EQ(Geometry(c.view), kRow4);
  EXPECT_EQ(c.Text(TimingField::txtRefreshRate), "75");
  EXPECT_EQ(c.view.Caption(), "Horizontal Frequency = 79.98 KHz");

  Calculator d;
  d.view.Type(TimingField::txtRefreshRate, "60");
  d.controller.cmdPixelToRate_Click();
  EXPECT_EQ(d.Text(TimingField::txtRefreshRate), "75");
}

TEST(ModeSelection, RecomputesAlsoForNoSelection) {
  Calculator c;
  c.view.Type(TimingField::txtRefreshRate, "60");
  c.view.Pick(-1);
  EXPECT_EQ(c.Text(TimingField::txtRefreshRate), "75");
  EXPECT_FALSE(c.controller.IsLoadingMode());
}

TEST(ChangeHandlers, GeometryEditsResetTheListAndRecompute) {
  for (const TimingField field : {TimingField::txtHorActive, TimingField::txtHorBlanking, TimingField::txtVerActive,
                                  TimingField::txtVerBlanking}) {
    Calculator c;
    c.view.ClearEvents();
    c.view.Type(field, "2000");
    EXPECT_EQ(c.view.ModeIndex(), 0);
    EXPECT_EQ(c.Text(TimingField::txtFrequency), "135");
    // The list's click recomputes once, the handler's own call once more.
    int rateWrites = 0;
    for (const auto& event : c.view.Events()) {
      if (event.kind == Kind::Write && event.field == TimingField::txtRefreshRate) ++rateWrites;
    }
    EXPECT_EQ(rateWrites, 2);
    EXPECT_NE(c.Text(TimingField::txtRefreshRate), "75");
  }
  Calculator c;
  c.view.Type(TimingField::txtHorActive, "1920");  // totals 2328 x 1066
  EXPECT_EQ(c.Text(TimingField::txtRefreshRate), "54.4");
  EXPECT_EQ(c.view.Caption(), "Horizontal Frequency = 57.99 KHz");
}

TEST(ChangeHandlers, FrontPorchAndSyncOnlyResetTheList) {
  for (const TimingField field : {TimingField::txtHorFrontPorch, TimingField::txtHorSync, TimingField::txtVerFrontPorch,
                                  TimingField::txtVerSync}) {
    Calculator c;
    c.view.Type(TimingField::txtRefreshRate, "60");
    c.view.Type(field, "7");
    EXPECT_EQ(c.view.ModeIndex(), 0);
    EXPECT_EQ(c.Text(TimingField::txtFrequency), "135");
    EXPECT_EQ(c.Text(TimingField::txtRefreshRate), "75");  // by the list's click
    // With "-" already selected, selecting it again runs nothing.
    c.view.Type(TimingField::txtRefreshRate, "60");
    c.view.ClearEvents();
    c.view.Type(field, "8");
    EXPECT_EQ(c.Text(TimingField::txtRefreshRate), "60");
    for (const auto& event : c.view.Events()) EXPECT_NE(event.kind, Kind::Click);
  }
}

TEST(ChangeHandlers, FrequencyRecomputesAtEveryKeystrokeAndKeepsTheList) {
  Calculator c;
  const char* keystrokes[] = {"1", "10", "100"};
  const char* rates[] = {"0.6", "5.6", "55.6"};
  for (int i = 0; i < 3; ++i) {
    c.view.Type(TimingField::txtFrequency, keystrokes[i]);
    EXPECT_EQ(c.Text(TimingField::txtRefreshRate), rates[i]);
  }
  EXPECT_EQ(c.view.Caption(), "Horizontal Frequency = 59.24 KHz");
  EXPECT_EQ(c.view.ModeIndex(), 4);
}

TEST(ChangeHandlers, DeletingTheActiveWidthShowsInfinityThenRecovers) {
  Calculator c;
  c.view.Type(TimingField::txtHorActive, "");
  EXPECT_EQ(c.view.ModeIndex(), 0);
  EXPECT_EQ(c.Text(TimingField::txtRefreshRate), "Infinity");
  EXPECT_EQ(c.view.Caption(), "Horizontal Frequency = Infinity KHz");
  c.view.Type(TimingField::txtHorActive, "1");
  EXPECT_EQ(c.Text(TimingField::txtRefreshRate), "309.6");
  c.view.Type(TimingField::txtHorActive, "12");
  c.view.Type(TimingField::txtHorActive, "128");
  c.view.Type(TimingField::txtHorActive, "1280");
  EXPECT_EQ(c.Text(TimingField::txtRefreshRate), "75");
  EXPECT_EQ(c.view.Caption(), "Horizontal Frequency = 79.98 KHz");
}

TEST(ChangeHandlers, DoNothingWhileTheGuardIsSet) {
  Calculator c;
  c.view.ClearEvents();
  c.view.Pick(1);
  for (const auto& event : c.view.Events()) {
    // Nothing nested under a row write: no selection, no computation.
    if (event.depth >= 2) ADD_FAILURE() << "a change handler acted while a mode was loading";
  }
  EXPECT_EQ(c.view.ModeIndex(), 1);
}

TEST(RefreshToPixel, ChainsThroughTheRoundedPixelFrequency) {
  Calculator c;
  c.view.Type(TimingField::txtRefreshRate, "60");
  c.controller.cmdRefreshToPixel_Click();
  EXPECT_EQ(c.Text(TimingField::txtFrequency), "108");
  EXPECT_EQ(c.Text(TimingField::txtRefreshRate), "60");
  EXPECT_EQ(c.view.Caption(), "Horizontal Frequency = 63.98 KHz");
  EXPECT_EQ(c.view.ModeIndex(), 4);

  Calculator d;
  d.view.Pick(1);
  d.view.Type(TimingField::txtRefreshRate, "72");
  d.controller.cmdRefreshToPixel_Click();
  EXPECT_EQ(d.Text(TimingField::txtFrequency), "30.2");
  EXPECT_EQ(d.Text(TimingField::txtRefreshRate), "71.9");
  EXPECT_EQ(d.view.Caption(), "Horizontal Frequency = 37.75 KHz");
  EXPECT_EQ(d.view.ModeIndex(), 1);
}

TEST(RefreshToPixel, AnEqualPixelFrequencyRaisesNoRecomputation) {
  Calculator c;
  c.view.Type(TimingField::txtRefreshRate, "75.02");
  c.controller.cmdRefreshToPixel_Click();
  EXPECT_EQ(c.Text(TimingField::txtFrequency), "135");
  EXPECT_EQ(c.Text(TimingField::txtRefreshRate), "75.02");
}

TEST(RefreshToPixel, WritesZeroForABadRate) {
  Calculator c;
  c.view.Type(TimingField::txtRefreshRate, "fast");
  c.controller.cmdRefreshToPixel_Click();
  EXPECT_EQ(c.Text(TimingField::txtFrequency), "0");
  EXPECT_EQ(c.Text(TimingField::txtRefreshRate), "0");
  EXPECT_EQ(c.view.Caption(), "Horizontal Frequency = 0 KHz");
}

TEST(CommaLocale, EveryPresetShowsTheRateItsNamePromises) {
  Calculator c(kComma);
  EXPECT_EQ(c.Text(TimingField::txtRefreshRate), "75");
  c.view.Pick(1);
  EXPECT_EQ(c.Text(TimingField::txtFrequency), "31,5");
  EXPECT_EQ(c.Text(TimingField::txtRefreshRate), "75");
  EXPECT_EQ(c.view.Caption(), "Horizontal Frequency = 39,38 KHz");
  c.view.Type(TimingField::txtRefreshRate, "72");
  c.controller.cmdRefreshToPixel_Click();
  EXPECT_EQ(c.Text(TimingField::txtFrequency), "30,2");
  EXPECT_EQ(c.Text(TimingField::txtRefreshRate), "71,9");
  EXPECT_EQ(c.view.Caption(), "Horizontal Frequency = 37,75 KHz");
}

TEST(AboutButton, ShowsTheAboutWindowOncePerPress) {
  Calculator c;
  c.controller.cmdAboutZarn_Click();
  c.controller.cmdAboutZarn_Click();
  EXPECT_EQ(c.view.AboutShown(), 2);
  EXPECT_EQ(Geometry(c.view), kRow4);
}

TEST(ChangeHandlerFor, MapsEveryFieldButTheRefreshRate) {
  EXPECT_EQ(MainController::ChangeHandlerFor(TimingField::txtRefreshRate), nullptr);
  EXPECT_EQ(MainController::ChangeHandlerFor(TimingField::txtVerSync), &MainController::txtVerSync_Change);
  EXPECT_EQ(MainController::ChangeHandlerFor(TimingField::txtHorBlanking), &MainController::txtHorBlanking_Change);
}

TEST(FieldMarks, MarkWhatTheCalculatorCannotReadAndNothingElse) {
  const engine::NumberLocale arabic{"\u066B"};  // the Arabic decimal separator, two bytes
  const std::string notANumber = "Not a number: use , as the decimal separator";
  const std::string outOfRange = "Out of range: use a whole number from -2147483648 to 2147483647";
  struct Case {
    engine::NumberLocale locale;
    TimingField field;
    std::string text;
    std::string hint;  // empty: no mark
  };
  const Case cases[] = {
      {kComma, TimingField::txtRefreshRate, "60.5", notANumber},
      {kComma, TimingField::txtRefreshRate, "60,5", ""},
      {kFullStop, TimingField::txtRefreshRate, "60,5", "Not a number: use . as the decimal separator"},
      {arabic, TimingField::txtFrequency, "135.5", "Not a number: use \u066B as the decimal separator"},
      {arabic, TimingField::txtFrequency, "135\u066B5", ""},
      {kComma, TimingField::txtHorActive, "1280.5", notANumber},
      {kComma, TimingField::txtHorActive, "1280,5", ""},
      {kComma, TimingField::txtVerSync, "3.5", notANumber},  // read by no formula, marked all the same
      {kFullStop, TimingField::txtHorBlanking, "3e9", outOfRange},
      {kFullStop, TimingField::txtFrequency, "3e9", ""},  // a frequency is a double
      {kComma, TimingField::txtVerActive, "", ""},
      {kComma, TimingField::txtRefreshRate, "Infinity", ""},  // the calculator's own answer
      {kComma, TimingField::txtVerBlanking, "Infinity", notANumber},
  };
  for (const Case& test : cases) {
    Calculator c(test.locale);
    c.view.Type(test.field, test.text);
    EXPECT_EQ(c.view.Mark(test.field).invalid, !test.hint.empty()) << test.text;
    EXPECT_EQ(c.view.Mark(test.field).hint, test.hint) << test.text;
    for (const TimingField other : engine::kAllTimingFields) {
      EXPECT_TRUE(other == test.field || !c.view.Mark(other).invalid) << test.text;
    }
  }
}

TEST(FieldMarks, GoTheMomentTheTextReadsWhoeverWritesIt) {
  Calculator c(kComma);
  c.view.Type(TimingField::txtRefreshRate, "60.5");
  EXPECT_TRUE(c.view.Mark(TimingField::txtRefreshRate).invalid);
  c.view.Type(TimingField::txtRefreshRate, "60,5");
  EXPECT_FALSE(c.view.Mark(TimingField::txtRefreshRate).invalid);

  // The silent zero: "---->" reads the marked rate as nothing and writes
  // "0" into both fields, which read, so both marks are gone.
  c.view.Type(TimingField::txtRefreshRate, "60.5");
  c.controller.cmdRefreshToPixel_Click();
  EXPECT_EQ(c.Text(TimingField::txtFrequency), "0");
  EXPECT_EQ(c.Text(TimingField::txtRefreshRate), "0");
  EXPECT_FALSE(c.view.Mark(TimingField::txtRefreshRate).invalid);

  // A mode written over marked geometry takes the marks away.
  c.view.Type(TimingField::txtFrequency, "1.5");
  c.view.Type(TimingField::txtHorActive, "1.5");
  EXPECT_TRUE(c.view.Mark(TimingField::txtFrequency).invalid);
  EXPECT_TRUE(c.view.Mark(TimingField::txtHorActive).invalid);
  c.view.Pick(4);
  EXPECT_FALSE(c.view.Mark(TimingField::txtFrequency).invalid);
  EXPECT_FALSE(c.view.Mark(TimingField::txtHorActive).invalid);
  EXPECT_EQ(Geometry(c.view), kRow4);
}

}  // namespace
}  // namespace zarn::forms
