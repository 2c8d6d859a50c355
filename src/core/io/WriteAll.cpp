#include "core/io/WriteAll.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "core/io/TextFile.h"

namespace vantrix {

void WriteAll(int fd, std::string_view bytes, const WriteLimit& limit, size_t& written,
              const std::filesystem::path& path) {
  while (!bytes.empty()) {
    const size_t room = limit.bytes > written ? limit.bytes - written : 0;
    if (room == 0) throw FileWriteError("Write error on " + path.string() + ": " + std::strerror(ENOSPC));
    const size_t chunk = std::min(bytes.size(), room);
    const ssize_t n = ::write(fd, bytes.data(), chunk);
    if (n < 0) {
      if (errno == EINTR) continue;
      throw FileWriteError("Write error on " + path.string() + ": " + std::strerror(errno));
    }
    written += static_cast<size_t>(n);
    bytes.remove_prefix(static_cast<size_t>(n));
  }
}

}  // namespace vantrix
