// The species tree window's redraw: a synthetic history of 100 species over
// 300 years (3,600 months, thinned to the history's capacity as a real one
// is), laid out and painted into a picture of the window's size, as the
// window does when a month's grouping was recorded. Runs headless.
//
//   SpeciesTreeLayout          the layout alone
//   SpeciesTreeRedraw/zoom:Z   layout, the scene and its painting; zoom 1
//                              the whole history, 10 a tenth of it
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <cmath>
#include <vector>

#include "sim/species_tree_layout.h"
#include "ui/species_tree_window.h"

namespace {

using namespace ombrivale;

constexpr int kSpecies = 100;
constexpr uint64_t kMonths = 300 * 12;
constexpr int kWidth = 752;  // the view of a window of 760 x 460
constexpr int kHeight = 410;

// Species i (from 1) appears at month 36 (i - 1) from a species living then
// (the first lives throughout) and lives 30 to 130 years, its adults rising
// and falling between 1 and some 400.
SpeciesHistory MakeHistory() {
  SpeciesHistory history;
  uint64_t seed = 12345;
  const auto draw = [&seed](uint64_t range) {
    seed = seed * 6364136223846793005u + 1442695040888963407u;
    return (seed >> 33) % range;
  };
  std::vector<uint64_t> ends(kSpecies + 1);
  for (uint64_t month = 0; month < kMonths; ++month) {
    for (int number = 1; number <= kSpecies; ++number) {
      const uint64_t first = 36 * static_cast<uint64_t>(number - 1);
      if (month < first || (month > first && month > ends[static_cast<size_t>(number)])) continue;
      const double phase = static_cast<double>(month - first) / 120.0 + number;
      const auto count = static_cast<uint16_t>(200 + 199 * std::sin(phase));
      if (month > first) {
        NoteSpeciesCount(history, *FindSpeciesLife(history, number), month, count);
        continue;
      }
      ends[static_cast<size_t>(number)] = number == 1 ? kMonths : month + 360 + draw(1200);
      int32_t parent = 0;
      for (int tries = 0; number > 1 && parent == 0; ++tries) {
        const auto candidate = static_cast<int32_t>(1 + draw(static_cast<uint64_t>(number - 1)));
        if (ends[static_cast<size_t>(candidate)] >= month || tries > 20) parent = candidate;
      }
      if (number > 1 && ends[static_cast<size_t>(parent)] < month) parent = 1;
      AddSpeciesLife(history, number, parent, month, count);
    }
    history.nextMonth = month + 1;
    ThinSpeciesHistory(history);
  }
  return history;
}

void SpeciesTreeLayoutBench(benchmark::State& state) {
  const SpeciesHistory history = MakeHistory();
  SpeciesTreeLayout layout;
  for (auto _ : state) {
    LayOutSpeciesTree(history, {}, layout);
    benchmark::DoNotOptimize(layout.bands.data());
  }
  state.counters["points"] = static_cast<double>(history.points);
}
BENCHMARK(SpeciesTreeLayoutBench)->Name("SpeciesTreeLayout")->Unit(benchmark::kMillisecond);

void SpeciesTreeRedraw(benchmark::State& state) {
  const SpeciesHistory history = MakeHistory();
  SpeciesTreeLayout layout;
  SpeciesTreeScene scene;
  QImage image(kWidth, kHeight, QImage::Format_RGB32);
  const double years = static_cast<double>(kMonths) / 12;
  const double from = years / 2 - years / 2 / static_cast<double>(state.range(0));
  const double to = years / 2 + years / 2 / static_cast<double>(state.range(0));
  for (auto _ : state) {
    LayOutSpeciesTree(history, {}, layout);
    DrawSpeciesTree(layout, FrameTree(layout, from, to, kWidth, kHeight), SpeciesPalette::OkabeIto,
                    kWidth, kHeight, scene);
    QPainter painter(&image);
    ui::PaintSpeciesTreeScene(painter, scene);
  }
  state.counters["bands"] = static_cast<double>(scene.polygons.size());
}
BENCHMARK(SpeciesTreeRedraw)->ArgName("zoom")->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
