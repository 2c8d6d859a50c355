#include "core/ConfigFile.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <system_error>

#include "core/SafeFileWriter.h"
#include "core/SettingsText.h"
#include "core/TextFile.h"

namespace fs = std::filesystem;

namespace vantrix {

namespace {

// Only a file that really is not there may be replaced by the defaults; anything else
// (no permission, a link loop, a folder in the way) holds or hides the user's settings.
bool IsMissing(const fs::path& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) != 0 && errno == ENOENT;
}

}  // namespace

fs::path ExecutableDirectory() {
  std::error_code ec;
  const fs::path executable = fs::read_symlink("/proc/self/exe", ec);
  if (ec || !executable.has_parent_path()) return fs::current_path(ec);
  return executable.parent_path();
}

fs::path DefaultConfigPath() {
  return ExecutableDirectory() / kConfigFileName;
}

ConfigFile::ConfigFile(fs::path path, WriteLimit limit) : m_path(std::move(path)), m_limit(limit) {}

SettingsLoad ConfigFile::LoadSettings(Settings& settings) const {
  std::string bytes;
  if (!ReadFileBytes(m_path, bytes)) {
    const int openError = errno;
    if (IsMissing(m_path)) {
      WriteDefaultSettings();
      return SettingsLoad::kDefaultsWritten;
    }
    throw FileReadError("Cannot open file (" + m_path.string() + "): " + std::strerror(openError));
  }
  ParseSettingsText(bytes, settings);
  return SettingsLoad::kRead;
}

void ConfigFile::WriteDefaultSettings() const {
  if (!Write(DefaultSettingsText())) throw FileWriteError("Cannot create file " + m_path.string());
}

bool ConfigFile::SaveSettings(const Settings& settings, StatusLine& status) const {
  if (Write(SettingsToText(settings))) return true;
  status.SetStatus(3, kCannotSaveConfigText);
  return false;
}

bool ConfigFile::Write(std::string_view bytes) const {
  SafeFileWriter writer(m_path, m_limit);
  if (!writer.Open()) return false;
  writer.Write(bytes);
  writer.Commit();
  return true;
}

}  // namespace vantrix
