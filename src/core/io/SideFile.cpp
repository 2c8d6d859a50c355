#include "core/io/SideFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <system_error>

#include "core/io/UniqueFd.h"

namespace vantrix {

std::filesystem::path SideFilePath(const char* xdgConfigHome, const char* home, std::string_view name) {
  std::filesystem::path folder;
  if (xdgConfigHome && xdgConfigHome[0] == '/') {
    folder = xdgConfigHome;
  } else if (home && home[0] == '/') {
    folder = std::filesystem::path(home) / ".config";
  } else {
    return {};
  }
  return folder / "vantrix" / std::string(name);
}

std::optional<std::string> ReadSideFile(const std::filesystem::path& path, std::size_t maxSize) {
  if (path.empty()) return std::nullopt;
  // Non-blocking, so that a FIFO in its place does not wait for a writer.
  UniqueFd fd(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
  if (!fd.Valid()) return std::nullopt;
  struct stat status {};
  if (fstat(fd.Get(), &status) != 0 || !S_ISREG(status.st_mode)) return std::nullopt;
  std::string text;
  char buffer[4096];
  while (text.size() < maxSize) {
    const ssize_t got = read(fd.Get(), buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return std::nullopt;
    if (got == 0) break;
    text.append(buffer, static_cast<std::size_t>(got));
  }
  if (text.size() > maxSize) text.resize(maxSize);
  return text;
}

bool WriteSideFile(const std::filesystem::path& path, std::string_view text, mode_t mode) {
  if (path.empty()) return false;
  std::error_code error;
  const std::filesystem::path folder = path.parent_path();
  if (!std::filesystem::exists(folder, error)) {
    std::filesystem::create_directories(folder, error);
    if (error) return false;
    chmod(folder.c_str(), 0700);
  }
  const std::filesystem::path temporary = path.string() + ".new";
  UniqueFd fd(open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, mode));
  if (!fd.Valid()) return false;
  if (fchmod(fd.Get(), mode) != 0) {
    unlink(temporary.c_str());
    return false;
  }
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t wrote = write(fd.Get(), text.data() + done, text.size() - done);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) {
      unlink(temporary.c_str());
      return false;
    }
    done += static_cast<std::size_t>(wrote);
  }
  fd.Reset();
  if (std::rename(temporary.c_str(), path.c_str()) != 0) {
    unlink(temporary.c_str());
    return false;
  }
  return true;
}

}  // namespace vantrix
