#include "core/protocol/ChallengeExchange.h"

#include "core/protocol/InfoRequest.h"
#include "core/protocol/SourceRequests.h"

namespace vantrix {

ChallengeExchange::ChallengeExchange(ExchangeKind kind, int maxChallengeRounds)
    : m_kind(kind), m_maxRounds(maxChallengeRounds) {}

void ChallengeExchange::Start(ExchangeKind kind) {
  m_kind = kind;
  m_rounds = 0;
  m_finished = false;
  m_split.Clear();
}

void ChallengeExchange::Reset(ExchangeKind kind) {
  Start(kind);
  m_challenge.reset();
}

std::string ChallengeExchange::Request() const {
  const std::uint32_t challenge = m_challenge.value_or(kNoChallenge);
  switch (m_kind) {
    case ExchangeKind::kDetails:
      return std::string(kInfoRequest);
    case ExchangeKind::kInfo:
      return m_challenge ? SourceInfoRequest(*m_challenge) : SourceInfoRequest();
    case ExchangeKind::kPlayers:
      return PlayersRequest(challenge);
    case ExchangeKind::kRules:
      return RulesRequest(challenge);
  }
  return {};
}

bool ChallengeExchange::Expects(char type) const {
  switch (m_kind) {
    case ExchangeKind::kDetails:
    case ExchangeKind::kInfo:
      // Some servers answer the current request with an 'm' reply, others the original with 'I'.
      return type == kSourceInfoReplyType || type == kInfoReplyType;
    case ExchangeKind::kPlayers:
      return type == kPlayersReplyType;
    case ExchangeKind::kRules:
      return type == kRulesReplyType;
  }
  return false;
}

ChallengeExchange::Outcome ChallengeExchange::Take(std::string_view datagram) {
  if (m_finished) return {};
  if (!SplitReplyAssembler::IsSplitPart(datagram)) return TakeWhole(datagram);
  SplitReplyAssembler::Outcome part = m_split.Take(datagram);
  switch (part.status) {
    case SplitReplyAssembler::Status::kIncomplete:
      return {Step::kIncomplete, {}, {}};
    case SplitReplyAssembler::Status::kRejected:
      return {Step::kRejected, {}, std::move(part.problem)};
    case SplitReplyAssembler::Status::kComplete:
      break;
  }
  return TakeWhole(part.reply);
}

ChallengeExchange::Outcome ChallengeExchange::TakeWhole(std::string_view reply) {
  const char type = ReplyType(reply);
  if (type == kChallengeReplyType) {
    // The original request knows no challenge: such a reply is not meant for it.
    if (m_kind == ExchangeKind::kDetails) return {};
    const auto challenge = DecodeChallengeReply(reply);
    if (!challenge) return {};
    if (m_rounds >= m_maxRounds) return {Step::kTooManyChallenges, {}, {}};
    ++m_rounds;
    m_challenge = *challenge;
    return {Step::kSendAgain, {}, {}};
  }
  if (!Expects(type)) return {};
  m_finished = true;
  return {Step::kReply, std::string(reply), {}};
}

}  // namespace vantrix
