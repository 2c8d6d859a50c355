#include "core/filter/FilterBarSettings.h"

#include <system_error>

#include "core/io/SideFile.h"
#include "core/util/StrToInt.h"

namespace vantrix {

namespace {

constexpr std::size_t kMaxFileSize = 16 * 1024;

std::string OneLine(std::string_view text) {
  return SideFileValue(text.substr(0, kMaxFilterTextBytes));
}

void ReadFlag(std::string_view value, bool& flag) {
  if (value == "1") flag = true;
  if (value == "0") flag = false;
}

}  // namespace

std::filesystem::path FilterBarSettingsPath(const char* xdgConfigHome, const char* home) {
  return SideFilePath(xdgConfigHome, home, "view.ini");
}

FilterBarSettings ParseFilterBarSettings(std::string_view text) {
  FilterBarSettings settings;
  ForEachSideFileEntry(text, [&](std::string_view key, std::string_view value) {
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
  });
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
  const auto text = ReadSideFile(path, kMaxFileSize);
  return text ? ParseFilterBarSettings(*text) : FilterBarSettings{};
}

bool SaveFilterBarSettings(const std::filesystem::path& path, const FilterBarSettings& settings) {
  if (path.empty()) return false;
  // A folder in the file's place is left alone: the settings then stay in memory.
  std::error_code error;
  if (std::filesystem::is_directory(path, error)) return false;
  return WriteSideFile(path, FormatFilterBarSettings(settings), 0644);
}

}  // namespace vantrix
