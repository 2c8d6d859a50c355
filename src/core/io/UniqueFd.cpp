#include "core/io/UniqueFd.h"

#include <unistd.h>

namespace vantrix {

void UniqueFd::Reset(int fd) {
  if (m_fd >= 0) {
    // Linux releases the descriptor even when close reports EINTR, so it is never retried.
    ::close(m_fd);
  }
  m_fd = fd;
}

}  // namespace vantrix
