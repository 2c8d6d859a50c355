#include "check/CheckInputs.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "core/table/ServerRow.h"

namespace vantrix {

namespace {

// Bounded by the input's size: each pass reads at least one byte or ends.
bool ReadAll(int fd, std::string& out) {
  char buffer[65536];
  for (;;) {
    const ssize_t got = read(fd, buffer, sizeof buffer);
    if (got == 0) return true;
    if (got < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    out.append(buffer, static_cast<std::size_t>(got));
  }
}

bool IsRegularFile(const std::string& path) {
  std::error_code error;
  return std::filesystem::is_regular_file(path, error);
}

}  // namespace

GatheredInputs GatherInputs(const CheckOptions& options) {
  GatheredInputs gathered;
  std::vector<ServerRow> rows;
  bool stdinRead = false;
  for (const CheckInputSpec& input : options.inputs) {
    CheckInputSpec::Kind kind = input.kind;
    if (kind == CheckInputSpec::Kind::kUnsure) kind = ClassifyArgument(input.text, IsRegularFile(input.text));
    switch (kind) {
      case CheckInputSpec::Kind::kFile:
        if (auto error = ReadCheckList(input.text, rows)) gathered.errors.push_back(*error);
        break;
      case CheckInputSpec::Kind::kStdin: {
        if (stdinRead) break;
        stdinRead = true;
        std::string text;
        if (!ReadAll(STDIN_FILENO, text))
          gathered.errors.push_back(std::string("Cannot read standard input: ") + std::strerror(errno));
        ReadCheckLines(text, rows);
        break;
      }
      case CheckInputSpec::Kind::kAddress:
      case CheckInputSpec::Kind::kUnsure:
        rows.push_back(ServerRow::Blank(input.text));
        break;
    }
  }
  gathered.items.reserve(rows.size());
  for (ServerRow& row : rows) gathered.items.push_back(MakeCheckItem(std::move(row), options.defaultPort));
  return gathered;
}

}  // namespace vantrix
