#include "core/filter/FilterBarSettings.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <system_error>

#include "core/io/UniqueFd.h"
#include "core/settings/ConfigFile.h"
#include "core/util/StrToInt.h"

namespace vantrix {

namespace {

constexpr std::size_t kMaxFileSize = 16 * 1024;

std::string OneLine(std::string_view text) {
  std::string out(text.substr(0, kMaxFilterTextBytes));
  for (char& c : out)
    if (c == '\r' || c == '\n') c = ' ';
  return out;
}

void ReadFlag(std::string_view value, bool& flag) {
  if (value == "1") flag = true;
  if (value == "0") flag = false;
}

}  // namespace

std::filesystem::path FilterBarSettingsPath(const char* xdgConfigHome, const char* home) {
  const std::filesystem::path folder = UserConfigDirectory(xdgConfigHome, home);
  return folder.empty() ? folder : folder / "view.ini";
}

FilterBarSettings ParseFilterBarSettings(std::string_view text) {
  FilterBarSettings settings;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (line.ends_with('\r')) line.remove_suffix(1);
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) continue;
    const std::string_view key = line.substr(0, equals);
    const std::string_view value = line.substr(equals + 1);
    if (key == "FilterBar") {
      ReadFlag(value, settings.visible);
    } else if (key == "FilterText") {
      settings.text = OneLine(value);
    } else if (key == "Answered") {
      ReadFlag(value, settings.toggles.answered);
    } else if (key == "NotEmpty") {
      ReadFlag(value, settings.toggles.notEmpty);
    } else if (key == "NotFull") {
      ReadFlag(value, settings.toggles.notFull);
    } else if (key == "NoPassword") {
      ReadFlag(value, settings.toggles.noPassword);
    } else if (key == "MaxPing") {
      const auto ping = TryStrToInt(value);
      if (ping && *ping >= 0 && *ping <= kMaxFilterPing) settings.toggles.maxPing = *ping;
    }
  }
  return settings;
}

std::string FormatFilterBarSettings(const FilterBarSettings& settings) {
  const auto flag = [](bool on) { return on ? "1" : "0"; };
  const FilterToggles& toggles = settings.toggles;
  return std::string("FilterBar=") + flag(settings.visible) + "\nFilterText=" + OneLine(settings.text) +
         "\nAnswered=" + flag(toggles.answered) + "\nNotEmpty=" + flag(toggles.notEmpty) +
         "\nNotFull=" + flag(toggles.notFull) + "\nNoPassword=" + flag(toggles.noPassword) +
         "\nMaxPing=" + std::to_string(toggles.maxPing) + "\n";
}

FilterBarSettings LoadFilterBarSettings(const std::filesystem::path& path) {
  if (path.empty()) return {};
  UniqueFd fd(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (!fd.Valid()) return {};
  struct stat info {};
  if (fstat(fd.Get(), &info) != 0 || !S_ISREG(info.st_mode)) return {};
  std::string text;
  char buffer[4096];
  while (text.size() < kMaxFileSize) {
    const ssize_t got = read(fd.Get(), buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    text.append(buffer, static_cast<std::size_t>(got));
  }
  return ParseFilterBarSettings(text);
}

bool SaveFilterBarSettings(const std::filesystem::path& path, const FilterBarSettings& settings) {
  if (path.empty()) return false;
  std::error_code error;
  std::filesystem::create_directories(path.parent_path(), error);
  if (error) return false;
  // A folder in the file's place is left alone: the settings then stay in memory.
  if (std::filesystem::is_directory(path, error)) return false;
  const std::filesystem::path temporary = path.string() + ".new";
  UniqueFd fd(open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0644));
  if (!fd.Valid()) return false;
  const std::string text = FormatFilterBarSettings(settings);
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
