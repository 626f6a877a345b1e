// Times whole nozzle-cli processes by the processor time the kernel accounts to
// them (user + system, from wait4), interleaved: a `--help` process, then a
// `--n 49` process (design, list on standard output, sonuc.txt with its fsync),
// again and again. Goal: the median design process at most 1.6 times the median
// help process. Both start the same way, so their ratio shows what the design,
// its texts and its file add to the cost of a process.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

extern char** environ;

namespace {

double ProcessSeconds(std::vector<std::string> arguments) {
  std::vector<char*> argv;
  for (std::string& a : arguments) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  const int failed = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (failed != 0) throw std::runtime_error("cannot start " + arguments[0]);
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) throw std::runtime_error(arguments[0] + " failed");
  const auto seconds = [](timeval t) { return static_cast<double>(t.tv_sec) + 1e-6 * static_cast<double>(t.tv_usec); };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

void BM_DesignProcessAgainstHelpProcess(benchmark::State& state) {
  const std::filesystem::path folder = std::filesystem::temp_directory_path() / "nozzle_process_bench";
  std::filesystem::create_directories(folder);
  std::vector<double> help, design;
  for (auto _ : state) {
    help.push_back(ProcessSeconds({NOZZLE_CLI, "--help"}));
    design.push_back(ProcessSeconds({NOZZLE_CLI, "--n", "49", "--dir", folder.string()}));
  }
  std::filesystem::remove_all(folder);
  state.counters["help_ms"] = 1e3 * Median(help);
  state.counters["design_ms"] = 1e3 * Median(design);
  state.counters["ratio"] = Median(design) / Median(help);
}
BENCHMARK(BM_DesignProcessAgainstHelpProcess)->Iterations(400)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
