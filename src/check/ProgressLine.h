#pragma once

#include <cstdint>
#include <string>

#include "check/CheckScheduler.h"

namespace vantrix {

// The line on standard error that tells how far a run is, redrawn in place at most every
// 100 ms, and wiped at the end so that it never mixes with the output.
class ProgressLine {
 public:
  static constexpr std::uint64_t kPeriodUs = 100'000;

  explicit ProgressLine(bool enabled) : m_enabled(enabled) {}
  ~ProgressLine() { Clear(); }
  ProgressLine(const ProgressLine&) = delete;
  ProgressLine& operator=(const ProgressLine&) = delete;

  bool Enabled() const { return m_enabled; }
  // Draws the line when the period has passed since the last drawing.
  void Update(const CheckScheduler& scheduler, std::uint64_t nowUs);
  void Clear();

 private:
  void Write(const std::string& text);

  bool m_enabled;
  bool m_shown = false;
  std::uint64_t m_lastUs = 0;
  std::size_t m_width = 0;
};

}  // namespace vantrix
