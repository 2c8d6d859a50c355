#pragma once

#include <cstdint>
#include <unordered_map>

namespace vantrix::fake {

// The simulated master's rate limit per client: a few requests go through at once, then a
// request closer than the interval to the client's last admitted one is ignored, the way
// the real master drops clients that ask too fast. An interval of 0 admits everything.
class MasterThrottle {
 public:
  static constexpr int kBurst = 3;

  explicit MasterThrottle(std::uint32_t intervalMs) : m_intervalMs(intervalMs) {}

  bool Admit(std::uint64_t client, std::uint64_t nowMs);

 private:
  struct Client {
    int admitted = 0;
    std::uint64_t lastMs = 0;
  };
  std::uint32_t m_intervalMs;
  std::unordered_map<std::uint64_t, Client> m_clients;
};

}  // namespace vantrix::fake
