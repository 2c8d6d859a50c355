#include "support/TestData.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace vantrix::test {

std::filesystem::path DataDir() {
  return VANTRIX_TEST_DATA_DIR;
}

std::filesystem::path BinDir() {
  return VANTRIX_BIN_DIR;
}

std::string Slurp(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void Spit(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

bool SpitRepeated(const std::filesystem::path& path, const std::string& head, std::size_t count, char fill,
                  const std::string& tail) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << head;
  const std::string block(std::size_t{1} << 20, fill);
  for (std::size_t left = count; left > 0;) {
    const std::size_t n = std::min(left, block.size());
    out.write(block.data(), static_cast<std::streamsize>(n));
    left -= n;
  }
  out << tail;
  return out.good();
}

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "vantrix-test-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot create a temporary folder");
  m_path = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(m_path, ignored);
}

}  // namespace vantrix::test
