// The window's speed, offscreen: one "Calculate" with N = 49 from the click to the
// painted picture (goal: one frame, 16 ms), and the time from process start to the
// first shown window.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <chrono>
#include <cstdio>
#include <string>

#include "ui/form1.h"
#include "ui/picture_box.h"

namespace {

void BM_CalculateFortyNineWavesToPaintedPicture(benchmark::State& state) {
  QTemporaryDir folder;
  const QString previous = QDir::currentPath();
  QDir::setCurrent(folder.path());
  ui::Form1 form;
  form.show();
  if (!QTest::qWaitForWindowExposed(&form)) state.SkipWithError("the window was not shown");
  form.findChild<QLineEdit*>("Text_N")->setText("49");
  auto* button = form.findChild<QPushButton*>("Command2");
  auto* picture = form.findChild<ui::PictureBox*>("Picture1");
  for (auto _ : state) {
    button->click();
    picture->repaint();
  }
  QDir::setCurrent(previous);
}
BENCHMARK(BM_CalculateFortyNineWavesToPaintedPicture)->Unit(benchmark::kMillisecond);

// Starts the probe, which opens the main window as the program does and says "shown"
// once the window is exposed.
void BM_ProcessStartToFirstShownWindow(benchmark::State& state) {
  const std::string command = std::string(NOZZLE_STARTUP_PROBE) + " -platform offscreen";
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    FILE* probe = ::popen(command.c_str(), "r");
    char line[64] = {};
    const bool shown = std::fgets(line, sizeof line, probe) != nullptr && std::string(line) == "shown\n";
    const auto elapsed = std::chrono::steady_clock::now() - start;
    ::pclose(probe);
    if (!shown) state.SkipWithError("the probe did not show its window");
    state.SetIterationTime(std::chrono::duration<double>(elapsed).count());
  }
}
BENCHMARK(BM_ProcessStartToFirstShownWindow)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
