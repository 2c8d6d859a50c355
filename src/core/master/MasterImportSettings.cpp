#include "core/master/MasterImportSettings.h"

#include "core/io/SideFile.h"
#include "core/util/StrToInt.h"

namespace vantrix {

namespace {

constexpr std::size_t kMaxFileSize = 64 * 1024;

}  // namespace

std::filesystem::path MasterImportSettingsPath(const char* xdgConfigHome, const char* home) {
  return SideFilePath(xdgConfigHome, home, "master-import.ini");
}

MasterImportSettings ParseMasterImportSettings(std::string_view text) {
  MasterImportSettings settings;
  ForEachSideFileEntry(text, [&](std::string_view key, std::string_view value) {
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
  });
  return settings;
}

std::string FormatMasterImportSettings(const MasterImportSettings& settings) {
  return "Address=" + SideFileValue(settings.address) + "\nRegion=" + std::to_string(settings.region) +
         "\nFilter=" + SideFileValue(settings.filter) + "\nLimit=" + std::to_string(settings.limit) +
         "\nApiKey=" + SideFileValue(settings.apiKey) + "\n";
}

MasterImportSettings LoadMasterImportSettings(const std::filesystem::path& path) {
  const auto text = ReadSideFile(path, kMaxFileSize);
  return text ? ParseMasterImportSettings(*text) : MasterImportSettings{};
}

bool SaveMasterImportSettings(const std::filesystem::path& path, const MasterImportSettings& settings) {
  // The key may be in it: only the user may read it.
  return WriteSideFile(path, FormatMasterImportSettings(settings), 0600);
}

}  // namespace vantrix
