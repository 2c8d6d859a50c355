#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "core/filter/FilterQuery.h"

namespace vantrix {

// The filter bar as the user left it, kept in view.ini beside the other files of the user's
// own (never in config.ini, which keeps its nine lines).
struct FilterBarSettings {
  bool visible = false;
  std::string text;  // UTF-8
  FilterToggles toggles;

  bool operator==(const FilterBarSettings&) const = default;
};

// $XDG_CONFIG_HOME/vantrix/view.ini, or ~/.config/vantrix/view.ini; empty when neither
// gives a folder.
std::filesystem::path FilterBarSettingsPath(const char* xdgConfigHome, const char* home);

// Key=value lines; unknown keys, bad values and garbage leave the defaults.
FilterBarSettings ParseFilterBarSettings(std::string_view text);
std::string FormatFilterBarSettings(const FilterBarSettings& settings);

// A missing, unreadable or odd file (a folder, say) gives the defaults, silently.
FilterBarSettings LoadFilterBarSettings(const std::filesystem::path& path);
// Writes beside and renames over; false when it cannot (the settings then live on in memory
// until the next change tries again).
bool SaveFilterBarSettings(const std::filesystem::path& path, const FilterBarSettings& settings);

}  // namespace vantrix
