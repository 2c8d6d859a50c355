#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "core/master/MasterRequest.h"

namespace vantrix {

// The fields of the "Import from master server" dialog, remembered between uses and runs
// in a file of the user's own (it may hold the Web API key, so only the user may read it).
struct MasterImportSettings {
  static constexpr int kDefaultLimit = 5000;
  static constexpr int kMaxLimit = 1'000'000;

  std::string address{kDefaultMasterAddress};
  std::uint8_t region = kRegionEverywhere;
  std::string filter;
  int limit = kDefaultLimit;
  std::string apiKey;

  bool operator==(const MasterImportSettings&) const = default;
};

// $XDG_CONFIG_HOME/vantrix/master-import.ini, or ~/.config/vantrix/... when the variable is
// unset or not absolute; empty when neither gives a folder.
std::filesystem::path MasterImportSettingsPath(const char* xdgConfigHome, const char* home);

// Key=value lines; unknown keys and bad values leave the defaults. A missing file gives the
// defaults.
MasterImportSettings ParseMasterImportSettings(std::string_view text);
std::string FormatMasterImportSettings(const MasterImportSettings& settings);

MasterImportSettings LoadMasterImportSettings(const std::filesystem::path& path);
// Writes the file with mode 0600 (its folder 0700 when made here); false when it fails.
bool SaveMasterImportSettings(const std::filesystem::path& path, const MasterImportSettings& settings);

}  // namespace vantrix
