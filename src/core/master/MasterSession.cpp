#include "core/master/MasterSession.h"

#include <algorithm>

#include "core/master/MasterPage.h"
#include "core/master/MasterRequest.h"
#include "core/time/TickClock.h"

namespace vantrix {

MasterSession::MasterSession(std::uint8_t region, std::string filter, std::size_t limit, MasterPacing pacing)
    : m_region(region), m_filter(std::move(filter)), m_limit(limit), m_pacing(pacing), m_seed(kFirstSeed) {
  if (m_limit == 0) Finish(MasterOutcome::kLimit);
}

std::optional<std::uint32_t> MasterSession::SendAllowedAt() const {
  if (m_requestsSent < static_cast<std::size_t>(std::max(m_pacing.burstRequests, 0))) return std::nullopt;
  return m_lastSendAt + m_pacing.intervalMs;
}

std::string MasterSession::Request(std::uint32_t now) {
  m_awaiting = true;
  m_sentAt = now;
  m_lastSendAt = now;
  ++m_requestsSent;
  return BuildMasterRequest(m_region, m_seed, m_filter);
}

std::optional<std::string> MasterSession::Poll(std::uint32_t now) {
  if (Finished()) return std::nullopt;
  const auto allowedAt = SendAllowedAt();
  const bool allowed = !allowedAt || TickDifference(now, *allowedAt) >= 0;
  if (!m_awaiting) {
    if (!allowed) return std::nullopt;
    m_attempt = 0;
    return Request(now);
  }
  if (TickDifference(now, m_sentAt) < static_cast<std::int32_t>(m_pacing.timeoutMs)) return std::nullopt;
  if (m_attempt >= m_pacing.retries) {
    Finish(MasterOutcome::kTimedOut);
    return std::nullopt;
  }
  if (!allowed) return std::nullopt;
  ++m_attempt;
  return Request(now);
}

std::optional<std::uint32_t> MasterSession::WaitMs(std::uint32_t now) const {
  if (Finished()) return std::nullopt;
  auto until = [now](std::uint32_t at) {
    return static_cast<std::uint32_t>(std::max<std::int32_t>(TickDifference(at, now), 0));
  };
  const auto allowedAt = SendAllowedAt();
  if (!m_awaiting) return allowedAt ? until(*allowedAt) : 0;
  const std::uint32_t timeoutAt = m_sentAt + m_pacing.timeoutMs;
  if (TickDifference(now, timeoutAt) < 0) return until(timeoutAt);
  // Timed out: the retry waits for the pace, or Poll ends the import now.
  if (m_attempt < m_pacing.retries && allowedAt) return until(*allowedAt);
  return 0;
}

std::size_t MasterSession::OnDatagram(std::string_view datagram, std::uint32_t /*now*/) {
  if (Finished()) return 0;
  if (!m_awaiting) return 0;  // a late copy of a page already taken
  if (m_previousRetried && datagram == m_previousPage) return 0;

  const MasterPage page = DecodeMasterPage(datagram);
  if (page.error == MasterPage::Error::kWrongHeader) {
    m_failure = "Error: Master server sent a reply that is not a server list";
    Finish(MasterOutcome::kBadReply);
    return 0;
  }
  ++m_pages;
  m_skipped += page.skipped;
  const bool retried = m_attempt > 0;
  std::size_t added = 0;
  for (const MasterAddress& address : page.addresses) {
    if (m_addresses.size() >= m_limit) break;
    if (!m_seen.insert(address.Key()).second) continue;
    m_addresses.push_back(address);
    ++added;
  }
  if (page.error == MasterPage::Error::kOddLength) {
    m_failure = "Error: Master server sent a cut-short page";
    Finish(MasterOutcome::kBadReply);
  } else if (page.ended) {
    Finish(MasterOutcome::kEnded);
  } else if (m_addresses.size() >= m_limit) {
    Finish(MasterOutcome::kLimit);
  } else if (page.addresses.empty() || page.addresses.back().Text() == m_seed || added == 0) {
    // The next page would be this one again: the list goes round instead of ending.
    Finish(MasterOutcome::kRepeated);
  } else {
    m_seed = page.addresses.back().Text();
    m_awaiting = false;
    m_previousPage.assign(datagram);
    m_previousRetried = retried;
  }
  return added;
}

void MasterSession::Fail(std::string message) {
  if (Finished()) return;
  m_failure = std::move(message);
  Finish(MasterOutcome::kFailed);
}

void MasterSession::Finish(MasterOutcome outcome) {
  if (m_outcome == MasterOutcome::kRunning) m_outcome = outcome;
  m_awaiting = false;
}

std::string MasterSession::StatusText() const {
  const std::string received = " (" + std::to_string(m_addresses.size()) + " servers received)";
  switch (m_outcome) {
    case MasterOutcome::kRunning:
      return "Master server: " + std::to_string(m_addresses.size()) + " servers";
    case MasterOutcome::kEnded:
    case MasterOutcome::kLimit:
    case MasterOutcome::kCancelled:
      return "Idle...";
    case MasterOutcome::kTimedOut:
      return "Error: Master server did not answer" + received;
    case MasterOutcome::kRepeated:
      return "Error: Master server repeats its list" + received;
    case MasterOutcome::kBadReply:
    case MasterOutcome::kFailed:
      return m_failure + received;
  }
  return {};
}

}  // namespace vantrix
