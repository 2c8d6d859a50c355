#pragma once

#include <functional>
#include <optional>

namespace vantrix::bench {

// What one window benchmark program (bench/gui_*_bench.cpp) adds to the one main they share
// (WindowBenchMain.cpp): the benchmark library takes its arguments, the hooks run, and the Qt
// application is drawn off screen unless a display or platform is named.
class WindowBenchHooks {
 public:
  virtual ~WindowBenchHooks() = default;
  // Before the Qt application exists (an accessibility bus, say); a status ends the program.
  virtual std::optional<int> BeforeApplication() { return std::nullopt; }
  // Inside the application: sets up what the BENCHMARK lines cannot (servers, a window held
  // across runs), calls `run` while it lives, and gives the program's status.
  virtual int Run(const std::function<void()>& run) {
    run();
    return 0;
  }
};

// Each window benchmark program defines this.
WindowBenchHooks& Hooks();

}  // namespace vantrix::bench
