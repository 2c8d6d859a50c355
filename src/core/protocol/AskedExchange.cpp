#include "core/protocol/AskedExchange.h"

namespace vantrix {

void AskedExchange::Reset() {
  m_asked.clear();
  m_exchange.Reset(m_kind);
}

AskedExchange::Taken AskedExchange::Take(std::string_view datagram, std::string_view sender) {
  Taken taken;
  if (m_asked.empty() || sender != m_asked) return taken;
  ChallengeExchange::Outcome outcome = m_exchange.Take(datagram);
  if (outcome.step == ChallengeExchange::Step::kSendAgain) {
    taken.sendAgain = m_exchange.Request();
  } else if (outcome.step == ChallengeExchange::Step::kReply) {
    taken.reply = std::move(outcome.reply);
  }
  return taken;
}

}  // namespace vantrix
