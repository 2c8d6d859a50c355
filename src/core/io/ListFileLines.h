#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

#include "core/io/UniqueFd.h"

namespace vantrix {

// Reads the lines of a file from disk in one sequential pass, by the same rules as
// LineReader: a line ends at LF, every CR is dropped, a byte 0x1A ends the file, the last
// line needs no line end, and reading at the end gives an empty line. The file is closed
// with the object, whichever way the reading ends.
class ListFileLines {
 public:
  static constexpr size_t kDefaultChunk = size_t{1} << 16;

  explicit ListFileLines(size_t chunkSize = kDefaultChunk);
  ~ListFileLines();
  ListFileLines(const ListFileLines&) = delete;
  ListFileLines& operator=(const ListFileLines&) = delete;

  // False when the file cannot be opened for reading.
  bool Open(const std::filesystem::path& path);
  // Both throw FileReadError when reading fails after the file was opened.
  bool AtEnd();
  std::string ReadLine();
  void Close();

 private:
  // Reads one more chunk into the buffer; false once nothing more is to come.
  bool Fill();

  std::filesystem::path m_path;
  size_t m_chunkSize;
  std::string m_buffer;
  size_t m_pos = 0;      // start of the unread text in m_buffer
  size_t m_scanned = 0;  // m_buffer[m_pos, m_scanned) is known to hold no LF
  UniqueFd m_fd;
  bool m_eof = true;
};

}  // namespace vantrix
