#pragma once

#include <sys/socket.h>

#include <cstddef>
#include <cstdint>

namespace vantrix {

// The kernel's receive time of each datagram. A datagram can wait in the socket's queue
// while its reader is busy; a reading taken after the receive call would count that wait
// as network time. The kernel stamps on the wall clock, so the stamp is turned into an age
// (how long ago it arrived) that the reader subtracts from its own clock.
class ReceiveStamps final {
 public:
  // Room for the stamp's control message in a msghdr.
  static constexpr std::size_t kControlBytes = CMSG_SPACE(sizeof(struct timespec));

  // Asks the kernel to stamp every datagram on the socket; false when it cannot.
  static bool Enable(int socket);
  // Microseconds since the datagram of `message` arrived, read now; 0 when the message
  // carries no stamp or the wall clock stepped back since.
  static std::uint64_t AgeUs(const msghdr& message);
};

}  // namespace vantrix
