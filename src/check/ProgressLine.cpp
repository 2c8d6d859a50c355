#include "check/ProgressLine.h"

#include <unistd.h>

namespace vantrix {

void ProgressLine::Update(const CheckScheduler& scheduler, std::uint64_t nowUs) {
  if (!m_enabled || (m_shown && nowUs - m_lastUs < kPeriodUs)) return;
  m_lastUs = nowUs;
  std::string text = "checked " + std::to_string(scheduler.Finished()) + "/" +
                     std::to_string(scheduler.Servers()) + ": " + std::to_string(scheduler.Answered()) +
                     " answered, " + std::to_string(scheduler.Silent()) + " silent, " +
                     std::to_string(scheduler.Errors()) + " with errors";
  const std::size_t width = text.size();
  if (width < m_width) text.append(m_width - width, ' ');
  m_width = width;
  Write("\r" + text);
  m_shown = true;
}

void ProgressLine::Clear() {
  if (!m_shown) return;
  Write("\r" + std::string(m_width, ' ') + "\r");
  m_shown = false;
}

void ProgressLine::Write(const std::string& text) {
  // Progress is a courtesy: a failed write is not worth stopping for.
  const ssize_t ignored = write(STDERR_FILENO, text.data(), text.size());
  (void)ignored;
}

}  // namespace vantrix
