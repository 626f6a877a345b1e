// Times the text forms of one N = 49 design: the results list and the result file
// together (goal: within 0.4 ms), and the drawing as SVG (goal: within 1 ms). The
// design run itself is timed beside them as the yardstick of the same machine.
#include <benchmark/benchmark.h>

#include "nozzle/design.h"
#include "report/drawing_plan.h"
#include "report/result_file.h"
#include "report/results_list.h"

namespace {

const nozzle::DesignResult& FortyNineWaves() {
  static const nozzle::DesignResult result = nozzle::Design({2.4, 0.373, 49.0});
  return result;
}

void BM_DesignOfFortyNineWaves(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(nozzle::Design({2.4, 0.373, 49.0}));
}
BENCHMARK(BM_DesignOfFortyNineWaves)->Unit(benchmark::kMicrosecond);

void BM_ListAndFileText(benchmark::State& state) {
  const nozzle::DesignResult& result = FortyNineWaves();
  for (auto _ : state) {
    benchmark::DoNotOptimize(report::ResultsListLines(result));
    benchmark::DoNotOptimize(report::ResultFileText(result));
  }
}
BENCHMARK(BM_ListAndFileText)->Unit(benchmark::kMicrosecond);

void BM_DrawingSvg(benchmark::State& state) {
  const report::DrawingPlan plan = report::MakeDrawingPlan(nozzle::RecordOf(FortyNineWaves()));
  for (auto _ : state) benchmark::DoNotOptimize(report::DrawingSvg(plan, 449, 265));
}
BENCHMARK(BM_DrawingSvg)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
