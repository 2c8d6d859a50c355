#pragma once

#include <filesystem>

#include "core/Settings.h"
#include "core/StatusLine.h"
#include "core/WriteLimit.h"

namespace vantrix {

inline constexpr const char* kConfigFileName = "config.ini";
inline constexpr const char* kCannotSaveConfigText = "Error: Cannot save config.ini file";

// The folder that holds the running program's executable (not the current folder); the
// current folder only when the system cannot tell.
std::filesystem::path ExecutableDirectory();

// config.ini beside the executable.
std::filesystem::path DefaultConfigPath();

enum class SettingsLoad {
  kRead,             // the file was read into the settings
  kDefaultsWritten,  // there was no file: the default file was written, the settings are unchanged
};

// config.ini at one path: loading, writing the defaults and saving. Writes go through a
// temporary file that replaces the old one only when everything is on disk, so a failure
// never leaves a truncated or empty file.
class ConfigFile {
 public:
  explicit ConfigFile(std::filesystem::path path = DefaultConfigPath(), WriteLimit limit = {});

  const std::filesystem::path& Path() const { return m_path; }

  // Reads the file into the settings (see ParseSettingsText). When the file does not exist
  // the default file is written and the settings keep their values. An existing file that
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
};

}  // namespace vantrix
