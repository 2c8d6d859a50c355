#pragma once

#include <filesystem>

#include "core/io/WriteLimit.h"
#include "core/settings/Settings.h"
#include "core/table/StatusLine.h"

namespace vantrix {

inline constexpr const char* kConfigFileName = "config.ini";
inline constexpr const char* kCannotSaveConfigText = "Error: Cannot save config.ini file";

// The folder that holds the running program's executable (not the current folder); the
// current folder only when the system cannot tell.
std::filesystem::path ExecutableDirectory();

// Where config.ini is read and written; createFolder when its folder is made on the first write.
// installedDefaults: the file read instead while `path` does not exist (an installed copy's
// own settings); nothing is written then until the first Save.
struct ConfigLocation {
  std::filesystem::path path;
  bool createFolder = false;
  std::filesystem::path installedDefaults;
};

// The user's configuration folder for the program: $XDG_CONFIG_HOME/vantrix, or
// $HOME/.config/vantrix when XDG_CONFIG_HOME is unset, empty or relative (the home folder from
// the user database when HOME is unusable too). Empty when there is no home at all.
std::filesystem::path UserConfigDirectory();
// The same from the given texts, either of which may be null; no lookups.
std::filesystem::path UserConfigDirectory(const char* xdgConfigHome, const char* home);

// Where the program keeps what it writes on its own: $XDG_STATE_HOME/vantrix, or
// $HOME/.local/state/vantrix under the same rules as above. Empty when there is no home.
std::filesystem::path UserStateDirectory();
std::filesystem::path UserStateDirectory(const char* xdgStateHome, const char* home);

// Whether the process can create a file in the folder. It is tried, not read off the permission
// bits, which say nothing for root, a read-only mount or a folder that is not there.
bool CanCreateFileIn(const std::filesystem::path& folder);

// The file that the install rules put beside an installed copy's program folder.
std::filesystem::path InstalledMarkerPath(const std::filesystem::path& executableDir);
// The settings that the install rules put beside the marker.
std::filesystem::path InstalledSettingsPath(const std::filesystem::path& executableDir);

// config.ini beside the executable when one exists there. When none does: beside the executable
// while that folder can take a new file and is not an installed copy's program folder (a system
// folder like /usr/bin, writable for root, holds no user settings); otherwise config.ini in
// userDir, made on the first write, and the installed settings read while it is missing.
// Beside the executable when userDir is empty.
ConfigLocation ChooseConfigLocation(const std::filesystem::path& executableDir,
                                    const std::filesystem::path& userDir);

// ChooseConfigLocation for the running program and its user.
ConfigLocation DefaultConfigLocation();
std::filesystem::path DefaultConfigPath();

enum class SettingsLoad {
  kRead,             // the file was read into the settings
  kDefaultsWritten,  // there was no file: the default file was written, the settings are unchanged
  kInstalledRead,    // there was no file: the installed settings were read, nothing was written
};

// config.ini at one path: loading, writing the defaults and saving. Writes go through a
// temporary file that replaces the old one only when everything is on disk, so a failure
// never leaves a truncated or empty file.
class ConfigFile {
 public:
  // At DefaultConfigLocation().
  ConfigFile();
  explicit ConfigFile(std::filesystem::path path, WriteLimit limit = {});
  explicit ConfigFile(ConfigLocation location, WriteLimit limit = {});

  const std::filesystem::path& Path() const { return m_path; }

  // Reads the file into the settings (see ParseSettingsText). When the file does not exist
  // the installed settings are read, when there are any; else the default file is written
  // and the settings keep their values. An existing file that
  // cannot be read throws FileReadError and is left alone; a colour that does not convert
  // throws ConversionError with the lines before it applied; a default file that cannot be
  // written throws FileWriteError.
  SettingsLoad LoadSettings(Settings& settings) const;

  // Writes the nine default lines. Throws FileWriteError when the file cannot be created or
  // written; the old file is then unchanged.
  void WriteDefaultSettings() const;

  // Save: writes the nine lines of the settings. When the file cannot be created, writes
  // kCannotSaveConfigText to the message panel and returns false. A failure while writing
  // after that throws FileWriteError (for the general error report); the old file is then
  // unchanged. True when the file was written.
  bool SaveSettings(const Settings& settings, StatusLine& status) const;

 private:
  // False when the file cannot be created; throws FileWriteError on a later failure.
  bool Write(std::string_view bytes) const;

  std::filesystem::path m_path;
  WriteLimit m_limit;
  bool m_createFolder = false;
  std::filesystem::path m_installedDefaults;
};

}  // namespace vantrix
