// One keystroke through the real Qt widgets on the offscreen platform: a digit
// typed into txtHorBlanking while a preset is shown, with its whole chain (the
// list back to "-", its click, two refresh-rate writes and two captions); and
// a digit typed after a megabyte of text.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include <memory>

#include "app/startup.h"
#include "forms/qt/main_window.h"

namespace {

void BM_WindowGeometryKeystroke(benchmark::State& state) {
  zarn::forms::MainWindow window(zarn::engine::NumberLocale{"."});
  window.Form_Load();
  window.show();
  auto* blanking = window.findChild<QLineEdit*>(QStringLiteral("txtHorBlanking"));
  auto* mode = window.findChild<QComboBox*>(QStringLiteral("cmbMode"));
  blanking->setFocus();
  for (auto _ : state) {
    state.PauseTiming();
    mode->setCurrentIndex(4);  // the preset again: "408", list on row 4
    state.ResumeTiming();
    QTest::keyClick(blanking, Qt::Key_0);
  }
  if (mode->currentIndex() != 0 || blanking->text() != QStringLiteral("4080")) state.SkipWithError("chain did not run");
}
BENCHMARK(BM_WindowGeometryKeystroke);

// The same keystroke with the Timings window open beside the calculator on
// its Calculator source, which follows every change of the fields.
void BM_WindowGeometryKeystrokeWithTimings(benchmark::State& state) {
  zarn::forms::MainWindow window(zarn::engine::NumberLocale{"."}, {}, zarn::app::TimingsWindowFactory());
  window.Form_Load();
  window.show();
  window.ShowTimings();
  window.Timings()->findChild<QComboBox*>(QStringLiteral("cmbSource"))->setCurrentIndex(0);
  QCoreApplication::processEvents();
  auto* blanking = window.findChild<QLineEdit*>(QStringLiteral("txtHorBlanking"));
  auto* mode = window.findChild<QComboBox*>(QStringLiteral("cmbMode"));
  auto* total = window.Timings()->findChild<QLabel*>(QStringLiteral("lblHTotal"));
  window.activateWindow();
  blanking->setFocus();
  for (auto _ : state) {
    state.PauseTiming();
    mode->setCurrentIndex(4);  // the preset again: "408", list on row 4
    state.ResumeTiming();
    QTest::keyClick(blanking, Qt::Key_0);
  }
  if (mode->currentIndex() != 0 || total->text() != QStringLiteral("5360")) state.SkipWithError("chain did not run");
}
BENCHMARK(BM_WindowGeometryKeystrokeWithTimings);

// Opening the Timings window in the program: made, loaded and shown.
void BM_OpenTimingsWindow(benchmark::State& state) {
  zarn::forms::MainWindow calculator(zarn::engine::NumberLocale{"."});
  calculator.Form_Load();
  const auto factory = zarn::app::TimingsWindowFactory();
  for (auto _ : state) {
    auto timings = factory(calculator.Controller(), zarn::engine::NumberLocale{"."});
    timings->show();
    QCoreApplication::processEvents();
    state.PauseTiming();
    timings.reset();
    QCoreApplication::processEvents();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_OpenTimingsWindow)->Unit(benchmark::kMillisecond);

// The calculator opened the same way, for scale.
void BM_OpenCalculator(benchmark::State& state) {
  for (auto _ : state) {
    auto calculator = std::make_unique<zarn::forms::MainWindow>(zarn::engine::NumberLocale{"."});
    calculator->Form_Load();
    calculator->show();
    QCoreApplication::processEvents();
    state.PauseTiming();
    calculator.reset();
    QCoreApplication::processEvents();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_OpenCalculator)->Unit(benchmark::kMillisecond);

// Of that: making and loading it, before it is shown.
void BM_MakeTimingsWindow(benchmark::State& state) {
  zarn::forms::MainWindow calculator(zarn::engine::NumberLocale{"."});
  calculator.Form_Load();
  const auto factory = zarn::app::TimingsWindowFactory();
  for (auto _ : state) {
    auto timings = factory(calculator.Controller(), zarn::engine::NumberLocale{"."});
    state.PauseTiming();
    timings.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_MakeTimingsWindow)->Unit(benchmark::kMillisecond);

// The same keystroke at the end of a megabyte of digits in txtHorActive: the
// field lays out its whole text anew, and the controller reads it three times
// (its mark, the refresh rate, the caption). Argument 1 adds the repaint.
void BM_WindowKeystrokeAfterAMegabyte(benchmark::State& state) {
  zarn::forms::MainWindow window(zarn::engine::NumberLocale{"."});
  window.Form_Load();
  window.show();
  auto* active = window.findChild<QLineEdit*>(QStringLiteral("txtHorActive"));
  const QString megabyte(1 << 20, u'1');
  active->setText(megabyte);
  active->setFocus();
  active->end(false);
  QCoreApplication::processEvents();
  const bool repaint = state.range(0) != 0;
  for (auto _ : state) {
    QTest::keyClick(active, Qt::Key_0);
    if (repaint) QCoreApplication::processEvents();
    state.PauseTiming();
    QTest::keyClick(active, Qt::Key_Backspace);
    QCoreApplication::processEvents();
    state.ResumeTiming();
  }
  if (active->text() != megabyte) state.SkipWithError("the text was not kept");
}
BENCHMARK(BM_WindowKeystrokeAfterAMegabyte)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
