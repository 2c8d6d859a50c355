#include "core/settings/ConfigFile.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <system_error>
#include <vector>

#include "core/io/FileOpen.h"
#include "core/io/SafeFileWriter.h"
#include "core/io/TextFile.h"
#include "core/settings/SettingsText.h"

// Set by the build from the install layout: the marker's place relative to the program folder.
#ifndef VANTRIX_INSTALLED_MARKER
#define VANTRIX_INSTALLED_MARKER "../share/vantrix/installed"
#endif

namespace fs = std::filesystem;

namespace vantrix {

namespace {

constexpr const char* kProgramFolderName = "vantrix";

bool IsAbsoluteText(const char* text) {
  return text != nullptr && text[0] == '/';
}

std::string HomeFromUserDatabase() {
  long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
  passwd entry{};
  passwd* found = nullptr;
  if (::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || found == nullptr ||
      !IsAbsoluteText(found->pw_dir))
    return {};
  return found->pw_dir;
}

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

fs::path UserConfigDirectory(const char* xdgConfigHome, const char* home) {
  if (IsAbsoluteText(xdgConfigHome)) return fs::path(xdgConfigHome) / kProgramFolderName;
  if (IsAbsoluteText(home)) return fs::path(home) / ".config" / kProgramFolderName;
  return {};
}

fs::path UserConfigDirectory() {
  const char* home = std::getenv("HOME");
  std::string databaseHome;
  if (!IsAbsoluteText(home)) {
    databaseHome = HomeFromUserDatabase();
    home = databaseHome.c_str();
  }
  return UserConfigDirectory(std::getenv("XDG_CONFIG_HOME"), home);
}

fs::path UserStateDirectory(const char* xdgStateHome, const char* home) {
  if (IsAbsoluteText(xdgStateHome)) return fs::path(xdgStateHome) / kProgramFolderName;
  if (IsAbsoluteText(home)) return fs::path(home) / ".local" / "state" / kProgramFolderName;
  return {};
}

fs::path UserStateDirectory() {
  const char* home = std::getenv("HOME");
  std::string databaseHome;
  if (!IsAbsoluteText(home)) {
    databaseHome = HomeFromUserDatabase();
    home = databaseHome.c_str();
  }
  return UserStateDirectory(std::getenv("XDG_STATE_HOME"), home);
}

bool CanCreateFileIn(const fs::path& folder) {
  // A file without a name cannot be left behind; not every file system makes one.
  const int unnamed = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
  if (unnamed >= 0) {
    ::close(unnamed);
    return true;
  }
  if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) return false;
  std::string pattern = (folder / ".config.ini.probe-XXXXXX").string();
  const int named = ::mkstemp(pattern.data());
  if (named < 0) return false;
  ::close(named);
  ::unlink(pattern.c_str());
  return true;
}

fs::path InstalledMarkerPath(const fs::path& executableDir) {
  return (executableDir / VANTRIX_INSTALLED_MARKER).lexically_normal();
}

fs::path InstalledSettingsPath(const fs::path& executableDir) {
  return InstalledMarkerPath(executableDir).parent_path() / kConfigFileName;
}

ConfigLocation ChooseConfigLocation(const fs::path& executableDir, const fs::path& userDir) {
  ConfigLocation beside{executableDir / kConfigFileName, false, {}};  // not const: returned by move
  if (userDir.empty()) return beside;
  // A file already beside the program is the one meant, whether or not its folder takes new
  // files and wherever the program was installed; a Save that cannot write it says so.
  struct stat st {};
  if (::lstat(beside.path.c_str(), &st) == 0) return beside;
  std::error_code ec;
  const bool installed = fs::exists(InstalledMarkerPath(executableDir), ec);
  if (!installed && CanCreateFileIn(executableDir)) return beside;
  return {userDir / kConfigFileName, true, installed ? InstalledSettingsPath(executableDir) : fs::path()};
}

ConfigLocation DefaultConfigLocation() {
  return ChooseConfigLocation(ExecutableDirectory(), UserConfigDirectory());
}

fs::path DefaultConfigPath() {
  return DefaultConfigLocation().path;
}

ConfigFile::ConfigFile() : ConfigFile(DefaultConfigLocation()) {}

ConfigFile::ConfigFile(fs::path path, WriteLimit limit) : m_path(std::move(path)), m_limit(limit) {}

ConfigFile::ConfigFile(ConfigLocation location, WriteLimit limit)
    : m_path(std::move(location.path)),
      m_limit(limit),
      m_createFolder(location.createFolder),
      m_installedDefaults(std::move(location.installedDefaults)) {}

SettingsLoad ConfigFile::LoadSettings(Settings& settings) const {
  std::string bytes;
  if (!ReadFileBytes(m_path, bytes)) {
    const int openError = errno;
    if (IsMissing(m_path)) {
      // An installed copy's own settings stand in for the user's until the first Save.
      std::string installed;
      if (!m_installedDefaults.empty() && ReadFileBytes(m_installedDefaults, installed)) {
        ParseSettingsText(installed, settings);
        return SettingsLoad::kInstalledRead;
      }
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
  status.SetMessage(kCannotSaveConfigText);
  return false;
}

bool ConfigFile::Write(std::string_view bytes) const {
  if (m_createFolder && !MakePrivateFolders(m_path.parent_path())) return false;
  SafeFileWriter writer(m_path, m_limit);
  if (!writer.Open()) return false;
  writer.Write(bytes);
  writer.Commit();
  return true;
}

}  // namespace vantrix
