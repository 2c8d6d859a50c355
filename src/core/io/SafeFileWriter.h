#pragma once

#include <filesystem>
#include <string_view>

#include "core/io/UniqueFd.h"
#include "core/io/WriteLimit.h"

namespace vantrix {

// Replaces a file so that its old content survives any failure: the bytes go to a temporary
// file beside the target, which is flushed and renamed over it only when all is written.
// A symbolic link is followed to its target and the target's permissions are kept. Where no
// temporary file can be made beside the target (a writable file in a read-only folder) the
// file is written in place instead.
class SafeFileWriter {
 public:
  explicit SafeFileWriter(std::filesystem::path target, WriteLimit limit = {});
  ~SafeFileWriter();
  SafeFileWriter(const SafeFileWriter&) = delete;
  SafeFileWriter& operator=(const SafeFileWriter&) = delete;

  // False when the file can be neither replaced nor created (a directory, a missing folder)
  // and when it exists but may not be written (write-protected, on a read-only disk).
  bool Open();
  // Throw FileWriteError; after a failure the old file is intact and the temporary removed.
  void Write(std::string_view bytes);
  void Commit();

 private:
  void Abandon();
  void Fail(const std::string& what);

  std::filesystem::path m_target;
  std::filesystem::path m_resolved;
  std::filesystem::path m_temp;  // empty when writing in place
  WriteLimit m_limit;
  size_t m_written = 0;
  UniqueFd m_fd;
  bool m_committed = false;
};

}  // namespace vantrix
