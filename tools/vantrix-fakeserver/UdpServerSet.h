#pragma once

#include <netinet/in.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <queue>

#include "FakeServerOptions.h"
#include "core/io/UniqueFd.h"
#include "fake/FakeMaster.h"
#include "fake/FakeServerProfile.h"
#include "fake/MasterThrottle.h"

namespace vantrix::fake {

// One UDP socket per simulated server on 127.0.0.1, served by one thread with epoll, so
// that ten thousand servers cost no more per wake than the few that have requests.
class UdpServerSet {
 public:
  UdpServerSet(std::vector<ServerProfile> profiles, const FakeServerOptions& options);
  ~UdpServerSet();
  UdpServerSet(const UdpServerSet&) = delete;
  UdpServerSet& operator=(const UdpServerSet&) = delete;

  // Serves until SIGINT/SIGTERM or until the run time is over.
  void Run(double seconds);

  long Requests() const { return m_requests; }
  long Datagrams() const { return m_datagrams; }

 private:
  using Clock = std::chrono::steady_clock;
  struct Pending {
    Clock::time_point due;
    std::size_t server;
    sockaddr_in to;
    std::vector<std::string> datagrams;
    bool operator>(const Pending& other) const { return due > other.due; }
  };

  void Open();
  void OpenMaster();
  void ReceiveMaster();
  void Receive(std::size_t server);
  void Answer(std::size_t server, const std::string& request, const sockaddr_in& from);
  void SendNow(std::size_t server, const sockaddr_in& to, const std::vector<std::string>& datagrams);
  void SendDue(Clock::time_point now);
  int PollTimeout(Clock::time_point now, Clock::time_point end, bool endless) const;
  void LogRequest(std::size_t server, const std::string& request) const;

  std::vector<ServerProfile> m_profiles;
  FakeServerOptions m_options;
  std::vector<UniqueFd> m_sockets;
  std::vector<std::uint32_t> m_requestNumbers;
  AnswerStyle m_style;
  UniqueFd m_signals;
  UniqueFd m_epoll;
  std::priority_queue<Pending, std::vector<Pending>, std::greater<>> m_pending;
  // The master listing the servers, when asked for.
  UniqueFd m_masterSocket;
  std::unique_ptr<FakeMaster> m_master;
  MasterThrottle m_throttle{0};
  long m_requests = 0;
  long m_datagrams = 0;
};

}  // namespace vantrix::fake
