#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

namespace vantrix::test {

// Folder of the sample files under tests/data.
std::filesystem::path DataDir();

// Folder of the built programs (build/bin), for tests that start the simulated servers.
std::filesystem::path BinDir();

// Reads a whole file as bytes; empty when it cannot be read.
std::string Slurp(const std::filesystem::path& path);

// Writes bytes to a file, replacing it.
void Spit(const std::filesystem::path& path, const std::string& bytes);
// Writes head, `count` copies of `fill`, then tail, without holding the file in memory.
// False when the file could not be written whole.
bool SpitRepeated(const std::filesystem::path& path, const std::string& head, std::size_t count, char fill,
                  const std::string& tail = {});

// A fresh folder under the system's temporary folder, removed with the object.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& Path() const { return m_path; }
  std::filesystem::path operator/(const std::string& name) const { return m_path / name; }

 private:
  std::filesystem::path m_path;
};

}  // namespace vantrix::test
