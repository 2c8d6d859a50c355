#include "fake/MasterThrottle.h"

namespace vantrix::fake {

bool MasterThrottle::Admit(std::uint64_t client, std::uint64_t nowMs) {
  if (m_intervalMs == 0) return true;
  Client& state = m_clients[client];
  if (state.admitted >= kBurst && nowMs - state.lastMs < m_intervalMs) return false;
  ++state.admitted;
  state.lastMs = nowMs;
  return true;
}

}  // namespace vantrix::fake
