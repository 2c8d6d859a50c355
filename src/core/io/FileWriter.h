#pragma once

#include <filesystem>
#include <string_view>

#include "core/io/UniqueFd.h"
#include "core/io/WriteLimit.h"

namespace vantrix {

// Creates or empties a file and writes it in place: what is written before a failure stays.
class FileWriter {
 public:
  explicit FileWriter(std::filesystem::path path, WriteLimit limit = {});
  ~FileWriter();
  FileWriter(const FileWriter&) = delete;
  FileWriter& operator=(const FileWriter&) = delete;

  // False when the file cannot be created or emptied.
  bool Open();
  // Throw FileWriteError.
  void Write(std::string_view bytes);
  void Close();

 private:
  std::filesystem::path m_path;
  WriteLimit m_limit;
  size_t m_written = 0;
  UniqueFd m_fd;
};

}  // namespace vantrix
