#include "core/io/FileWriter.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "core/io/FileOpen.h"
#include "core/io/TextFile.h"
#include "core/io/WriteAll.h"

namespace vantrix {

FileWriter::FileWriter(std::filesystem::path path, WriteLimit limit)
    : m_path(std::move(path)), m_limit(limit) {}

FileWriter::~FileWriter() {
  if (m_fd >= 0) ::close(m_fd);
}

bool FileWriter::Open() {
  m_fd = OpenForWriting(m_path);
  return m_fd >= 0;
}

void FileWriter::Write(std::string_view bytes) {
  if (m_fd < 0) throw FileWriteError("File is not open: " + m_path.string());
  WriteAll(m_fd, bytes, m_limit, m_written, m_path);
}

void FileWriter::Close() {
  if (m_fd < 0) return;
  const int fd = m_fd;
  m_fd = -1;
  if (::close(fd) != 0)
    throw FileWriteError("Write error on " + m_path.string() + ": " + std::strerror(errno));
}

}  // namespace vantrix
