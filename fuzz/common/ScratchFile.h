#pragma once

#include <sys/mman.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <string_view>

#include "common/FuzzCheck.h"

namespace vantrix::fuzz {

// A file in memory that the file readers can open by path, refilled for every input, so the
// readers that work on disk are fuzzed the way they are used without touching the disk.
class ScratchFile {
 public:
  ScratchFile() : m_fd(memfd_create("vantrix-fuzz", MFD_CLOEXEC)) {
    VANTRIX_FUZZ_CHECK(m_fd >= 0);
    m_path = "/proc/self/fd/" + std::to_string(m_fd);
  }
  ~ScratchFile() { ::close(m_fd); }
  ScratchFile(const ScratchFile&) = delete;
  ScratchFile& operator=(const ScratchFile&) = delete;

  // Replaces the contents; returns the path that opens them.
  const std::string& Fill(std::string_view bytes) {
    VANTRIX_FUZZ_CHECK(::ftruncate(m_fd, 0) == 0);
    std::size_t done = 0;
    // Bounded: each pass writes at least one byte or stops the run.
    while (done < bytes.size()) {
      const ssize_t n = ::pwrite(m_fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
      VANTRIX_FUZZ_CHECK(n > 0);
      done += static_cast<std::size_t>(n);
    }
    return m_path;
  }

 private:
  int m_fd;
  std::string m_path;
};

}  // namespace vantrix::fuzz
