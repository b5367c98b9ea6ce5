// Figures: each computation alone, and one keystroke in a geometry field
// through the controller and the in-memory window (the whole nested chain:
// the list back to "-", its click, two refresh-rate writes, two captions).
#include <benchmark/benchmark.h>

#include "engine/format_single.h"
#include "engine/timing.h"
#include "forms/main/main_controller.h"
#include "tests/support/memory_main_view.h"

namespace {

using namespace zarn;
using engine::TimingField;

const engine::NumberLocale kLocale{"."};
const engine::TimingFields kStartUp{"135", "75", "1280", "16", "144", "408", "1024", "1", "3", "42"};

void BM_ComputeRefreshRate(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(engine::ComputeRefreshRate(kStartUp, kLocale));
}
BENCHMARK(BM_ComputeRefreshRate);

void BM_ComputePixelFrequency(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(engine::ComputePixelFrequency(kStartUp, kLocale));
}
BENCHMARK(BM_ComputePixelFrequency);

void BM_ComputeHorizontalFrequency(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(engine::ComputeHorizontalFrequency(kStartUp, kLocale));
}
BENCHMARK(BM_ComputeHorizontalFrequency);

void BM_HorizontalFrequencyCaption(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(engine::HorizontalFrequencyCaption(kStartUp, kLocale));
}
BENCHMARK(BM_HorizontalFrequencyCaption);

void BM_FormatSingle(benchmark::State& state) {
  float value = 79.98f;
  for (auto _ : state) {
    benchmark::DoNotOptimize(engine::FormatSingle(value, kLocale));
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_FormatSingle);

// One keystroke in txtHorBlanking while a preset is shown: each iteration
// re-selects the preset (untimed) so the list goes back to "-" every time.
void BM_GeometryKeystroke(benchmark::State& state) {
  testing::MemoryMainView view;
  forms::MainController controller(view, kLocale);
  view.Attach(controller);
  controller.Form_Load();
  bool toggle = false;
  for (auto _ : state) {
    state.PauseTiming();
    view.Pick(4);
    view.ClearEvents();
    toggle = !toggle;
    state.ResumeTiming();
    view.Type(TimingField::txtHorBlanking, toggle ? "4080" : "408");
  }
}
BENCHMARK(BM_GeometryKeystroke);

}  // namespace

BENCHMARK_MAIN();
