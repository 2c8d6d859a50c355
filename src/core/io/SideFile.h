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

}  // namespace vantrix
