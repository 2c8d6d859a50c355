#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace vantrix {

// What the user watches, remembered in watch.ini beside config.ini: the watched addresses
// (so the mark comes back with any list holding one), the auto refresh interval and the
// buddies' names. List files and config.ini know nothing of it.
struct WatchSettings {
  // The intervals the "Auto refresh" submenu offers, in seconds; 0 is "Off".
  static constexpr std::array<int, 6> kIntervals{0, 30, 60, 300, 900, 3600};

  std::vector<std::string> addresses;  // in the order they were watched, each once
  int autoRefreshSeconds = 0;
  std::vector<std::string> buddies;

  bool IsWatched(std::string_view address) const;
  // Watches an address that is not watched and the other way round; returns the new mark.
  bool Toggle(std::string_view address);

  bool operator==(const WatchSettings&) const = default;
};

std::filesystem::path WatchSettingsPath(const char* xdgConfigHome, const char* home);

// "Watch=", "AutoRefresh=" and "Buddy=" lines. Lines of any other shape, an interval the
// menu does not offer and empty names are skipped: a damaged file gives what it still holds.
WatchSettings ParseWatchSettings(std::string_view text);
std::string FormatWatchSettings(const WatchSettings& settings);

// The defaults when the file cannot be read (missing, a folder, no permission).
WatchSettings LoadWatchSettings(const std::filesystem::path& path);
bool SaveWatchSettings(const std::filesystem::path& path, const WatchSettings& settings);

}  // namespace vantrix
