#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "client/ClientTransport.h"
#include "core/io/UniqueFd.h"
#include "core/time/MicrosecondClock.h"

namespace vantrix {

class DatagramBatch;

// The checker's one UDP socket: bound to 0.0.0.0 on an ephemeral port, non-blocking, with
// large buffers so that a burst of replies from hundreds of servers is not dropped.
class UdpClientSocket final : public ClientTransport {
 public:
  using Sink =
      std::function<void(const IPv4Endpoint& from, std::string_view datagram, std::uint64_t arrivalUs)>;

  UdpClientSocket();  // throws std::runtime_error when the socket cannot be made
  ~UdpClientSocket() override;
  UdpClientSocket(const UdpClientSocket&) = delete;
  UdpClientSocket& operator=(const UdpClientSocket&) = delete;

  int Fd() const { return m_fd.Get(); }
  SendResult Send(const IPv4Endpoint& to, std::string_view datagram) override;

  // Hands every datagram waiting now to the sink, stamped on `clock` with the time the
  // kernel received it, at most `limit` of them. Datagrams larger than the buffer are dropped. Returns the
  // count.
  std::size_t Drain(const Sink& sink, MicrosecondClock& clock, std::size_t limit);

 private:
  UniqueFd m_fd;
  std::vector<char> m_storage;  // the receive buffers of one batch
  std::unique_ptr<DatagramBatch> m_batch;
};

}  // namespace vantrix
