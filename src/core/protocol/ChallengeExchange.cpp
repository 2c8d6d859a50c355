#include "core/protocol/ChallengeExchange.h"

#include "core/protocol/CurrentRequests.h"
#include "core/protocol/InfoRequest.h"

namespace vantrix {

namespace {

char ReplyTypeOf(ExchangeKind kind) {
  switch (kind) {
    case ExchangeKind::kOriginalInfo:
    case ExchangeKind::kInfo:
      return kCurrentInfoReplyType;
    case ExchangeKind::kOriginalPlayers:
    case ExchangeKind::kPlayers:
      return kPlayersReplyType;
    case ExchangeKind::kOriginalRules:
    case ExchangeKind::kRules:
      return kRulesReplyType;
  }
  return 0;
}

}  // namespace

ChallengeExchange::ChallengeExchange(ExchangeKind kind, int maxChallengeRounds)
    : m_kind(kind), m_maxRounds(maxChallengeRounds) {
  m_split.Expect(ReplyTypeOf(kind), m_sizeField);
}

void ChallengeExchange::Start(ExchangeKind kind) {
  m_kind = kind;
  m_rounds = 0;
  m_finished = false;
  m_split.Clear();
  m_split.Expect(ReplyTypeOf(kind), m_sizeField);
}

void ChallengeExchange::Reset(ExchangeKind kind) {
  m_challenge.reset();
  m_sizeField.reset();
  Start(kind);
}

void ChallengeExchange::KnowServer(std::uint16_t appId, std::uint8_t protocol) {
  m_sizeField = SplitReplyAssembler::SizeFieldOf(appId, protocol);
  m_split.Expect(ReplyTypeOf(m_kind), m_sizeField);
}

bool ChallengeExchange::Original() const {
  return m_kind == ExchangeKind::kOriginalInfo || m_kind == ExchangeKind::kOriginalPlayers ||
         m_kind == ExchangeKind::kOriginalRules;
}

std::string ChallengeExchange::Request() const {
  const std::uint32_t challenge = m_challenge.value_or(kNoChallenge);
  switch (m_kind) {
    case ExchangeKind::kOriginalInfo:
      return std::string(kInfoRequest);
    case ExchangeKind::kOriginalPlayers:
      return std::string(kOriginalPlayersRequest);
    case ExchangeKind::kOriginalRules:
      return std::string(kOriginalRulesRequest);
    case ExchangeKind::kInfo:
      return m_challenge ? CurrentInfoRequest(*m_challenge) : CurrentInfoRequest();
    case ExchangeKind::kPlayers:
      return PlayersRequest(challenge);
    case ExchangeKind::kRules:
      return RulesRequest(challenge);
  }
  return {};
}

bool ChallengeExchange::Expects(char type) const {
  switch (m_kind) {
    case ExchangeKind::kOriginalInfo:
    case ExchangeKind::kInfo:
      // Some servers answer the current request with an 'm' reply, others the original with 'I'.
      return type == kCurrentInfoReplyType || type == kInfoReplyType;
    case ExchangeKind::kOriginalPlayers:
    case ExchangeKind::kPlayers:
      return type == kPlayersReplyType;
    case ExchangeKind::kOriginalRules:
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
    // The original requests know no challenge: such a reply is not meant for them.
    if (Original()) return {};
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
