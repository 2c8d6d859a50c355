// Runs a fuzz target's entry point once on each file of the given files and folders, so the
// corpora are checked by an ordinary build without the fuzzer runtime. Folders are read
// recursively in name order; finding no input at all is an error, since a mistyped folder
// would otherwise pass without checking anything.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

namespace fs = std::filesystem;

bool CollectInputs(const fs::path& path, std::vector<fs::path>& inputs) {
  std::error_code error;
  if (fs::is_regular_file(path, error)) {
    inputs.push_back(path);
    return true;
  }
  if (!fs::is_directory(path, error)) return false;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(path, error)) {
    if (entry.is_regular_file(error)) inputs.push_back(entry.path());
  }
  return !error;
}

bool RunInput(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return false;
  // A buffer of exactly the input's size, so a read past its end is caught by the sanitizers.
  auto buffer = std::make_unique<std::uint8_t[]>(bytes.size());
  std::copy(bytes.begin(), bytes.end(), buffer.get());
  LLVMFuzzerTestOneInput(buffer.get(), bytes.size());
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<fs::path> inputs;
  for (int i = 1; i < argc; ++i) {
    if (!CollectInputs(argv[i], inputs)) {
      std::fprintf(stderr, "cannot read inputs from %s\n", argv[i]);
      return 2;
    }
  }
  if (inputs.empty()) {
    std::fprintf(stderr, "no inputs given\n");
    return 2;
  }
  std::sort(inputs.begin(), inputs.end());
  for (const fs::path& input : inputs) {
    if (!RunInput(input)) {
      std::fprintf(stderr, "cannot read %s\n", input.c_str());
      return 2;
    }
  }
  std::printf("%zu inputs replayed\n", inputs.size());
  return 0;
}
