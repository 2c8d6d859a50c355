#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/query/DatagramSender.h"
#include "support/FakeClock.h"

namespace vantrix::test {

struct SentDatagram {
  std::string host;
  int port = 0;
  std::string bytes;
  std::uint32_t tick = 0;  // the clock when it was sent
};

// Records what is sent. A failure hook may throw instead of sending; the send hook
// lets a test answer (it runs after the datagram was recorded).
class FakeDatagramSender final : public DatagramSender {
 public:
  explicit FakeDatagramSender(FakeClock& clock) : m_clock(clock) {}

  // The host stands for its own address: tests send to dotted addresses.
  std::string Send(const std::string& host, int port, std::string_view bytes) override {
    if (m_failure) m_failure(host, port);
    m_sent.push_back({host, port, std::string(bytes), m_clock.Now()});
    if (m_onSend) m_onSend(m_sent.back());
    return host;
  }

  void SetFailure(std::function<void(const std::string&, int)> failure) { m_failure = std::move(failure); }
  void SetOnSend(std::function<void(const SentDatagram&)> onSend) { m_onSend = std::move(onSend); }
  const std::vector<SentDatagram>& Sent() const { return m_sent; }

 private:
  FakeClock& m_clock;
  std::vector<SentDatagram> m_sent;
  std::function<void(const std::string&, int)> m_failure;
  std::function<void(const SentDatagram&)> m_onSend;
};

}  // namespace vantrix::test
