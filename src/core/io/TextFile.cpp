#include "core/io/TextFile.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "core/io/FileOpen.h"

namespace vantrix {

LineReader::LineReader(std::string_view text) : m_text(text) {
  const size_t eof = m_text.find('\x1A');
  if (eof != std::string_view::npos) m_text = m_text.substr(0, eof);
}

std::string LineReader::ReadLine() {
  if (AtEnd()) return {};
  size_t end = m_text.find('\n', m_pos);
  const size_t next = end == std::string_view::npos ? m_text.size() : end + 1;
  if (end == std::string_view::npos) end = m_text.size();
  std::string line;
  line.reserve(end - m_pos);
  for (size_t i = m_pos; i < end; ++i) {
    if (m_text[i] != '\r') line.push_back(m_text[i]);
  }
  m_pos = next;
  return line;
}

bool ReadFileBytes(const std::filesystem::path& path, std::string& bytes) {
  bytes.clear();
  const int fd = OpenForReading(path);
  if (fd < 0) return false;
  char buffer[1 << 16];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n > 0) {
      bytes.append(buffer, static_cast<size_t>(n));
    } else if (n == 0) {
      break;
    } else if (errno != EINTR) {
      const std::string reason = std::strerror(errno);
      ::close(fd);
      throw FileReadError("Read error on " + path.string() + ": " + reason);
    }
  }
  ::close(fd);
  return true;
}

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  LineReader reader(text);
  while (!reader.AtEnd()) lines.push_back(reader.ReadLine());
  return lines;
}

void AppendLine(std::string& out, std::string_view line) {
  out.append(line);
  out.append("\r\n");
}

}  // namespace vantrix
