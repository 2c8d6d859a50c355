#include "net/ReceiveStamps.h"

#include <time.h>

#include <cstring>

namespace vantrix {

bool ReceiveStamps::Enable(int socket) {
  const int on = 1;
  return ::setsockopt(socket, SOL_SOCKET, SO_TIMESTAMPNS, &on, sizeof on) == 0;
}

std::uint64_t ReceiveStamps::AgeUs(const msghdr& message) {
  for (const cmsghdr* control = CMSG_FIRSTHDR(&message); control != nullptr;
       control = CMSG_NXTHDR(const_cast<msghdr*>(&message), const_cast<cmsghdr*>(control))) {
    if (control->cmsg_level != SOL_SOCKET || control->cmsg_type != SCM_TIMESTAMPNS) continue;
    timespec stamp{};
    std::memcpy(&stamp, CMSG_DATA(control), sizeof stamp);
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    const std::int64_t ageNs = (static_cast<std::int64_t>(now.tv_sec) - stamp.tv_sec) * 1'000'000'000 +
                               (now.tv_nsec - stamp.tv_nsec);
    return ageNs > 0 ? static_cast<std::uint64_t>(ageNs) / 1000u : 0;
  }
  return 0;
}

}  // namespace vantrix
