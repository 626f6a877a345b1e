// Times the STEP solid of a design (goal: within 100 ms a design run), round and
// planar, the B-spline alone and the design run itself beside them: a round Me 2.4 of
// N = 25 and a planar one of N = 49, 10 mm throat.
#include <benchmark/benchmark.h>

#include "nozzle/design.h"
#include "nozzle/design_record.h"
#include "nozzle/minimum_length.h"
#include "report/step_file.h"
#include "report/wall_spline.h"

namespace {

const nozzle::DesignRecord& Round() {
  static const nozzle::DesignRecord record = nozzle::RecordOf(nozzle::DesignAxisymmetric({2.4, 0.373, 25.0, 1.4}));
  return record;
}

const nozzle::DesignRecord& Planar() {
  static const nozzle::DesignRecord record = nozzle::RecordOf(nozzle::Design({2.4, 0.373, 49.0}));
  return record;
}

const report::LengthScale kScale{10.0, "mm", 4};

void BM_RoundDesign(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(nozzle::DesignAxisymmetric({2.4, 0.373, 25.0, 1.4}));
}
BENCHMARK(BM_RoundDesign)->Unit(benchmark::kMillisecond);

void BM_WallSpline(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(report::FitWall(Round(), 10.0));
}
BENCHMARK(BM_WallSpline)->Unit(benchmark::kMillisecond);

void BM_RoundStepSolid(benchmark::State& state) {
  const report::SolidOptions options = report::DefaultSolidOptions(Round(), kScale);
  for (auto _ : state) benchmark::DoNotOptimize(report::NozzleStep(Round(), kScale, options));
}
BENCHMARK(BM_RoundStepSolid)->Unit(benchmark::kMillisecond);

void BM_PlanarStepSolid(benchmark::State& state) {
  const report::SolidOptions options = report::DefaultSolidOptions(Planar(), kScale);
  for (auto _ : state) benchmark::DoNotOptimize(report::NozzleStep(Planar(), kScale, options));
}
BENCHMARK(BM_PlanarStepSolid)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
