#include "core/master/MasterImportSettings.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <system_error>

#include "core/io/UniqueFd.h"
#include "core/util/StrToInt.h"

namespace vantrix {

namespace {

constexpr std::size_t kMaxFileSize = 64 * 1024;

// Values are one line each: line breaks in a field would start a new key.
std::string OneLine(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c == '\r' || c == '\n') c = ' ';
  return out;
}

}  // namespace

std::filesystem::path MasterImportSettingsPath(const char* xdgConfigHome, const char* home) {
  std::filesystem::path folder;
  if (xdgConfigHome && xdgConfigHome[0] == '/') {
    folder = xdgConfigHome;
  } else if (home && home[0] == '/') {
    folder = std::filesystem::path(home) / ".config";
  } else {
    return {};
  }
  return folder / "vantrix" / "master-import.ini";
}

MasterImportSettings ParseMasterImportSettings(std::string_view text) {
  MasterImportSettings settings;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (line.ends_with('\r')) line.remove_suffix(1);
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) continue;
    const std::string_view key = line.substr(0, equals);
    const std::string_view value = line.substr(equals + 1);
    if (key == "Address") {
      if (!value.empty()) settings.address = value;
    } else if (key == "Region") {
      const auto region = TryStrToInt(value);
      if (region && *region >= 0 && *region <= 0xFF) settings.region = static_cast<std::uint8_t>(*region);
    } else if (key == "Filter") {
      settings.filter = value;
    } else if (key == "Limit") {
      const auto limit = TryStrToInt(value);
      if (limit && *limit >= 1 && *limit <= MasterImportSettings::kMaxLimit) settings.limit = *limit;
    } else if (key == "ApiKey") {
      settings.apiKey = value;
    }
  }
  return settings;
}

std::string FormatMasterImportSettings(const MasterImportSettings& settings) {
  return "Address=" + OneLine(settings.address) + "\nRegion=" + std::to_string(settings.region) +
         "\nFilter=" + OneLine(settings.filter) + "\nLimit=" + std::to_string(settings.limit) +
         "\nApiKey=" + OneLine(settings.apiKey) + "\n";
}

MasterImportSettings LoadMasterImportSettings(const std::filesystem::path& path) {
  if (path.empty()) return {};
  UniqueFd fd(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
  if (!fd.Valid()) return {};
  std::string text;
  char buffer[4096];
  while (text.size() < kMaxFileSize) {
    const ssize_t got = read(fd.Get(), buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    text.append(buffer, static_cast<std::size_t>(got));
  }
  return ParseMasterImportSettings(text);
}

bool SaveMasterImportSettings(const std::filesystem::path& path, const MasterImportSettings& settings) {
  if (path.empty()) return false;
  std::error_code error;
  const std::filesystem::path folder = path.parent_path();
  if (!std::filesystem::exists(folder, error)) {
    std::filesystem::create_directories(folder, error);
    if (error) return false;
    chmod(folder.c_str(), 0700);
  }
  // Written beside and renamed over, so a failed write never leaves half a file; the mode
  // is set before any byte of the key is in it.
  const std::filesystem::path temporary = path.string() + ".new";
  UniqueFd fd(open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600));
  if (!fd.Valid()) return false;
  if (fchmod(fd.Get(), 0600) != 0) return false;
  const std::string text = FormatMasterImportSettings(settings);
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
