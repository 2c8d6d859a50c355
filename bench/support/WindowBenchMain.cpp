// The main of every window benchmark program; see WindowBench.h.
#include <benchmark/benchmark.h>

#include <QApplication>

#include "support/WindowBench.h"

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  vantrix::bench::WindowBenchHooks& hooks = vantrix::bench::Hooks();
  if (const auto status = hooks.BeforeApplication()) return *status;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  int qtArgc = 1;  // the benchmark library has had the arguments
  QApplication application(qtArgc, argv);
  return hooks.Run([] {
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
  });
}
