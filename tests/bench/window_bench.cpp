// One keystroke through the real Qt widgets on the offscreen platform: a digit
// typed into txtHorBlanking while a preset is shown, with its whole chain (the
// list back to "-", its click, two refresh-rate writes and two captions).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include "forms/main/main_window.h"

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

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
