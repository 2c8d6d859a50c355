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

FileWriter::~FileWriter() = default;

bool FileWriter::Open() {
  m_fd.Reset(OpenForWriting(m_path));
  return m_fd.Valid();
}

void FileWriter::Write(std::string_view bytes) {
  if (!m_fd.Valid()) throw FileWriteError("File is not open: " + m_path.string());
  WriteAll(m_fd.Get(), bytes, m_limit, m_written, m_path);
}

void FileWriter::Close() {
  if (!m_fd.Valid()) return;
  const int fd = m_fd.Release();
  if (::close(fd) != 0)
    throw FileWriteError("Write error on " + m_path.string() + ": " + std::strerror(errno));
}

}  // namespace vantrix
