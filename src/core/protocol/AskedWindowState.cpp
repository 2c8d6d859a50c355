#include "core/protocol/AskedWindowState.h"

namespace vantrix {

AskedWindowState::CurrentStep AskedWindowState::ReceiveCurrent(std::string_view datagram,
                                                               std::string_view sender) {
  CurrentStep step;
  AskedExchange::Taken taken = m_exchange.Take(datagram, sender);
  step.sendAgain = std::move(taken.sendAgain);
  if (taken.reply) step.added = Append(CurrentLines(*taken.reply));
  return step;
}

void AskedWindowState::Restart() {
  m_lines.clear();
  m_exchange.Reset();
}

std::vector<std::string> AskedWindowState::Append(std::vector<std::string> lines) {
  m_lines.insert(m_lines.end(), lines.begin(), lines.end());
  return lines;
}

}  // namespace vantrix
