#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace vantrix {

// Every line-based file of the program is 8-bit text: lines end at LF, a CR before the LF
// and any other CR are dropped, a byte 0x1A ends the file, the last line needs no line end.
// Lines are written with CR LF. Nothing else is converted.

// A read that failed after the file was opened (a directory, an I/O error); never "end of file".
class FileReadError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A write that failed after the file was created or opened.
class FileWriteError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Reads lines of a text by the rules above. Reading at the end gives an empty line.
class LineReader {
 public:
  explicit LineReader(std::string_view text);
  bool AtEnd() const { return m_pos >= m_text.size(); }
  std::string ReadLine();

 private:
  std::string_view m_text;
  size_t m_pos = 0;
};

// Reads a whole file. Returns false when it cannot be opened; throws FileReadError when
// reading fails after it was opened.
bool ReadFileBytes(const std::filesystem::path& path, std::string& bytes);

// All lines of a text (convenience for small files).
std::vector<std::string> SplitLines(std::string_view text);

// Appends the line and its CR LF.
void AppendLine(std::string& out, std::string_view line);

}  // namespace vantrix
