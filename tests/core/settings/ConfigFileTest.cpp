#include "core/settings/ConfigFile.h"

#include <sys/resource.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "core/io/TextFile.h"
#include "core/settings/SettingsText.h"
#include "core/util/ConversionError.h"
#include "support/TestData.h"

namespace fs = std::filesystem;

namespace vantrix {
namespace {

using test::Slurp;
using test::Spit;
using test::TempDir;

const Settings kChanged{"4096", true, "20", false, false, "27016", false, clMoneyGreen, clLime};

std::size_t EntriesIn(const fs::path& folder) {
  return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

// While it lives the process cannot open another file, so nothing can be created anywhere;
// unlike permission bits this holds for root too.
class NoFreeFileDescriptors {
 public:
  NoFreeFileDescriptors() {
    ::getrlimit(RLIMIT_NOFILE, &m_saved);
    const int lowestFree = ::dup(0);
    ::close(lowestFree);
    rlimit tight = m_saved;
    tight.rlim_cur = static_cast<rlim_t>(lowestFree);
    ::setrlimit(RLIMIT_NOFILE, &tight);
  }
  ~NoFreeFileDescriptors() { ::setrlimit(RLIMIT_NOFILE, &m_saved); }
  NoFreeFileDescriptors(const NoFreeFileDescriptors&) = delete;
  NoFreeFileDescriptors& operator=(const NoFreeFileDescriptors&) = delete;

 private:
  rlimit m_saved{};
};

TEST(ConfigFile, LivesBesideTheExecutable) {
  TempDir dir;
  const fs::path before = fs::current_path();
  fs::current_path(dir.Path());
  const fs::path folder = ExecutableDirectory();
  const fs::path config = DefaultConfigPath();
  fs::current_path(before);
  EXPECT_TRUE(fs::exists(folder / "core_tests")) << folder;
  EXPECT_NE(folder, dir.Path());
  // A folder that takes no new file sends config.ini to the user's folder instead.
  if (::access(folder.c_str(), W_OK) != 0) GTEST_SKIP() << folder << " is not writable here";
  EXPECT_EQ(config, folder / "config.ini");
  EXPECT_EQ(ConfigFile().Path(), config);
}

TEST(ConfigFile, MissingFileGetsTheDefaultsAndSettingsStayAsTheyWere) {
  TempDir dir;
  const ConfigFile file(dir / "config.ini");
  Settings settings = kChanged;
  EXPECT_EQ(file.LoadSettings(settings), SettingsLoad::kDefaultsWritten);
  EXPECT_EQ(settings, kChanged);
  EXPECT_EQ(Slurp(dir / "config.ini"), DefaultSettingsText());

  Settings fromDefaults = kChanged;
  EXPECT_EQ(file.LoadSettings(fromDefaults), SettingsLoad::kRead);
  EXPECT_EQ(fromDefaults, Settings{});
  EXPECT_EQ(EntriesIn(dir.Path()), 1u);
}

TEST(ConfigFile, ExistingFileIsReadAndLeftAsItIs) {
  TempDir dir;
  const std::string text =
      "bUfFeRsIzE=123456\r\n//ListColor=clRed\r\nListColor=65280\nBroadcast=1 \r\nConnect=0";
  Spit(dir / "config.ini", text);
  Settings settings;
  EXPECT_EQ(ConfigFile(dir / "config.ini").LoadSettings(settings), SettingsLoad::kRead);
  EXPECT_EQ(settings.bufferSize, "123456");
  EXPECT_EQ(settings.listColor, clLime);
  EXPECT_FALSE(settings.broadcast);
  EXPECT_FALSE(settings.connect);
  EXPECT_EQ(Slurp(dir / "config.ini"), text);

  Spit(dir / "config.ini", "");
  Settings unchanged = kChanged;
  EXPECT_EQ(ConfigFile(dir / "config.ini").LoadSettings(unchanged), SettingsLoad::kRead);
  EXPECT_EQ(unchanged, kChanged);
  EXPECT_EQ(Slurp(dir / "config.ini"), "");  // an empty file is not missing
}

TEST(ConfigFile, UnreadableFileIsReportedNotOverwritten) {
  TempDir dir;
  Settings settings = kChanged;
  fs::create_directory(dir / "config.ini");
  EXPECT_THROW(ConfigFile(dir / "config.ini").LoadSettings(settings), FileReadError);
  EXPECT_TRUE(fs::is_directory(dir / "config.ini"));

  fs::create_symlink("loop.ini", dir / "loop.ini");
  EXPECT_THROW(ConfigFile(dir / "loop.ini").LoadSettings(settings), FileReadError);
  EXPECT_TRUE(fs::is_symlink(fs::symlink_status(dir / "loop.ini")));
  EXPECT_EQ(settings, kChanged);
  EXPECT_EQ(EntriesIn(dir.Path()), 2u);
}

TEST(ConfigFile, DefaultsThatCannotBeWrittenAreAnError) {
  TempDir dir;
  Settings settings;
  EXPECT_THROW(ConfigFile(dir / "missing" / "config.ini").LoadSettings(settings), FileWriteError);
  EXPECT_FALSE(fs::exists(dir / "missing"));
  EXPECT_THROW(ConfigFile(dir.Path()).WriteDefaultSettings(), FileWriteError);
}

TEST(ConfigFile, LinkWithoutTargetGetsTheDefaultsThroughTheLink) {
  TempDir dir;
  fs::create_symlink("real.ini", dir / "config.ini");
  Settings settings;
  EXPECT_EQ(ConfigFile(dir / "config.ini").LoadSettings(settings), SettingsLoad::kDefaultsWritten);
  EXPECT_TRUE(fs::is_symlink(fs::symlink_status(dir / "config.ini")));
  EXPECT_EQ(Slurp(dir / "real.ini"), DefaultSettingsText());
}

TEST(ConfigFile, BadColourKeepsWhatWasReadBeforeIt) {
  TempDir dir;
  Spit(dir / "config.ini", "UDPDelay=50\r\nListColor=xyz\r\nDefaultPort=1\r\n");
  Settings settings;
  try {
    ConfigFile(dir / "config.ini").LoadSettings(settings);
    FAIL() << "no error";
  } catch (const ConversionError& error) {
    EXPECT_STREQ(error.what(), "'xyz' is not a valid integer value");
  }
  EXPECT_EQ(settings.udpDelay, "50");
  EXPECT_EQ(settings.defaultPort, "27015");
  EXPECT_EQ(Slurp(dir / "config.ini"), "UDPDelay=50\r\nListColor=xyz\r\nDefaultPort=1\r\n");
}

TEST(ConfigFile, SaveWritesTheNineLines) {
  TempDir dir;
  Spit(dir / "config.ini", "old");
  StatusLine status;
  status.SetStatus(3, "before");
  Settings settings = kChanged;
  settings.bufferSize = "123456";
  ASSERT_TRUE(ConfigFile(dir / "config.ini").SaveSettings(settings, status));
  EXPECT_EQ(status.Message(), "before");
  const std::string written = Slurp(dir / "config.ini");
  EXPECT_EQ(written, SettingsToText(settings));
  const auto lines = SplitLines(written);
  ASSERT_EQ(lines.size(), 9u);
  EXPECT_EQ(lines[0], "BufferSize=123456");
  EXPECT_EQ(lines[7], "ListColor=clMoneyGreen");
  EXPECT_EQ(EntriesIn(dir.Path()), 1u);

  Settings reread;
  EXPECT_EQ(ConfigFile(dir / "config.ini").LoadSettings(reread), SettingsLoad::kRead);
  EXPECT_EQ(reread, settings);
}

TEST(ConfigFile, LocationThatCannotBeWrittenGivesTheStatusText) {
  TempDir dir;
  StatusLine status;
  fs::create_directory(dir / "config.ini");
  EXPECT_FALSE(ConfigFile(dir / "config.ini").SaveSettings(kChanged, status));
  EXPECT_EQ(status.Message(), "Error: Cannot save config.ini file");
  EXPECT_TRUE(fs::is_directory(dir / "config.ini"));

  status.SetStatus(3, "");
  EXPECT_FALSE(ConfigFile(dir / "missing" / "config.ini").SaveSettings(kChanged, status));
  EXPECT_EQ(status.Message(), "Error: Cannot save config.ini file");
  EXPECT_FALSE(fs::exists(dir / "missing"));

  Spit(dir / "old.ini", "keep me");
  status.SetStatus(3, "");
  {
    const NoFreeFileDescriptors exhausted;
    EXPECT_FALSE(ConfigFile(dir / "old.ini").SaveSettings(kChanged, status));
  }
  EXPECT_EQ(status.Message(), "Error: Cannot save config.ini file");
  EXPECT_EQ(Slurp(dir / "old.ini"), "keep me");
  EXPECT_EQ(EntriesIn(dir.Path()), 2u);
}

TEST(ConfigFile, FailureWhileWritingLeavesTheOldFile) {
  TempDir dir;
  const std::string old = "BufferSize=1\r\n";
  const std::size_t full = SettingsToText(kChanged).size();
  for (const std::size_t limit : {std::size_t{0}, std::size_t{1}, full / 2, full - 1}) {
    Spit(dir / "config.ini", old);
    StatusLine status;
    status.SetStatus(3, "before");
    EXPECT_THROW(ConfigFile(dir / "config.ini", WriteLimit{limit}).SaveSettings(kChanged, status),
                 FileWriteError)
        << limit;
    EXPECT_EQ(status.Message(), "before") << limit;  // for the general error report, not the status line
    EXPECT_EQ(Slurp(dir / "config.ini"), old) << limit;
    EXPECT_EQ(EntriesIn(dir.Path()), 1u) << limit;  // no temporary file left behind
  }
  const std::size_t defaults = DefaultSettingsText().size();
  for (const std::size_t limit : {std::size_t{0}, defaults / 2, defaults - 1}) {
    Spit(dir / "config.ini", old);
    EXPECT_THROW(ConfigFile(dir / "config.ini", WriteLimit{limit}).WriteDefaultSettings(), FileWriteError);
    EXPECT_EQ(Slurp(dir / "config.ini"), old) << limit;
    EXPECT_EQ(EntriesIn(dir.Path()), 1u) << limit;
  }
  StatusLine status;
  EXPECT_TRUE(ConfigFile(dir / "config.ini", WriteLimit{full}).SaveSettings(kChanged, status));
  EXPECT_EQ(Slurp(dir / "config.ini"), SettingsToText(kChanged));
}

}  // namespace
}  // namespace vantrix
