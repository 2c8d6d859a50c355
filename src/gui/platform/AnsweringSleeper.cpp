#include "gui/platform/AnsweringSleeper.h"

#include <algorithm>
#include <thread>

#include "gui/platform/AccessibilityRequests.h"

namespace vantrix {

AnsweringSleeper::AnsweringSleeper(std::function<void()> answer)
    : m_answer(answer ? std::move(answer) : std::function<void()>(&AccessibilityRequests::AnswerPending)) {}

void AnsweringSleeper::Sleep(std::uint32_t milliseconds) {
  using Clock = std::chrono::steady_clock;
  m_answer();
  if (milliseconds == 0) {
    std::this_thread::yield();
    return;
  }
  // Measured against the clock, so that the time spent answering counts towards the wait
  // and the whole wait is neither shortened nor stretched.
  const Clock::time_point until = Clock::now() + std::chrono::milliseconds(milliseconds);
  for (Clock::time_point now = Clock::now(); now < until; now = Clock::now()) {
    std::this_thread::sleep_for(std::min<Clock::duration>(until - now, kStep));
    m_answer();
  }
}

}  // namespace vantrix
