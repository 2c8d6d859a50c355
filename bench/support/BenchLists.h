// Large lists for the benchmarks: addresses, filled rows and a temporary folder to write them in.
#pragma once

#include <filesystem>
#include <string>

#include "core/table/ServerTable.h"

namespace vantrix::bench {

// The i-th of up to 16 million distinct addresses, all on port 27015.
std::string Address(int i);

// Appends rows as a run of queries leaves them: every cell filled, typical lengths.
void FillTable(ServerTable& table, int rows);

// A plain-layout list of `rows` addresses, every other one with a comment, CR LF line ends.
std::string PlainList(int rows);

// Writes the bytes whole or throws: a benchmark without its input measures nothing.
void WriteFile(const std::string& path, const std::string& bytes);

// A temporary folder, removed with everything in it.
class Folder {
 public:
  Folder();
  ~Folder();
  Folder(const Folder&) = delete;
  Folder& operator=(const Folder&) = delete;
  std::string File(const std::string& name) const { return (m_path / name).string(); }

 private:
  std::filesystem::path m_path;
};

}  // namespace vantrix::bench
