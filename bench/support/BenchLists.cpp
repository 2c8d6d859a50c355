#include "BenchLists.h"

#include <stdlib.h>

#include <stdexcept>
#include <utility>

#include "core/io/SafeFileWriter.h"

namespace vantrix::bench {

namespace fs = std::filesystem;

std::string Address(int i) {
  return "10." + std::to_string((i >> 16) & 255) + "." + std::to_string((i >> 8) & 255) + "." +
         std::to_string(i & 255) + ":27015";
}

void FillTable(ServerTable& table, int rows) {
  for (int i = 0; i < rows; ++i) {
    ServerRow row;
    row.address = Address(i);
    row.cells = {"Server number " + std::to_string(i) + " | public",
                 "de_dust2",
                 std::to_string(i % 300),
                 std::to_string(i % 32) + "/32",
                 i % 3 == 0 ? std::string("clan server eu") : std::string(" "),
                 "+",
                 "L",
                 "D",
                 i % 7 == 0 ? "P" : " "};
    table.AppendRow(std::move(row));
  }
}

std::string PlainList(int rows) {
  std::string text;
  for (int i = 0; i < rows; ++i) {
    text += Address(i);
    if (i % 2 == 0) text += "|comment " + std::to_string(i);
    text += "\r\n";
  }
  return text;
}

void WriteFile(const std::string& path, const std::string& bytes) {
  SafeFileWriter writer(path);
  if (!writer.Open()) throw std::runtime_error("cannot write " + path);
  writer.Write(bytes);
  writer.Commit();
}

Folder::Folder() {
  std::string pattern = (fs::temp_directory_path() / "vantrix-bench-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot create a folder");
  m_path = pattern;
}

Folder::~Folder() {
  std::error_code ignored;
  fs::remove_all(m_path, ignored);
}

}  // namespace vantrix::bench
