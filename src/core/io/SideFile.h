#pragma once

#include <sys/types.h>

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace vantrix {

// The user's own small files beside config.ini ($XDG_CONFIG_HOME/vantrix/NAME, or
// ~/.config/vantrix/NAME when the variable is unset or not absolute); empty when neither
// gives a folder.
std::filesystem::path SideFilePath(const char* xdgConfigHome, const char* home, std::string_view name);

// The file's bytes, at most maxSize of them; nullopt when it cannot be read as a regular
// file (missing, a folder, a FIFO, no permission).
std::optional<std::string> ReadSideFile(const std::filesystem::path& path, std::size_t maxSize = 64 * 1024);

// Writes the text beside the file and renames it over, so a failed write never leaves half
// a file; the mode is set before any byte is written (the folder is made 0700 when it is
// made here). False when any step fails.
bool WriteSideFile(const std::filesystem::path& path, std::string_view text, mode_t mode);

// A value as one line: a line break in it would start a new key, so each becomes a space.
inline std::string SideFileValue(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c == '\r' || c == '\n') c = ' ';
  return out;
}

// Calls entry(key, value) for each KEY=VALUE line of a side file's text, in order; lines end
// with LF (a CR before it is dropped); a line without "=" is passed over.
template <typename Entry>
void ForEachSideFileEntry(std::string_view text, Entry&& entry) {
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (line.ends_with('\r')) line.remove_suffix(1);
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) continue;
    entry(line.substr(0, equals), line.substr(equals + 1));
  }
}

}  // namespace vantrix
