#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "client/CheckResult.h"
#include "client/ClientTransport.h"
#include "core/protocol/ChallengeExchange.h"
#include "core/protocol/QueryProtocol.h"
#include "core/time/MicrosecondClock.h"
#include "core/util/QueryDefaults.h"

namespace vantrix {

// How the error of a server whose request could not be sent begins.
inline constexpr std::string_view kSendFailed = "send failed: ";

struct CheckPlan {
  QueryProtocol protocol = QueryProtocol::kOriginal;
  bool players = false;
  bool rules = false;
  int maxParallel = kDefaultMaxParallel;
  std::uint64_t timeoutUs = std::uint64_t{kQueryTimeoutMs} * 1000;
  int retries = 1;
  std::uint64_t sendIntervalUs = 0;
  int maxChallengeRounds = 3;  // a server that keeps challenging fails after this many
};

// Checks many servers at once through one transport, without threads: the owner calls
// Advance whenever NextWakeUs has come or the transport can send again, and Receive for
// every datagram that arrives. Each server goes through the stages info, then players
// and rules when asked, all in the plan's protocol; each stage is sent at most 1 + retries
// times, each attempt ending with its time-out after timeoutUs or with a split reply that
// cannot be put together, and a challenge reply makes the stage send again with the
// challenge at most maxChallengeRounds times (a server that keeps answering with a
// challenge is reported, never asked for ever). So every server finishes.
// Replies are matched to servers by their sender; the same endpoint listed twice is
// checked once and shares its result.
class CheckScheduler {
 public:
  static constexpr int kMaxChallengeRounds = 3;

  CheckScheduler(const std::vector<IPv4Endpoint>& endpoints, const CheckPlan& plan,
                 ClientTransport& transport, MicrosecondClock& clock);

  // Ends the attempts whose time is up, then sends what may be sent now.
  // Adds a server after the start (its host was resolved later); it is checked after the
  // ones before it. Returns its index, as the constructor's endpoints are numbered.
  std::size_t Add(const IPv4Endpoint& endpoint);
  // Room for `count` more servers, so that adding them one by one moves nothing.
  void Reserve(std::size_t count);

  // Ends the attempts whose time is up, then sends what may be sent now, at most maxSends
  // datagrams: an owner that has other work on the same thread sends in slices.
  void Advance(std::size_t maxSends = SIZE_MAX);
  void Receive(const IPv4Endpoint& from, std::string_view datagram, std::uint64_t arrivalUs);
  // True when a datagram from there would be taken as an answer: its server's check has
  // started and not finished.
  bool Expects(const IPv4Endpoint& from) const;
  // True when the server there has been asked, whether or not its check has finished.
  bool Asked(const IPv4Endpoint& from) const;

  bool Done() const { return m_finished == m_jobs.size(); }
  // When Advance has something to do next: now or a later time; nullopt when done.
  std::optional<std::uint64_t> NextWakeUs() const;
  // The last send would have blocked: call Advance again once the transport can send.
  bool Blocked() const { return m_blocked; }

  // The result for endpoints[index] as given to the constructor.
  const CheckResult& ResultFor(std::size_t index) const { return m_jobs[m_jobOfEndpoint[index]].result; }
  // The endpoints given in one check share one job; jobs are numbered from 0.
  std::size_t JobOf(std::size_t index) const { return m_jobOfEndpoint[index]; }
  const CheckResult& ResultOfJob(std::size_t job) const { return m_jobs[job].result; }
  // The jobs finished since the last call, in the order they finished.
  std::vector<std::size_t> TakeFinished() { return std::exchange(m_finishedJobs, {}); }

  std::size_t Servers() const { return m_jobs.size(); }
  std::size_t Finished() const { return m_finished; }
  std::size_t Answered() const { return m_answered; }
  std::size_t Silent() const { return m_silent; }
  std::size_t Errors() const { return m_finished - m_answered - m_silent; }
  std::uint64_t Sent() const { return m_sent; }
  std::uint64_t Stray() const { return m_stray; }

 private:
  enum class Stage : std::uint8_t { kQueued, kInfo, kPlayers, kRules, kDone };
  struct Job {
    IPv4Endpoint endpoint;
    Stage stage = Stage::kQueued;
    bool waiting = false;  // a request is out and its time-out counts
    bool ready = false;    // in m_ready, to send the current stage's request
    bool heard = false;    // anything at all came from the server
    std::uint8_t timeouts = 0;
    std::uint32_t serial = 0;
    std::uint64_t sentUs = 0;
    std::string problem;  // what went wrong so far in this stage, for its failure
    ChallengeExchange exchange{ExchangeKind::kInfo, kMaxChallengeRounds};
    CheckResult result;
  };
  struct Deadline {
    std::uint64_t dueUs;
    std::size_t job;
    std::uint32_t serial;
  };

  bool CanStartNew() const;
  bool HasWork() const { return !m_ready.empty() || CanStartNew(); }
  void ExpireAttempts(std::uint64_t now);
  void SendPending(std::size_t maxSends);
  void MakeReady(std::size_t index);
  void TakeReply(std::size_t index, std::string_view reply, std::uint64_t arrivalUs);
  void FailAttempt(std::size_t index);
  ExchangeKind KindOf(Stage stage) const;
  void NextStage(std::size_t index);
  void FailStage(std::size_t index);
  void Finish(std::size_t index, CheckStatus status, std::string error);

  CheckPlan m_plan;
  ClientTransport& m_transport;
  MicrosecondClock& m_clock;
  std::vector<Job> m_jobs;
  std::vector<std::size_t> m_jobOfEndpoint;
  std::vector<std::size_t> m_finishedJobs;
  std::unordered_map<std::uint64_t, std::size_t> m_jobOfKey;
  std::deque<std::size_t> m_ready;   // jobs in flight that have a request to send
  std::deque<Deadline> m_deadlines;  // in send order, so also in time order
  std::size_t m_nextNew = 0;         // jobs before it have been started
  std::size_t m_active = 0;          // started and not finished
  std::size_t m_finished = 0;
  std::size_t m_answered = 0;
  std::size_t m_silent = 0;
  std::uint64_t m_sent = 0;
  std::uint64_t m_stray = 0;
  std::uint64_t m_nextSendUs = 0;
  bool m_blocked = false;
};

}  // namespace vantrix
