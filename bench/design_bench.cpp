// Times one design run, and beside it the floor that the mathematics library sets:
// a loop making as many atan and tan calls as the N = 49 run's algorithm makes
// without reuse (the run itself iterates each distinct Prandtl-Meyer target once).
// Goal: the N = 49 run at most 0.75 times that floor. Also the axisymmetric run.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <variant>
#include <vector>

#include "boundary_layer/layer.h"
#include "gas/prandtl_meyer.h"
#include "nozzle/minimum_length.h"
#include "nozzle/design.h"
#include "nozzle/design_record.h"
#include "nozzle/inputs.h"

namespace {

void BM_Design(benchmark::State& state) {
  const nozzle::DesignInputs inputs{2.4, 0.373, static_cast<double>(state.range(0))};
  for (auto _ : state) {
    nozzle::DesignResult result = nozzle::Design(inputs);
    benchmark::DoNotOptimize(result);
  }
}
BENCHMARK(BM_Design)->Arg(7)->Arg(49)->Unit(benchmark::kMicrosecond);

// The round nozzle beside it: iterated unit processes, TetaMax by the secant method
// (several kernels), the turning region and the wall.
void BM_DesignAxisymmetric(benchmark::State& state) {
  const nozzle::DesignInputs inputs{2.4, 0.373, static_cast<double>(state.range(0))};
  for (auto _ : state) {
    nozzle::MarchedDesign design = nozzle::DesignAxisymmetric(inputs);
    benchmark::DoNotOptimize(design);
  }
}
BENCHMARK(BM_DesignAxisymmetric)->Arg(7)->Arg(49)->Unit(benchmark::kMicrosecond);

// What the Python module's design() does in C++, for its overhead to be measured
// against (bench/python_overhead): the texts checked, the run, its record. With the
// third argument 1, the wall also corrected for its boundary layer (air, 0.13 bar,
// 300 K, a 10 mm throat, laminar to turbulent): goal at most 1.1 times without.
void BM_DesignRecord(benchmark::State& state) {
  const nozzle::InputTexts texts{"2.4", "0.373", std::to_string(state.range(0)), "1.4"};
  const bool round = state.range(1) != 0;
  const bool layer = state.range(2) != 0;
  boundary_layer::Conditions conditions;
  conditions.gas = *gas::NamedGas("air");
  conditions.p0 = 13000.0;
  conditions.T0 = 300.0;
  conditions.throatHalfHeight = 0.01;
  for (auto _ : state) {
    const auto checked = nozzle::CheckInputs(texts);
    const nozzle::DesignInputs& inputs = std::get<nozzle::DesignInputs>(checked);
    nozzle::DesignRecord record =
        round ? nozzle::RecordOf(nozzle::DesignAxisymmetric(inputs)) : nozzle::RecordOf(nozzle::Design(inputs));
    if (layer) {
      boundary_layer::Apply(record, std::get<nozzle::WallCorrection>(boundary_layer::CorrectWall(record, conditions)));
    }
    benchmark::DoNotOptimize(record);
  }
}
BENCHMARK(BM_DesignRecord)
    ->ArgsProduct({{7, 49}, {0, 1}, {0, 1}})
    ->ComputeStatistics("min", [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); })
    ->Unit(benchmark::kMicrosecond);

// The calls of one run: atan twice in Nu_f_M(Me) and in every residual of M_f_Nu,
// once in every Mach angle; tan once per C- piece, once per C+ piece, twice per
// wall point.
struct CallCounts {
  long atanCalls = 2;
  long tanCalls = 0;
};

CallCounts CountCalls(double N) {
  const nozzle::DesignResult r = nozzle::Design({2.4, 0.373, N});
  CallCounts counts;
  const int n = static_cast<int>(N);
  const auto point = [&](double nu) { counts.atanCalls += 2L * gas::IterateMachFromNu(nu).evaluations + 1; };
  for (int k = 1; k <= n; ++k) point(r.net.Nu(0, k));
  for (int j = 1; j <= n; ++j) {
    for (int k = j; k <= n; ++k) point(r.net.Nu(j, k));
  }
  counts.tanCalls = n * (n + 1) / 2 + n * (n - 1) / 2 + 2 * n;
  return counts;
}

struct FloorArguments {
  CallCounts counts;
  std::vector<double> atanArguments, tanArguments;
};

FloorArguments MakeFloorArguments() {
  FloorArguments floor{CountCalls(49.0), {}, {}};
  const CallCounts& counts = floor.counts;
  std::vector<double> atanArguments(static_cast<std::size_t>(counts.atanCalls));
  std::vector<double> tanArguments(static_cast<std::size_t>(counts.tanCalls));
  // Arguments spread over the ranges the run meets: b = sqrt(M^2 - 1) up to about 3,
  // slopes up to about 1.2 radians either way.
  const auto spread = [](std::vector<double>& values, double from, double to) {
    for (std::size_t i = 0; i < values.size(); ++i) {
      values[i] = from + (to - from) * static_cast<double>(i) / static_cast<double>(values.size());
    }
  };
  spread(atanArguments, 0.0, 3.0);
  spread(tanArguments, -1.2, 1.2);
  floor.atanArguments = std::move(atanArguments);
  floor.tanArguments = std::move(tanArguments);
  return floor;
}

// Independent calls: the processor overlaps them, so this is the throughput floor.
void BM_MathFloorOfFortyNineWaves(benchmark::State& state) {
  const FloorArguments floor = MakeFloorArguments();
  for (auto _ : state) {
    double sum = 0.0;
    for (const double a : floor.atanArguments) sum += std::atan(a);
    for (const double t : floor.tanArguments) sum += std::tan(t);
    benchmark::DoNotOptimize(sum);
  }
  state.counters["atan"] = static_cast<double>(floor.counts.atanCalls);
  state.counters["tan"] = static_cast<double>(floor.counts.tanCalls);
}
BENCHMARK(BM_MathFloorOfFortyNineWaves)->Unit(benchmark::kMicrosecond);

// Each call waiting for the one before, as Newton steps and net points do: the
// latency floor. (sum * 0.0 is not folded away: it would be NaN for an infinite sum.)
void BM_MathFloorOfFortyNineWavesChained(benchmark::State& state) {
  const FloorArguments floor = MakeFloorArguments();
  for (auto _ : state) {
    double sum = 0.0;
    for (const double a : floor.atanArguments) sum += std::atan(a + sum * 0.0);
    for (const double t : floor.tanArguments) sum += std::tan(t + sum * 0.0);
    benchmark::DoNotOptimize(sum);
  }
}
BENCHMARK(BM_MathFloorOfFortyNineWavesChained)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
