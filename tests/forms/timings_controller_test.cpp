#include "forms/timings/timings_controller.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "forms/main/main_controller.h"
#include "modes/cta.h"
#include "modes/cvt.h"
#include "modes/dmt.h"
#include "modes/edid.h"
#include "modes/exports.h"
#include "modes/gtf.h"
#include "modes/links.h"
#include "modes/modeline.h"
#include "tests/support/memory_main_view.h"
#include "tests/support/memory_timings_view.h"

namespace zarn::forms {
namespace {

using modes::DisplayTiming;
using testing::MemoryMainView;
using testing::MemoryTimingsView;
using Kind = MemoryMainView::Kind;
using engine::TimingField;
using Source = TimingSource;

const engine::NumberLocale kFullStop{"."};
const engine::NumberLocale kComma{","};

// The calculator (loaded, showing VESA 1280x1024 75Hz) and the Timings
// window beside it, both in memory.
struct Windows {
  explicit Windows(const engine::NumberLocale& locale = kFullStop)
      : calculator(calculatorView, locale), timings(timingsView, calculator, locale) {
    calculatorView.Attach(calculator);
    calculator.Form_Load();
    timingsView.Attach(timings);
    timings.Form_Load();
  }
  void Source(TimingSource source) { timingsView.Choose(TimingsChoice::cmbSource, static_cast<int>(source)); }
  // The user typing into the calculator; the real window tells the Timings
  // window of every change of a calculator field.
  void TypeInCalculator(TimingField field, std::string_view text) {
    calculatorView.Type(field, text);
    timings.Calculator_Change();
  }
  std::vector<std::string> ShownSources() const {
    std::vector<std::string> sources;
    for (const std::string& item : timingsView.Modes()) sources.push_back(item.substr(0, item.find(':')));
    return sources;
  }

  MemoryMainView calculatorView;
  MainController calculator;
  MemoryTimingsView timingsView;
  TimingsController timings;
};

std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

DisplayTiming Made(const modes::Expected<DisplayTiming>& timing) {
  EXPECT_TRUE(timing.ok()) << timing.error();
  return timing.ok() ? *timing : DisplayTiming{};
}

DisplayTiming Figures(std::array<int, 8> f, std::uint64_t clock, bool hPositive, bool vPositive, std::string source) {
  DisplayTiming t;
  t.h_active = f[0];
  t.h_front_porch = f[1];
  t.h_sync = f[2];
  t.h_back_porch = f[3];
  t.v_active = f[4];
  t.v_front_porch = f[5];
  t.v_sync = f[6];
  t.v_back_porch = f[7];
  t.pixel_clock_hz = clock;
  t.h_sync_positive = hPositive;
  t.v_sync_positive = vPositive;
  t.source = std::move(source);
  return t;
}

modes::GtfOptions GtfWith(bool interlaced, bool margins) {
  modes::GtfOptions options;
  options.interlaced = interlaced;
  options.margins = margins;
  return options;
}

TEST(TimingsSources, EachSourceGivesItsTimingFromWhatWasTyped) {
  using T = TimingsText;
  struct Case {
    const char* name;
    engine::NumberLocale locale;
    std::function<void(Windows&)> steps;
    DisplayTiming expected;
  };
  const Case cases[] = {
      {"calculator as it opens", kFullStop, [](Windows& w) { w.Source(Source::Calculator); },
       Figures({1280, 16, 144, 248, 1024, 1, 3, 38}, 135000000, true, true, "Calculator")},
      {"calculator, comma locale, another preset, negative syncs", kComma,
       [](Windows& w) {
         w.Source(Source::Calculator);
         w.calculatorView.Pick(1);
         w.timingsView.Tick(TimingsCheck::chkCalculatorHSync, false);
         w.timingsView.Tick(TimingsCheck::chkCalculatorVSync, false);
       },
       Figures({640, 16, 96, 48, 480, 11, 2, 32}, 31500000, false, false, "Calculator")},
      {"calculator typed in", kComma,
       [](Windows& w) {
         w.Source(Source::Calculator);
         w.TypeInCalculator(TimingField::txtFrequency, " 148,500 ");
         w.TypeInCalculator(TimingField::txtHorActive, "1,92E3");
       },
       Figures({1920, 16, 144, 248, 1024, 1, 3, 38}, 148500000, true, true, "Calculator")},
      {"DMT by its ID", kFullStop, [](Windows& w) { w.timingsView.Type(T::txtFilter, "0x24"); },
       Made(modes::DmtTiming(0x24))},
      {"CTA-861 by its VIC", kFullStop,
       [](Windows& w) {
         w.Source(Source::Cta);
         w.timingsView.Type(T::txtFilter, "VIC 16");
       },
       Made(modes::VicTiming(16))},
      {"HDMI VIC", kFullStop,
       [](Windows& w) {
         w.Source(Source::Cta);
         w.timingsView.Type(T::txtFilter, "hdmi vic 1");
       },
       Made(modes::HdmiVicTiming(1))},
      {"CVT reduced blanking v2", kFullStop,
       [](Windows& w) {
         w.Source(Source::Cvt);
         w.timingsView.Type(T::txtCvtWidth, "2560");
         w.timingsView.Type(T::txtCvtHeight, "1440");
         w.timingsView.Type(T::txtCvtRate, "144");
         w.timingsView.Choose(TimingsChoice::cmbCvtBlanking, 2);
         w.timingsView.Tick(TimingsCheck::chkCvtVideoOptimized, true);
       },
       Made(modes::CvtTiming(2560, 1440, 144, {.blanking = modes::CvtBlanking::ReducedV2, .video_optimized = true}))},
      {"CVT reduced blanking v3 with its options, interlaced", kComma,
       [](Windows& w) {
         w.Source(Source::Cvt);
         w.timingsView.Type(T::txtCvtRate, "59,94");
         w.timingsView.Choose(TimingsChoice::cmbCvtBlanking, 3);
         w.timingsView.Type(T::txtCvtHBlank, "120");
         w.timingsView.Type(T::txtCvtVBlank, "500");
         w.timingsView.Tick(TimingsCheck::chkCvtEarlyVsync, true);
         w.timingsView.Tick(TimingsCheck::chkCvtInterlaced, true);
       },
       Made(modes::CvtTiming(1920, 1080, 59.94,
                             {.blanking = modes::CvtBlanking::ReducedV3,
                              .interlaced = true,
                              .h_blank = 120,
                              .v_blank_us = 500,
                              .early_vsync = true}))},
      {"CVT ignores the options of versions not chosen", kFullStop,
       [](Windows& w) {
         w.Source(Source::Cvt);
         w.timingsView.Choose(TimingsChoice::cmbCvtBlanking, 3);
         w.timingsView.Type(T::txtCvtHBlank, "120");
         w.timingsView.Tick(TimingsCheck::chkCvtEarlyVsync, true);
         w.timingsView.Choose(TimingsChoice::cmbCvtBlanking, 1);
       },
       Made(modes::CvtTiming(1920, 1080, 60, {.blanking = modes::CvtBlanking::ReducedV1}))},
      {"GTF from a rate, comma locale", kComma,
       [](Windows& w) {
         w.Source(Source::Gtf);
         w.timingsView.Type(T::txtGtfWidth, "1366");
         w.timingsView.Type(T::txtGtfHeight, "768");
         w.timingsView.Type(T::txtGtfValue, "59,94");
         w.timingsView.Tick(TimingsCheck::chkGtfMargins, true);
       },
       Made(modes::GtfTiming(1366, 768, modes::GtfInput::FrameRate, 59.94, GtfWith(false, true)))},
      {"GTF from a line rate", kFullStop,
       [](Windows& w) {
         w.Source(Source::Gtf);
         w.timingsView.Choose(TimingsChoice::cmbGtfInput, 1);
         w.timingsView.Type(T::txtGtfValue, "67.5");
       },
       Made(modes::GtfTiming(1920, 1080, modes::GtfInput::LineRate, 67500.0))},
      {"GTF from a pixel clock", kFullStop,
       [](Windows& w) {
         w.Source(Source::Gtf);
         w.timingsView.Choose(TimingsChoice::cmbGtfInput, 2);
         w.timingsView.Type(T::txtGtfValue, "172.798");
         w.timingsView.Tick(TimingsCheck::chkGtfInterlaced, true);
       },
       Made(modes::GtfTiming(1920, 1080, modes::GtfInput::PixelClock, 172798000.0, GtfWith(true, false)))},
      {"custom as it opens, comma locale", kComma, [](Windows& w) { w.Source(Source::Custom); },
       Figures({1920, 88, 44, 148, 1080, 4, 5, 36}, 148500000, true, true, "Custom")},
      {"custom typed in", kFullStop,
       [](Windows& w) {
         w.Source(Source::Custom);
         w.timingsView.Type(T::txtCustomClock, "25.175");
         w.timingsView.Type(T::txtCustomHActive, "640");
         w.timingsView.Type(T::txtCustomHFrontPorch, "16");
         w.timingsView.Type(T::txtCustomHSync, "96");
         w.timingsView.Type(T::txtCustomHBackPorch, "48");
         w.timingsView.Type(T::txtCustomVActive, "480");
         w.timingsView.Type(T::txtCustomVFrontPorch, "10");
         w.timingsView.Type(T::txtCustomVSync, "2");
         w.timingsView.Type(T::txtCustomVBackPorch, "33");
         w.timingsView.Tick(TimingsCheck::chkCustomHSync, false);
         w.timingsView.Tick(TimingsCheck::chkCustomVSync, false);
       },
       Figures({640, 16, 96, 48, 480, 10, 2, 33}, 25175000, false, false, "Custom")},
  };
  for (const Case& test : cases) {
    Windows w(test.locale);
    test.steps(w);
    ASSERT_TRUE(w.timings.Timing().has_value()) << test.name << ": " << w.timingsView.Reason();
    EXPECT_EQ(*w.timings.Timing(), test.expected) << test.name;
    EXPECT_EQ(w.timingsView.Reason(), "") << test.name;
    // The source line in the user's locale.
    std::string source = test.expected.source;
    if (test.locale.Separator() != ".") std::replace(source.begin(), source.end(), '.', ',');
    EXPECT_EQ(w.timingsView.Figures().source, source) << test.name;
    EXPECT_EQ(w.timingsView.ExportText(), modes::Modeline(test.expected)) << test.name;
  }
}

TEST(TimingsSources, FiguresToThreeDecimalsInTheUsersLocale) {
  Windows w(kComma);
  w.timingsView.Type(TimingsText::txtFilter, "0x24");
  const TimingFigures& f = w.timingsView.Figures();
  EXPECT_EQ(f.horizontal, (std::array<std::string, 6>{"1280", "16", "144", "248", "408", "1688"}));
  EXPECT_EQ(f.vertical, (std::array<std::string, 6>{"1024", "1", "3", "38", "42", "1066"}));
  EXPECT_EQ(f.pixelClock, "135 MHz");
  EXPECT_EQ(f.lineRate, "79,976 kHz");    // 79976.30331753555 Hz
  EXPECT_EQ(f.refreshRate, "75,025 Hz");  // 75.02467478192828 Hz
  EXPECT_EQ(f.fieldRate, "");
  EXPECT_EQ(f.hsync, "Positive");

  w.Source(Source::Cta);
  w.timingsView.Type(TimingsText::txtFilter, "VIC 5");  // 1920x1080i
  EXPECT_EQ(w.timingsView.Figures().pixelClock, "74,25 MHz");
  EXPECT_EQ(w.timingsView.Figures().refreshRate, "30,000 Hz");
  EXPECT_EQ(w.timingsView.Figures().fieldRate, "60,000 Hz");
  EXPECT_EQ(w.timingsView.Figures().vertical[0], "540");
  w.timingsView.Type(TimingsText::txtFilter, "VIC 1");
  EXPECT_EQ(w.timingsView.Figures().pixelClock, "25,175 MHz");
  EXPECT_EQ(w.timingsView.Figures().refreshRate, "59,940 Hz");
  // The machine formats keep their full stop and every figure exactly.
  EXPECT_EQ(w.timingsView.ExportText(),
            "Modeline \"640x480_59.94_c6dc5389\" 25.175 640 656 752 800 480 490 492 525 -hsync -vsync");
}

TEST(TimingsFilter, MatchesAsTheUserTypes) {
  struct Case {
    engine::NumberLocale locale;
    TimingSource source;
    const char* filter;
    std::vector<std::string> shown;
  };
  std::vector<std::string> dmt2x;
  for (int id = 0x20; id <= 0x2F; ++id) {
    char name[16];
    std::snprintf(name, sizeof name, "DMT 0x%02x", id);
    dmt2x.emplace_back(name);
  }
  const Case cases[] = {
      {kFullStop, Source::Dmt, "0x24", {"DMT 0x24"}},
      {kFullStop, Source::Dmt, "DMT 36", {"DMT 0x24"}},
      {kFullStop, Source::Dmt, "0x2", dmt2x},
      {kFullStop,
       Source::Dmt,
       "75Hz",
       {"DMT 0x06", "DMT 0x0b", "DMT 0x12", "DMT 0x15", "DMT 0x18", "DMT 0x1d", "DMT 0x24", "DMT 0x2b", "DMT 0x30",
        "DMT 0x36", "DMT 0x3b", "DMT 0x3f", "DMT 0x42", "DMT 0x46", "DMT 0x4a", "DMT 0x4e"}},
      {kFullStop, Source::Dmt, "1920 60 hz", {"DMT 0x44", "DMT 0x45", "DMT 0x49", "DMT 0x52"}},
      {kComma, Source::Dmt, "59,94Hz", {"DMT 0x04", "DMT 0x58"}},
      {kFullStop, Source::Dmt, "1024x768i", {"DMT 0x0f"}},
      {kFullStop, Source::Cta, "VIC 16", {"VIC 16"}},
      {kFullStop, Source::Cta, "vic1", {"VIC 1", "HDMI VIC 1"}},
      {kFullStop, Source::Cta, "3840x2160 30Hz", {"VIC 95", "VIC 105", "HDMI VIC 1"}},
      {kFullStop, Source::Cta, "0x24", {}},
      {kFullStop, Source::Dmt, "zzz", {}},
  };
  for (const Case& test : cases) {
    Windows w(test.locale);
    w.Source(test.source);
    w.timingsView.Type(TimingsText::txtFilter, test.filter);
    EXPECT_EQ(w.ShownSources(), test.shown) << test.filter;
    if (test.shown.empty()) {
      EXPECT_FALSE(w.timings.Timing().has_value()) << test.filter;
      EXPECT_EQ(w.timingsView.Reason(), std::string("No ") +
                                            (test.source == Source::Dmt ? "DMT mode" : "CTA-861 video format") +
                                            " matches \"" + test.filter + "\".");
    } else {
      // Typing alone picks the first mode shown.
      EXPECT_EQ(w.timingsView.ModeRow(), 0) << test.filter;
      EXPECT_EQ(w.timings.Timing()->source, test.shown.front()) << test.filter;
    }
  }
}

TEST(TimingsFilter, KeepsThePickWhileItIsShown) {
  Windows w;
  const auto type = [&](const char* text) { w.timingsView.Type(TimingsText::txtFilter, text); };
  EXPECT_EQ(w.timingsView.Modes().size(), modes::DmtModes().size());
  type("1280");
  w.timingsView.PickRow(3);
  const std::string picked = w.timingsView.SelectedMode();
  ASSERT_EQ(picked.substr(0, 8), w.timings.Timing()->source);
  type("");  // all shown again: the same mode stays picked
  EXPECT_EQ(w.timingsView.SelectedMode(), picked);
  EXPECT_EQ(w.timings.Timing()->source, picked.substr(0, 8));
  // Each source keeps its own pick.
  w.Source(Source::Cta);
  w.timingsView.PickRow(15);
  EXPECT_EQ(w.timings.Timing()->source, "VIC 16");
  w.Source(Source::Dmt);
  EXPECT_EQ(w.timingsView.SelectedMode(), picked);
}

TEST(TimingsErrors, ShowTheReasonAndNoStaleFigure) {
  using T = TimingsText;
  struct Case {
    engine::NumberLocale locale;
    std::function<void(Windows&)> steps;
    std::string reason;
  };
  const Case cases[] = {
      {kFullStop,
       [](Windows& w) {
         w.Source(Source::Cvt);
         w.timingsView.Type(T::txtCvtWidth, "19x0");
       },
       "The width must be a whole number from 8 to 32767, not \"19x0\"."},
      {kComma,
       [](Windows& w) {
         w.Source(Source::Cvt);
         w.timingsView.Type(T::txtCvtRate, "60.5");
       },
       "The rate must be a number from 1 to 10000 Hz, with , as the decimal separator, not \"60.5\"."},
      {kFullStop,
       [](Windows& w) {
         w.Source(Source::Cvt);
         w.timingsView.Choose(TimingsChoice::cmbCvtBlanking, 3);
         w.timingsView.Type(T::txtCvtHBlank, "300");
       },
       "The horizontal blanking must be from 80 to 200 pixels."},
      {kFullStop,
       [](Windows& w) {
         w.Source(Source::Gtf);
         w.timingsView.Type(T::txtGtfHeight, "");
       },
       "The height must be a whole number from 1 to 32767, not \"\"."},
      {kFullStop,
       [](Windows& w) {
         w.Source(Source::Custom);
         w.timingsView.Type(T::txtCustomClock, "148.5000001");
       },
       "The pixel clock must be a number of MHz from 0.000001 to 1000000 with six decimals at most, "
       "with . as the decimal separator, not \"148.5000001\"."},
      {kFullStop,
       [](Windows& w) {
         w.Source(Source::Custom);
         w.timingsView.Type(T::txtCustomVFrontPorch, "-1");
       },
       "The vertical front porch must be a whole number from 0 to 65535, not \"-1\"."},
      {kFullStop,
       [](Windows& w) {
         w.Source(Source::Calculator);
         w.TypeInCalculator(TimingField::txtHorSync, "400");
       },
       "The calculator's horizontal front porch and sync (416 pixels) are more than its horizontal blanking (408 "
       "pixels)."},
      {kComma,
       [](Windows& w) {
         w.Source(Source::Calculator);
         w.TypeInCalculator(TimingField::txtFrequency, "135.5");
       },
       "The calculator's pixel frequency \"135.5\" is not a number of MHz above 0, to the hertz (six decimals at "
       "most), with , as the decimal separator."},
      {kFullStop,
       [](Windows& w) {
         w.Source(Source::Calculator);
         w.TypeInCalculator(TimingField::txtVerActive, "1024.5");
       },
       "The calculator's vertical active \"1024.5\" is not a whole number from 1 to 65535."},
  };
  for (const Case& test : cases) {
    Windows w(test.locale);
    test.steps(w);
    EXPECT_FALSE(w.timings.Timing().has_value()) << test.reason;
    EXPECT_EQ(w.timingsView.Reason(), test.reason);
    EXPECT_EQ(w.timingsView.Figures(), TimingFigures{}) << test.reason;
    EXPECT_EQ(w.timingsView.ExportText(), "") << test.reason;
    EXPECT_EQ(w.timingsView.Links(), TextTable{}) << test.reason;
    for (const auto command :
         {TimingsCommand::cmdCopy, TimingsCommand::cmdSaveEdid, TimingsCommand::cmdUseInCalculator}) {
      EXPECT_FALSE(w.timingsView.Enabled(command)) << test.reason;
    }
    // Nothing is held over: the calculator's own timing shows again as soon
    // as its fields read.
    if (w.timings.Source() == Source::Calculator) {
      w.calculatorView.Pick(1);
      w.timings.Calculator_Change();
      EXPECT_EQ(w.timingsView.Figures().horizontal[0], "640");
      EXPECT_EQ(w.timingsView.Reason(), "");
      EXPECT_TRUE(w.timingsView.Enabled(TimingsCommand::cmdUseInCalculator));
    }
  }
}

std::string WithoutNewline(const std::string& text) {
  EXPECT_EQ(text.back(), '\n');
  return text.substr(0, text.size() - 1);
}

TEST(TimingsExports, OneFormatAtATimeAsTheLibraryWritesIt) {
  Windows w;
  w.timingsView.Type(TimingsText::txtFilter, "0x24");
  w.timingsView.Type(TimingsText::txtOutput, "HDMI-1");
  w.timingsView.Type(TimingsText::txtDisplayName, "Bench");
  const DisplayTiming dmt = Made(modes::DmtTiming(0x24));
  const std::string xrandr = modes::XrandrCommands(dmt, "HDMI-1");
  const std::string hex = modes::HexBytes(*modes::MakeEdid(dmt, "Bench"));
  struct Case {
    int format;
    std::string text;     // empty: refused
    std::string message;  // the reason
  };
  const Case cases[] = {
      {0, modes::Modeline(dmt), ""},
      {1, WithoutNewline(xrandr), ""},
      {2, "output HDMI-1 modeline " + modes::ModelineFields(dmt), ""},
      {3, "", modes::KernelModeOption(dmt, nullptr, "HDMI-1").error()},
      {4, WithoutNewline(modes::HexBytes(*modes::DescribeTiming(dmt))), ""},
      {5, WithoutNewline(hex), ""},
  };
  for (const Case& test : cases) {
    w.timingsView.Choose(TimingsChoice::cmbFormat, test.format);
    EXPECT_EQ(w.timingsView.ExportText(), test.text) << test.format;
    EXPECT_EQ(w.timingsView.ExportMessage(), test.message) << test.format;
    EXPECT_EQ(w.timingsView.Enabled(TimingsCommand::cmdCopy), !test.text.empty()) << test.format;
    w.timings.cmdCopy_Click();
    if (!test.text.empty()) {
      EXPECT_EQ(w.timingsView.Clipboard(), test.text) << test.format;
    }
  }
  // The kernel names a CVT mode; a bad output name is refused in place.
  w.Source(Source::Cvt);
  w.timingsView.Choose(TimingsChoice::cmbFormat, 3);
  EXPECT_EQ(w.timingsView.ExportText(), "video=HDMI-1:1920x1080M@60");
  w.timingsView.Type(TimingsText::txtOutput, "HDMI 1");
  EXPECT_EQ(w.timingsView.ExportText(), "");
  EXPECT_EQ(w.timingsView.ExportMessage(), "The output name takes letters, digits, '-', '_' and '.', such as HDMI-1.");
  EXPECT_FALSE(w.timingsView.Enabled(TimingsCommand::cmdCopy));
}

TEST(TimingsExports, SaveEdidWritesTheBlockWhereTheUserSays) {
  // A folder of this run alone: test runs may share the machine.
  const auto dir = std::filesystem::temp_directory_path() /
                   ("zarn-timings-save-edid-test-" + std::to_string(std::random_device{}()));
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  Windows w;
  w.timingsView.Type(TimingsText::txtFilter, "0x24");
  w.timingsView.Type(TimingsText::txtDisplayName, "Bench");
  const std::string path = (dir / "mode.bin").string();

  w.timingsView.AnswerPath(std::nullopt);  // cancelled: nothing written
  w.timings.cmdSaveEdid_Click();
  EXPECT_EQ(w.timingsView.SuggestedName(), "1280x1024_75.02.bin");
  EXPECT_FALSE(std::filesystem::exists(path));

  w.timingsView.AnswerPath(path);
  w.timings.cmdSaveEdid_Click();
  std::vector<char> bytes(256);
  {
    std::ifstream file(path, std::ios::binary);  // closed before the folder goes
    file.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(file.gcount()));
  }
  const modes::EdidBytes expected = *modes::MakeEdid(Made(modes::DmtTiming(0x24)), "Bench");
  EXPECT_EQ(bytes, std::vector<char>(expected.begin(), expected.end()));
  EXPECT_EQ(w.timingsView.ExportMessage(), "Saved the EDID (128 bytes) to " + path + ".");

  w.timingsView.AnswerPath((dir / "no-such-folder" / "mode.bin").string());
  w.timings.cmdSaveEdid_Click();
  EXPECT_EQ(w.timingsView.ExportMessage().rfind("Cannot write " + (dir / "no-such-folder" / "mode.bin").string(), 0),
            0u);

  // A name the EDID cannot hold: the reason, and no dialog.
  w.timingsView.Type(TimingsText::txtDisplayName, "Fourteen chars");
  w.timingsView.AnswerPath(path + ".2");
  w.timings.cmdSaveEdid_Click();
  EXPECT_FALSE(std::filesystem::exists(path + ".2"));
  EXPECT_EQ(w.timingsView.ExportMessage(),
            "The display name \"Fourteen chars\" has 14 characters, more than the 13 an EDID holds.");
  EXPECT_FALSE(w.timingsView.Enabled(TimingsCommand::cmdSaveEdid));
  EXPECT_EQ(w.timingsView.EdidProblem(), w.timingsView.ExportMessage());
  std::filesystem::remove_all(dir);
}

TEST(TimingsLinks, DataRatesAndLinksInTheUsersLocale) {
  Windows w(kComma);
  w.Source(Source::Cta);
  w.timingsView.Type(TimingsText::txtFilter, "VIC 1");  // 25.175 MHz
  const TextTable& rates = w.timingsView.DataRates();
  EXPECT_EQ(rates.rows, (std::vector<std::string>{"RGB/4:4:4", "4:2:2", "4:2:0"}));
  EXPECT_EQ(rates.columns.front(), "6 bit");
  EXPECT_EQ(rates.cells[0][0], "453,1");  // 25.175 MHz x 18 bits, 453.15 Mbit/s to one decimal, down
  EXPECT_EQ(rates.cells[0][1], "604,2");
  EXPECT_EQ(rates.cells[1][0], kNoneText);  // no 6-bit 4:2:2
  const std::vector<modes::LinkCheck> links = modes::CheckLinks(*w.timings.Timing());
  ASSERT_EQ(w.timingsView.Links().rows.size(), links.size());
  EXPECT_EQ(w.timingsView.Links().rows.front(), links.front().name);
  EXPECT_EQ(w.timingsView.Links().cells.front()[1], "8 bit");  // DVI: RGB at 8 bits only
  EXPECT_EQ(w.timingsView.Links().cells.front()[2], kNoneText);
}

// The fields in the order the calculator writes a preset, read from what it
// does when one is picked.
std::vector<TimingField> PresetOrder() {
  MemoryMainView view;
  MainController calculator(view, kFullStop);
  view.Attach(calculator);
  calculator.Form_Load();
  view.ClearEvents();
  view.Pick(1);
  std::vector<TimingField> order;
  for (const auto& event : view.Events()) {
    if (event.kind == Kind::Write && event.field != TimingField::txtRefreshRate) order.push_back(event.field);
  }
  return order;
}

TEST(UseInCalculator, WritesThroughTheCalculatorInPresetOrderAsIfTyped) {
  Windows w;
  w.Source(Source::Cvt);
  w.timingsView.Type(TimingsText::txtCvtWidth, "2560");
  w.timingsView.Type(TimingsText::txtCvtHeight, "1440");
  w.timingsView.Type(TimingsText::txtCvtRate, "144");
  w.timingsView.Choose(TimingsChoice::cmbCvtBlanking, 2);
  w.calculatorView.ClearEvents();
  w.timings.cmdUseInCalculator_Click();

  std::vector<TimingField> order;
  std::vector<std::string> texts;
  int changes = 0;
  for (const auto& event : w.calculatorView.Events()) {
    if (event.kind == Kind::Write && event.depth == 0) {
      order.push_back(event.field);
      texts.push_back(event.text);
    }
    if (event.kind == Kind::Change && event.depth == 0) ++changes;
  }
  EXPECT_EQ(order, PresetOrder());
  EXPECT_EQ(texts, (std::vector<std::string>{"586.586", "2560", "8", "32", "1440", "89", "8", "80", "103"}));
  EXPECT_EQ(changes, 9);  // every write changed its field and ran its handler
  EXPECT_TRUE(w.timingsView.Questions().empty());
  EXPECT_EQ(w.calculatorView.ModeIndex(), 0);
  EXPECT_EQ(w.calculatorView.FieldText(TimingField::txtRefreshRate), "144");
  EXPECT_EQ(w.calculatorView.Caption(), "Horizontal Frequency = 222.19 KHz");

  // In a comma locale the frequency goes in with a comma.
  Windows comma(kComma);
  comma.Source(Source::Cta);
  comma.timingsView.Type(TimingsText::txtFilter, "VIC 1");
  comma.timings.cmdUseInCalculator_Click();
  EXPECT_EQ(comma.calculatorView.FieldText(TimingField::txtFrequency), "25,175");
  EXPECT_EQ(comma.calculatorView.FieldText(TimingField::txtRefreshRate), "59,9");
}

TEST(UseInCalculator, AsksFirstWhenTheCalculatorCannotHoldTheTiming) {
  Windows w;
  w.Source(Source::Cta);
  w.timingsView.Type(TimingsText::txtFilter, "VIC 5");  // 1920x1080i: 2 x 540 lines + 2 x 22.5 of blanking
  w.calculatorView.ClearEvents();
  w.timingsView.AnswerConfirm(false);
  w.timings.cmdUseInCalculator_Click();
  ASSERT_EQ(w.timingsView.Questions().size(), 1u);
  EXPECT_NE(w.timingsView.Questions()[0].find("no interlaced timings"), std::string::npos);
  EXPECT_NE(w.timingsView.Questions()[0].find("1080 active lines and 45 lines of blanking"), std::string::npos);
  EXPECT_TRUE(w.calculatorView.Events().empty());  // declined: nothing written

  w.timingsView.AnswerConfirm(true);
  w.timings.cmdUseInCalculator_Click();
  EXPECT_EQ(w.calculatorView.FieldText(TimingField::txtVerActive), "1080");
  EXPECT_EQ(w.calculatorView.FieldText(TimingField::txtVerBlanking), "45");
  EXPECT_EQ(w.calculatorView.FieldText(TimingField::txtFrequency), "74.25");
  EXPECT_EQ(w.calculatorView.FieldText(TimingField::txtRefreshRate), "30");  // the frame rate
}

TEST(UseInCalculator, TheCalculatorSourceFollowsTheCalculator) {
  Windows w;
  w.Source(Source::Calculator);
  w.TypeInCalculator(TimingField::txtHorActive, "1920");
  EXPECT_EQ(w.timingsView.Figures().horizontal[0], "1920");
  // Written from the Timings window itself: the figures follow once the
  // writing is done, from the calculator's final texts.
  w.timings.cmdUseInCalculator_Click();
  EXPECT_EQ(w.timingsView.Figures().horizontal[0], "1920");
  EXPECT_EQ(w.timings.Timing()->pixel_clock_hz, 135000000u);
  w.timings.cmdClose_Click();
  EXPECT_TRUE(w.timingsView.Closed());
}

}  // namespace
}  // namespace zarn::forms

namespace zarn::forms {
namespace {

TEST(TimingsLabels, FieldRatesAndWhyNoEdid) {
  Windows w;
  w.Source(Source::Cvt);
  EXPECT_EQ(w.timingsView.FieldRates(), std::make_pair(false, false));
  w.timingsView.Tick(TimingsCheck::chkCvtInterlaced, true);
  EXPECT_EQ(w.timingsView.FieldRates(), std::make_pair(true, false));  // the rate typed is the field rate
  w.timingsView.Tick(TimingsCheck::chkGtfInterlaced, true);
  EXPECT_EQ(w.timingsView.FieldRates(), std::make_pair(true, true));
  EXPECT_TRUE(w.timingsView.Enabled(TimingsCommand::cmdSaveEdid));
  EXPECT_EQ(w.timingsView.EdidProblem(), "");
  // 2560x1440 at 144 Hz, reduced blanking v2: 586.586 MHz, between 10 kHz
  // steps. No EDID, and why.
  w.timingsView.Type(TimingsText::txtCvtWidth, "2560");
  w.timingsView.Type(TimingsText::txtCvtHeight, "1440");
  w.timingsView.Type(TimingsText::txtCvtRate, "144");
  w.timingsView.Choose(TimingsChoice::cmbCvtBlanking, 2);
  EXPECT_FALSE(w.timingsView.Enabled(TimingsCommand::cmdSaveEdid));
  EXPECT_NE(w.timingsView.EdidProblem().find("10 kHz"), std::string::npos) << w.timingsView.EdidProblem();
}

}  // namespace
}  // namespace zarn::forms

namespace zarn::forms {
namespace {

TEST(TimingsEdid, MonitorsFilesAndPastedHexGiveTheirTimings) {
  const auto read = [](const std::string& name) { return ReadBytes(ZARN_TEST_DATA_DIR "/edid/" + name); };
  const std::vector<platform::MonitorEdid> attached = {
      {"DP-1", "card0-DP-1", read("Digital_AOC_AOC2267_0919A15B97C4.bin")},
      {"HDMI-A-1", "card0-HDMI-A-1", {0x00, 0xFF}},  // a broken EDID
  };
  MemoryMainView calculatorView;
  MainController calculator(calculatorView, kFullStop);
  calculatorView.Attach(calculator);
  calculator.Form_Load();
  MemoryTimingsView view;
  TimingsController timings(view, calculator, kFullStop, [&] { return attached; });
  view.Attach(timings);
  timings.Form_Load();

  view.Choose(TimingsChoice::cmbSource, static_cast<int>(TimingSource::Edid));
  EXPECT_EQ(view.Monitors(), (std::vector<std::string>{"DP-1: 2267W", "HDMI-A-1: no EDID"}));
  EXPECT_EQ(view.EdidIdentity().rfind("DP-1: AOC 2267W (AOC 2267, serial 2250)", 0), 0u) << view.EdidIdentity();
  ASSERT_EQ(view.EdidTimings().size(), 21u);
  // The preferred timing is picked, and everything follows from it.
  EXPECT_EQ(view.EdidTimings()[20], "21. DTD 1 (preferred): 1920x1080 at 60.000 Hz, 148.5 MHz");
  ASSERT_TRUE(timings.Timing());
  EXPECT_EQ(timings.Timing()->pixel_clock_hz, 148'500'000u);
  view.PickEdidRow(13);
  EXPECT_EQ(timings.Timing()->source, "Established: DMT 0x24");
  // A monitor whose EDID does not read: the reason, no timing.
  view.Choose(TimingsChoice::cmbMonitor, 1);
  EXPECT_FALSE(timings.Timing());
  EXPECT_NE(view.Reason().find("HDMI-A-1 holds no EDID"), std::string::npos) << view.Reason();
  // Pasted hex, as xrandr --verbose prints it.
  std::string hex = "\tEDID:\n";
  const std::vector<std::uint8_t> bytes = attached[0].edid;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    char pair[3];
    std::snprintf(pair, sizeof pair, "%02x", static_cast<unsigned>(bytes[i]));
    hex += (i % 16 == 0 ? "\t\t" : "") + std::string(pair) + (i % 16 == 15 ? "\n" : "");
  }
  view.SetClipboard(hex);
  timings.cmdPasteEdid_Click();
  EXPECT_EQ(timings.Timing()->pixel_clock_hz, 148'500'000u);
  EXPECT_EQ(view.EdidIdentity().rfind("The clipboard: AOC 2267W", 0), 0u) << view.EdidIdentity();
  // A file that is not one.
  view.AnswerFile(ZARN_TEST_DATA_DIR "/edid_requests.txt");
  timings.cmdOpenEdid_Click();
  EXPECT_FALSE(timings.Timing());
  EXPECT_NE(view.Reason().find("holds no EDID"), std::string::npos) << view.Reason();
}

#ifdef ZARN_TIMING_PROGRAM
// A monitor's EDID edited in the window, saved, and installed by zarn-timing
// itself into a folder laid out as the system is.
TEST(TimingsEdid, EditsAreShownSavedUndoneAndInstalled) {
  const auto read = ReadBytes;
  const std::filesystem::path corpus = ZARN_TEST_DATA_DIR "/edid";
  const std::vector<std::uint8_t> dell = read(corpus / "Digital_Dell_DELA11D_912DB5C2B1E8.bin");
  const std::vector<platform::MonitorEdid> attached = {
      {"DP-1", "card0-DP-1", dell},
      {"HDMI-A-1", "card0-HDMI-A-1", read(corpus / "Digital_AOC_AOC2267_0919A15B97C4.bin")},
  };
  const std::filesystem::path root =
      std::filesystem::temp_directory_path() / ("zarn-timings-install-test-" + std::to_string(std::random_device{}()));
  std::filesystem::create_directories(root / "sys/class/drm/card0-DP-1");
  std::ofstream(root / "sys/class/drm/card0-DP-1/edid", std::ios::binary)
      .write(reinterpret_cast<const char*>(dell.data()), static_cast<std::streamsize>(dell.size()));
  MemoryMainView calculatorView;
  MainController calculator(calculatorView, kFullStop);
  calculatorView.Attach(calculator);
  calculator.Form_Load();
  MemoryTimingsView view;
  TimingsController timings(
      view, calculator, kFullStop, [&] { return attached; },
      std::make_shared<CommandLineInstaller>(ZARN_TIMING_PROGRAM, root.string()));
  view.Attach(timings);
  timings.Form_Load();
  view.Type(TimingsText::txtCvtRate, "144");
  view.Choose(TimingsChoice::cmbCvtBlanking, 2);
  view.Choose(TimingsChoice::cmbSource, static_cast<int>(TimingSource::Edid));
  EXPECT_EQ(view.EdidChanges(), "");
  EXPECT_FALSE(view.Enabled(TimingsCommand::cmdEdidRevert));

  // Add offers every other source's timing; choosing none changes nothing.
  timings.cmdEdidAdd_Click();
  const auto& offered = view.Offered();
  const auto cvt = std::find(offered.begin(), offered.end(), "CVT: 1920x1080 at 144.000 Hz, 333.216 MHz");
  ASSERT_NE(cvt, offered.end()) << ::testing::PrintToString(offered);
  EXPECT_EQ(timings.Edid(), dell);
  view.AnswerChoice(static_cast<int>(cvt - offered.begin()));
  timings.cmdEdidAdd_Click();
  ASSERT_TRUE(timings.Timing());
  EXPECT_EQ(timings.Timing()->pixel_clock_hz, 333'216'000u);  // the new timing, picked
  EXPECT_NE(view.EdidChanges().find("CVT-RB2 1920x1080@144"), std::string::npos) << view.EdidChanges();
  EXPECT_TRUE(view.Enabled(TimingsCommand::cmdEdidRevert));
  timings.cmdEdidPrefer_Click();
  // Its vertical front porch is more than a DTD holds: DisplayID's preferred.
  EXPECT_TRUE(std::any_of(view.EdidTimings().begin(), view.EdidTimings().end(), [](const std::string& item) {
    return item.find("DisplayID Type VII 2 (preferred): 1920x1080 at 144.000 Hz") != item.npos;
  }));
  EXPECT_NE(view.EdidChanges().find("software that reads only the base block keeps DTD 1"), std::string::npos);
  // The variable refresh range; a rate mistyped changes nothing and says why.
  view.Type(TimingsText::txtEdidMinRate, "48");
  view.Type(TimingsText::txtEdidMaxRate, "144");
  view.Tick(TimingsCheck::chkEdidVrr, true);
  timings.cmdEdidRange_Click();
  EXPECT_NE(view.EdidChanges().find("48-144 Hz"), std::string::npos) << view.EdidChanges();
  const std::vector<std::uint8_t> edited = timings.Edid();
  view.Type(TimingsText::txtEdidMinRate, "4x8");
  timings.cmdEdidRange_Click();
  EXPECT_EQ(timings.Edid(), edited);
  EXPECT_NE(view.EdidChanges().find("\nNot changed: The lowest refresh rate takes a whole number"), std::string::npos);
  view.Type(TimingsText::txtEdidName, "Bench");
  timings.cmdEdidName_Click();
  EXPECT_NE(view.EdidIdentity().find("DP-1, edited: DEL Bench"), std::string::npos) << view.EdidIdentity();

  // Saved whole, under a name that says it is edited.
  const std::filesystem::path saved = root / "saved.bin";
  view.AnswerPath(saved.string());
  timings.cmdSaveEdid_Click();
  EXPECT_EQ(read(saved), timings.Edid());
  EXPECT_EQ(view.SuggestedName(), "Bench-edited.bin");
  // Another monitor's EDID replaces the edits only if the user lets them go.
  view.AnswerConfirm(false);
  view.Choose(TimingsChoice::cmbMonitor, 1);
  EXPECT_EQ(view.Choice(TimingsChoice::cmbMonitor), 0);
  EXPECT_EQ(view.Questions().back(), "Discard the edits made to the EDID of DP-1?");
  EXPECT_NE(timings.Edid(), dell);

  // Installing: which monitor, the steps, and nothing done without a yes.
  const std::filesystem::path firmware = root / "usr/lib/firmware/edid/zarn-DP-1.bin";
  view.AnswerChoice(0);
  timings.cmdEdidInstall_Click();
  EXPECT_EQ(view.Offered(), (std::vector<std::string>{"For DP-1: DELL P2419HC", "For HDMI-A-1: 2267W"}));
  EXPECT_EQ(view.Questions().back(), "Install this EDID for DP-1?");
  EXPECT_NE(view.InstallSteps().find("zarn-DP-1.bin"), std::string::npos) << view.InstallSteps();
  EXPECT_FALSE(std::filesystem::exists(firmware));
  view.AnswerInstall(true);
  timings.cmdEdidInstall_Click();
  EXPECT_EQ(read(firmware), timings.Edid());
  EXPECT_EQ(read(root / "var/lib/zarn/edid/DP-1.original.bin"), dell);
  ASSERT_FALSE(view.Messages().empty());
  EXPECT_NE(view.Messages().back().find("drm.edid_firmware=DP-1:edid/zarn-DP-1.bin"), std::string::npos)
      << view.Messages().back();

  // Revert: the EDID as read, and then another monitor without a question.
  timings.cmdEdidRevert_Click();
  EXPECT_EQ(timings.Edid(), dell);
  EXPECT_EQ(view.EdidChanges(), "");
  const std::size_t asked = view.Questions().size();
  view.Choose(TimingsChoice::cmbMonitor, 1);
  EXPECT_EQ(view.Questions().size(), asked);
  EXPECT_EQ(timings.Edid(), attached[1].edid);
  std::filesystem::remove_all(root);
}
#endif

TEST(TimingsKernel, TheKernelsOwnModeOfAnOption) {
  Windows w;
  w.Source(Source::Kernel);
  ASSERT_TRUE(w.timings.Timing()) << w.timingsView.Reason();
  EXPECT_EQ(w.timings.Timing()->source, "Kernel 1920x1080M@60");
  EXPECT_EQ(w.timings.Timing()->pixel_clock_hz, 173'106'000u);  // CVT: 173 MHz; the kernel does not round
  w.timingsView.Type(TimingsText::txtKernelOption, "1920x1080M@60x");
  EXPECT_FALSE(w.timings.Timing());
  EXPECT_NE(w.timingsView.Reason().find("1920x1080M@60x"), std::string::npos) << w.timingsView.Reason();
}

}  // namespace
}  // namespace zarn::forms

namespace zarn::forms {
namespace {

TEST(TimingsLinks, WorkedOutOnlyWhenShown) {
  Windows w;
  w.timingsView.ShowLinksTab(false);
  w.timingsView.Type(TimingsText::txtFilter, "0x24");
  const TextTable before = w.timingsView.Links();
  w.timingsView.Type(TimingsText::txtFilter, "0x52");
  EXPECT_EQ(w.timingsView.Links(), before);  // not worked out while hidden
  w.timingsView.ShowLinksTab(true);
  EXPECT_EQ(w.timingsView.Links(), LinkTable(*modes::DmtTiming(0x52), kFullStop));
}

}  // namespace
}  // namespace zarn::forms
