#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "client/CheckScheduler.h"
#include "fake/FakeServerProfile.h"

namespace vantrix::test {

inline constexpr std::uint32_t kLoopback = 0x7F000001u;

inline IPv4Endpoint EndpointOf(const fake::ServerProfile& profile) {
  return {kLoopback, profile.port};
}

class StillClock final : public MicrosecondClock {
 public:
  std::uint64_t NowUs() override { return now; }
  std::uint64_t now = 1'000'000;
};

// Simulated servers for the scheduler, without sockets or sleeping: each request is
// answered by the servers' profiles (as the simulated servers on loopback answer it)
// after a fixed latency; a test may change or drop the datagrams of any answer.
class CheckTestNetwork final : public ClientTransport {
 public:
  struct Sent {
    std::uint64_t atUs;
    IPv4Endpoint to;
    std::string datagram;
  };
  struct Delivery {
    std::uint64_t atUs;
    IPv4Endpoint from;
    std::string datagram;
  };
  // Gets the answer of one request and may change it: drop, reorder or duplicate parts.
  using Mangle = std::function<void(const IPv4Endpoint& server, std::vector<std::string>& datagrams)>;

  CheckTestNetwork(StillClock& clock, std::vector<fake::ServerProfile> profiles) : m_clock(clock) {
    for (fake::ServerProfile& profile : profiles)
      m_profiles.emplace(EndpointOf(profile).Key(), std::move(profile));
  }

  SendResult Send(const IPv4Endpoint& to, std::string_view datagram) override {
    if (wouldBlockCount > 0) {
      --wouldBlockCount;
      return {SendStatus::kWouldBlock, {}};
    }
    if (failPort == to.port) return {SendStatus::kFailed, "Network is unreachable"};
    sent.push_back({m_clock.now, to, std::string(datagram)});
    auto it = m_profiles.find(to.Key());
    if (it == m_profiles.end() || it->second.behaviour == fake::Behaviour::kSilent) return {};
    const fake::ServerProfile& profile = it->second;
    std::vector<std::string> answer = fake::AnswerRequest(profile, datagram, style, ++m_requestNumber,
                                                          fake::ChallengeFor(profile, kClientKey));
    if (mangle) mangle(to, answer);
    const std::uint64_t latency = profile.behaviour == fake::Behaviour::kSlow ? slowLatencyUs : latencyUs;
    for (std::string& reply : answer) pending.push_back({m_clock.now + latency, to, std::move(reply)});
    return {};
  }

  // Runs the scheduler to its end, moving the clock from event to event. Bounded: fails
  // (returns false) after maxSteps steps.
  bool Run(CheckScheduler& scheduler, int maxSteps = 200000) {
    for (int step = 0; step < maxSteps; ++step) {
      Deliver(scheduler);
      scheduler.Advance();
      if (scheduler.Done()) return true;
      if (scheduler.Blocked()) continue;  // the socket takes more at once here
      std::uint64_t next = scheduler.NextWakeUs().value_or(UINT64_MAX);
      for (const Delivery& delivery : pending) next = std::min(next, delivery.atUs);
      if (next == UINT64_MAX) return false;  // stuck: nothing would ever happen
      m_clock.now = std::max(m_clock.now, next);
    }
    return false;
  }

  std::size_t SentTo(const IPv4Endpoint& to) const {
    return static_cast<std::size_t>(
        std::count_if(sent.begin(), sent.end(), [&](const Sent& s) { return s.to == to; }));
  }

  fake::AnswerStyle style;
  Mangle mangle;
  std::uint64_t latencyUs = 2'000;
  std::uint64_t slowLatencyUs = 600'000;
  int wouldBlockCount = 0;
  std::uint16_t failPort = 0;
  std::vector<Sent> sent;
  std::vector<Delivery> pending;
  static constexpr std::uint64_t kClientKey = 0x7F00000112345ull;

 private:
  void Deliver(CheckScheduler& scheduler) {
    std::vector<Delivery> due;
    auto split = std::stable_partition(pending.begin(), pending.end(),
                                       [&](const Delivery& d) { return d.atUs > m_clock.now; });
    due.assign(std::make_move_iterator(split), std::make_move_iterator(pending.end()));
    pending.erase(split, pending.end());
    for (const Delivery& delivery : due) scheduler.Receive(delivery.from, delivery.datagram, delivery.atUs);
  }

  StillClock& m_clock;
  std::map<std::uint64_t, fake::ServerProfile> m_profiles;
  std::uint32_t m_requestNumber = 0;
};

}  // namespace vantrix::test
