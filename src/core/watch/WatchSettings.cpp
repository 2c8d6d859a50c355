#include "core/watch/WatchSettings.h"

#include <algorithm>

#include "core/io/SideFile.h"
#include "core/util/StrToInt.h"

namespace vantrix {

namespace {

constexpr std::size_t kMaxFileSize = 4 * 1024 * 1024;

bool OneLine(std::string_view text) {
  return !text.empty() && text.find_first_of("\r\n") == std::string_view::npos;
}

void AddOnce(std::vector<std::string>& names, std::string_view name) {
  if (OneLine(name) && std::find(names.begin(), names.end(), name) == names.end()) names.emplace_back(name);
}

}  // namespace

bool WatchSettings::IsWatched(std::string_view address) const {
  return std::find(addresses.begin(), addresses.end(), address) != addresses.end();
}

bool WatchSettings::Toggle(std::string_view address) {
  const auto it = std::find(addresses.begin(), addresses.end(), address);
  if (it != addresses.end()) {
    addresses.erase(it);
    return false;
  }
  addresses.emplace_back(address);
  return true;
}

std::filesystem::path WatchSettingsPath(const char* xdgConfigHome, const char* home) {
  return SideFilePath(xdgConfigHome, home, "watch.ini");
}

WatchSettings ParseWatchSettings(std::string_view text) {
  WatchSettings settings;
  ForEachSideFileEntry(text, [&](std::string_view key, std::string_view value) {
    if (key == "Watch") {
      AddOnce(settings.addresses, value);
    } else if (key == "Buddy") {
      AddOnce(settings.buddies, value);
    } else if (key == "AutoRefresh") {
      const auto seconds = TryStrToInt(value);
      if (seconds &&
          std::ranges::find(WatchSettings::kIntervals, *seconds) != WatchSettings::kIntervals.end())
        settings.autoRefreshSeconds = *seconds;
    }
  });
  return settings;
}

std::string FormatWatchSettings(const WatchSettings& settings) {
  std::string text = "AutoRefresh=" + std::to_string(settings.autoRefreshSeconds) + "\r\n";
  for (const std::string& address : settings.addresses) text += "Watch=" + address + "\r\n";
  for (const std::string& buddy : settings.buddies) text += "Buddy=" + buddy + "\r\n";
  return text;
}

WatchSettings LoadWatchSettings(const std::filesystem::path& path) {
  const auto text = ReadSideFile(path, kMaxFileSize);
  return text ? ParseWatchSettings(*text) : WatchSettings{};
}

bool SaveWatchSettings(const std::filesystem::path& path, const WatchSettings& settings) {
  return WriteSideFile(path, FormatWatchSettings(settings), 0644);
}

}  // namespace vantrix
