#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "core/io/TextFile.h"
#include "core/settings/ConfigFile.h"
#include "core/settings/SettingsText.h"
#include "support/TestData.h"

namespace fs = std::filesystem;

namespace vantrix {
namespace {

using test::Slurp;
using test::Spit;
using test::TempDir;

std::size_t EntriesIn(const fs::path& folder) {
  return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

mode_t ModeOf(const fs::path& path) {
  struct stat st {};
  ::stat(path.c_str(), &st);
  return st.st_mode & 07777;
}

// Sets or unsets one environment variable while it lives and puts the old value back.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : m_name(name) {
    if (const char* old = std::getenv(name)) m_old = old;
    if (value != nullptr) {
      ::setenv(name, value, 1);
    } else {
      ::unsetenv(name);
    }
  }
  ~ScopedEnv() {
    if (m_old) {
      ::setenv(m_name, m_old->c_str(), 1);
    } else {
      ::unsetenv(m_name);
    }
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  const char* m_name;
  std::optional<std::string> m_old;
};

// A folder that cannot exist because its parent is a plain file: nothing, not even root, can
// create a file in it.
fs::path UnwritableFolder(const TempDir& dir) {
  Spit(dir / "plain-file", "x");
  return dir / "plain-file" / "bin";
}

TEST(ConfigLocation, UserFolderFollowsXdgConfigHomeThenHome) {
  EXPECT_EQ(UserConfigDirectory("/cfg", "/home/u"), fs::path("/cfg/vantrix"));
  EXPECT_EQ(UserConfigDirectory("/cfg/", "/home/u"), fs::path("/cfg/vantrix"));
  EXPECT_EQ(UserConfigDirectory(nullptr, "/home/u"), fs::path("/home/u/.config/vantrix"));
  EXPECT_EQ(UserConfigDirectory("", "/home/u"), fs::path("/home/u/.config/vantrix"));
  // A relative XDG_CONFIG_HOME is not valid and must be ignored, not taken from the current folder.
  EXPECT_EQ(UserConfigDirectory("rel/cfg", "/home/u"), fs::path("/home/u/.config/vantrix"));
  EXPECT_EQ(UserConfigDirectory("/cfg", nullptr), fs::path("/cfg/vantrix"));
  EXPECT_TRUE(UserConfigDirectory(nullptr, nullptr).empty());
  EXPECT_TRUE(UserConfigDirectory("", "relative/home").empty());
}

TEST(ConfigLocation, StateFolderFollowsXdgStateHomeThenHome) {
  EXPECT_EQ(UserStateDirectory("/st", "/home/u"), fs::path("/st/vantrix"));
  EXPECT_EQ(UserStateDirectory("rel/st", "/home/u"), fs::path("/home/u/.local/state/vantrix"));
  EXPECT_TRUE(UserStateDirectory("", nullptr).empty());
}

TEST(ConfigLocation, UserFolderFromTheEnvironmentOrTheUserDatabase) {
  {
    const ScopedEnv xdg("XDG_CONFIG_HOME", "/xdg/here");
    const ScopedEnv home("HOME", "/home/someone");
    EXPECT_EQ(UserConfigDirectory(), fs::path("/xdg/here/vantrix"));
  }
  {
    const ScopedEnv xdg("XDG_CONFIG_HOME", nullptr);
    const ScopedEnv home("HOME", "/home/someone");
    EXPECT_EQ(UserConfigDirectory(), fs::path("/home/someone/.config/vantrix"));
  }
  const passwd* entry = ::getpwuid(::geteuid());
  ASSERT_NE(entry, nullptr);
  ASSERT_EQ(entry->pw_dir[0], '/');
  const ScopedEnv xdg("XDG_CONFIG_HOME", nullptr);
  const ScopedEnv home("HOME", nullptr);
  EXPECT_EQ(UserConfigDirectory(), fs::path(entry->pw_dir) / ".config" / "vantrix");
}

TEST(ConfigLocation, CreatingAFileIsTriedAndLeavesNothingBehind) {
  TempDir dir;
  EXPECT_TRUE(CanCreateFileIn(dir.Path()));
  EXPECT_EQ(EntriesIn(dir.Path()), 0u);

  EXPECT_FALSE(CanCreateFileIn(UnwritableFolder(dir)));
  EXPECT_FALSE(CanCreateFileIn(dir / "missing"));
  EXPECT_FALSE(CanCreateFileIn(dir / "plain-file"));
  // Permission bits would let root write here; the kernel's own folder takes no files at all.
  EXPECT_FALSE(CanCreateFileIn("/proc"));
  EXPECT_EQ(EntriesIn(dir.Path()), 1u);
  EXPECT_EQ(Slurp(dir / "plain-file"), "x");
}

TEST(ConfigLocation, WritableProgramFolderKeepsTheFileBesideTheProgram) {
  TempDir dir;
  fs::create_directories(dir / "build" / "bin");
  const ConfigLocation location = ChooseConfigLocation(dir / "build" / "bin", dir / "user");
  EXPECT_EQ(location.path, dir / "build" / "bin" / "config.ini");
  EXPECT_FALSE(location.createFolder);
  EXPECT_FALSE(fs::exists(dir / "user"));
  EXPECT_EQ(EntriesIn(dir / "build" / "bin"), 0u);
}

TEST(ConfigLocation, UnwritableProgramFolderUsesTheUserFolder) {
  TempDir dir;
  const ConfigLocation location = ChooseConfigLocation(UnwritableFolder(dir), dir / "user" / "vantrix");
  EXPECT_EQ(location.path, dir / "user" / "vantrix" / "config.ini");
  EXPECT_TRUE(location.createFolder);
  EXPECT_FALSE(fs::exists(dir / "user"));  // made on the first write, not when the place is chosen

  const ConfigLocation kernel = ChooseConfigLocation("/proc", dir / "user");
  EXPECT_EQ(kernel.path, dir / "user" / "config.ini");

  // With no user folder at all there is nowhere better than beside the program.
  const ConfigLocation nowhere = ChooseConfigLocation(UnwritableFolder(dir), {});
  EXPECT_EQ(nowhere.path, UnwritableFolder(dir) / "config.ini");
  EXPECT_FALSE(nowhere.createFolder);
}

TEST(ConfigLocation, InstalledCopyUsesTheUserFolderEvenWhenItCouldWrite) {
  TempDir dir;
  const fs::path prefix = dir / "prefix";
  const fs::path bin = prefix / "bin";
  const fs::path marker = InstalledMarkerPath(bin);
  // The marker lies in the prefix, outside the program folder, so a copied program has none.
  EXPECT_EQ(std::mismatch(prefix.begin(), prefix.end(), marker.begin(), marker.end()).first, prefix.end())
      << marker;
  EXPECT_NE(marker.parent_path(), bin);
  fs::create_directories(bin);
  fs::create_directories(marker.parent_path());
  Spit(marker, "");
  ASSERT_TRUE(CanCreateFileIn(bin));

  const ConfigLocation location = ChooseConfigLocation(bin, dir / "user");
  EXPECT_EQ(location.path, dir / "user" / "config.ini");
  EXPECT_TRUE(location.createFolder);

  // The same program copied elsewhere, away from its marker, keeps its file beside it.
  fs::create_directories(dir / "portable");
  EXPECT_EQ(ChooseConfigLocation(dir / "portable", dir / "user").path, dir / "portable" / "config.ini");
  fs::remove(marker);
  EXPECT_EQ(ChooseConfigLocation(bin, dir / "user").path, bin / "config.ini");
}

TEST(ConfigLocation, InstalledCopyReadsItsOwnSettingsUntilTheFirstSave) {
  TempDir dir;
  const fs::path bin = dir / "prefix" / "bin";
  fs::create_directories(InstalledMarkerPath(bin).parent_path());
  fs::create_directories(bin);
  Spit(InstalledMarkerPath(bin), "");
  // The very bytes the install rules put there: the defaults and today's protocol.
  Settings today;
  today.queryProtocol = QueryProtocol::kCurrent;
  EXPECT_EQ(Slurp(VANTRIX_INSTALLED_CONFIG), SettingsToText(today));
  Spit(InstalledSettingsPath(bin), Slurp(VANTRIX_INSTALLED_CONFIG));

  ConfigFile config(ChooseConfigLocation(bin, dir / "user"));
  Settings settings;
  EXPECT_EQ(config.LoadSettings(settings), SettingsLoad::kInstalledRead);
  EXPECT_EQ(settings, today);
  EXPECT_FALSE(fs::exists(dir / "user"));  // nothing written at start
  StatusLine status;
  settings.udpDelay = "9";
  ASSERT_TRUE(config.SaveSettings(settings, status));  // the user's own file from now on
  Settings again;
  EXPECT_EQ(config.LoadSettings(again), SettingsLoad::kRead);
  EXPECT_EQ(again, settings);
}

TEST(ConfigLocation, AFileBesideTheProgramIsAlwaysTheOneRead) {
  TempDir dir;
  const fs::path bin = dir / "prefix" / "bin";
  const fs::path marker = InstalledMarkerPath(bin);
  fs::create_directories(bin);
  fs::create_directories(marker.parent_path());
  Spit(marker, "");
  Spit(bin / "config.ini", "UDPDelay=7\r\n");
  // An installed copy with its own config.ini reads and saves that one.
  const ConfigLocation installed = ChooseConfigLocation(bin, dir / "user");
  EXPECT_EQ(installed.path, bin / "config.ini");
  EXPECT_FALSE(installed.createFolder);
}

// A program whose folder takes no new file, when its config.ini is already there.
TEST(ConfigLocation, AFileBesideTheProgramInAReadOnlyFolderIsRead) {
  TempDir dir;
  const fs::path locked = dir / "locked";
  fs::create_directories(locked);
  Spit(locked / "config.ini", "UDPDelay=7\r\n");
  ::chmod(locked.c_str(), 0555);
  if (CanCreateFileIn(locked)) {
    ::chmod(locked.c_str(), 0755);
    GTEST_SKIP() << "permission bits do not hold for this user";
  }
  const ConfigLocation readOnly = ChooseConfigLocation(locked, dir / "user");
  ::chmod(locked.c_str(), 0755);
  EXPECT_EQ(readOnly.path, locked / "config.ini");
  EXPECT_FALSE(fs::exists(dir / "user"));
}

TEST(ConfigLocation, TheTestProgramItselfWritesBesideItself) {
  if (::access(ExecutableDirectory().c_str(), W_OK) != 0)
    GTEST_SKIP() << "the build folder is not writable here";
  const ConfigLocation location = DefaultConfigLocation();
  EXPECT_EQ(location.path, ExecutableDirectory() / "config.ini");
  EXPECT_FALSE(location.createFolder);
  EXPECT_EQ(ConfigFile().Path(), location.path);
}

TEST(ConfigLocation, UserFolderIsMadePrivateOnTheFirstWrite) {
  TempDir dir;
  const fs::path folder = dir / "home" / ".config" / "vantrix";
  const ConfigFile file(ConfigLocation{folder / "config.ini", true, {}});
  EXPECT_FALSE(fs::exists(dir / "home"));

  Settings settings;
  settings.udpDelay = "77";
  EXPECT_EQ(file.LoadSettings(settings), SettingsLoad::kDefaultsWritten);
  EXPECT_EQ(settings.udpDelay, "77");
  EXPECT_EQ(Slurp(folder / "config.ini"), DefaultSettingsText());
  EXPECT_EQ(ModeOf(dir / "home"), 0700u);
  EXPECT_EQ(ModeOf(dir / "home" / ".config"), 0700u);
  EXPECT_EQ(ModeOf(folder), 0700u);

  StatusLine status;
  settings.defaultPort = "27020";
  ASSERT_TRUE(file.SaveSettings(settings, status));
  EXPECT_EQ(Slurp(folder / "config.ini"), SettingsToText(settings));
  Settings reread;
  EXPECT_EQ(file.LoadSettings(reread), SettingsLoad::kRead);
  EXPECT_EQ(reread, settings);
  EXPECT_EQ(EntriesIn(folder), 1u);
}

TEST(ConfigLocation, ExistingUserFolderIsLeftAsItIs) {
  TempDir dir;
  fs::create_directories(dir / "cfg");
  fs::permissions(dir / "cfg", fs::perms(0750));
  const ConfigFile file(ConfigLocation{dir / "cfg" / "vantrix" / "config.ini", true, {}});
  StatusLine status;
  ASSERT_TRUE(file.SaveSettings(Settings{}, status));
  EXPECT_EQ(ModeOf(dir / "cfg"), 0750u);
  EXPECT_EQ(ModeOf(dir / "cfg" / "vantrix"), 0700u);
  EXPECT_EQ(Slurp(dir / "cfg" / "vantrix" / "config.ini"), SettingsToText(Settings{}));
}

TEST(ConfigLocation, UserFolderThatCannotBeMadeIsReportedLikeAnyWriteFailure) {
  TempDir dir;
  const ConfigFile file(ConfigLocation{UnwritableFolder(dir) / "vantrix" / "config.ini", true, {}});
  StatusLine status;
  EXPECT_FALSE(file.SaveSettings(Settings{}, status));
  EXPECT_EQ(status.Message(), "Error: Cannot save config.ini file");
  Settings settings;
  // The parent that is a file hides what would be there: not "missing", so nothing is written.
  EXPECT_THROW(file.LoadSettings(settings), FileReadError);

  const ConfigFile missingParent(ConfigLocation{dir / "plain-file" / "config.ini", true, {}});
  EXPECT_THROW(missingParent.WriteDefaultSettings(), FileWriteError);
  EXPECT_EQ(Slurp(dir / "plain-file"), "x");
  EXPECT_EQ(EntriesIn(dir.Path()), 1u);
}

}  // namespace
}  // namespace vantrix
