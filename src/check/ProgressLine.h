#pragma once

#include <cstdint>
#include <string>

#include "client/CheckScheduler.h"
#include "client/RunProgress.h"

namespace vantrix {

// The line on standard error that tells how far a run is, redrawn in place at most every
// 100 ms, and wiped at the end so that it never mixes with the output.
class ProgressLine final : public RunProgress {
 public:
  explicit ProgressLine(bool enabled) : m_enabled(enabled) {}
  ~ProgressLine() override { Clear(); }
  ProgressLine(const ProgressLine&) = delete;
  ProgressLine& operator=(const ProgressLine&) = delete;

  bool Enabled() const { return m_enabled; }
  // Draws the line when the period has passed since the last drawing.
  void Update(const CheckScheduler& scheduler, std::uint64_t nowUs) override;
  void Clear() override;

 private:
  void Write(const std::string& text);

  bool m_enabled;
  bool m_shown = false;
  std::uint64_t m_lastUs = 0;
  std::size_t m_width = 0;
};

}  // namespace vantrix
