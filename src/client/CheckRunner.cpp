#include "client/CheckRunner.h"

#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <stdexcept>

namespace vantrix {

namespace {

// Per wake, so that time-outs and sends are looked at even under a flood of datagrams.
constexpr std::size_t kDatagramsPerWake = 4096;
// Sends per wake: the replies to the first requests are read before the next slice goes
// out, so a long list never piles thousands of replies up in the socket's queue.
constexpr std::size_t kSendsPerWake = 256;

}  // namespace

void CheckRunner::Run(CheckScheduler& scheduler) {
  const UdpClientSocket::Sink sink = [&scheduler](const IPv4Endpoint& from, std::string_view datagram,
                                                  std::uint64_t arrivalUs) {
    scheduler.Receive(from, datagram, arrivalUs);
  };
  scheduler.Advance(kSendsPerWake);
  while (!scheduler.Done()) {
    Wait(scheduler);
    m_socket.Drain(sink, m_clock, kDatagramsPerWake);
    scheduler.Advance(kSendsPerWake);
    m_progress.Update(scheduler, m_clock.NowUs());
  }
  m_progress.Clear();
}

void CheckRunner::Wait(const CheckScheduler& scheduler) {
  const std::uint64_t now = m_clock.NowUs();
  std::uint64_t waitUs = RunProgress::kPeriodUs;
  if (auto wake = scheduler.NextWakeUs()) waitUs = std::min(waitUs, *wake > now ? *wake - now : 0);
  pollfd fd{m_socket.Fd(), static_cast<short>(POLLIN | (scheduler.Blocked() ? POLLOUT : 0)), 0};
  const timespec timeout{static_cast<time_t>(waitUs / 1'000'000),
                         static_cast<long>(waitUs % 1'000'000) * 1000};
  if (ppoll(&fd, 1, &timeout, nullptr) < 0 && errno != EINTR)
    throw std::runtime_error("waiting on the socket failed");
}

}  // namespace vantrix
