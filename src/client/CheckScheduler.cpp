#include "client/CheckScheduler.h"

#include <algorithm>

#include "core/protocol/CurrentRequests.h"
#include "core/protocol/InfoRequest.h"

namespace vantrix {

CheckScheduler::CheckScheduler(const std::vector<IPv4Endpoint>& endpoints, const CheckPlan& plan,
                               ClientTransport& transport, MicrosecondClock& clock)
    : m_plan(plan), m_transport(transport), m_clock(clock) {
  m_plan.maxParallel = std::max(m_plan.maxParallel, 1);
  m_plan.retries = std::clamp(m_plan.retries, 0, 250);
  m_plan.maxChallengeRounds = std::clamp(m_plan.maxChallengeRounds, 0, 250);
  Reserve(endpoints.size());
  for (const IPv4Endpoint& endpoint : endpoints) Add(endpoint);
}

void CheckScheduler::Reserve(std::size_t count) {
  m_jobs.reserve(m_jobs.size() + count);
  m_jobOfEndpoint.reserve(m_jobOfEndpoint.size() + count);
  m_jobOfKey.reserve(m_jobOfKey.size() + count);
}

std::size_t CheckScheduler::Add(const IPv4Endpoint& endpoint) {
  auto [it, added] = m_jobOfKey.try_emplace(endpoint.Key(), m_jobs.size());
  if (added) {
    m_jobs.emplace_back();
    m_jobs.back().endpoint = endpoint;
    m_jobs.back().exchange = ChallengeExchange(ExchangeKind::kInfo, m_plan.maxChallengeRounds);
  }
  m_jobOfEndpoint.push_back(it->second);
  return m_jobOfEndpoint.size() - 1;
}

bool CheckScheduler::Expects(const IPv4Endpoint& from) const {
  auto it = m_jobOfKey.find(from.Key());
  if (it == m_jobOfKey.end()) return false;
  const Stage stage = m_jobs[it->second].stage;
  return stage != Stage::kQueued && stage != Stage::kDone;
}

bool CheckScheduler::Asked(const IPv4Endpoint& from) const {
  auto it = m_jobOfKey.find(from.Key());
  return it != m_jobOfKey.end() && m_jobs[it->second].stage != Stage::kQueued;
}

bool CheckScheduler::CanStartNew() const {
  return m_nextNew < m_jobs.size() && m_active < static_cast<std::size_t>(m_plan.maxParallel);
}

std::optional<std::uint64_t> CheckScheduler::NextWakeUs() const {
  if (Done()) return std::nullopt;
  std::optional<std::uint64_t> wake;
  if (HasWork() && !m_blocked) wake = m_plan.sendIntervalUs ? m_nextSendUs : 0;
  if (!m_deadlines.empty())
    wake = std::min(wake.value_or(m_deadlines.front().dueUs), m_deadlines.front().dueUs);
  return wake;
}

void CheckScheduler::Advance(std::size_t maxSends) {
  ExpireAttempts(m_clock.NowUs());
  SendPending(maxSends);
}

void CheckScheduler::ExpireAttempts(std::uint64_t now) {
  while (!m_deadlines.empty() && m_deadlines.front().dueUs <= now) {
    const Deadline deadline = m_deadlines.front();
    m_deadlines.pop_front();
    Job& job = m_jobs[deadline.job];
    if (!job.waiting || job.serial != deadline.serial) continue;  // answered or sent again since
    job.waiting = false;
    FailAttempt(deadline.job);
  }
}

// An attempt that came to nothing: the stage is asked again while retries are left.
void CheckScheduler::FailAttempt(std::size_t index) {
  Job& job = m_jobs[index];
  job.waiting = false;
  if (++job.timeouts <= m_plan.retries)
    MakeReady(index);
  else
    FailStage(index);
}

ExchangeKind CheckScheduler::KindOf(Stage stage) const {
  const bool original = m_plan.protocol == QueryProtocol::kOriginal;
  switch (stage) {
    case Stage::kPlayers:
      return original ? ExchangeKind::kOriginalPlayers : ExchangeKind::kPlayers;
    case Stage::kRules:
      return original ? ExchangeKind::kOriginalRules : ExchangeKind::kRules;
    default:
      return original ? ExchangeKind::kOriginalInfo : ExchangeKind::kInfo;
  }
}

void CheckScheduler::MakeReady(std::size_t index) {
  Job& job = m_jobs[index];
  job.waiting = false;
  if (job.ready) return;
  job.ready = true;
  m_ready.push_back(index);
}

void CheckScheduler::SendPending(std::size_t maxSends) {
  m_blocked = false;
  for (std::size_t attempts = 0; attempts < maxSends; ++attempts) {
    if (m_plan.sendIntervalUs && m_clock.NowUs() < m_nextSendUs) return;
    std::size_t index = 0;
    const bool fromReady = !m_ready.empty();
    if (fromReady) {
      index = m_ready.front();
      if (m_jobs[index].stage == Stage::kDone) {  // finished while it waited to be sent
        m_jobs[index].ready = false;
        m_ready.pop_front();
        continue;
      }
    } else if (CanStartNew()) {
      index = m_nextNew;
    } else {
      return;
    }
    Job& job = m_jobs[index];
    if (!fromReady) {
      job.stage = Stage::kInfo;
      job.exchange.Start(KindOf(Stage::kInfo));
    }
    const ClientTransport::SendResult sent = m_transport.Send(job.endpoint, job.exchange.Request());
    if (sent.status == ClientTransport::SendStatus::kWouldBlock) {
      if (!fromReady) job.stage = Stage::kQueued;
      m_blocked = true;
      return;
    }
    if (fromReady) {
      m_ready.pop_front();
      job.ready = false;
    } else {
      ++m_nextNew;
      ++m_active;
    }
    if (sent.status == ClientTransport::SendStatus::kFailed) {
      Finish(index, CheckStatus::kError, std::string(kSendFailed) + sent.error);
      continue;
    }
    ++m_sent;
    job.sentUs = m_clock.NowUs();
    job.waiting = true;
    ++job.serial;
    m_deadlines.push_back({job.sentUs + m_plan.timeoutUs, index, job.serial});
    if (m_plan.sendIntervalUs) m_nextSendUs = job.sentUs + m_plan.sendIntervalUs;
  }
}

void CheckScheduler::Receive(const IPv4Endpoint& from, std::string_view datagram, std::uint64_t arrivalUs) {
  auto it = m_jobOfKey.find(from.Key());
  if (it == m_jobOfKey.end()) {
    ++m_stray;
    return;
  }
  const std::size_t index = it->second;
  Job& job = m_jobs[index];
  if (job.stage == Stage::kQueued || job.stage == Stage::kDone) {
    ++m_stray;
    return;
  }
  job.heard = true;
  ChallengeExchange::Outcome outcome = job.exchange.Take(datagram);
  switch (outcome.step) {
    case ChallengeExchange::Step::kIgnored:
      return;
    case ChallengeExchange::Step::kIncomplete:
      job.problem = "split reply incomplete";
      return;
    case ChallengeExchange::Step::kRejected:
      // The parts of another answer may come together: the attempt ends, not the stage.
      job.problem = std::move(outcome.problem);
      job.exchange.Start(job.exchange.Kind());
      FailAttempt(index);
      return;
    case ChallengeExchange::Step::kTooManyChallenges:
      job.problem = "the server keeps answering with a challenge";
      FailStage(index);
      return;
    case ChallengeExchange::Step::kSendAgain:
      job.problem = "no reply after the challenge";
      MakeReady(index);
      return;
    case ChallengeExchange::Step::kReply:
      TakeReply(index, outcome.reply, arrivalUs);
      return;
  }
}

void CheckScheduler::TakeReply(std::size_t index, std::string_view reply, std::uint64_t arrivalUs) {
  Job& job = m_jobs[index];
  const char type = ReplyType(reply);
  switch (job.stage) {
    case Stage::kInfo: {
      if (type != kCurrentInfoReplyType && type != kInfoReplyType) return;  // wait for an info reply
      std::optional<ServerInfo> info = DecodeServerInfo(reply);
      if (!info) {
        job.problem = "malformed reply";
        FailStage(index);
        return;
      }
      if (info->appId && info->protocol) job.exchange.KnowServer(*info->appId, *info->protocol);
      job.result.info = std::move(info);
      job.result.pingUs = arrivalUs >= job.sentUs ? arrivalUs - job.sentUs : 0;
      break;
    }
    case Stage::kPlayers: {
      if (type != kPlayersReplyType) return;
      // The Ship's extras are read past, so that they never pass for players.
      auto decoded = DecodePlayerListReply(reply, job.result.info ? job.result.info->appId : std::nullopt);
      if (decoded) job.result.players = std::move(decoded->players);
      if (!decoded) {
        job.problem = "malformed reply";
        FailStage(index);
        return;
      }
      break;
    }
    case Stage::kRules: {
      if (type != kRulesReplyType) return;
      job.result.rules = DecodeRuleList(reply);
      if (!job.result.rules) {
        job.problem = "malformed reply";
        FailStage(index);
        return;
      }
      break;
    }
    case Stage::kQueued:
    case Stage::kDone:
      return;
  }
  NextStage(index);
}

void CheckScheduler::NextStage(std::size_t index) {
  Job& job = m_jobs[index];
  job.problem.clear();
  job.timeouts = 0;
  job.waiting = false;
  Stage next = Stage::kDone;
  if (job.stage == Stage::kInfo && m_plan.players)
    next = Stage::kPlayers;
  else if (job.stage != Stage::kRules && m_plan.rules)
    next = Stage::kRules;
  if (next == Stage::kDone) {
    Finish(index, CheckStatus::kAnswered, {});
    return;
  }
  job.stage = next;
  job.exchange.Start(KindOf(next));
  MakeReady(index);
}

void CheckScheduler::FailStage(std::size_t index) {
  Job& job = m_jobs[index];
  if (job.stage == Stage::kInfo && !job.heard) {
    Finish(index, CheckStatus::kSilent, {});
    return;
  }
  const std::string_view stage = job.stage == Stage::kPlayers ? "players"
                                 : job.stage == Stage::kRules ? "rules"
                                                              : "info";
  const std::string problem = job.problem.empty() ? "no reply" : job.problem;
  Finish(index, CheckStatus::kError, std::string(stage) + ": " + problem);
}

void CheckScheduler::Finish(std::size_t index, CheckStatus status, std::string error) {
  Job& job = m_jobs[index];
  job.stage = Stage::kDone;
  job.waiting = false;
  job.exchange.Start(job.exchange.Kind());
  job.problem.clear();
  job.result.status = status;
  job.result.error = std::move(error);
  --m_active;
  ++m_finished;
  if (status == CheckStatus::kAnswered) ++m_answered;
  if (status == CheckStatus::kSilent) ++m_silent;
  m_finishedJobs.push_back(index);
}

}  // namespace vantrix
