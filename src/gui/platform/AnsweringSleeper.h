#pragma once

#include <chrono>
#include <cstdint>
#include <functional>

#include "core/query/Sleeper.h"

namespace vantrix {

// The main thread's timed wait in a query: it lasts the whole time and runs none of the
// window's events, like a plain sleep, but answers the requests of assistive technology
// as they come instead of leaving them until the wait is over. A screen reader is thus
// answered within a few milliseconds whatever the wait's length (UDPDelay may be up to
// 999 ms), and what the query does between its waits is unchanged.
class AnsweringSleeper final : public Sleeper {
 public:
  // How long the thread sleeps at most between two looks for requests.
  static constexpr std::chrono::milliseconds kStep{2};

  // `answer` delivers the pending requests; by default the accessibility bridge's.
  explicit AnsweringSleeper(std::function<void()> answer = {});

  // Zero gives up the time slice once, after answering what is pending.
  void Sleep(std::uint32_t milliseconds) override;

 private:
  std::function<void()> m_answer;
};

}  // namespace vantrix
