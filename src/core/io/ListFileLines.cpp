#include "core/io/ListFileLines.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string_view>

#include "core/io/FileOpen.h"
#include "core/io/TextFile.h"

namespace vantrix {

ListFileLines::ListFileLines(size_t chunkSize) : m_chunkSize(std::max<size_t>(chunkSize, 1)) {}

ListFileLines::~ListFileLines() {
  Close();
}

bool ListFileLines::Open(const std::filesystem::path& path) {
  Close();
  m_path = path;
  m_buffer.clear();
  m_pos = m_scanned = 0;
  m_fd.Reset(OpenForReading(path));
  m_eof = !m_fd.Valid();
  return m_fd.Valid();
}

void ListFileLines::Close() {
  m_fd.Reset();
  m_eof = true;
}

bool ListFileLines::Fill() {
  if (m_eof) return false;
  // Drop what has been consumed so the buffer holds about one line plus one chunk.
  if (m_pos > 0) {
    m_buffer.erase(0, m_pos);
    m_scanned -= m_pos;
    m_pos = 0;
  }
  const size_t old = m_buffer.size();
  m_buffer.resize(old + m_chunkSize);
  ssize_t n = 0;
  do {
    n = ::read(m_fd.Get(), m_buffer.data() + old, m_chunkSize);
  } while (n < 0 && errno == EINTR);
  if (n < 0) {
    const std::string reason = std::strerror(errno);
    m_buffer.resize(old);
    Close();
    throw FileReadError("Read error on " + m_path.string() + ": " + reason);
  }
  m_buffer.resize(old + static_cast<size_t>(n));
  const size_t stop = m_buffer.find('\x1A', old);
  if (stop != std::string::npos) {
    m_buffer.resize(stop);
    Close();
  } else if (n == 0) {
    Close();
  }
  return m_buffer.size() > old;
}

bool ListFileLines::AtEnd() {
  while (m_pos >= m_buffer.size()) {
    if (!Fill()) return true;
  }
  return false;
}

std::string ListFileLines::ReadLine() {
  if (AtEnd()) return {};
  size_t end = std::string::npos;
  for (;;) {
    end = m_buffer.find('\n', std::max(m_scanned, m_pos));
    if (end != std::string::npos) break;
    m_scanned = m_buffer.size();
    if (!Fill()) break;
  }
  const size_t lineEnd = end == std::string::npos ? m_buffer.size() : end;
  // Only the bytes of this line are searched for CRs, never the rest of the buffer.
  std::string_view rest(m_buffer.data() + m_pos, lineEnd - m_pos);
  std::string line;
  line.reserve(rest.size());
  while (!rest.empty()) {
    const size_t cr = rest.find('\r');
    line.append(rest.substr(0, cr));
    if (cr == std::string_view::npos) break;
    rest.remove_prefix(cr + 1);
  }
  m_pos = end == std::string::npos ? m_buffer.size() : end + 1;
  m_scanned = m_pos;
  return line;
}

}  // namespace vantrix
